// Changing a variable's text in place: append, mid, replacechar, and the
// field commands setl, setr and setc.
#include "commands/core/string_common.h"
#include "expr/numbers.h"
#include "interp/struct_access.h"
#include "support/hash_table.h"

namespace orvel::strings {

namespace {

// The element node of sub in an array record (exact match first, then
// ignoring case when the array was made that way).
hash_table::node* elementNode(Var* arr, std::string_view sub) {
  if (!arr || arr->kind != VK_ARRAY || !arr->table) return nullptr;
  hash_table::node* n = arr->table->find(sub);
  if (!n && arr->noCase) n = arr->table->findNoCase(sub);
  return n;
}

bool isElementName(std::string_view name, size_t& open) {
  open = name.find('(');
  return open != std::string_view::npos && open > 0 && name.size() > open + 2 && name.back() == ')';
}

// The record a variable name stands for in its frame (the current one, or
// the global frame for ::name), without the refresh of a link's copied
// value that orvelGetVar makes: that copy would cost the length of the
// whole text on every append through an upvar or global link.
Var* frameRecord(Interp& in, std::string_view name) {
  CallFrame* f = in.callFrame;
  if (name.size() >= 2 && name[0] == ':' && name[1] == ':') {
    name.remove_prefix(2);
    f = globalFrame(in);
  }
  return f && !name.empty() ? f->vars.find(name) : nullptr;
}

// append varName ?value...?: the values added to the end of the variable's
// text, which grows in place, so a million appends take linear time (also
// through links: the target grows, and the link records' copies are
// refreshed whenever they are looked up). A missing variable is created.
// The result is empty, so that no copy of a growing text is made per call.
int orvelCommandAppend(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& name = argv[1];
  in.result.clear();
  size_t open = 0;
  if (isElementName(name, open)) {
    // name(sub): the element rules of `set` apply.
    std::string value;
    if (setVariable(in, name, nullptr, false) == OK) value = std::move(in.result);
    for (size_t i = 2; i < argv.size(); i++) value += argv[i];
    int code = setVariable(in, name, &value, true);
    in.result.clear();
    return code;
  }
  Var* v = frameRecord(in, name);
  if (!v) {
    std::string value;
    for (size_t i = 2; i < argv.size(); i++) value += argv[i];
    if (set_var(in, name, value) != 0) return fail(in, "%s: Can't create variable '%s'", "append", name.c_str());
    return OK;
  }
  Var* end = varTarget(v);
  if (end->link && !end->subscript.empty()) {
    // A link to one array element: the element grows.
    Var* arr = varTarget(end->link.get());
    if (!arr || arr->kind != VK_ARRAY || !arr->table)
      return fail(in, "%s: Error processing array element '%s'", "append", name.c_str());
    hash_table::node* node = elementNode(arr, end->subscript);
    if (!node) {
      arr->table->set(end->subscript, "");
      node = elementNode(arr, end->subscript);
      if (!node) return fail(in, "%s: Error processing array element '%s'", "append", name.c_str());
    }
    for (size_t i = 2; i < argv.size(); i++) node->value += argv[i];
    return OK;
  }
  if (end->kind != VK_AUTO || end->isPointer || end->isConst || v->isConst)
    return fail(in, "%s: Variable '%s', object type '%s' not handled", "append", name.c_str(),
                (v->isConst || end->isConst) ? "const" : end->isPointer ? "pointer" : kindName(end->kind));
  for (size_t i = 2; i < argv.size(); i++) end->value += argv[i];
  end->size = static_cast<int64_t>(end->value.size());
  end->assigned = true;
  return OK;
}

// A variable whose text a command rewrites: it must exist and be a plain,
// changeable variable (messages of `mid`).
bool writableText(Interp& in, const std::string& cmd, const std::string& name, std::string& value) {
  Var* v = orvelGetVar(in, name);
  if (!v) {
    fail(in, "%s: Variable '%s' not found", cmd.c_str(), name.c_str());
    return false;
  }
  Var* t = varTarget(v);
  bool element = v->link && !v->subscript.empty();
  if (!element && (t->kind != VK_AUTO || t->isPointer || t->isConst || v->isConst)) {
    const char* type = (t->isConst || v->isConst) ? "const" : t->isPointer ? "pointer" : kindName(t->kind);
    fail(in, "%s: Can't assign to variable %s of type %s", cmd.c_str(), name.c_str(), type);
    return false;
  }
  if (!plainValue(in, name, value)) {
    fail(in, "%s: Variable '%s' not found", cmd.c_str(), name.c_str());
    return false;
  }
  return true;
}

// mid varName text position ?length?: text overwrites the value from the
// 1-based position on; the value's length never changes.
int orvelCommandMid(Interp& in, Args& argv, void*) {
  if (argv.size() < 4 || argv.size() > 5) return wrongNumArgs(in, argv);
  const std::string& name = argv[1];
  const std::string& text = argv[2];
  std::string value;
  in.result.clear();
  if (!writableText(in, argv[0], name, value)) return ERROR;
  const int64_t n = static_cast<int64_t>(value.size());
  int64_t pos = decimalArg(argv[3]);
  if (pos < 1) pos = 1;
  if (pos > n)
    return fail(in, "%s: Bounds error. Insert position %lld in string length %lld", argv[0].c_str(),
                static_cast<long long>(pos), static_cast<long long>(n));
  int64_t count = static_cast<int64_t>(text.size());
  if (n - pos + 1 < count) count = n - pos + 1;
  if (argv.size() == 5) {
    int64_t want = decimalArg(argv[4]);
    if (want < count) count = want;
  }
  if (count <= 0) return OK;
  value.replace(static_cast<size_t>(pos - 1), static_cast<size_t>(count), text, 0, static_cast<size_t>(count));
  storePlain(in, name, value);
  in.result = intText(count);
  return OK;
}

// setl / setr / setc varName text: text placed left-justified, right-
// justified or centred in the variable's field (its current length), padded
// with blanks and cut to the field. The result is the new value.
int orvelCommandSetl(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  std::string value;
  in.result.clear();
  if (!writableText(in, argv[0], argv[1], value)) return ERROR;
  const size_t width = value.size();
  std::string_view text = std::string_view(argv[2]).substr(0, width);
  size_t pad = width - text.size();
  size_t before = argv[0] == "setr" ? pad : argv[0] == "setc" ? pad / 2 : 0;
  std::string out(before, ' ');
  out += text;
  out.append(pad - before, ' ');
  storePlain(in, argv[1], out);
  in.result = std::move(out);
  return OK;
}

// Replaces (or, with an empty `to`, deletes) the characters of s that equal
// from[0] or, with mask, occur anywhere in from. The number replaced.
int64_t replaceChars(std::string& s, std::string_view from, std::string_view to, bool mask) {
  if (from.empty()) return 0;
  std::string_view set = mask ? from : from.substr(0, 1);
  int64_t count = 0;
  size_t w = 0;
  for (size_t r = 0; r < s.size(); r++) {
    if (set.find(s[r]) == std::string_view::npos) {
      s[w++] = s[r];
      continue;
    }
    count++;
    if (!to.empty()) s[w++] = to[0];
  }
  s.resize(w);
  return count;
}

// replacechar varName from to ?-mask?
int orvelCommandReplacechar(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  const std::string& name = argv[1];
  const bool mask = argv.size() > 4 && argv[4] == "-mask";
  in.result.clear();
  size_t open = 0;
  if (isElementName(name, open)) {
    std::string_view arrName = std::string_view(name).substr(0, open);
    std::string_view sub = std::string_view(name).substr(open + 1, name.size() - open - 2);
    Var* arr = varTarget(orvelGetVar(in, arrName));
    if (!arr) return fail(in, "%s: '%s' not found", argv[0].c_str(), name.c_str());
    hash_table::node* node = arr->isConst ? nullptr : elementNode(arr, sub);
    if (!node) return fail(in, "%s: Error processing array element '%s'", argv[0].c_str(), name.c_str());
    in.result = intText(replaceChars(node->value, argv[2], argv[3], mask));
    return OK;
  }
  Var* v = orvelGetVar(in, name);
  if (!v) return fail(in, "%s: '%s' not found", argv[0].c_str(), name.c_str());
  Var* t = varTarget(v);
  std::string value;
  bool element = v->link && !v->subscript.empty();
  if ((!element && (t->kind != VK_AUTO || t->isPointer || t->isConst || v->isConst)) ||
      !plainValue(in, name, value))
    return fail(in, "%s: Variable '%s' is not a string", argv[0].c_str(), name.c_str());
  int64_t count = replaceChars(value, argv[2], argv[3], mask);
  if (count) storePlain(in, name, value);
  in.result = intText(count);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"append", orvelCommandAppend}, {"mid", orvelCommandMid},   {"setl", orvelCommandSetl},
    {"setr", orvelCommandSetl},     {"setc", orvelCommandSetl}, {"replacechar", orvelCommandReplacechar},
};

}  // namespace

}  // namespace orvel::strings
