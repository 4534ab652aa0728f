// randomstr: a string of random characters of one of several kinds.
#include <new>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "support/mt19937.h"

namespace orvel {

namespace {

// Longer strings are refused as an allocation failure.
constexpr int64_t kMaxRandomString = int64_t(1) << 28;

char pick(std::string_view table) { return table[static_cast<size_t>(mtRange(0, static_cast<int64_t>(table.size()) - 1))]; }

char letter(char base) { return static_cast<char>(base + mtRange(0, 25)); }
char anyCaseLetter() { return letter(mtRange(0, 1) ? 'a' : 'A'); }
char digitUpTo(int top) { return static_cast<char>('0' + mtRange(0, top)); }

// One character of the given kind; '\0' ends a kind 5 string.
char randomChar(int64_t type) {
  switch (type) {
    case 0: return anyCaseLetter();
    case 1: return letter('a');
    case 2: return letter('A');
    case 3: return digitUpTo(9);
    case 5: return static_cast<char>(static_cast<unsigned char>(mtRange(0, 255)));
    case 6: return pick("0123456789ABCDEF");
    case 7: return digitUpTo(1);
    // 8 and 9: digits from a range whose top is itself drawn.
    case 8: return digitUpTo(static_cast<int>(mtRange(1, 9)));
    case 9: return static_cast<char>('1' + mtRange(0, mtRange(0, 8)));
    case 10: return pick("0123456789abcdef");
    case 11: return static_cast<char>(mtRange(33, 126));
    case 12: {
      char c = pick("0123456789ABCDEF");
      return (c >= 'A' && mtRange(0, 1)) ? static_cast<char>(c + 32) : c;
    }
    case 13: return digitUpTo(7);
    case 14: return pick("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-:#.-:#.-:#");
    case 15: return pick("abcdefghijkmnopqrstuvwxyzACDEFGHIJKLMNPRSTUVWXYZ0123456789");
    case 16: return pick("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    default:  // 4 and the others: one in three a digit, else a letter
      return mtRange(0, 2) == 0 ? digitUpTo(9) : anyCaseLetter();
  }
}

int orvelCommandRandomstr(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string* varName = nullptr;
  bool nocomplain = false;
  int64_t type = 0;
  for (size_t i = 2; i < argv.size(); i++) {
    if (argv[i] == "-var") {
      if (i + 1 >= argv.size()) return wrongNumArgs(in, argv);
      varName = &argv[++i];
    } else if (argv[i] == "-nocomplain") {
      nocomplain = true;
    } else if (i == 2) {
      type = toInt64(argv[i]);
      if (type > 16) type = 16;
    }
  }
  int64_t length = toInt64(argv[1]);
  if (length < 0) length = 0;
  if (length > kMaxRandomString) {
    in.result.clear();
    setErrorIndex(in, 5, argv[0].c_str());
    return ERROR;
  }
  std::string text;
  try {
    text.reserve(static_cast<size_t>(length));
  } catch (const std::bad_alloc&) {
    in.result.clear();
    setErrorIndex(in, 5, argv[0].c_str());
    return ERROR;
  }
  for (int64_t i = 0; i < length; i++) {
    char c = randomChar(type);
    if (c == '\0') break;
    text += c;
  }
  if (!varName) {
    in.result = std::move(text);
    return OK;
  }
  if (!nocomplain && orvelGetVar(in, *varName)) {
    in.result.clear();
    return fail(in, "%s: Variable '%s' exists", argv[0].c_str(), varName->c_str());
  }
  if (setVariable(in, *varName, &text, false) != OK) {
    in.result = "0";
    return fail(in, "%s: Failed to set '%s'", argv[0].c_str(), varName->c_str());
  }
  in.result = "1";
  return OK;
}

const CommandRegistrar kRegs[] = {{"randomstr", orvelCommandRandomstr}};

}  // namespace
}  // namespace orvel
