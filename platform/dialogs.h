// Dialog boxes that ask for a line of text, a file to open or save, or a
// folder. Where the system has none (or the program's input comes from a
// file or pipe, so nobody may be watching), the callers ask on the console.
#pragma once
#include <string>

namespace plat {

enum class DialogOutcome { Chosen, Cancelled, Unavailable };

// Whether the dialogs below can be shown: a desktop exists and standard
// input is a console (or there is no standard input at all).
bool dialogsAvailable();

// autoCancelMs: when above 0 the dialog closes itself as cancelled after
// that many milliseconds (for unattended runs); 0 waits for the user.
DialogOutcome askTextDialog(const std::string& title, const std::string& question, const std::string& initial,
                            std::string& answer, int autoCancelMs = 0);
DialogOutcome askOpenFileDialog(const std::string& title, const std::string& initial, std::string& path,
                                int autoCancelMs = 0);
DialogOutcome askSaveFileDialog(const std::string& title, const std::string& initial, std::string& path,
                                int autoCancelMs = 0);
DialogOutcome askFolderDialog(const std::string& title, const std::string& initial, std::string& path,
                              int autoCancelMs = 0);

}  // namespace plat
