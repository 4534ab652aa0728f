#include "interp/parse_cache.h"

#include <cstring>
#include <unordered_map>

#include "expr/numbers.h"
#include "interp/var_table.h"

namespace orvel {

namespace {

constexpr size_t kMaxCachedText = 16 * 1024;
constexpr size_t kMaxEntries = 4096;

using CacheMap = std::unordered_map<std::string_view, std::shared_ptr<const TokenList>, StringHash>;
CacheMap& cache() {
  static CacheMap map;
  return map;
}

// A plain name, or plain names joined by dots (a struct member).
bool memberName(std::string_view n) {
  if (n.empty() || n[0] == '.') return false;
  for (char c : n)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.'))
      return false;
  return true;
}


// Groups the tokens into commands and words as the evaluator would.
void compile(TokenList& l) {
  if (l.parseError) return;
  std::vector<CompiledCommand> cmds;
  CompiledCommand cur;
  int prev = PT_EOL;
  for (uint32_t i = 0; i < l.tokens.size(); i++) {
    const CachedToken& t = l.tokens[i];
    switch (t.type) {
      case PT_EOF:
        break;
      case PT_EXPAND:
        return;  // expansion stays with the token path
      case PT_SEP:
        prev = PT_SEP;
        continue;
      case PT_EOL:
        prev = PT_EOL;
        if (!cur.words.empty()) {
          const CompiledWord& w0 = cur.words[0];
          cur.literalName = w0.parts.size() == 1 &&
                            (w0.parts[0].type == PT_ESC || w0.parts[0].type == PT_STR);
          cur.simpleOperands = true;
          for (size_t wi = 1; wi < cur.words.size(); wi++) {
            CompiledWord& w = cur.words[wi];
            if (w.parts.size() != 1) {
              cur.simpleOperands = false;
              continue;
            }
            const CompiledPart& part = w.parts[0];
            if (part.type == PT_ESC || part.type == PT_STR) {
              const CachedToken& t = l.tokens[part.token];
              w.isInt = plainDecimal(std::string_view(l.text).substr(t.start, t.len), w.intValue);
            } else if (!part.plainVar) {
              cur.simpleOperands = false;
            }
          }
          if (cur.words.size() > 1) {
            const CompiledWord& w1 = cur.words[1];
            if (w1.parts.size() == 1 && (w1.parts[0].type == PT_ESC || w1.parts[0].type == PT_STR)) {
              const CachedToken& t1 = l.tokens[w1.parts[0].token];
              cur.plainNameArg = isPlainName(std::string_view(l.text).substr(t1.start, t1.len));
            }
          }
          cmds.push_back(std::move(cur));
          cur = CompiledCommand();
        }
        continue;
      default:
        break;
    }
    if (t.type == PT_EOF) break;
    // A struct member after a subscript is consumed by the evaluator.
    if (t.type == PT_VAR && t.hasSubscript && t.posAfter < l.text.size() && l.text[t.posAfter] == '.') return;
    if (prev == PT_SEP || prev == PT_EOL) cur.words.emplace_back();
    if (cur.words.empty()) cur.words.emplace_back();
    CompiledPart part;
    part.type = t.type;
    part.token = i;
    if (t.type == PT_VAR && !t.hasSubscript) {
      std::string_view name = std::string_view(l.text).substr(t.start, t.len);
      part.plainVar = isPlainName(name);
      if (name.size() > 2 && name[0] == ':' && name[1] == ':' && memberName(name.substr(2))) part.varScope = 2;
      else if (memberName(name)) part.varScope = 1;
    }
    cur.words.back().parts.push_back(std::move(part));
    prev = t.type;
  }
  l.commands = std::move(cmds);
  l.compiled = true;
}

std::shared_ptr<const TokenList> build(std::string_view text) {
  auto list = std::make_shared<TokenList>();
  list->text.assign(text);
  const char* base = list->text.data();
  Parser p;
  parserInit(p, list->text);
  for (;;) {
    if (nextToken(p)) {
      list->parseError = true;
      const char* s = p.start ? p.start : p.pos;
      list->errorStart = static_cast<uint32_t>(s ? s - base : 0);
      list->errorPos = static_cast<uint32_t>(p.pos - base);
      break;
    }
    CachedToken t{};
    t.type = p.type;
    if (p.start && p.end) {
      t.start = static_cast<uint32_t>(p.start - base);
      int64_t len = p.end - p.start + 1;
      t.len = len > 0 ? static_cast<uint32_t>(len) : 0;
    }
    t.hasSubscript = p.type == PT_VAR && p.hasSubscript;
    if (t.hasSubscript) {
      t.subStart = static_cast<uint32_t>(p.subStart - base);
      t.subLen = static_cast<uint32_t>(p.subLen);
    }
    t.posAfter = static_cast<uint32_t>(p.pos - base);
    t.inQuotesAfter = p.inQuotes;
    list->tokens.push_back(t);
    if (p.type == PT_EOF) break;
  }
  compile(*list);
  return list;
}

// The cached list of a text, made and kept when it is not there yet.
std::shared_ptr<const TokenList> lookUp(std::string_view text) {
  CacheMap& map = cache();
  auto it = map.find(text);
  if (it != map.end()) return it->second;
  if (map.size() >= kMaxEntries) map.clear();
  auto list = build(text);
  map.emplace(std::string_view(list->text), list);
  return list;
}

// Recent look-ups by the address and length of the text asked for (a
// handler's word buffer usually holds the same text on every pass), checked
// against the cached text so that a reused buffer can never match wrongly.
struct RecentText {
  const char* data = nullptr;
  size_t size = 0;
  std::shared_ptr<const TokenList> list;
};
constexpr size_t kRecentSlots = 64;
RecentText* recentTexts() {
  static RecentText* slots = new RecentText[kRecentSlots];  // kept for the whole run
  return slots;
}

}  // namespace

std::shared_ptr<const TokenList> cachedTokens(std::string_view text) {
  if (text.size() > kMaxCachedText) return nullptr;
  RecentText& r = recentTexts()[((reinterpret_cast<uintptr_t>(text.data()) >> 3) ^ text.size()) & (kRecentSlots - 1)];
  if (r.list && r.data == text.data() && r.size == text.size() &&
      std::memcmp(r.list->text.data(), text.data(), text.size()) == 0)
    return r.list;
  auto found = lookUp(text);
  r.data = text.data();
  r.size = text.size();
  r.list = found;
  return found;
}

void clearParseCache() {
  cache().clear();
  for (size_t i = 0; i < kRecentSlots; i++) recentTexts()[i] = RecentText();
}

void loadToken(Parser& p, const TokenList& l, const CachedToken& t) {
  const char* base = l.text.data();
  p.type = t.type;
  p.start = base + t.start;
  p.end = t.len ? base + t.start + t.len - 1 : nullptr;
  if (t.type == PT_VAR) {
    p.hasSubscript = t.hasSubscript;
    p.subStart = t.hasSubscript ? base + t.subStart : nullptr;
    p.subEnd = t.hasSubscript ? base + t.subStart + t.subLen : nullptr;
    p.subLen = t.hasSubscript ? t.subLen : 0;
  }
  p.pos = base + t.posAfter;
  p.remaining = static_cast<int64_t>(l.text.size()) - t.posAfter;
  p.inQuotes = t.inQuotesAfter;
}

TokenSource::TokenSource(Parser& p, std::shared_ptr<const TokenList> list)
    : p_(p), list_(std::move(list)), base_(list_ ? list_->text.data() : nullptr), expectedPos_(p.pos), live_(!list_) {
  if (list_) {
    parserInit(p_, list_->text);
    expectedPos_ = p_.pos;
  }
}

int TokenSource::next() {
  if (live_) return nextToken(p_);
  if (p_.pos != expectedPos_) {
    // The evaluator consumed text itself: tokenize from here on.
    live_ = true;
    return nextToken(p_);
  }
  const TokenList& l = *list_;
  if (index_ >= l.tokens.size()) {
    if (l.parseError) {
      p_.start = base_ + l.errorStart;
      p_.pos = base_ + l.errorPos;
      p_.remaining = static_cast<int64_t>(l.text.size()) - l.errorPos;
      return 1;
    }
    p_.type = PT_EOF;
    return 0;
  }
  const CachedToken& t = l.tokens[index_++];
  loadToken(p_, l, t);
  expectedPos_ = p_.pos;
  return 0;
}

}  // namespace orvel
