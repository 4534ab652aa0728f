// Dialog boxes (POSIX): a terminal program has none; the commands ask on
// the console instead.
#include "platform/dialogs.h"

namespace plat {

bool dialogsAvailable() { return false; }

DialogOutcome askTextDialog(const std::string&, const std::string&, const std::string&, std::string&, int) {
  return DialogOutcome::Unavailable;
}
DialogOutcome askOpenFileDialog(const std::string&, const std::string&, std::string&, int) {
  return DialogOutcome::Unavailable;
}
DialogOutcome askSaveFileDialog(const std::string&, const std::string&, std::string&, int) {
  return DialogOutcome::Unavailable;
}
DialogOutcome askFolderDialog(const std::string&, const std::string&, std::string&, int) {
  return DialogOutcome::Unavailable;
}

}  // namespace plat
