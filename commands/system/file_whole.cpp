// Whole-file reading and writing: readfile and writefile. A file is
// replaced through a temporary file in its folder, so a failed write leaves
// the old content in place.
#include <algorithm>
#include <cstring>

#include "commands/core/string_common.h"
#include "commands/system/file_streams.h"
#include "expr/numbers.h"
#include "interp/process_state.h"
#include "platform/files.h"

namespace orvel {

namespace {

constexpr size_t kArrayPiece = 8192;

bool isCount(const std::string& w) {
  size_t i = (!w.empty() && (w[0] == '-' || w[0] == '+')) ? 1 : 0;
  if (i == w.size()) return false;
  for (; i < w.size(); i++)
    if (w[i] < '0' || w[i] > '9') return false;
  return true;
}

// Sets a plain variable to text without copying it when the variable is an
// ordinary one.
int storeText(Interp& in, const std::string& name, std::string&& text) {
  if (set_var(in, name, "") != OK) return ERROR;
  Var* v = orvelGetVar(in, name);
  while (v && v->link) v = v->link.get();
  if (v && v->kind == VK_AUTO && !v->table && !v->isConst && name.find('(') == std::string::npos) {
    v->value = std::move(text);
    v->size = static_cast<int64_t>(v->value.size());
    return OK;
  }
  return set_var(in, name, text);
}

int orvelCommandReadfile(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  std::string path = filePathArg(argv[1]);
  const std::string* varName = nullptr;
  bool asArray = false, noBlank = false;
  int64_t maxIndex = -1;
  for (size_t i = 2; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-array") asArray = true;
    else if (w == "-noblank") noBlank = true;
    else if (w == "-max") {
      if (i + 1 >= argv.size() || !isCount(argv[i + 1]) || toInt64(argv[i + 1]) < 0)
        return fail(in, "%s: -max needs a count of 0 or more", argv[0].c_str());
      maxIndex = toInt64(argv[++i]);
    } else if (!w.empty() && w[0] == '-') {
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), w.c_str());
    } else if (!varName) {
      varName = &w;
    }
  }
  in.result.clear();
  if (!plat::pathExists(path)) return fail(in, "%s: File '%s' not found", argv[0].c_str(), path.c_str());
  std::string data, err;
  if (!plat::readWholeFile(path, data, err)) {
    if (varName) {
      set_var(in, *varName, "");
      in.result = "0";
    }
    return fail(in, "%s: Error reading file '%s' (%s)", argv[0].c_str(), path.c_str(), err.c_str());
  }
  if (asArray) {
    if (!varName) return fail(in, "%s: -array needs a variable name", argv[0].c_str());
    // Lines are numbered from 0; long lines go in pieces of 8192 bytes.
    int64_t count = 0;
    size_t at = 0;
    bool more = true;
    while (more) {
      size_t nl = data.find('\n', at);
      size_t stop = nl == std::string::npos ? data.size() : nl;
      more = nl != std::string::npos;
      size_t lineEnd = stop;
      while (lineEnd > at && data[lineEnd - 1] == '\r') lineEnd--;
      size_t p = at;
      do {
        size_t len = std::min(kArrayPiece, lineEnd - p);
        if (!(noBlank && len == 0)) {
          if (maxIndex < 0 || count < maxIndex) {
            if (arraySetElement(in, *varName, intText(count), std::string_view(data).substr(p, len)) != OK) {
              in.result.clear();
              return fail(in, "%s: Failed to set %s(%li)", argv[0].c_str(), varName->c_str(),
                          static_cast<long>(count));
            }
          }
          count++;
        }
        p += len;
      } while (p < lineEnd);
      at = stop + 1;
    }
    in.result = intText(count);
    return OK;
  }
  int64_t length = static_cast<int64_t>(data.size());
  if (varName) {
    if (storeText(in, *varName, std::move(data)) != OK) return ERROR;
    in.result = intText(length);
    return OK;
  }
  in.result = std::move(data);
  in.resultLength = static_cast<uint64_t>(length);
  return OK;
}

int orvelCommandWritefile(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  std::string path = argv[1];
  bool append = false, unescape = false, fromVar = false;
  const std::string* lengthWord = nullptr;
  for (size_t i = 3; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-append") append = true;
    else if (w == "-unescape") unescape = true;
    else if (w == "-var") fromVar = true;
    else if (!w.empty() && w[0] == '-' && !isCount(w)) {
      in.result = "0";
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), w.c_str());
    } else if (!lengthWord) {
      lengthWord = &w;
    }
  }
  in.result = "0";
  const std::string* text = &argv[2];
  std::string holder;
  if (fromVar) {
    Var* v = orvelGetVar(in, argv[2]);
    while (v && v->link) v = v->link.get();
    if (!v || v->table || v->kind == VK_ARRAY || v->kind == VK_STRUCT || v->kind == VK_STACK ||
        v->kind == VK_DICT)
      return fail(in, "%s: '%s' is not a plain variable", argv[0].c_str(), argv[2].c_str());
    text = &v->value;
  }
  if (unescape) {
    holder = strings::unescapeText(*text);
    text = &holder;
  }
  size_t length = text->size();
  if (lengthWord) {
    if (!isCount(*lengthWord) || toInt64(*lengthWord) < 0)
      return fail(in, "%s: Invalid length '%s'", argv[0].c_str(), lengthWord->c_str());
    int64_t n = toInt64(*lengthWord);
    if (n > 0 && static_cast<uint64_t>(n) < length) length = static_cast<size_t>(n);
  }
  std::string_view data(text->data(), length);
  std::string err;
  bool ok = append ? plat::appendFile(path, data, err) : plat::replaceFile(path, data, err);
  if (!ok) return fail(in, "%s: Failed to write '%s' (%s)", argv[0].c_str(), path.c_str(), err.c_str());
  in.result = "1";
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"readfile", orvelCommandReadfile},
    {"writefile", orvelCommandWritefile},
};

}  // namespace

}  // namespace orvel
