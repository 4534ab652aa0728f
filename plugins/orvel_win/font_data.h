// The embedded TrueType font (DejaVu Sans Mono; licence in font/), built
// into the plug-in from the font file when the plug-in is built.
#pragma once
#include <cstddef>

extern const unsigned char orvel_win_font[];
extern const size_t orvel_win_font_size;
