// `struct create`: parsing the field list, laying the members out one after
// another and making the struct and member variables.
#include "commands/core/struct_create.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>
#include <new>
#include <unordered_set>

#include "expr/numbers.h"
#include "interp/list_text.h"
#include "interp/process_state.h"
#include "interp/struct_access.h"
#include "interp/struct_data.h"

namespace orvel {

namespace {

// Blocks above this size are refused rather than allocated and zeroed.
constexpr int64_t kMaxStructSize = int64_t{1} << 26;
constexpr size_t kMaxFieldNameLength = 256;

struct Field {
  std::string name;
  int64_t width = 0;
  size_t offset = 0;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Cuts the field list into items: one per line (LF or CR LF outside
// braces); a line that begins with a braced group gives one item per group.
std::vector<std::string> fieldItems(std::string_view text) {
  std::vector<std::string> items;
  auto addLine = [&](std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = trimBlanks(line);
    if (line.empty()) return;
    if (line.front() == '{') {
      std::vector<std::string> groups;
      TclTokenised3(line, groups);
      for (auto& g : groups)
        if (!trimBlanks(g).empty()) items.push_back(std::move(g));
      return;
    }
    items.emplace_back(line);
  };
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); i++) {
    char c = text[i];
    if (c == '{') depth++;
    else if (c == '}' && depth > 0) depth--;
    else if (c == '\n' && depth == 0) {
      addLine(text.substr(start, i - start));
      start = i + 1;
    }
  }
  addLine(text.substr(start));
  return items;
}

std::vector<std::string_view> blankWords(std::string_view s) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && isBlank(s[i])) i++;
    size_t b = i;
    while (i < s.size() && !isBlank(s[i])) i++;
    if (i > b) words.push_back(s.substr(b, i - b));
  }
  return words;
}

// A width: decimal digits only, above 0; -1 when invalid.
int64_t parseWidth(std::string_view s) {
  if (s.empty()) return -1;
  int64_t w = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    w = w * 10 + (c - '0');
    if (w > kMaxStructSize) w = kMaxStructSize + 1;  // too big, still invalid later
  }
  return w > 0 ? w : -1;
}

// Reads one item into fields; ERROR (reported) when it is malformed.
int parseItem(Interp& in, const std::string& structName, const std::string& item, std::vector<Field>& fields) {
  if (item.find_first_of("{}\"") != std::string::npos)
    return fail(in, "struct create '%s': field '%s' contains illegal {, } or \"", structName.c_str(), item.c_str());
  std::string_view t = trimBlanks(item);
  if (t.find_first_of(" \t") == std::string_view::npos)
    return fail(in, "struct create '%s': field '%s' missing arg", structName.c_str(), item.c_str());
  auto syntax = [&]() {
    return fail(in, "struct create: Syntax error in struct '%s' field => '%s'", structName.c_str(), item.c_str());
  };
  std::vector<std::string_view> words = blankWords(t);
  if (words.size() >= 4 && words.size() % 2 == 0) {
    for (size_t i = 0; i < words.size(); i += 2) {
      int64_t w = parseWidth(words[i + 1]);
      if (w <= 0) return syntax();
      fields.push_back({std::string(words[i].substr(0, kMaxFieldNameLength)), w, 0});
    }
    return OK;
  }
  size_t blank = t.find_first_of(" \t");
  std::string_view name = trimBlanks(t.substr(0, std::min(blank, kMaxFieldNameLength)));
  int64_t w = parseWidth(trimBlanks(t.substr(blank)));
  if (name.empty() || w <= 0) return syntax();
  fields.push_back({std::string(name), w, 0});
  return OK;
}

std::string addressText(const char* p) {
  return std::to_string(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)));
}

}  // namespace

int structCreate(Interp& in, const Args& argv, size_t nameIndex) {
  std::vector<const std::string*> words;
  const std::string* init = nullptr;
  for (size_t i = 0; i < argv.size(); i++) {
    if (i >= 3 && argv[i] == "-init" && i + 1 < argv.size()) {
      init = &argv[++i];
      continue;
    }
    words.push_back(&argv[i]);
  }
  if (words.size() < nameIndex + 2 || words.size() > nameIndex + 3) {
    Args shown = argv;
    return wrongNumArgs(in, shown);
  }
  in.result.clear();
  const std::string& name = *words[nameIndex];
  if (orvelGetVar(in, name)) {
    if (ps().verbose) fail(in, "%s: Variable '%s' already exists", "struct", name.c_str());
    return ERROR;
  }
  int64_t declared = words.size() == nameIndex + 3 ? toInt64(*words[nameIndex + 1]) : 0;

  std::vector<std::string> items = fieldItems(*words.back());
  if (items.empty()) return fail(in, "struct: Failed to parse struct field(s)");
  std::vector<Field> fields;
  for (const std::string& item : items)
    if (parseItem(in, name, item, fields) != OK) return ERROR;
  int64_t sum = 0;
  for (Field& f : fields) {
    f.offset = static_cast<size_t>(sum);
    sum += f.width;
    if (sum > kMaxStructSize) sum = kMaxStructSize + 1;
  }
  if (declared > 0 && declared < sum) {
    if (ps().verbose)
      fail(in, "Combined struct fields '%" PRId64 "' exceed struct size '%" PRId64 "'", sum, declared);
    return ERROR;
  }
  int64_t size = std::max(declared, sum);
  if (size <= 0 || size > kMaxStructSize) {
    if (ps().verbose) fail(in, "struct create '%s': Invalid struct size '%" PRId64 "'", name.c_str(), size);
    return ERROR;
  }

  // Where the variables go, and their names there.
  std::string_view base = name;
  CallFrame* frame = in.callFrame;
  if (base.size() >= 2 && base[0] == ':' && base[1] == ':') {
    base.remove_prefix(2);
    frame = globalFrame(in);
  }
  if (!frame || base.empty()) return ERROR;
  std::unordered_set<std::string> seen;
  for (Field& f : fields) {
    std::string memberName = std::string(base) + "." + f.name;
    if (frame->vars.find(memberName) || !seen.insert(memberName).second)
      return fail(in, "struct create: Member variable '%s' already exists", memberName.c_str());
  }

  auto data = std::make_shared<StructData>();
  try {
    data->block.assign(static_cast<size_t>(size), '\0');
  } catch (const std::bad_alloc&) {
    in.result = "0";
    return fail(in, "struct: Failed to create root struct var '%s'", name.c_str());
  }
  data->structName.assign(base);
  auto sv = std::make_shared<Var>();
  sv->name.assign(base);
  sv->kind = VK_STRUCT;
  sv->value = addressText(data->block.data());
  sv->size = size;
  sv->members = data;
  sv->level = frame->level;
  sv->assigned = true;
  frame->vars.add(sv);

  for (const Field& f : fields) {
    auto fv = std::make_shared<Var>();
    fv->name = std::string(base) + "." + f.name;
    fv->kind = VK_FIELD;
    fv->value = addressText(data->block.data() + f.offset);
    fv->size = f.width;
    fv->book[0] = static_cast<int64_t>(f.offset);
    fv->book[1] = 1;
    fv->members = data;
    fv->level = frame->level;
    fv->assigned = true;
    if (init && !init->empty()) {
      size_t n = std::min(init->size(), static_cast<size_t>(f.width));
      std::memcpy(data->block.data() + f.offset, init->data(), n);
    }
    data->members.push_back(fv);
    const size_t dot = fv->name.find('.');
    data->memberKeys.push_back({dot == std::string::npos ? std::string() : fv->name.substr(dot + 1), fv.get()});
    frame->vars.add(std::move(fv));
  }
  in.result = sv->value;
  return OK;
}

}  // namespace orvel
