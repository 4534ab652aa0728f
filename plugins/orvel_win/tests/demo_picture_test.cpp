// Draws a picture like the signal box's with every kind of call and writes
// it out (ORVEL_WIN_DEMO_PNG names the file), for looking at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "plugin_harness.h"

using harness::win;

TEST(DemoPicture, DrawsEveryKindOfCall) {
  win({"create", "-headless", "-w", "1024", "-h", "600", "-smallfont"});
  win({"textcolor", "black", "grey"});
  win({"cls"});
  win({"box", "2", "2", "120", "30", "black", "#E8E5C4"});
  win({"textcolor", "black", "#E8E5C4"});
  win({"gotoxy", "40", "4"});
  win({"puts", "HEXBURY CROSS JC.", "-size", "18"});
  win({"gotoxy", "40", "7"});
  win({"puts", std::string(22, '\xC4')});
  win({"gotoxy", "5", "10"});
  win({"puts", "DOWN MAIN-\x10", "-size", "8"});
  win({"gotoxy", "5", "14"});
  win({"puts", "\x11-UP MAIN", "-size", "8"});
  win({"line", "40", "120", "700", "120", "white", "5"});
  win({"line", "40", "120", "700", "120", "black", "6"});
  win({"line", "40", "150", "700", "150", "black", "6"});
  win({"line", "300", "150", "400", "220", "black", "6"});
  win({"line", "400", "220", "700", "220", "darkred", "6"});
  win({"line", "100", "240", "500", "240", "blue", "1", "-dot"});
  win({"circle", "200", "120", "#1D480E", "13", "-fill"});
  win({"circle", "230", "120", "red", "9", "-fill"});
  win({"circle", "260", "150", "black", "13"});
  win({"setpos", "450", "170"});
  win({"puts", "DOWN->", "-size2", "14", "-rot", "261"});
  win({"para", "600", "260", "7", "7", "63", "52", "black", "2"});
  win({"para", "700", "260", "7", "7", "39", "50", "#CD7F32", "3"});
  win({"rect", "800", "260", "60", "40", "magenta", "3"});
  win({"textcolor", "white", "black"});
  win({"box", "5", "34", "20", "6", "black", "grey", "-single"});
  win({"box", "30", "34", "20", "6", "darkgreen", "-nofill"});
  win({"gotoxy", "7", "36"});
  win({"textcolor", "black", "grey"});
  win({"puts", "\xDA\xC4\xBF\x10\x11\xB3\xC9\xCD\xBB\xBA\xC8\xBC AaBb 123"});
  win({"gotoxy", "60", "36"});
  win({"textcolor", "white", "black"});
  win({"puts", "OFF", "-size", "6"});
  win({"textcolor", "yellow", "grey"});
  win({"gotoxy", "3", "45"});
  win({"puts", "Press ESC or SPACE to exit"});
  const char* out = std::getenv("ORVEL_WIN_DEMO_PNG");
  if (out && *out) win({"snapshot", out});
  win({"close"});
}
