# Writes a C++ source holding the bytes of a font file:
#   cmake -DINPUT=font.ttf -DOUTPUT=font_data.cpp -P embed_font.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" len)
math(EXPR bytes "${len} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," body "${hex}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" body "${body}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
  "extern const unsigned char orvel_win_font[];\nextern const size_t orvel_win_font_size;\n"
  "alignas(4) const unsigned char orvel_win_font[] = {\n${body}\n};\n"
  "const size_t orvel_win_font_size = ${bytes};\n")
