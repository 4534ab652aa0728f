// The increment commands: ++ -- incr decr (with a step, -unsigned and,
// for array elements, -width) and the fast increment +++.
#include <charconv>

#include "expr/numbers.h"
#include "expr/operator_variables.h"
#include "interp/interp.h"

namespace orvel {
namespace {

// The name(index) parts of an element reference, with or without "$".
bool splitElement(std::string_view ref, std::string_view& array, std::string_view& sub) {
  if (!ref.empty() && ref[0] == '$') ref.remove_prefix(1);
  size_t open = ref.find('(');
  if (open == std::string_view::npos || open == 0 || ref.size() < open + 3 || ref.back() != ')') return false;
  array = ref.substr(0, open);
  sub = ref.substr(open + 1, ref.size() - open - 2);
  return true;
}

// A word that can stand for a number: a decimal or real number, or a
// radix form ("0x", "0b", "0o", "&..."; "&" with another letter then fails
// as an unknown type).
bool looksLikeNumber(std::string_view s) {
  if (numberKind(s) != kNotNumber) return true;
  if (!s.empty() && s[0] == '&') return true;
  if (s.size() > 2 && s[0] == '0') {
    char c = s[1];
    return c == 'x' || c == 'X' || c == 'b' || c == 'B' || c == 'o' || c == 'O';
  }
  return false;
}

// The new text of an array element.
void elementText(std::string& out, int64_t value, bool isUnsigned, int64_t width) {
  uint64_t u = static_cast<uint64_t>(value);
  if (isUnsigned) assignUint(out, u);
  else if (width == 8) assignInt(out, static_cast<int64_t>(u & 0xFF));
  else if (width == 16) assignInt(out, static_cast<int64_t>(u & 0xFFFF));
  else if (width == 32) assignInt(out, static_cast<int64_t>(u & 0xFFFFFFFFu));
  else assignInt(out, value);
}

int orvelCommandIncr(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& cmd = argv[0];
  const std::string& target = argv[1];
  bool down = cmd == "--" || cmd == "decr";
  int64_t step = 1;
  bool isUnsigned = false;
  int64_t width = 0;
  if (argv.size() > 2) {
    // An option in the step's place leaves the step at 1.
    if (argv[2] != "-unsigned" && argv[2] != "-width") step = decimalInt64(argv[2]);
    for (size_t i = 2; i < argv.size(); i++) {
      if (argv[i] == "-unsigned") {
        isUnsigned = true;
      } else if (argv[i] == "-width" && i + 1 < argv.size()) {
        width = decimalInt64(argv[++i]);
        if (width < 0) width = 0;
      }
    }
  }
  uint64_t delta = static_cast<uint64_t>(step);

  Var* v = orvelGetVar(in, target);
  if (v && !v->link && v->kind == VK_AUTO && !v->isConst && !v->isPointer) {
    // The common case: a plain variable, changed in place.
    bool ok;
    int64_t old = toInt64(v->value, &ok);
    if (!ok) return fail(in, "%s: Unknown type %s", cmd.c_str(), v->value.c_str());
    uint64_t nu = down ? static_cast<uint64_t>(old) - delta : static_cast<uint64_t>(old) + delta;
    char buf[24];
    auto r = isUnsigned ? std::to_chars(buf, buf + sizeof buf, nu)
                        : std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(nu));
    size_t len = static_cast<size_t>(r.ptr - buf);
    v->value.assign(buf, len);
    v->size = static_cast<int64_t>(len);
    v->assigned = true;
    in.result.assign(buf, len);
    return OK;
  }

  std::string scratch;
  std::string_view text;
  if (v) {
    text = operandValue(in, v, scratch);
    if (isStructMember(v) && text.empty()) {
      reportError(in, "%s: Bad rvalue\r\n", cmd.c_str());
      return ERROR;
    }
  } else {
    std::string_view array, sub;
    const std::string* element = nullptr;
    if (splitElement(target, array, sub)) element = arrayGetElement(in, array, sub);
    if (element) {
      if (numberKind(*element) == kNotNumber)
        return fail(in, "%s: Array argument '%s' is not a number", cmd.c_str(), target.c_str());
      int64_t old = decimalInt64(*element);
      uint64_t nu = down ? static_cast<uint64_t>(old) - delta : static_cast<uint64_t>(old) + delta;
      std::string value;
      elementText(value, static_cast<int64_t>(nu), isUnsigned, width);
      int code = arraySetElement(in, array, sub, value);
      if (code != OK) {
        in.result.clear();
        return code;
      }
      in.result = std::move(value);
      return OK;
    }
    if (!looksLikeNumber(target))
      return fail(in, "%s: '%s' is neither scalar or number", cmd.c_str(), target.c_str());
    text = target;
  }

  bool ok;
  int64_t old = toInt64(text, &ok);
  if (!ok) return fail(in, "%s: Unknown type %s", cmd.c_str(), std::string(text).c_str());
  uint64_t nu = down ? static_cast<uint64_t>(old) - delta : static_cast<uint64_t>(old) + delta;
  if (isUnsigned) assignUint(in.result, nu);
  else assignInt(in.result, static_cast<int64_t>(nu));
  if (v) return storeOperandValue(in, v, target, in.result);
  return OK;
}

int orvelCommandFastIncr(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  Var* v = orvelGetVar(in, argv[1]);
  std::string scratch;
  std::string_view text = v ? operandValue(in, v, scratch) : std::string_view(argv[1]);
  bool ok;
  int64_t old = toInt64(text, &ok);
  if (!ok) return fail(in, "%s: Unknown type %s", argv[0].c_str(), std::string(text).c_str());
  assignInt(in.result, static_cast<int64_t>(static_cast<uint64_t>(old) + 1));
  if (v) return storeOperandValue(in, v, argv[1], in.result);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"++", orvelCommandIncr},   {"--", orvelCommandIncr},      {"incr", orvelCommandIncr},
    {"decr", orvelCommandIncr}, {"+++", orvelCommandFastIncr},
};

}  // namespace
}  // namespace orvel
