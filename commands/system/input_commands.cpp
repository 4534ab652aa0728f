// Reading typed lines from standard input.
//   input ?varName? ?-prompt text?
//       One line (its line end removed). With varName the line is stored and
//       the result is its length, -1 at the end of input (the variable is
//       then empty); without, the result is the line and the end of input is
//       an error.
//   input_csv ?varName ...? ?-prompt text? ?-separator c? ?-text record?
//       One record of comma-separated values (see csv_fields.h); a quoted
//       field that is still open at the line end continues on the next
//       line. Without variables the result is the list of fields; with them
//       the fields are stored in order (missing ones empty) and the result is
//       the number of fields, -1 at the end of input. -text splits the given
//       record instead of reading one.
#include "commands/system/csv_fields.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "platform/console.h"

namespace orvel {

namespace {

// The longest record input_csv gathers over several lines.
constexpr size_t kMaxRecord = size_t{1} << 24;

struct InputWords {
  std::vector<std::string> vars;
  std::string prompt;
  bool havePrompt = false;
  char separator = ',';
  std::string text;
  bool haveText = false;
};

// Reads the words after the command name; false after reporting a bad one.
bool readWords(Interp& in, Args& argv, bool csv, InputWords& w) {
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& a = argv[i];
    const bool hasValue = i + 1 < argv.size();
    if (a == "-prompt") {
      if (!hasValue) {
        fail(in, "%s: -prompt needs a text", argv[0].c_str());
        return false;
      }
      w.prompt = argv[++i];
      w.havePrompt = true;
    } else if (csv && a == "-separator") {
      if (!hasValue || argv[i + 1].size() != 1 || argv[i + 1][0] == '"') {
        fail(in, "%s: -separator needs one character other than a quote", argv[0].c_str());
        return false;
      }
      w.separator = argv[++i][0];
    } else if (csv && a == "-text") {
      if (!hasValue) {
        fail(in, "%s: -text needs a record", argv[0].c_str());
        return false;
      }
      w.text = argv[++i];
      w.haveText = true;
    } else if (a.size() > 1 && a[0] == '-') {
      fail(in, "%s: Unknown option '%s'", argv[0].c_str(), a.c_str());
      return false;
    } else if (a.empty()) {
      fail(in, "%s: Empty variable name", argv[0].c_str());
      return false;
    } else {
      w.vars.push_back(a);
    }
  }
  return true;
}

bool readOneLine(const InputWords& w, std::string& line) {
  if (w.havePrompt) {
    plat::writeOut(w.prompt);
    plat::flushOut();
  }
  return plat::readLine(line);
}

int orvelCommandInput(Interp& in, Args& argv, void*) {
  InputWords w;
  in.result.clear();
  if (!readWords(in, argv, false, w)) return ERROR;
  if (w.vars.size() > 1) return wrongNumArgs(in, argv);
  std::string line;
  const bool got = readOneLine(w, line);
  if (w.vars.empty()) {
    if (!got) return fail(in, "%s: End of input", argv[0].c_str());
    in.result = std::move(line);
    return OK;
  }
  if (!got) line.clear();
  if (set_var(in, w.vars[0], line) != OK)
    return fail(in, "%s: Can't set variable '%s'", argv[0].c_str(), w.vars[0].c_str());
  in.result = got ? intText(static_cast<int64_t>(line.size())) : std::string("-1");
  return OK;
}

int orvelCommandInput_csv(Interp& in, Args& argv, void*) {
  InputWords w;
  in.result.clear();
  if (!readWords(in, argv, true, w)) return ERROR;
  std::vector<std::string> fields;
  bool atEnd = false;
  if (w.haveText) {
    if (!splitCsvRecord(w.text, w.separator, fields)) return fail(in, "%s: Unterminated quoted field", argv[0].c_str());
  } else {
    std::string record;
    if (!readOneLine(w, record)) {
      atEnd = true;
    } else {
      while (!splitCsvRecord(record, w.separator, fields)) {
        std::string more;
        if (!plat::readLine(more)) return fail(in, "%s: Unterminated quoted field", argv[0].c_str());
        if (record.size() + more.size() + 1 > kMaxRecord)
          return fail(in, "%s: Record longer than %li bytes", argv[0].c_str(), static_cast<long>(kMaxRecord));
        record += '\n';
        record += more;
      }
    }
  }
  if (w.vars.empty()) {
    if (atEnd) return fail(in, "%s: End of input", argv[0].c_str());
    in.result = listBuild(fields);
    return OK;
  }
  for (size_t i = 0; i < w.vars.size(); i++) {
    const std::string value = i < fields.size() ? fields[i] : std::string();
    if (set_var(in, w.vars[i], value) != OK)
      return fail(in, "%s: Can't set variable '%s'", argv[0].c_str(), w.vars[i].c_str());
  }
  in.result = atEnd ? std::string("-1") : intText(static_cast<int64_t>(fields.size()));
  return OK;
}

const CommandRegistrar reg[] = {{"input", orvelCommandInput}, {"input_csv", orvelCommandInput_csv}};

}  // namespace

}  // namespace orvel
