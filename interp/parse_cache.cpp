#include "interp/parse_cache.h"

#include <unordered_map>

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
  return list;
}

}  // namespace

std::shared_ptr<const TokenList> cachedTokens(std::string_view text) {
  if (text.size() > kMaxCachedText) return nullptr;
  CacheMap& map = cache();
  auto it = map.find(text);
  if (it != map.end()) return it->second;
  if (map.size() >= kMaxEntries) map.clear();
  auto list = build(text);
  map.emplace(std::string_view(list->text), list);
  return list;
}

void clearParseCache() { cache().clear(); }

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
  p_.type = t.type;
  p_.start = base_ + t.start;
  p_.end = t.len ? base_ + t.start + t.len - 1 : nullptr;
  if (t.type == PT_VAR) {
    p_.hasSubscript = t.hasSubscript;
    p_.subStart = t.hasSubscript ? base_ + t.subStart : nullptr;
    p_.subEnd = t.hasSubscript ? base_ + t.subStart + t.subLen : nullptr;
    p_.subLen = t.hasSubscript ? t.subLen : 0;
  }
  p_.pos = base_ + t.posAfter;
  p_.remaining = static_cast<int64_t>(l.text.size()) - t.posAfter;
  p_.inQuotes = t.inQuotesAfter;
  expectedPos_ = p_.pos;
  return 0;
}

}  // namespace orvel
