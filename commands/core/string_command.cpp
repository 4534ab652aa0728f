// The `string` command: string subcommand text ?args...?. Subcommands are
// matched without regard to case; -var as the last word makes the text the
// name of a variable (for tolower the word after the subcommand, with the
// name following it).
#include <algorithm>
#include <cstring>

#include "commands/core/string_common.h"
#include "expr/numbers.h"
#include "support/text_replace.h"

namespace orvel::strings {

using namespace std::literals;

namespace {

int invalidArgument(Interp& in, Args& argv) {
  in.result.clear();
  return fail(in, "%s %s: Invalid argument", argv[0].c_str(), argv[1].c_str());
}

std::string titleCase(std::string s) {
  lowerInPlace(s);
  for (char& c : s) {
    if (!isSpaceC(c)) {
      c = upperC(c);
      break;
    }
  }
  return s;
}

std::string initialCaps(std::string s) {
  lowerInPlace(s);
  for (size_t i = 0; i < s.size(); i++)
    if (i == 0 || !isAlnumC(s[i - 1])) s[i] = upperC(s[i]);
  return s;
}

bool allOf(const std::string& s, bool (*test)(char)) {
  for (char c : s)
    if (!test(c)) return false;
  return true;
}

// string repeat text ?count? ?separator?: the first character of text.
int repeatText(Interp& in, Args& argv) {
  const std::string& text = argv[2];
  int64_t count = argv.size() > 3 ? decimalArg(argv[3]) : 1;
  const bool withSep = argv.size() > 4;
  const std::string_view sep = withSep ? std::string_view(argv[4]) : std::string_view();
  in.result.clear();
  if (count < 1 || text.empty()) return OK;
  int64_t size = count > kMaxBuiltLength ? count : count + (count - 1) * static_cast<int64_t>(sep.size());
  if (size > kMaxBuiltLength) return tooLong(in, argv[0] + " " + argv[1], size);
  std::string out;
  out.reserve(static_cast<size_t>(size));
  for (int64_t i = 0; i < count; i++) {
    if (i && withSep) out += sep;
    out += text[0];
  }
  in.result = std::move(out);
  return OK;
}

// string toarray text arrayName: the lines of text (cut at LF) as
// arrayName(0) ...; the number of lines.
int toArray(Interp& in, Args& argv) {
  const std::string& text = argv[2];
  const std::string& name = argv[3];
  in.result.clear();
  if (orvelGetVar(in, name))
    return fail(in, "%s %s: Array '%s' exists", argv[0].c_str(), argv[1].c_str(), name.c_str());
  int64_t count = 0;
  size_t from = 0;
  for (;;) {
    size_t lf = text.find('\n', from);
    std::string_view piece = std::string_view(text).substr(from, lf == std::string::npos ? std::string::npos : lf - from);
    std::string sub = intText(count);
    if (arraySetElement(in, name, sub, piece, false, false) != OK)
      return fail(in, "%s %s: Failed to set array %s(%s)", argv[0].c_str(), argv[1].c_str(), name.c_str(),
                  sub.c_str());
    count++;
    if (lf == std::string::npos) break;
    from = lf + 1;
  }
  in.result = intText(count);
  return OK;
}

// string replace text old new ?-noescape?
int replaceText(Interp& in, Args& argv) {
  bool noescape = false;
  for (size_t i = 5; i < argv.size(); i++) {
    if (argv[i] == "-glob") {
      in.result.clear();
      reportError(in, "%s %s: %s not implemented\r\n", argv[0].c_str(), argv[1].c_str(), "-glob");
      return ERROR;
    }
    if (argv[i] == "-noescape") noescape = true;
  }
  std::string text = argv[2];
  std::string from = noescape ? argv[3] : unescapeText(argv[3]);
  std::string to = noescape ? argv[4] : unescapeText(argv[4]);
  replaceAll(text, from, to);
  in.result = std::move(text);
  return OK;
}

// string range text first last: 0-based and inclusive; last may be `end`
// (the last character) or `end-N` (N characters before it).
int rangeText(Interp& in, Args& argv) {
  const std::string& text = argv[2];
  const int64_t len = static_cast<int64_t>(text.size());
  in.result.clear();
  int64_t first = decimalArg(argv[3]);
  if (first < 0) return fail(in, "%s: Invalid argument '%s'", argv[0].c_str(), argv[3].c_str());
  const std::string& lastWord = argv[4];
  int64_t last;
  if (lastWord.compare(0, 3, "end") == 0) {
    last = len - 1;
    if (lastWord.size() > 4 && lastWord[3] == '-') {
      int64_t back = decimalArg(std::string_view(lastWord).substr(4));
      last = back > len ? -1 : last - (back < 0 ? 0 : back);
    }
  } else {
    last = decimalArg(lastWord);
    if (last < 0) return fail(in, "%s: Invalid argument '%s'", argv[0].c_str(), lastWord.c_str());
  }
  if (last > len - 1) last = len - 1;
  if (last < first || first >= len) return OK;
  in.result.assign(text, static_cast<size_t>(first), static_cast<size_t>(last - first + 1));
  return OK;
}

// Hands the words after `string` to a stand-alone command.
int handOn(Interp& in, Args& argv, const char* name, Handler h) {
  Args words(argv.begin() + 1, argv.end());
  words[0] = name;
  return h(in, words, nullptr);
}

// `string index`: the character of text at the position argv[3] gives.
int charAt(Interp& in, Args& argv, const std::string& text) {
  const int64_t pos = decimalArg(argv[3]);
  if (pos < 0 || pos >= static_cast<int64_t>(text.size())) return invalidArgument(in, argv);
  in.result.assign(1, text[static_cast<size_t>(pos)]);
  return OK;
}

// True when word is exactly the lower-case name lit.
template <size_t N>
inline bool isName(const std::string& word, const char (&lit)[N]) {
  return word.size() == N - 1 && std::memcmp(word.data(), lit, N - 1) == 0;
}

// The everyday forms, served from the words as they stand: toupper,
// tolower and length of a text (three words), index (four words) and
// range. Names with capitals, -var and other word counts are left to the
// general code below, which gives these forms the same results. Returns
// kNotQuick when the form is not one of these.
constexpr int kNotQuick = -1;
int quickForm(Interp& in, Args& argv) {
  const std::string& sub = argv[1];
  switch (argv.size()) {
    case 3:
      if (isName(sub, "toupper")) {
        in.result.assign(argv[2]);
        upperInPlace(in.result);
        return OK;
      }
      if (isName(sub, "tolower") && argv[2] != "-var") {
        in.result.assign(argv[2]);
        lowerInPlace(in.result);
        return OK;
      }
      if (isName(sub, "length")) {
        assignInt(in.result, static_cast<int64_t>(argv[2].size()));
        return OK;
      }
      return kNotQuick;
    case 4:
      if (isName(sub, "index")) return charAt(in, argv, argv[2]);
      return kNotQuick;
    default:
      if (argv.size() >= 5 && isName(sub, "range")) return rangeText(in, argv);
      return kNotQuick;
  }
}

int orvelCommandString(Interp& in, Args& argv, void*) {
  const size_t argc = argv.size();
  if (argc < 3) return wrongNumArgs(in, argv);
  if (int code = quickForm(in, argv); code != kNotQuick) return code;
  // The subcommand in lower case (copied only when it has capitals).
  std::string lowered;
  std::string_view sub = argv[1];
  if (std::any_of(sub.begin(), sub.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
    lowered = argv[1];
    lowerInPlace(lowered);
    sub = lowered;
  }

  // Subcommands that are stand-alone commands given the words after `string`.
  if (sub == "to_wchar"sv) return handOn(in, argv, "wchar_to_string", orvelCommandWchar_to_string);
  struct HandOn {
    std::string_view name;
    Handler h;
  };
  static const HandOn handOns[] = {{"left", orvelCommandLeft},   {"right", orvelCommandLeft},
                                   {"mids", orvelCommandMids},   {"match", orvelCommandMatch},
                                   {"slice", orvelCommandSlice}, {"map", orvelCommandMap}};
  for (const HandOn& h : handOns) {
    if (sub == h.name) {
      if (argc < 4) return wrongNumArgs(in, argv);
      return handOn(in, argv, h.name.data(), h.h);
    }
  }

  // The text of the subcommand: argv[2], or with -var the value of the
  // variable it names (required is the number of words before options).
  std::string varName;
  std::string text;
  auto getText = [&](size_t required) -> bool {
    bool useVar = argc > required && argv.back() == "-var";
    if (sub == "tolower"sv && argv[2] == "-var") {
      if (argc < 4) return false;
      varName = argv[3];
      return plainValue(in, varName, text);
    }
    if (!useVar) {
      varName.clear();
      text = argv[2];
      return true;
    }
    varName = argv[2];
    return plainValue(in, varName, text);
  };
  // Stores the changed text back with -var; the result is the text.
  auto done = [&](std::string s) {
    if (!varName.empty()) storePlain(in, varName, s);
    in.result = std::move(s);
    return OK;
  };

  if (sub == "tolower"sv || sub == "toupper"sv) {
    if (!getText(3)) return invalidArgument(in, argv);
    sub == "tolower"sv ? lowerInPlace(text) : upperInPlace(text);
    return done(std::move(text));
  }
  if (sub == "isempty"sv || sub == "length"sv || sub == "is_alpha"sv || sub == "is_alnum"sv) {
    if (!getText(3)) return invalidArgument(in, argv);
    if (sub == "isempty"sv)
      in.result = text.empty() ? "1" : "0";
    else if (sub == "length"sv)
      in.result = intText(static_cast<int64_t>(text.size()));
    else
      in.result = allOf(text, sub == "is_alpha"sv ? isAlphaC : isAlnumC) ? "1" : "0";
    return OK;
  }
  if (sub == "trim"sv || sub == "trimleft"sv || sub == "trimright"sv) {
    if (!getText(3)) return invalidArgument(in, argv);
    size_t words = argc - (varName.empty() ? 0 : 1);
    std::string_view chars = words > 3 ? std::string_view(argv[3]) : sub == "trim"sv ? " \t" : " ";
    std::string trimmed(trimSet(text, chars, sub != "trimright"sv, sub != "trimleft"sv));
    if (sub != "trim"sv) varName.clear();  // only trim changes the variable
    return done(std::move(trimmed));
  }
  if (sub == "totitle"sv || sub == "initcaps"sv || sub == "reverse"sv) {
    if (!getText(3)) return invalidArgument(in, argv);
    if (sub == "reverse"sv) return done(std::string(text.rbegin(), text.rend()));
    return done(sub == "totitle"sv ? titleCase(std::move(text)) : initialCaps(std::move(text)));
  }
  if (sub == "repeat"sv) return repeatText(in, argv);

  if (sub == "equal"sv || sub == "index"sv || sub == "toarray"sv) {
    if (argc < 4) return wrongNumArgs(in, argv);
    if (sub == "toarray"sv) return toArray(in, argv);
    if (!getText(4)) return invalidArgument(in, argv);
    varName.clear();  // read only
    if (sub == "equal"sv) {
      in.result = text == argv[3] ? "1" : "0";
      return OK;
    }
    return charAt(in, argv, text);
  }

  if (sub == "replace"sv || sub == "range"sv) {
    if (argc < 5) return wrongNumArgs(in, argv);
    return sub == "replace"sv ? replaceText(in, argv) : rangeText(in, argv);
  }

  if (argc >= 5) {
    in.result.clear();
    return fail(in, "%s %s: Unhandled command", argv[0].c_str(), argv[1].c_str());
  }
  return wrongNumArgs(in, argv);
}

const CommandRegistrar kRegs[] = {{"string", orvelCommandString}};

}  // namespace

}  // namespace orvel::strings
