// The terminal line editor on POSIX systems, built on the editline library:
// emacs-style editing keys, a history kept in a file between sessions, and
// Tab completion. Only programs with an interactive prompt link it in; it
// registers itself with the line-editor choice when the program starts.
#include <histedit.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/line_editor.h"
#include "platform/posix/terminal_mode.h"

namespace plat {

namespace {

class EditlineEditor : public LineEditor {
 public:
  explicit EditlineEditor(const LineEditorOptions& options) : options_(options) {}

  bool open() {
    hist_ = history_init();
    if (!hist_) return false;
    int limit = options_.historyLimit > 0 && options_.historyLimit < 1000000 ? static_cast<int>(options_.historyLimit)
                                                                              : 1000;
    history(hist_, &ev_, H_SETSIZE, limit);
    history(hist_, &ev_, H_SETUNIQUE, 1);
    if (!options_.historyFile.empty()) history(hist_, &ev_, H_LOAD, options_.historyFile.c_str());
    el_ = el_init("orvel", stdin, stdout, stderr);
    if (!el_) return false;
    el_set(el_, EL_CLIENTDATA, this);
    el_set(el_, EL_EDITOR, "emacs");
    el_set(el_, EL_SIGNAL, 1);
    el_set(el_, EL_HIST, history, hist_);
    el_set(el_, EL_PROMPT, &EditlineEditor::promptOf);
    el_set(el_, EL_ADDFN, "orvel-complete", "Complete a command name", &EditlineEditor::completeWord);
    el_set(el_, EL_BIND, "^I", "orvel-complete", nullptr);
    el_source(el_, nullptr);  // the user's own key settings, if any
    return true;
  }

  ~EditlineEditor() override {
    if (el_) el_end(el_);
    if (hist_) history_end(hist_);
  }

  bool readLine(const std::string& prompt, std::string& line) override {
    terminal::leaveKeyMode();
    prompt_ = prompt;
    int count = 0;
    const char* text = el_gets(el_, &count);
    if (!text || count <= 0) return false;
    line.assign(text, static_cast<size_t>(count));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return true;
  }

  void addHistory(const std::string& entry) override {
    if (entry.find_first_not_of(" \t\r\n") == std::string::npos) return;
    history(hist_, &ev_, H_ENTER, entry.c_str());
    // Written at once, so that an exit from a script keeps the history too.
    if (!options_.historyFile.empty()) history(hist_, &ev_, H_SAVE, options_.historyFile.c_str());
  }

  bool edits() const override { return true; }

 private:
  static EditlineEditor* of(EditLine* el) {
    void* p = nullptr;
    el_get(el, EL_CLIENTDATA, &p);
    return static_cast<EditlineEditor*>(p);
  }

  static char* promptOf(EditLine* el) { return of(el)->prompt_.data(); }

  // Tab: a single candidate is completed with a blank after it; several
  // are completed as far as they agree, and listed when they agree no
  // further than what was typed.
  static unsigned char completeWord(EditLine* el, int) {
    EditlineEditor* self = of(el);
    const LineInfo* li = el_line(el);
    if (!self || !li || !self->options_.complete) return CC_ERROR;
    std::string before(li->buffer, static_cast<size_t>(li->cursor - li->buffer));
    size_t start = before.find_last_of(" \t[;{\"");
    std::string prefix = start == std::string::npos ? before : before.substr(start + 1);
    if (prefix.empty()) return CC_ERROR;
    std::vector<std::string> found = self->options_.complete(prefix);
    if (found.empty()) return CC_ERROR;
    if (found.size() == 1) {
      std::string rest = found[0].substr(prefix.size()) + " ";
      return el_insertstr(el, rest.c_str()) == 0 ? CC_REFRESH : CC_ERROR;
    }
    std::string common = commonPrefix(found);
    if (common.size() > prefix.size()) {
      return el_insertstr(el, common.substr(prefix.size()).c_str()) == 0 ? CC_REFRESH : CC_ERROR;
    }
    std::string list = "\n";
    size_t width = 0;
    for (const auto& f : found) {
      if (width + f.size() + 2 > 78 && width > 0) {
        list += "\n";
        width = 0;
      }
      list += f + "  ";
      width += f.size() + 2;
    }
    list += "\n";
    std::fputs(list.c_str(), stdout);
    std::fflush(stdout);
    return CC_REDISPLAY;
  }

  LineEditorOptions options_;
  EditLine* el_ = nullptr;
  History* hist_ = nullptr;
  HistEvent ev_{};
  std::string prompt_;
};

std::unique_ptr<LineEditor> makeEditlineEditor(const LineEditorOptions& options) {
  auto editor = std::make_unique<EditlineEditor>(options);
  if (!editor->open()) return nullptr;
  return editor;
}

const bool registered = (setTerminalLineEditor(&makeEditlineEditor), true);

}  // namespace

}  // namespace plat
