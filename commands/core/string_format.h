// The formatting engine of the `format` command.
#pragma once
#include <span>
#include <string>
#include <string_view>

namespace orvel::strings {

// Formats fmt with args by the C conversion rules: %d %i %o %u %x %X %c
// (32-bit, or 64-bit with the ll or I64 prefix), %e %E %f %F %g %G, %s, %b
// (binary) and any other conversion character (the argument's first
// character); flags - + blank # 0, width and precision as digits or *.
// The conversion specifications are parsed here and each one is formatted
// on its own, so any fmt text is safe. Widths and precisions above 2^20 are
// refused. With unescapeStrings the %s arguments are unescaped first.
// false, with a message in err, when the text cannot be produced.
bool formatText(std::string_view fmt, std::span<const std::string> args, bool unescapeStrings,
                std::string& out, std::string& err);

}  // namespace orvel::strings
