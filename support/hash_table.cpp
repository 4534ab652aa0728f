// String-keyed hash table with separate chaining.
#include "support/hash_table.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "support/ascii_case.h"
#include "support/md5.h"

namespace {

// Appends printf-style text to out.
[[gnu::format(printf, 2, 3)]] void appendf(std::string& out, const char* fmt, ...) {
  char buf[256];
  va_list ap;
  va_start(ap, fmt);
  int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof buf) {
    out.append(buf, static_cast<size_t>(n));
    return;
  }
  std::string big(static_cast<size_t>(n) + 1, '\0');
  va_start(ap, fmt);
  std::vsnprintf(big.data(), big.size(), fmt, ap);
  va_end(ap);
  big.resize(static_cast<size_t>(n));
  out += big;
}

// Addresses are shown as their low 32 bits.
unsigned addr32(const void* p) {
  return static_cast<unsigned>(reinterpret_cast<uintptr_t>(p) & 0xffffffffu);
}

// The first n characters of s (all of s when shorter).
std::string_view head(std::string_view s, size_t n) { return s.substr(0, std::min(n, s.size())); }

const std::string kRule(70, '-');

constexpr size_t kPrefetchAhead = 8;

// Slabs start small (most tables hold a handful of entries) and double up
// to this many nodes.
constexpr uint32_t kFirstSlab = 4;
constexpr uint32_t kMaxSlab = 4096;

// Slots of a table's first look-up index (it doubles as keys arrive).
constexpr size_t kFirstIndex = 8;

}  // namespace

hash_table::hash_table(int32_t size, bool binary) : binary_(binary) {
  if (size < 1) size = kDefaultSize;
  if (size > kMaxSize) size = kMaxSize;
  buckets_.assign(static_cast<size_t>(size), bucket{});
  size_ = size;
}

hash_table::~hash_table() { destroyNodes(); }

hash_table::hash_table(hash_table&& other) noexcept
    : buckets_(std::move(other.buckets_)),
      index_(std::move(other.index_)),
      slabs_(std::move(other.slabs_)),
      freeList_(std::exchange(other.freeList_, nullptr)),
      pendingHead_(std::exchange(other.pendingHead_, nullptr)),
      pendingTail_(std::exchange(other.pendingTail_, nullptr)),
      pendingCount_(std::exchange(other.pendingCount_, 0)),
      pendingChecks_(std::move(other.pendingChecks_)),
      size_(std::exchange(other.size_, 0)),
      bucketsInUse_(std::exchange(other.bucketsInUse_, 0)),
      linkedNodes_(std::exchange(other.linkedNodes_, 0)),
      totalNodes_(std::exchange(other.totalNodes_, 0)),
      maxDepth_(std::exchange(other.maxDepth_, 0)),
      ignoreCase_(other.ignoreCase_),
      binary_(other.binary_) {
  other.buckets_.clear();
  other.index_.clear();
  other.slabs_.clear();
  other.pendingChecks_.clear();
}

hash_table& hash_table::operator=(hash_table&& other) noexcept {
  if (this != &other) {
    freeNodes();
    buckets_ = std::move(other.buckets_);
    other.buckets_.clear();
    index_ = std::move(other.index_);
    other.index_.clear();
    slabs_ = std::move(other.slabs_);
    other.slabs_.clear();
    freeList_ = std::exchange(other.freeList_, nullptr);
    pendingHead_ = std::exchange(other.pendingHead_, nullptr);
    pendingTail_ = std::exchange(other.pendingTail_, nullptr);
    pendingCount_ = std::exchange(other.pendingCount_, 0);
    pendingChecks_ = std::move(other.pendingChecks_);
    other.pendingChecks_.clear();
    size_ = std::exchange(other.size_, 0);
    bucketsInUse_ = std::exchange(other.bucketsInUse_, 0);
    linkedNodes_ = std::exchange(other.linkedNodes_, 0);
    totalNodes_ = std::exchange(other.totalNodes_, 0);
    maxDepth_ = std::exchange(other.maxDepth_, 0);
    ignoreCase_ = other.ignoreCase_;
    binary_ = other.binary_;
  }
  return *this;
}

void hash_table::node::setKey(std::string_view k) {
  dropKey();
  if (k.size() <= kLocalKey) {
    if (!k.empty()) std::memcpy(key_.local, k.data(), k.size());
    keyLen_ = static_cast<uint8_t>(k.size());
    return;
  }
  char* text = new char[k.size()];
  std::memcpy(text, k.data(), k.size());
  key_.heap.text = text;
  key_.heap.length = k.size();
  keyLen_ = kHeapKey;
}

void hash_table::node::dropKey() noexcept {
  if (keyLen_ == kHeapKey) delete[] key_.heap.text;
  keyLen_ = 0;
}

void hash_table::destroyNodes() noexcept {
  for (slab& s : slabs_) {
    for (uint32_t i = 0; i < s.used; ++i) s.mem[i].~node();
    ::operator delete(static_cast<void*>(s.mem));
  }
  slabs_.clear();
}

void hash_table::freeNodes() {
  destroyNodes();
  freeList_ = nullptr;
  pendingHead_ = pendingTail_ = nullptr;
  pendingCount_ = 0;
  pendingChecks_.clear();
  std::fill(buckets_.begin(), buckets_.end(), bucket{});
  std::fill(index_.begin(), index_.end(), nullptr);
}

hash_table::node* hash_table::allocNode() {
  if (node* slot = freeList_) {  // a released slot: still a node, with empty texts
    freeList_ = slot->next;
    slot->next = nullptr;
    slot->link = nullptr;
    slot->hash = 0;
    slot->hasValue = true;
    slot->checked_ = false;
    return slot;
  }
  if (slabs_.empty() || slabs_.back().used == slabs_.back().capacity) {
    const uint32_t cap = slabs_.empty() ? kFirstSlab : std::min(slabs_.back().capacity * 2, kMaxSlab);
    slabs_.reserve(slabs_.size() + 1);  // may throw before anything is allocated
    void* mem = ::operator new(sizeof(node) * cap);
    slabs_.push_back(slab{static_cast<node*>(mem), cap, 0});
  }
  slab& s = slabs_.back();
  node* slot = new (s.mem + s.used) node;
  ++s.used;
  return slot;
}

void hash_table::freeNode(node* n) {
  n->dropKey();
  std::string().swap(n->value);
  n->next = freeList_;
  freeList_ = n;
}

uint32_t hash_table::keyHash(std::string_view key) {
  static constexpr char kHex[] = "0123456789abcdef";
  unsigned char d[16];
  md5Digest(key, d);
  uint32_t h = 0;
  for (unsigned char b : d) {
    h = (h << 1) ^ static_cast<unsigned char>(kHex[b >> 4]);
    h = (h << 1) ^ static_cast<unsigned char>(kHex[b & 15]);
  }
  return h;
}

uint32_t hash_table::lookupHash(std::string_view key) {
  // A multiply-and-add over the bytes keeps keys that differ only at the
  // end (counters, coordinates) in neighbouring slots; folding the high
  // half in lets the leading characters reach the low bits.
  uint32_t h = 0;
  for (unsigned char c : key) h = h * 31u + c;
  return h ^ (h >> 17);
}

void hash_table::growIndex() {
  const size_t cap = index_.empty() ? kFirstIndex : index_.size() * 2;
  std::vector<node*> grown(cap, nullptr);
  const uint32_t mask = static_cast<uint32_t>(cap - 1);
  for (node* n : index_) {
    while (n != nullptr) {
      node* following = n->link;
      node*& slot = grown[lookupHash(n->key()) & mask];
      n->link = slot;
      slot = n;
      n = following;
    }
  }
  index_.swap(grown);
}

void hash_table::unlinkFromIndex(node* n) {
  for (node** at = &indexSlot(n->key()); *at != nullptr; at = &(*at)->link) {
    if (*at == n) {
      *at = n->link;
      n->link = nullptr;
      return;
    }
  }
}

bool hash_table::link(bucket& b, node* n) {
  n->next = nullptr;
  if (b.first == nullptr) {
    b.first = n;
    b.length = 1;
    return true;
  }
  n->next = b.rest;
  b.rest = n;
  ++b.length;
  return false;
}

hash_table::node* hash_table::insertNew(std::string_view key, std::string_view value, bool hasValue,
                                        bool checked) {
  if (static_cast<size_t>(totalNodes_) >= index_.size()) growIndex();  // may throw: nothing changed yet
  node* n = allocNode();
  try {
    n->setKey(key);
    n->value.assign(value);
  } catch (...) {
    freeNode(n);
    throw;
  }
  n->hasValue = hasValue;
  n->checked_ = checked;
  node*& slot = indexSlot(key);
  n->link = slot;
  slot = n;
  if (pendingTail_ != nullptr) {
    pendingTail_->next = n;
  } else {
    pendingHead_ = n;
  }
  pendingTail_ = n;
  ++pendingCount_;
  ++totalNodes_;
  return n;
}

void hash_table::joinPending() const {
  // Stores of existing keys checked for a resize where they happened
  // among the arrivals; each run stops at the first check that keeps the
  // size, as the ones after it would see the same table.
  size_t nextCheck = 0;
  auto runChecks = [&](int64_t at) {
    for (; nextCheck < pendingChecks_.size() && pendingChecks_[nextCheck].at == at; ++nextCheck) {
      for (int64_t i = 0; i < pendingChecks_[nextCheck].count; ++i)
        if (!checkResizeNow()) break;
    }
  };
  node* n = pendingHead_;
  pendingHead_ = pendingTail_ = nullptr;
  for (int64_t at = 0; n != nullptr; ++at) {
    node* following = n->next;
    runChecks(at);
    if (n->checked_) {
      checkResizeNow();
      n->checked_ = false;
    }
    n->hash = keyHash(n->key());
    bucket& b = buckets_[n->hash % static_cast<uint32_t>(size_)];
    if (link(b, n)) {
      ++bucketsInUse_;
    } else {
      // A none value in an existing chain is kept as an empty text.
      n->hasValue = true;
      maxDepth_ = std::max(maxDepth_, b.length);
    }
    ++linkedNodes_;
    n = following;
  }
  runChecks(pendingCount_);
  pendingChecks_.clear();
  pendingCount_ = 0;
}

int hash_table::store(std::string_view key, std::string_view text, bool hasValue,
                      bool resizeCheck) {
  if (buckets_.empty()) return 0;
  try {
    node* n = find(key);
    if (resizeCheck) {
      if (settled()) {
        checkResizeNow();
        resizeCheck = false;
      } else if (n != nullptr) {
        // Replayed when the pending keys join their buckets.
        if (pendingChecks_.empty() || pendingChecks_.back().at != pendingCount_)
          pendingChecks_.push_back(pendingCheck{pendingCount_, 0});
        ++pendingChecks_.back().count;
      }
    }
    if (n == nullptr) {
      insertNew(key, text, hasValue, resizeCheck);
    } else {
      // Replacing with none gives an empty text.
      n->value.assign(text);
      n->hasValue = true;
    }
    return 1;
  } catch (...) {
    return 0;
  }
}

int hash_table::set(std::string_view key, std::string_view value, bool resizeCheck) {
  return store(key, value, true, resizeCheck);
}

int hash_table::set(std::string_view key, std::nullptr_t, bool resizeCheck) {
  return store(key, std::string_view(), false, resizeCheck);
}

int hash_table::setNumber(std::string_view key, int64_t number, bool resizeCheck) {
  return store(key, std::to_string(number), true, resizeCheck);
}

hash_table::node* hash_table::find(std::string_view key) const {
  if (index_.empty()) return nullptr;
  for (node* n = indexSlot(key); n != nullptr; n = n->link) {
    if (!n->keyEquals(key)) continue;
    // Whether a none value stays none is settled when its key joins a bucket.
    if (!n->hasValue) settle();
    return n;
  }
  return nullptr;
}

int32_t hash_table::chainLength(std::string_view key) const {
  settle();
  if (buckets_.empty()) return 0;
  return buckets_[keyHash(key) % static_cast<uint32_t>(size_)].length;
}

hash_table::node* hash_table::findNoCase(std::string_view key) const {
  settle();
  node* found = nullptr;
  for (const bucket& b : buckets_) {
    forChain(b, [&](node* n) {
      if (found == nullptr && equalsNoCase(n->key(), key)) found = n;
    });
    if (found != nullptr) return found;
  }
  return nullptr;
}

bool hash_table::get(std::string_view key, std::string& out) const {
  const node* n = find(key);
  if (n == nullptr) {
    out.clear();
    return false;
  }
  out = n->value;
  return true;
}

const std::string* hash_table::getPtr(std::string_view key) const {
  const node* n = find(key);
  return n != nullptr ? &n->value : nullptr;
}

int hash_table::remove(std::string_view key) {
  if (buckets_.empty()) return 0;
  node* n = find(key);
  if (n == nullptr) return 0;
  settle();
  bucket& b = buckets_[n->hash % static_cast<uint32_t>(size_)];
  if (n == b.first) {
    // The second node (if any) becomes the first.
    node* second = b.rest;
    b.first = second;
    if (second != nullptr) {
      b.rest = second->next;
      second->next = nullptr;
    } else {
      --bucketsInUse_;
    }
  } else if (n == b.rest) {
    b.rest = n->next;
  } else {
    node* prev = b.rest;
    while (prev->next != n) prev = prev->next;
    prev->next = n->next;
  }
  --b.length;
  unlinkFromIndex(n);
  freeNode(n);
  --totalNodes_;
  --linkedNodes_;
  return 1;
}

int hash_table::clear() {
  freeNodes();
  bucketsInUse_ = 0;
  linkedNodes_ = 0;
  totalNodes_ = 0;
  maxDepth_ = 0;
  return 1;
}

void hash_table::release() {
  freeNodes();
  buckets_.clear();
  buckets_.shrink_to_fit();
  index_.clear();
  index_.shrink_to_fit();
  size_ = 0;
  bucketsInUse_ = 0;
  linkedNodes_ = 0;
  totalNodes_ = 0;
  maxDepth_ = 0;
}

int hash_table::resizeDecision() const {
  settle();
  return decisionNow();
}

bool hash_table::checkResizeNow() const {
  const int d = decisionNow();
  if (d != 0) resizeNow(d, 0);
  return d != 0;
}

int hash_table::decisionNow() const {
  if (size_ < kMinResizeSize || bucketsInUse_ < 1) return 0;
  if (static_cast<int64_t>(size_) >= 2 * static_cast<int64_t>(bucketsInUse_)) return 0;
  const double r = static_cast<double>(linkedNodes_) / bucketsInUse_;
  if (r > kLoadLimit) return 1;
  if (r >= 1.0) return 0;
  return -1;
}

int32_t hash_table::growStep(int32_t size) {
  return size < kLargeTableSize ? kGrowStep : size;
}

int hash_table::resize(int direction, int32_t requested) {
  settle();
  return resizeNow(direction, requested);
}

int hash_table::resizeNow(int direction, int32_t requested) const {
  if (direction == 0) return 1;
  int64_t newSize;
  if (direction > 0) {
    if (buckets_.empty()) {
      newSize = requested < 1 ? kDefaultSize : requested;
    } else {
      newSize = static_cast<int64_t>(size_) + growStep(size_);
    }
  } else {
    if (buckets_.empty()) return 0;
    newSize = std::max<int64_t>(size_ / 2, kGrowStep);
  }
  if (newSize > kMaxSize) newSize = kMaxSize;
  if (newSize <= size_ && direction > 0) return 0;  // cannot grow further

  std::vector<bucket> nb;
  try {
    nb.assign(static_cast<size_t>(newSize), bucket{});
  } catch (...) {
    return 0;
  }
  const uint32_t usize = static_cast<uint32_t>(newSize);
  int32_t used = 0;
  int32_t count = 0;
  int32_t depth = 0;
  // Nodes move in table order: the first to reach a bucket heads its
  // chain, each later one goes directly after the head. First nodes are
  // fetched a few buckets ahead, as the walk is bound by memory latency.
  const size_t oldCount = buckets_.size();
  for (size_t i = 0; i < oldCount; ++i) {
    if (i + kPrefetchAhead < oldCount) __builtin_prefetch(buckets_[i + kPrefetchAhead].first);
    node* n = buckets_[i].first;
    node* next = buckets_[i].rest;
    while (n != nullptr) {
      bucket& slot = nb[n->hash % usize];
      if (link(slot, n)) {
        ++used;
      } else {
        depth = std::max(depth, slot.length);
      }
      ++count;
      n = next;
      if (n != nullptr) next = n->next;  // read before link() rewrites it
    }
  }
  buckets_.swap(nb);
  size_ = static_cast<int32_t>(newSize);
  bucketsInUse_ = used;
  linkedNodes_ = count;
  maxDepth_ = depth;
  return 1;
}

std::string hash_table::valueText(const node& n) const { return n.value; }

std::vector<std::string> hash_table::keys() const {
  std::vector<std::string> out;
  out.reserve(static_cast<size_t>(std::max(totalNodes_, 0)));
  forEach([&](const node& n) { out.emplace_back(n.key()); });
  return out;
}

std::vector<std::string> hash_table::values() const {
  std::vector<std::string> out;
  out.reserve(static_cast<size_t>(std::max(totalNodes_, 0)));
  forEach([&](const node& n) { out.push_back(valueText(n)); });
  return out;
}

void hash_table::keysAndValues(std::vector<std::string>& keys,
                               std::vector<std::string>& values) const {
  keys.clear();
  values.clear();
  keys.reserve(static_cast<size_t>(std::max(totalNodes_, 0)));
  values.reserve(static_cast<size_t>(std::max(totalNodes_, 0)));
  forEach([&](const node& n) {
    keys.emplace_back(n.key());
    values.push_back(valueText(n));
  });
}

bool hash_table::findKeyScan(std::string_view key, std::string& outValue, bool nocase) const {
  const node* found = nocase ? findNoCase(key) : find(key);
  if (found == nullptr) {
    outValue.clear();
    return false;
  }
  outValue = valueText(*found);
  return true;
}

bool hash_table::findKeyByValue(std::string_view value, bool nocase, int32_t length,
                                int32_t occurrence, std::string& outKey) const {
  settle();
  outKey.clear();
  const int32_t wanted = occurrence > 0 ? occurrence : 1;
  std::string_view want = value;
  if (length > 0) want = head(want, static_cast<size_t>(length));
  int32_t seen = 0;
  const node* found = nullptr;
  for (const bucket& b : buckets_) {
    forChain(b, [&](const node* n) {
      if (found != nullptr) return;
      std::string_view have = n->value;
      if (length > 0) have = head(have, static_cast<size_t>(length));
      if (equalsCase(have, want, nocase) && ++seen == wanted) found = n;
    });
    if (found != nullptr) {
      outKey = found->key();
      return true;
    }
  }
  return false;
}

void hash_table::trimValues(std::string_view chars, int mode) {
  settle();
  if (binary_) return;
  for (const bucket& b : buckets_) {
    forChain(b, [&](node* n) {
      std::string& v = n->value;
      if (mode == 0 || mode == 2) {
        size_t end = v.find_last_not_of(chars);
        v.erase(end == std::string::npos ? 0 : end + 1);
      }
      if (mode == 0 || mode == 1) {
        size_t start = v.find_first_not_of(chars);
        v.erase(0, start == std::string::npos ? v.size() : start);
      }
    });
  }
}

std::string hash_table::statisticsText() const {
  settle();
  std::string out;
  const double use = size_ > 0 ? 100.0 * bucketsInUse_ / size_ : 0.0;
  appendf(out, "%" PRId64 " entries in table, %" PRId64 " bucket(s) (%.2f%% use)\n",
          static_cast<int64_t>(totalNodes_), static_cast<int64_t>(size_), use);
  int64_t tally[11] = {};
  int64_t sum = 0;
  for (const bucket& b : buckets_) {
    const int64_t len = b.length;
    ++tally[len < 10 ? len : 10];
    sum += len;
  }
  int64_t printed = 0;
  for (int64_t j = 0; j <= 10; ++j) {
    appendf(out, "Buckets with %2" PRId64 " or more entries: %" PRId64 "\t", j, tally[j]);
    const int64_t total = j < 10 ? j * tally[j] : sum - printed;
    printed += total;
    appendf(out, "(Total: %" PRId64 ")\n", total);
  }
  const double mean = bucketsInUse_ > 0 ? static_cast<double>(sum) / bucketsInUse_ : 0.0;
  appendf(out, "Mean search distance per entry: %.2f\n", mean);
  return out;
}

std::string hash_table::dumpText(int32_t limit, bool html, bool compact) const {
  settle();
  std::string out;
  if (html) out += "<pre>\n";
  if (!compact) {
    out += kRule;
    out += '\n';
    appendf(out, "hash_table object:0x%x size:%" PRId64 "\n", addr32(this),
            static_cast<int64_t>(size_));
    out += kRule;
    out += '\n';
  }
  const int32_t shown = (limit > 0 && limit < size_) ? limit : size_;
  int64_t found = 0;
  for (int32_t b = 0; b < shown; ++b) {
    const bucket& bk = buckets_[static_cast<size_t>(b)];
    if (bk.first == nullptr) continue;
    ++found;
    if (!compact)
      appendf(out, "Bucket(%" PRId64 ") Node: 0x%x chained nodes:%" PRId64 "\n",
              static_cast<int64_t>(b), addr32(bk.first), static_cast<int64_t>(bk.length));
    int64_t pos = 0;
    forChain(bk, [&](const node* n) {
      ++pos;
      if (compact) {
        out += head(n->key(), 30);
        out += ' ';
        out += head(n->hasValue || binary_ ? std::string_view(n->value) : "[null]", 40);
        out += '\n';
        return;
      }
      appendf(out, "   %" PRId64 ": 0x%x key:'", pos, addr32(n));
      out += n->key();
      out += "' => '";
      if (binary_) {
        out += n->value;
        out += '\n';
      } else if (!n->hasValue) {
        out += "[null]'\n";
      } else {
        out += head(n->value, 30);
        if (n->value.size() > 20) out += "...";
        out += "'\n";
      }
    });
  }
  if (!compact) {
    const double pct = size_ > 0 ? 100.0 * static_cast<double>(found) / size_ : 0.0;
    out += "\nHash Table Statistics:\n";
    appendf(out,
            "Root size:%" PRId64 " Found:%" PRId64 " (%.2f%%) Max depth:%" PRId64
            " Nodes:%" PRId64 "\n",
            static_cast<int64_t>(size_), found, pct, static_cast<int64_t>(maxDepth_),
            static_cast<int64_t>(totalNodes_));
    out += kRule;
    out += '\n';
  }
  if (html) out += "</pre>\n";
  return out;
}

std::string hash_table::infoText(int32_t limit) const {
  settle();
  std::string out;
  if (buckets_.empty()) {
    out += "table:\t\tNULL\n";
    appendf(out, "table size:\t%" PRId64 "\n", static_cast<int64_t>(size_));
    return out;
  }
  appendf(out, "table array:\t0x%x\n", addr32(buckets_.data()));
  appendf(out, "table size:\t%" PRId64 "\n", static_cast<int64_t>(size_));
  appendf(out, "bucket_count:\t%" PRId64 "\n", static_cast<int64_t>(totalNodes_));
  appendf(out, "total nodes:\t%" PRId64 "\n", static_cast<int64_t>(totalNodes_));
  appendf(out, "max_depth:\t%" PRId64 "\n", static_cast<int64_t>(maxDepth_));
  appendf(out, "is_binary:\t%s\n", binary_ ? "True" : "False");
  appendf(out, "ignore_case:\t%s\n", ignoreCase_ ? "True" : "False");
  const int32_t n = std::min(std::max(limit, 0), size_);
  for (int32_t i = 0; i < n; ++i) {
    const node* first = buckets_[static_cast<size_t>(i)].first;
    appendf(out, "root node: %d->0x%x '", static_cast<int>(i), addr32(first));
    if (first != nullptr) out += head(first->key(), 40);
    out += "'\n";
  }
  return out;
}
