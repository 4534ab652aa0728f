// The evaluator: tokens in, substituted words out, handlers called.
#include <cstdio>
#include <deque>
#include <cstring>
#include <exception>
#include <fstream>

#include "expr/numbers.h"
#include "interp/command_table.h"
#include "interp/eval_internal.h"
#include "interp/list_text.h"
#include "interp/parse_cache.h"
#include "interp/process_state.h"
#include "interp/struct_access.h"
#include "interp/tokenizer.h"
#include "interp/watch_hook.h"
#include "platform/console.h"

namespace orvel {

namespace {

int g_evalNesting = 0;

struct NestingGuard {
  NestingGuard() { ++g_evalNesting; }
  ~NestingGuard() { --g_evalNesting; }
};

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A first word that is a plain number is the command's value.
bool isBareNumber(std::string_view w) {
  size_t i = 0;
  while (i < w.size() && (w[i] == ' ' || w[i] == '\t')) i++;
  if (i < w.size() && (w[i] == '+' || w[i] == '-')) {
    i++;
    if (i >= w.size() || !(isDigit(w[i]) || w[i] == '.')) return false;
  }
  int digits = 0, dots = 0;
  for (; i < w.size(); i++) {
    if (isDigit(w[i])) digits++;
    else if (w[i] == '.') {
      if (++dots > 1) return false;
    } else
      return false;
  }
  return digits > 0;
}

// Translates \r \n \t; any other backslash pair becomes its second
// character; a lone final backslash stays.
std::string translateEscapes(std::string_view s) {
  if (s.find('\\') == std::string_view::npos) return std::string(s);
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char n = s[++i];
      out += n == 'r' ? '\r' : n == 'n' ? '\n' : n == 't' ? '\t' : n;
    } else {
      out += s[i];
    }
  }
  return out;
}

// The words as one list text: a word holding a space in braces, an empty
// word as {}, the words separated by single spaces.
std::string joinWordsAsList(const Args& words) {
  std::string line;
  for (size_t i = 0; i < words.size(); i++) {
    if (i) line += ' ';
    const std::string& w = words[i];
    if (w.empty()) {
      line += "{}";
    } else if (w.find(' ') != std::string::npos) {
      line += '{';
      line += w;
      line += '}';
    } else {
      line += w;
    }
  }
  return line;
}

void printTraceLine(int attr, const std::string& text) {
  plat::setAttribute(attr);
  plat::writeOut(text);
  plat::setAttribute(7);
  plat::fillToLineEnd(' ');
  plat::writeOut("\r\n");
  plat::flushOut();
}

bool traceMatches(Interp& in, const std::string& name) {
  for (auto& t : in.traceList)
    if (t == name || t == "*") return true;
  return false;
}

// The single-step prompt; returns false when the user quits.
bool singleStepPrompt(Interp& in, const Args& words) {
  for (;;) {
    if (in.watchOn && !in.watchList.empty()) {
      for (auto& w : in.watchList) {
        plat::setAttribute(0xE0);
        plat::writeOut("Watch:");
        plat::setAttribute(7);
        plat::writeOut(" ");
        Var* v = orvelGetVar(in, w);
        if (v) {
          std::string val;
          readVarValue(in, v, val);
          plat::setAttribute(0x3E);
          if (val.size() <= 38)
            plat::writeOut(strprintf("'%-.30s'->'%-.38s'", w.c_str(), val.c_str()));
          else
            plat::writeOut(strprintf("'%-.30s'->'%-.34s'...", w.c_str(), val.c_str()));
        } else {
          plat::setAttribute(0x4F);
          plat::writeOut(strprintf("'%s' is out of scope ", w.c_str()));
        }
        plat::setAttribute(7);
        plat::writeOut("\r\n");
      }
    }
    plat::setAttribute(0xE0);
    plat::writeOut(strprintf("(%llu): Next ", static_cast<unsigned long long>(in.commandCounter)));
    plat::setAttribute(0x1F);
    plat::writeOut(strprintf("[%s]", words[0].c_str()));
    plat::setAttribute(0xE0);
    plat::writeOut(strprintf("  Info Next Trace Resume Vars Watch%s Quit ", in.watchOn ? "(ON) " : "(OFF)"));
    plat::setAttribute(7);
    plat::flushOut();
    int key = plat::readKey();
    if (key >= 'A' && key <= 'Z') key += 32;
    plat::writeOut("\r");
    plat::fillToLineEnd(' ');
    plat::writeOut("\r");
    switch (key) {
      case 'n':
      case ' ':
        return true;
      case 'i':
        printRecordedStack(in);
        continue;
      case 't':
        printRecordedStack(in);
        return true;
      case 'r':
        ps().singleStep = false;
        return true;
      case 'v': {
        Args v{"vars"};
        if (Command* c = orvelGetCommand(in, "vars")) c->handler(in, v, c->pd);
        continue;
      }
      case 'w':
        in.watchOn = !in.watchOn;
        continue;
      case 'q':
      case 27:
      case 3:
        ps().singleStep = false;
        return false;
      default:
        continue;
    }
  }
}

}  // namespace

void printRecordedStack(Interp& in) {
  bool saved = ps().stacktrace;
  bool savedEcho = ps().echo;
  ps().stacktrace = true;
  ps().echo = true;
  reportErrorText(in, "stack:\r\n");
  ps().stacktrace = saved;
  ps().echo = savedEcho;
}

// Calls a found command with the evaluator's bookkeeping around it.
int dispatchCommand(Interp& in, Command* cmd, Args& words) {
  ProcessState& st = ps();
  int64_t snapshot = in.commandCounter;
  const std::string& name = words[0];
  if (in.traceOn && traceMatches(in, name)) {
    in.traceLine = joinWordsAsList(words);
    if (st.traceLog) {
      if (!in.traceLine.empty() && !name.empty()) {
        std::ofstream log("trace.log", std::ios::app | std::ios::binary);
        log << in.traceLine << "\r\n";
      }
    } else {
      printTraceLine(11, strprintf("Exec %lld (%d)> '%s'", static_cast<long long>(snapshot), in.level,
                                   in.traceLine.empty() ? "{}" : in.traceLine.c_str()));
    }
    in.traceLine.clear();
  }
  in.commandCounter++;
  if (st.commandLimit > 0 && in.commandCounter > st.commandLimit) return ERROR;
  CallFrame* frame = in.callFrame;
  Args* savedArgv = frame->argv;
  frame->argv = &words;
  if (st.stacktrace) {
    std::string summary = name.substr(0, 80);
    summary += ' ';
    for (size_t i = 1; i < words.size(); i++) {
      if (i > 1) summary += ' ';
      summary += '{';
      summary += words[i].substr(0, 80);
      if (words[i].size() >= 80) summary += "...";
      summary += '}';
    }
    st.callStack.push_back(std::move(summary));
  }
  if (st.singleStep && !singleStepPrompt(in, words)) {
    frame->argv = savedArgv;
    if (st.stacktrace && !st.callStack.empty()) st.callStack.pop_back();
    return STOP;
  }
  // A handler serving several names tells them apart by argv[0]: it sees
  // the name without the leading :: that only chose the global frame.
  std::string qualified;
  if (name.size() >= 2 && name[0] == ':' && name[1] == ':') {
    qualified = name;
    words[0].erase(0, 2);
  }
  if (std::string_view(name) != std::string_view("set")) in.resultKind = 0;  // lengths first, then bytes
  Handler h = cmd->handler;
  void* pd = cmd->pd;
  int kind = cmd->kind;
  std::shared_ptr<void> keep = cmd->owner;  // the entry may go away during the call
  st.callDepth++;
  int code;
  try {
    code = h ? h(in, words, pd) : ERROR;
  } catch (...) {
    st.callDepth--;
    frame->argv = savedArgv;
    if (st.stacktrace && !st.callStack.empty()) st.callStack.pop_back();
    if (!qualified.empty() && !words.empty()) words[0] = std::move(qualified);
    throw;
  }
  st.callDepth--;
  frame->argv = savedArgv;
  if (st.stacktrace && !st.callStack.empty()) st.callStack.pop_back();
  if (!qualified.empty() && !words.empty()) words[0] = std::move(qualified);
  if (in.traceOn && !st.traceLog && !words.empty() && traceMatches(in, words[0])) {
    printTraceLine(13, strprintf("Retn %lld (%d)> '%s' -> '%s'", static_cast<long long>(snapshot), in.level,
                                 words[0].c_str(), in.result.empty() ? "{}" : in.result.c_str()));
  }
  if (!in.watchList.empty()) watchCheck(in);
  if (code == RETURN) {
    if (kind == 1) return OK;
    return st.callDepth == 0 ? RETURN_TOP : RETURN;
  }
  return code;
}

// Runs one assembled command (steps after the words are complete).
int runCommand(Interp& in, Args& words) {
  CallFrame* savedFrame = nullptr;
  const std::string& first = words[0];
  if (first.size() >= 2 && first[0] == ':' && first[1] == ':') {
    savedFrame = in.callFrame;
    in.callFrame = globalFrame(in);
  }
  struct Restore {
    Interp& in;
    CallFrame* saved;
    ~Restore() {
      if (saved) in.callFrame = saved;
    }
  } restore{in, savedFrame};

  char c0 = first.empty() ? '\0' : first[0];
  if ((isDigit(c0) || c0 == '.' || c0 == '+' || c0 == '-' || c0 == ' ' || c0 == '\t') && isBareNumber(first)) {
    in.result = first;
    return OK;
  }
  if (Command* cmd = orvelGetCommand(in, first)) return dispatchCommand(in, cmd, words);
  if (ps().autoexec) {
    if (Command* ex = orvelGetCommand(in, "exec")) {
      in.commandCounter++;
      Handler h = ex->handler;
      return h(in, words, ex->pd);
    }
  }
  if (Command* unk = orvelGetCommand(in, "unknown")) {
    words.insert(words.begin(), "unknown");
    in.commandCounter++;
    Args* savedArgv = in.callFrame->argv;
    in.callFrame->argv = &words;
    Handler h = unk->handler;
    void* pd = unk->pd;
    auto keep = unk->owner;
    ps().callDepth++;
    int code = h(in, words, pd);
    ps().callDepth--;
    in.callFrame->argv = savedArgv;
    return code;
  }
  reportError(in, "eval: Command, proc or sub '%.50s' was not found at level %i in %s (autoexec is OFF)\r\n",
              first.c_str(), in.level, procNameOf(in));
  return ERROR;
}

int evalNestingDepth() { return g_evalNesting; }

int orvelEvalWords(Interp& in, Args& words) {
  if (words.empty()) return OK;
  in.resultUnused = false;
  int code = runCommand(in, words);
  if (code == CONTINUE_WITH_NEXT) return OK;
  if (code == RETURN_TOP) return OK;
  return code;
}

// Runs one evaluation one nesting level deeper; an exception escaping from
// it is reported at this boundary and gives ERROR with an empty result.
template <class F>
int guardedEval(Interp& in, F run) {
  NestingGuard guard;
  try {
    return run();
  } catch (const std::exception& e) {
    reportException("orvelEval", e.what());
  } catch (...) {
    reportException("orvelEval", nullptr);
  }
  in.result.clear();
  return ERROR;
}

int orvelEval(Interp& in, std::string_view text, bool substituteOnly, bool keepVariables) {
  if (text.empty()) return OK;
  if (g_evalNesting >= ps().evalNestingLimit) {
    reportError(in, "eval: Nesting too deep (%d evaluations) at level %i in %s\r\n", g_evalNesting, in.level,
                procNameOf(in));
    return ERROR;
  }
  return guardedEval(in, [&] { return evalText(in, text, substituteOnly, keepVariables); });
}

namespace {

// [command] substitution: OK with the value, or the code that ends the
// enclosing evaluation.
int substituteCommand(Interp& in, std::string_view tok, std::string& value) {
  if (!tok.empty() && isDigit(tok[0])) {
    std::string_view t = tok;
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
    value.assign(t);
    in.result = value;
    in.substCode = OK;
    return OK;
  }
  int code = orvelEval(in, tok, false, false);
  if (code != OK && code != RETURN && code != BREAK) return code;
  in.substCode = static_cast<unsigned>(code);
  value = in.result;
  return OK;
}

// Runs a text whose commands were cut into words ahead of time.
// Word vectors reused by nesting depth, so that evaluating a loop body
// does not allocate a new vector and new word buffers on every pass. A
// deque keeps the vectors in place while deeper levels are added.
struct WordBuffers {
  // A command of fewer than kByCount words uses the vector kept for its
  // word count, which stays at that size: commands of different lengths
  // take turns without moving word strings between vectors.
  static constexpr size_t kByCount = 8;
  Args byCount[kByCount];
  Args words;  // longer commands
  std::string value;
  Args spare;  // word strings set aside (with their buffers) while a command has fewer words
  // Sizes words to n, keeping the buffers of words no longer needed.
  void size(size_t n) {
    while (words.size() > n) {
      spare.push_back(std::move(words.back()));
      words.pop_back();
    }
    while (words.size() < n) {
      if (spare.empty()) {
        words.emplace_back();
      } else {
        words.push_back(std::move(spare.back()));
        spare.pop_back();
      }
    }
  }
  // The word vector for a command of n words (a handler may have changed
  // a vector's size; it is put right here).
  Args& wordsFor(size_t n) {
    if (n < kByCount) {
      Args& a = byCount[n];
      if (a.size() != n) a.resize(n);
      return a;
    }
    if (words.size() != n) size(n);
    return words;
  }
};
WordBuffers& wordBuffers() {
  static std::vector<std::unique_ptr<WordBuffers>> pool;
  size_t depth = static_cast<size_t>(g_evalNesting);
  if (depth < pool.size()) return *pool[depth];
  while (pool.size() <= depth) pool.push_back(std::make_unique<WordBuffers>());
  return *pool[depth];
}

// The variable of a name in the current frame, through a remembered
// look-up while the frame's table is unchanged.
inline Var* lookupPlain(Interp& in, std::string_view name, VarLookupCache& cache) {
  return in.callFrame->vars.findRemembered(name, cache);
}

// Which fast operation, if any, a command resolved to `cmd` allows; sets
// c.fastCode to the operator.
FastOp classifyFastOp(const CompiledCommand& c, const std::string& name, const Command* cmd) {
  if (cmd->kind != 0 || cmd->pd || name.empty() || name.size() > 6) return FAST_NONE;
  if (cmd->handler != builtinHandler(name)) return FAST_NONE;  // renamed or replaced
  const size_t n = c.words.size();
  if (n == 3 && name.size() == 1 && (name[0] == '<' || name[0] == '>')) {
    c.fastCode = name[0];
    return FAST_RELATION;
  }
  if (n == 3 && name.size() == 2 && name[1] == '=' && std::strchr("<>=!", name[0])) {
    c.fastCode = name[0] == '<' ? '(' : name[0] == '>' ? ')' : name[0];
    return FAST_RELATION;
  }
  if (n == 3 && name.size() == 1 && std::strchr("+-*/%&|^", name[0])) {
    c.fastCode = name[0];
    return FAST_ARITHMETIC;
  }
  if (n == 3 && c.plainNameArg && name == "set") return FAST_SET;
  if (n == 3 && c.plainNameArg && name == "append") return FAST_APPEND;
  if ((n == 2 || n == 3) && c.plainNameArg && (name == "incr" || name == "++" || name == "decr" || name == "--")) {
    c.fastCode = (name[0] == 'd' || name[0] == '-') ? 'd' : 'i';
    return FAST_INCREMENT;
  }
  return FAST_NONE;
}

constexpr int kNotHandled = -1;

// "1" or "0" into a result.
inline void setTruth(std::string& out, bool t) {
  out.clear();
  out.push_back(t ? '1' : '0');
}

// True when a canonical non-negative decimal text (no sign, no leading
// zero) steps by one without a carry or borrow: "41" to "42" does, "40"
// to "39" does not.
inline bool stepsInPlace(const std::string& text, bool up) {
  const size_t n = text.size();
  if (n == 0 || n > 18) return false;
  const char* d = text.data();
  if (d[0] == '0' && n > 1) return false;
  if (n <= 8) {
    if (!shortDigitText(text)) return false;
  } else {
    for (size_t i = 0; i < n; i++)
      if (static_cast<unsigned char>(d[i] - '0') > 9) return false;
  }
  const char last = d[n - 1];
  return up ? last != '9' : last != '0';
}

// The relation or arithmetic of two integers into the result; false when
// the handler must decide (a zero or -1 divisor).
inline bool computeInts(Interp& in, char code, int64_t a, int64_t b) {
  const uint64_t ua = static_cast<uint64_t>(a), ub = static_cast<uint64_t>(b);
  int64_t r;
  switch (code) {
    case '<': setTruth(in.result, a < b); return true;
    case '(': setTruth(in.result, a <= b); return true;
    case '>': setTruth(in.result, a > b); return true;
    case ')': setTruth(in.result, a >= b); return true;
    case '=': setTruth(in.result, a == b); return true;
    case '!': setTruth(in.result, a != b); return true;
    case '+': r = static_cast<int64_t>(ua + ub); break;
    case '-': r = static_cast<int64_t>(ua - ub); break;
    case '*': r = static_cast<int64_t>(ua * ub); break;
    case '/':
      if (b == 0 || b == -1) return false;
      r = a / b;
      break;
    case '%':
      if (b == 0 || b == -1) return false;
      r = a % b;
      break;
    case '&': r = a & b; break;
    case '|': r = a | b; break;
    default: r = a ^ b; break;
  }
  assignInt(in.result, r);
  return true;
}

// Adds step to (or takes it from) a plain integer variable of this frame;
// false when the handler must do it.
inline bool incrementPlain(Interp& in, const CompiledCommand& c, std::string_view name, int64_t step) {
  Var* v = lookupPlain(in, name, c.nameLookup);
  if (!v || v->link || v->kind != VK_AUTO || v->isConst || v->isPointer) return false;
  const bool up = c.fastCode != 'd';
  if (step == 1 && stepsInPlace(v->value, up)) {
    // The result is copied before the digit changes: a copy that reads
    // the text right after a one-byte store stalls the processor.
    in.result = v->value;
    const size_t last = v->value.size() - 1;
    const char d = static_cast<char>(v->value[last] + (up ? 1 : -1));
    v->value[last] = d;
    in.result[last] = d;
    v->size = static_cast<int64_t>(v->value.size());
    v->assigned = true;
    return true;
  }
  int64_t a;
  if (!plainDecimalText(v->value, a)) return false;
  const uint64_t r = c.fastCode == 'd' ? static_cast<uint64_t>(a) - static_cast<uint64_t>(step)
                                       : static_cast<uint64_t>(a) + static_cast<uint64_t>(step);
  assignInt(v->value, static_cast<int64_t>(r));
  v->size = static_cast<int64_t>(v->value.size());
  v->assigned = true;
  in.result = v->value;
  return true;
}

// Assigns a value to an existing plain variable of this frame as `set`
// does; false when `set` itself must do it (a new variable, a link, a
// dictionary result waiting to be stored, any other kind).
inline bool setPlain(Interp& in, const CompiledCommand& c, std::string_view name, std::string_view value) {
  if (in.resultKind == VK_DICT) return false;
  Var* v = lookupPlain(in, name, c.nameLookup);
  if (!v || v->link || v->kind != VK_AUTO || v->isPointer || v->isConst) return false;
  v->value.assign(value);
  v->size = static_cast<int64_t>(value.size());
  v->assigned = true;
  in.result = v->value;
  return true;
}

// Appends a value to an existing plain variable of this frame as `append`
// does (its result is empty); false when `append` itself must do it.
inline bool appendPlain(Interp& in, const CompiledCommand& c, std::string_view name, std::string_view value) {
  Var* v = lookupPlain(in, name, c.nameLookup);
  if (!v || v->link || v->kind != VK_AUTO || v->isPointer || v->isConst) return false;
  v->value.append(value);
  v->size = static_cast<int64_t>(v->value.size());
  v->assigned = true;
  in.result.clear();
  return true;
}

// A simple operand as an integer without building the word: a literal's
// parsed value or a plain variable's value; false when it is not a plain
// decimal integer (or not there).
inline bool operandInt(Interp& in, const TokenList& l, const CompiledWord& w, int64_t& out) {
  const CompiledPart& part = w.parts[0];
  if (part.type != PT_VAR) {
    out = w.intValue;
    return w.isInt;
  }
  const CachedToken& t = l.tokens[part.token];
  Var* v = lookupPlain(in, std::string_view(l.text.data() + t.start, t.len), part.lookup);
  if (!v || v->link || v->kind == VK_FIELD || v->kind == VK_DICT) return false;
  return plainDecimalText(v->value, out);
}

// The fast operation of a command whose operands are all simple, before
// any word is built.
// The text of a word's first part.
inline std::string_view partText(const TokenList& l, const CompiledWord& w) {
  const CachedToken& t = l.tokens[w.parts[0].token];
  return std::string_view(l.text.data() + t.start, t.len);
}

// set and append: word 2 a literal or a plain variable.
template <bool Append>
bool fastAssign(Interp& in, const TokenList& l, const CompiledCommand& c) {
  const CompiledPart& vp = c.words[2].parts[0];
  std::string_view text = partText(l, c.words[2]);
  if (vp.type == PT_VAR) {
    Var* v = lookupPlain(in, text, vp.lookup);
    if (!v || v->link || v->kind == VK_FIELD || v->kind == VK_DICT) return false;
    text = v->value;
  }
  const std::string_view name = partText(l, c.words[1]);
  return Append ? appendPlain(in, c, name, text) : setPlain(in, c, name, text);
}

bool fastIncrement(Interp& in, const TokenList& l, const CompiledCommand& c) {
  int64_t step = 1;
  if (c.words.size() == 3 && !operandInt(in, l, c.words[2], step)) return false;
  return incrementPlain(in, c, partText(l, c.words[1]), step);
}

bool fastCompute(Interp& in, const TokenList& l, const CompiledCommand& c) {
  int64_t a, b;
  return operandInt(in, l, c.words[1], a) && operandInt(in, l, c.words[2], b) && computeInts(in, c.fastCode, a, b);
}

// A relation of a plain variable and an integer literal, the usual loop
// test.
template <char Code>
bool fastRelationVarInt(Interp& in, const TokenList& l, const CompiledCommand& c) {
  int64_t a;
  if (!operandInt(in, l, c.words[1], a)) return false;
  const int64_t b = c.words[2].intValue;
  bool t;
  switch (Code) {
    case '<': t = a < b; break;
    case '(': t = a <= b; break;
    case '>': t = a > b; break;
    case ')': t = a >= b; break;
    case '=': t = a == b; break;
    default: t = a != b; break;
  }
  setTruth(in.result, t);
  return true;
}

// The routine for a command of simple operands, once its operation is
// known.
FastFn chooseFastFn(const CompiledCommand& c) {
  if (!c.simpleOperands) return nullptr;
  switch (c.fastOp) {
    case FAST_SET: return fastAssign<false>;
    case FAST_APPEND: return fastAssign<true>;
    case FAST_INCREMENT: return fastIncrement;
    case FAST_RELATION:
      if (c.words[1].parts[0].type == PT_VAR && c.words[2].isInt) {
        switch (c.fastCode) {
          case '<': return fastRelationVarInt<'<'>;
          case '(': return fastRelationVarInt<'('>;
          case '>': return fastRelationVarInt<'>'>;
          case ')': return fastRelationVarInt<')'>;
          case '=': return fastRelationVarInt<'='>;
          default: return fastRelationVarInt<'!'>;
        }
      }
      return fastCompute;
    case FAST_ARITHMETIC: return fastCompute;
    default: return nullptr;
  }
}

// The fast operation on the assembled words.
int runFastOp(Interp& in, const CompiledCommand& c, Args& words) {
  int64_t a = 0, b = 1;
  if (c.fastOp == FAST_SET) return setPlain(in, c, words[1], words[2]) ? OK : kNotHandled;
  if (c.fastOp == FAST_APPEND) return appendPlain(in, c, words[1], words[2]) ? OK : kNotHandled;
  if (c.fastOp == FAST_INCREMENT) {
    if (words.size() == 3 && !plainDecimal(words[2], b)) return kNotHandled;
    return incrementPlain(in, c, words[1], b) ? OK : kNotHandled;
  }
  if (!plainDecimalText(words[1], a) || !plainDecimalText(words[2], b)) return kNotHandled;
  return computeInts(in, c.fastCode, a, b) ? OK : kNotHandled;
}

// True when a command may run without a call: nothing traces, watches or
// steps through it, and the command limit (which the dispatcher enforces)
// is not reached.
inline bool fastAllowed(Interp& in, const ProcessState& st) {
  return !in.traceOn && !st.singleStep && in.watchList.empty() &&
         (st.commandLimit <= 0 || in.commandCounter < st.commandLimit);
}

int evalCompiled(Interp& in, const TokenList& l, bool discardLast = false);

// Runs a command without a call when its operation allows it; true when
// done (the counter and result kind then stand as after the call).
inline bool tryFastDirect(Interp& in, const TokenList& l, const CompiledCommand& c, const CommandTable* table,
                          const ProcessState& st) {
  if (!c.fastFn || c.table != table || c.generation != table->generation() || !fastAllowed(in, st) ||
      !c.fastFn(in, l, c))
    return false;
  in.commandCounter++;
  if (c.fastOp != FAST_SET) in.resultKind = 0;
  return true;
}

// [command] substitution from a compiled word, its value appended to word:
// the same as substituteCommand, with the bracketed text's list kept on
// the part so that it is not looked up by its text on every pass. value is
// scratch space.
int substituteCompiledCommand(Interp& in, const CompiledPart& part, std::string_view tok, std::string& value,
                              std::string& word) {
  if (tok.empty() || isDigit(tok[0]) || part.noSub || g_evalNesting >= ps().evalNestingLimit) {
    int code = substituteCommand(in, tok, value);
    if (code == OK) word.append(value);
    return code;
  }
  if (!part.sub) {
    part.sub = cachedTokens(tok);
    if (!part.sub || !part.sub->compiled) {
      part.sub.reset();
      part.noSub = true;
      int code = substituteCommand(in, tok, value);
      if (code == OK) word.append(value);
      return code;
    }
  }
  const TokenList& sub = *part.sub;
  // A bracketed single operation ([+ $a 1]) runs without an evaluation.
  if (sub.commands.size() == 1 && tryFastDirect(in, sub, sub.commands[0], in.commands.get(), ps())) {
    in.substCode = OK;
    word.append(in.result);
    return OK;
  }
  int code = guardedEval(in, [&] {
    in.result.clear();
    return evalCompiled(in, sub);
  });
  if (code != OK && code != RETURN && code != BREAK) return code;
  in.substCode = static_cast<unsigned>(code);
  word.append(in.result);
  return OK;
}

int evalCompiled(Interp& in, const TokenList& l, bool discardLast) {
  Parser p;
  bool parserReady = false;
  WordBuffers& buffers = wordBuffers();
  std::string& value = buffers.value;
  const char* base = l.text.data();
  const size_t ncmds = l.commands.size();
  const CommandTable* table = in.commands.get();
  ProcessState& st = ps();
  for (size_t ci = 0; ci < ncmds; ci++) {
    const CompiledCommand& c = l.commands[ci];
    if (tryFastDirect(in, l, c, table, st)) continue;
    const size_t nwords = c.words.size();
    Args& words = buffers.wordsFor(nwords);
    const CompiledWord* cw = c.words.data();
    for (size_t wi = 0; wi < nwords; wi++) {
      std::string& w = words[wi];
      w.clear();
      const std::vector<CompiledPart>& parts = cw[wi].parts;
      const bool single = parts.size() == 1;
      for (const CompiledPart& part : parts) {
        const CachedToken& t = l.tokens[part.token];
        std::string_view tok(base + t.start, t.len);
        if (part.type == PT_VAR) {
          std::string& target = single ? w : value;  // a lone variable goes straight into its word
          if (part.varScope) {
            // The common case: a variable found by a remembered look-up,
            // read as the full substitution reads it once found.
            Var* v = part.varScope == 1 ? lookupPlain(in, tok, part.lookup)
                                        : globalFrame(in)->vars.findRemembered(tok.substr(2), part.lookup);
            if (v && (!v->link || v->subscript.empty())) {
              Var* t = varTarget(v);
              if (t->kind == VK_FIELD) {
                target.clear();
                if (!readFieldValue(in, t, target)) {
                  in.result.clear();
                  return ERROR;
                }
                if (!single) w.append(value);
              } else if (t->kind == VK_DICT) {
                target = dictText(t);
                if (!single) w.append(value);
              } else if (single) {
                w = t->value;
              } else {
                w.append(t->value);
              }
              continue;
            }
          }
          if (!parserReady) {
            parserInit(p, l.text);
            parserReady = true;
          }
          loadToken(p, l, t);
          target.clear();
          if (substituteVariable(in, p, tok, false, target) != OK) {
            in.result.clear();
            return ERROR;
          }
          if (!single) w.append(value);
        } else if (part.type == PT_CMD) {
          int code = substituteCompiledCommand(in, part, tok, value, w);
          if (code != OK) return code;
        } else {
          w.append(tok);
        }
      }
    }
    int code;
    Command* cmd = nullptr;
    if (c.literalName) {
      if (c.table == table && c.generation == table->generation()) {
        cmd = c.command;
      } else {
        // A ::name switches frames and a bare number is a value: both stay
        // with runCommand. Any other literal name (+ and - included) is
        // looked up once per change of the command table.
        const std::string& name = words[0];
        const char c0 = name.empty() ? '\0' : name[0];
        bool plain = !name.empty() && c0 != ':' &&
                     !((isDigit(c0) || c0 == '.' || c0 == '+' || c0 == '-' || c0 == ' ' || c0 == '\t') &&
                       isBareNumber(name));
        if (plain && (cmd = orvelGetCommand(in, name))) {
          c.table = table;
          c.generation = table->generation();
          c.command = cmd;
          c.fastOp = classifyFastOp(c, name, cmd);
          c.fastFn = chooseFastFn(c);
        }
      }
      if (cmd && c.fastOp != FAST_NONE && fastAllowed(in, st) && runFastOp(in, c, words) == OK) {
        in.commandCounter++;
        if (c.fastOp != FAST_SET) in.resultKind = 0;
        continue;
      }
    }
    in.resultUnused = discardLast || ci + 1 < ncmds;
    code = cmd ? dispatchCommand(in, cmd, words) : runCommand(in, words);
    in.resultUnused = false;
    if (code == OK || code == CONTINUE_WITH_NEXT) continue;
    if (code == RETURN_TOP) return OK;
    return code;
  }
  return OK;
}

}  // namespace

PreparedScript::PreparedScript(std::string_view text) : text_(text), list_(cachedTokens(text)) {
  if (list_ && list_->compiled && list_->commands.size() == 1 && !text_.empty()) single_ = &list_->commands[0];
}

bool PreparedScript::runSingle(Interp& in) const {
  const ProcessState& st = ps();
  return g_evalNesting < st.evalNestingLimit && tryFastDirect(in, *list_, *single_, in.commands.get(), st);
}

int PreparedScript::evalFull(Interp& in, bool discardResult) const {
  if (!list_ || !list_->compiled) return orvelEval(in, text_);
  if (text_.empty()) return OK;
  if (g_evalNesting >= ps().evalNestingLimit) return orvelEval(in, text_);
  const TokenList& l = *list_;
  return guardedEval(in, [&] {
    in.result.clear();
    return evalCompiled(in, l, discardResult);
  });
}

int evalText(Interp& in, std::string_view text, bool substituteOnly, bool keepVariables) {
  in.result.clear();
  std::shared_ptr<const TokenList> list = cachedTokens(text);
  if (list && list->compiled && !substituteOnly && !keepVariables) return evalCompiled(in, *list);
  Parser p;
  parserInit(p, text);
  TokenSource source(p, std::move(list));
  if (source.base()) text = std::string_view(p.text, text.size());
  Args words;
  std::string value;
  bool expandPending = false;
  int prev = PT_EOL;  // previous token type as the word builder sees it
  for (;;) {
    if (source.next()) {
      const char* s = p.start && p.start >= p.text ? p.start : p.pos;
      if (!s || s < p.text) s = p.text;
      const char* ctx = s - p.text > 30 ? s - 30 : p.text;
      size_t avail = static_cast<size_t>(text.size() - static_cast<size_t>(ctx - p.text));
      std::string around(ctx, avail < 30 ? avail : 30);
      char buf[256];
      std::snprintf(buf, sizeof buf, "eval: Parse error in %s near term:\r\n'%-.30s'...", procNameOf(in),
                    around.c_str());
      setErrorIndex(in, 1, buf);
      return ERROR;
    }
    int type = p.type;
    if (type == PT_EXPAND) {
      if (p.remaining > 0 && *p.pos != '"') {
        expandPending = true;
        prev = PT_SEP;
        continue;
      }
    }
    if (type == PT_EOF) return OK;
    if (type == PT_SEP) {
      prev = PT_SEP;
      continue;
    }
    if (type == PT_EOL) {
      prev = PT_EOL;
      expandPending = false;
      if (substituteOnly) {
        for (size_t i = 1; i < words.size(); i++) words[i] = translateEscapes(words[i]);
        in.result = joinWordsAsList(words);
        return OK;
      }
      if (words.empty()) continue;
      in.resultUnused = false;
      int code = runCommand(in, words);
      words.clear();
      if (code == OK || code == CONTINUE_WITH_NEXT) continue;
      if (code == RETURN_TOP) return OK;
      return code;
    }
    // A word part.
    bool isValue = false;
    std::string_view tok = p.token();
    if (type == PT_VAR) {
      value.clear();
      if (substituteVariable(in, p, tok, keepVariables, value) != OK) {
        in.result.clear();
        return ERROR;
      }
      isValue = true;
    } else if (type == PT_CMD) {
      int code = substituteCommand(in, tok, value);
      if (code != OK) return code;
      isValue = true;
    }
    std::string_view part = isValue ? std::string_view(value) : tok;
    if (prev == PT_SEP || prev == PT_EOL) {
      if (type == PT_ESC) expandPending = false;
      if (expandPending && (type == PT_VAR || type == PT_CMD || type == PT_STR)) {
        expandPending = false;
        in.result.assign(part);
        in.substCode = OK;
        std::vector<std::string> elems;
        TclTokenised3(part, elems);
        for (auto& e : elems) words.push_back(e.empty() ? std::string("{}") : std::move(e));
      } else {
        words.emplace_back(part);
      }
    } else {
      if (words.empty()) words.emplace_back();
      words.back().append(part);
    }
    prev = type;
  }
}

}  // namespace orvel
