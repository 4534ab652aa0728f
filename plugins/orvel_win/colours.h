// Colour names and #RRGGBB colours.
#pragma once
#include <string_view>

#include "canvas.h"

namespace owin {

// Reads a colour name (black, white, grey, darkgrey, red, darkred, yellow,
// magenta, darkgreen, blue, cyan and a few more; case does not matter) or
// "#RRGGBB". False when the text is neither.
bool parseColour(std::string_view text, Rgb& out);
// The names known, for messages.
const char* colourNames();

}  // namespace owin
