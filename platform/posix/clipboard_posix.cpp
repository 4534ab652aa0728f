// The text clipboard (POSIX). A terminal program has no clipboard it can
// reach without a window-system library, so the text is kept in the
// process: what one command stores, a later one reads back.
#include "platform/clipboard.h"

namespace plat {

namespace {
std::string& store() {
  static std::string text;
  return text;
}
}  // namespace

bool clipboardIsShared() { return false; }

bool clipboardRead(std::string& text, std::string&) {
  text = store();
  return true;
}

bool clipboardWrite(std::string_view text, std::string&) {
  store().assign(text);
  return true;
}

bool clipboardClear(std::string&) {
  store().clear();
  store().shrink_to_fit();
  return true;
}

}  // namespace plat
