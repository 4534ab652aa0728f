#include "interp/tokenizer.h"

namespace orvel {

namespace {

inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
inline bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.';
}

// The character at pos, or NUL at the end of the text.
inline char at(const Parser& p, int64_t k = 0) { return k < p.remaining ? p.pos[k] : '\0'; }
inline void step(Parser& p, int64_t n = 1) {
  p.pos += n;
  p.remaining -= n;
}
inline bool more(const Parser& p) { return p.remaining > 0 && *p.pos != '\0'; }

int readBlanks(Parser& p) {
  p.start = p.pos;
  bool eol = false;
  while (more(p) && isBlank(*p.pos)) {
    if (*p.pos == '\r' || *p.pos == '\n') eol = true;
    step(p);
  }
  p.end = p.pos - 1;
  if (eol || p.type == PT_EOL)
    p.type = PT_EOL;
  else
    p.type = PT_SEP;
  return 0;
}

int readLineEnd(Parser& p) {
  p.start = p.pos;
  while (more(p) && (isBlank(*p.pos) || *p.pos == ';')) step(p);
  p.end = p.pos - 1;
  p.type = PT_EOL;
  return 0;
}

int readComment(Parser& p) {
  while (more(p) && *p.pos != '\n') step(p);
  return 0;
}

int readBracketed(Parser& p) {
  step(p);
  p.start = p.pos;
  int depth = 1, braces = 0;
  bool quotes = false;
  while (more(p)) {
    char c = *p.pos;
    if (c == '"') {
      quotes = !quotes;
    } else if (c == '[') {
      if (braces == 0) depth++;
    } else if (c == ']') {
      if (braces == 0 && --depth == 0) break;
    } else if (c == '\\') {
      if (p.remaining > 1) step(p);
    } else if (c == '{' && !quotes) {
      braces++;
    } else if (c == '}' && !quotes) {
      if (braces > 0) braces--;
    }
    step(p);
  }
  p.end = p.pos - 1;
  p.type = PT_CMD;
  if (more(p) && *p.pos == ']') step(p);
  return 0;
}

int readVariable(Parser& p) {
  p.hasSubscript = false;
  p.subStart = p.subEnd = nullptr;
  p.subLen = 0;
  const char* dollar = p.pos;
  step(p);
  p.start = p.pos;
  while (more(p) && *p.pos == '$') step(p);
  if (at(p) == '(' || at(p) == ')') return 1;
  if (at(p) == ':' && at(p, 1) == ':') step(p, 2);
  int depth = 0;
  const char* nameStart = p.pos;
  for (;;) {
    if (!more(p)) {
      if (depth > 0) return 1;
      break;
    }
    char c = *p.pos;
    if (c == '{') {
      depth++;
      step(p);
      continue;
    }
    if (c == '}' && depth > 0) {
      step(p);
      if (--depth == 0) {
        p.end = p.pos - 1;
        p.type = PT_VAR;
        return 0;
      }
      continue;
    }
    if (depth > 0) {
      step(p);
      continue;
    }
    if (isNameChar(c)) {
      step(p);
      continue;
    }
    if (c == ':' && at(p, 1) == ':' && at(p, 2) != ':') {
      step(p, 2);
      continue;
    }
    break;
  }
  if (p.pos == p.start) {
    p.start = p.end = dollar;
    p.type = PT_STR;
    return 0;
  }
  (void)nameStart;
  p.type = PT_VAR;
  p.end = p.pos - 1;
  if (more(p) && *p.pos == '(') {
    int64_t k = 0, count = 0;
    for (; k < p.remaining && p.pos[k] != '\0'; k++) {
      if (p.pos[k] == '(') count++;
      else if (p.pos[k] == ')' && --count == 0) break;
    }
    if (k < p.remaining && p.pos[k] == ')' && count == 0) {
      p.hasSubscript = true;
      p.subStart = p.pos + 1;
      p.subEnd = p.pos + k;
      p.subLen = k - 1 > 0 ? k - 1 : 0;
      step(p, k + 1);
    }
  }
  return 0;
}

int readBraced(Parser& p) {
  step(p);
  p.start = p.pos;
  int depth = 1;
  bool quotes = false;
  bool first = true;
  for (;;) {
    if (!more(p)) {
      p.end = p.pos - 1;
      p.type = PT_STR;
      return 0;
    }
    char c = *p.pos;
    if (c == '\\' && at(p, 1) == '\\') {
      step(p, 2);
      first = false;
      continue;
    }
    if (c == '"') {
      quotes = !quotes;
    } else if (c == '\\' && p.remaining > 1 && p.pos[1] != '\0') {
      step(p, 2);
      first = false;
      continue;
    } else if (c == '}') {
      if (!quotes) depth--;
      if (depth == 0) {
        p.end = p.pos - 1;
        step(p);
        p.type = PT_STR;
        return 0;
      }
    } else if (first && c == '*' && at(p, 1) == '}') {
      step(p, 2);
      char n = at(p);
      if (n == ' ' || n == '\t') return 1;
      p.start = p.pos;   // just after {*}
      p.end = p.pos - 1; // on its }: empty text
      p.type = PT_EXPAND;
      return 0;
    } else if (c == '{' && !quotes) {
      depth++;
    }
    first = false;
    step(p);
  }
}

int readWord(Parser& p) {
  int prev = p.type;
  if (prev == PT_ESC || prev == PT_STR || prev == PT_SEP || prev == PT_EOL || prev == PT_EXPAND) {
    if (at(p) == '{') return readBraced(p);
    if (at(p) == '"') {
      p.inQuotes = true;
      step(p);
    }
  }
  p.start = p.pos;
  while (more(p)) {
    char c = *p.pos;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';') {
      if (!p.inQuotes) {
        p.end = p.pos - 1;
        p.type = PT_ESC;
        return 0;
      }
      step(p);
      continue;
    }
    if (c == '"') {
      if (p.inQuotes) {
        p.end = p.pos - 1;
        p.inQuotes = false;
        step(p);
        if (at(p) == ')') p.end = p.pos - 1;  // keep the quote before a ')'
        p.type = PT_ESC;
        return 0;
      }
      p.inQuotes = true;
      step(p);
      continue;
    }
    if (c == '$' || c == '[') {
      if (at(p, 1) == '"') {
        step(p);
        continue;
      }
      p.end = p.pos - 1;
      p.type = PT_ESC;
      return 0;
    }
    if (c == '\\' && p.remaining > 1 && p.pos[1] != '\0') {
      char n = p.pos[1];
      if (p.inQuotes) {
        switch (n) {
          case '$': case '"': case '{': case '}': case '[': case ']': case '(': case ')':
          case '\\': case ' ':
            step(p, 2);
            continue;
          default:
            step(p);
            continue;
        }
      }
      step(p, 2);
      if (n == ' ' && more(p)) step(p);
      continue;
    }
    step(p);
  }
  p.end = p.pos - 1;
  p.type = PT_ESC;
  return 0;
}

}  // namespace

void parserInit(Parser& p, std::string_view text) {
  p = Parser();
  p.text = text.data();
  p.pos = text.data();
  p.remaining = static_cast<int64_t>(text.size());
  p.type = PT_EOL;
}

int nextToken(Parser& p) {
  for (;;) {
    if (p.remaining <= 0 || (p.pos && *p.pos == '\0')) {
      p.type = (p.type == PT_EOL || p.type == PT_EOF) ? PT_EOF : PT_EOL;
      p.start = p.end = nullptr;
      return 0;
    }
    if (!p.pos) {
      p.type = PT_EOF;
      return 0;
    }
    char c = *p.pos;
    switch (c) {
      case ' ':
      case '\t':
      case '\r':
        return p.inQuotes ? readWord(p) : readBlanks(p);
      case '\n':
      case ';':
        return p.inQuotes ? readWord(p) : readLineEnd(p);
      case '#':
        if (p.type == PT_EOL) {
          readComment(p);
          continue;
        }
        return readWord(p);
      case '$':
        return readVariable(p);
      case '[':
        return readBracketed(p);
      default:
        return readWord(p);
    }
  }
}

}  // namespace orvel
