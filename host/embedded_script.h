// The simulation script kept inside the program as five text pieces (made
// by the build from script/hexbury.orv), and their joining.
#pragma once
#include <cstddef>
#include <string>

namespace hexbury {

constexpr size_t kScriptPieceCount = 5;
// Defined in the generated hexbury_script_pieces.cpp.
extern const char* const kScriptPieces[kScriptPieceCount];

// The pieces joined in order with nothing between them.
std::string joinScriptPieces();

}  // namespace hexbury
