// The plain line reader and the choice between it and the terminal editor.
#include "platform/line_editor.h"

#include "platform/console.h"
#include "platform/system.h"

namespace plat {

namespace {

LineEditorMaker& terminalMaker() {
  static LineEditorMaker maker = nullptr;
  return maker;
}

// Reads lines as they come. On a Windows console the console itself lets
// the user edit the line and recall earlier ones during the session.
class PlainLineReader : public LineEditor {
 public:
  bool readLine(const std::string& prompt, std::string& line) override {
    if (!prompt.empty()) {
      writeOut(prompt);
      flushOut();
    }
    if (!plat::readLine(line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }
  void addHistory(const std::string&) override {}
  bool edits() const override { return false; }
};

}  // namespace

void setTerminalLineEditor(LineEditorMaker maker) { terminalMaker() = maker; }

std::unique_ptr<LineEditor> openLineEditor(const LineEditorOptions& options) {
  if (terminalMaker() && stdinIsTerminal() && stdoutIsTerminal()) {
    if (auto editor = terminalMaker()(options)) return editor;
  }
  return std::make_unique<PlainLineReader>();
}

std::string defaultHistoryFile() {
  std::string home;
  if (!getEnv("HOME", home) || home.empty()) {
    if (!getEnv("USERPROFILE", home) || home.empty()) return {};
  }
  if (home.back() != '/' && home.back() != '\\') home += '/';
  return home + ".orvel_history";
}

std::string commonPrefix(const std::vector<std::string>& candidates) {
  if (candidates.empty()) return {};
  std::string p = candidates[0];
  for (const auto& c : candidates) {
    size_t n = 0;
    while (n < p.size() && n < c.size() && p[n] == c[n]) n++;
    p.resize(n);
  }
  return p;
}

}  // namespace plat
