// The text clipboard.
#pragma once
#include <string>
#include <string_view>

namespace plat {

// Where the system offers no clipboard the program can reach, the text is
// kept inside the process (clipboardIsShared says which).
bool clipboardIsShared();
// An empty clipboard reads as an empty text. False with a reason in err.
bool clipboardRead(std::string& text, std::string& err);
bool clipboardWrite(std::string_view text, std::string& err);
bool clipboardClear(std::string& err);

}  // namespace plat
