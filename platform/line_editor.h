// Reading command lines for the interactive prompt: line editing, a
// history kept between sessions and completion, where the terminal allows.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plat {

struct LineEditorOptions {
  // The history is read from this file when the editor opens and written
  // back after every new entry; empty keeps no history file.
  std::string historyFile;
  // At most this many entries are kept (the oldest go first).
  size_t historyLimit = 1000;
  // The candidates that complete the word before the cursor, sorted.
  std::function<std::vector<std::string>(const std::string& prefix)> complete;
};

class LineEditor {
 public:
  virtual ~LineEditor() = default;
  // Shows the prompt and reads one line without its line end; false at the
  // end of input.
  virtual bool readLine(const std::string& prompt, std::string& line) = 0;
  // Adds a line to the history (blank lines are not kept).
  virtual void addHistory(const std::string& entry) = 0;
  // Whether this editor edits lines itself (false: plain reading).
  virtual bool edits() const = 0;
};

// The editor for standard input. On a terminal, and where the program was
// built with the terminal editor, lines can be edited, recalled and
// completed. Otherwise lines are read as they come, with the console's own
// editing where it has one (Windows).
std::unique_ptr<LineEditor> openLineEditor(const LineEditorOptions& options);

// The terminal editor registers its maker here when it is linked into the
// program; programs without it read plain lines.
using LineEditorMaker = std::unique_ptr<LineEditor> (*)(const LineEditorOptions&);
void setTerminalLineEditor(LineEditorMaker maker);

// ".orvel_history" in the user's home folder, or empty when there is none.
std::string defaultHistoryFile();

// The longest text all candidates begin with.
std::string commonPrefix(const std::vector<std::string>& candidates);

}  // namespace plat
