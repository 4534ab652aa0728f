// String-keyed hash table with separate chaining, used for array elements
// and dictionaries.
//
// The bucket of a key comes from the MD5 digest of the key, so the order in
// which entries are listed (bucket by bucket, each chain from its first
// node) is fixed by the keys and the history of insertions, removals and
// resizes. A new key landing in an occupied bucket goes directly after the
// chain's first node.
//
// Look-ups do not go through the buckets: every node is also on a chain of
// a separate look-up index, keyed by a cheap string hash under which keys
// that differ only in their last characters (a(1), a(2), ...) sit close
// together. New keys wait on a pending list, in arrival order, until
// something needs the bucket order (a listing, a removal, a resize, the
// statistics); they then join their buckets exactly as they would have on
// arrival, with every resize check their stores made replayed in place. A
// table that is only written and read never digests a key.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class hash_table {
 public:
  struct node {
    node() = default;
    ~node() { dropKey(); }
    node(const node&) = delete;
    node& operator=(const node&) = delete;

    std::string_view key() const {
      return keyLen_ == kHeapKey ? std::string_view(key_.heap.text, key_.heap.length)
                                 : std::string_view(key_.local, keyLen_);
    }

    node* next = nullptr;  // bucket chain after the second node; pending list before joining
    node* link = nullptr;  // the next node on the same look-up index chain
    uint32_t hash = 0;     // keyHash(key), set when the node joins its bucket
    bool hasValue = true;  // false for a "none" value
   private:
    friend class hash_table;
    static constexpr uint8_t kHeapKey = 0xff;
    static constexpr size_t kLocalKey = 16;
    bool checked_ = false;  // its store checked for a resize first (while pending)
    uint8_t keyLen_ = 0;    // length of a local key, or kHeapKey
    union {
      char local[kLocalKey];
      struct {
        char* text;
        size_t length;
      } heap;
    } key_{};
    bool keyEquals(std::string_view k) const {
      if (keyLen_ != kHeapKey) return keyLen_ == k.size() && sameShortText(key_.local, k.data(), k.size());
      return key_.heap.length == k.size() && __builtin_memcmp(key_.heap.text, k.data(), k.size()) == 0;
    }
    // Compares n <= 16 bytes with two overlapping word loads, or bytes
    // for the shortest texts.
    static bool sameShortText(const char* a, const char* b, size_t n) {
      if (n >= 8) return sameWord<8>(a, b) && sameWord<8>(a + n - 8, b + n - 8);
      if (n >= 4) return sameWord<4>(a, b) && sameWord<4>(a + n - 4, b + n - 4);
      for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
      return true;
    }
    template <size_t W>
    static bool sameWord(const char* a, const char* b) {
      using word = std::conditional_t<W == 8, uint64_t, uint32_t>;
      word x, y;
      __builtin_memcpy(&x, a, W);
      __builtin_memcpy(&y, b, W);
      return x == y;
    }
    void setKey(std::string_view k);
    void dropKey() noexcept;

   public:
    std::string value;  // text value (decimal text in binary tables); empty when none
  };
  static_assert(sizeof(void*) != 8 || sizeof(node) == 72);

  static constexpr int32_t kDefaultSize = 250;
  static constexpr int32_t kGrowStep = 100;
  static constexpr double kLoadLimit = 2.5;
  static constexpr int32_t kMinResizeSize = 200;
  // From this many buckets on, a growth step doubles the size instead
  // of adding kGrowStep, so that big tables are not rebuilt every few
  // hundred insertions.
  static constexpr int32_t kLargeTableSize = 10000;
  // Bucket counts are capped here (a script-chosen size cannot claim
  // gigabytes); a full-size table keeps working with longer chains.
  static constexpr int32_t kMaxSize = 1 << 24;

  // A size below 1 means kDefaultSize; sizes above kMaxSize are capped.
  explicit hash_table(int32_t size = kDefaultSize, bool binary = false);
  ~hash_table();
  hash_table(const hash_table&) = delete;
  hash_table& operator=(const hash_table&) = delete;
  hash_table(hash_table&& other) noexcept;
  hash_table& operator=(hash_table&& other) noexcept;

  // The bucket hash of a key: h = (h * 2) XOR c over the 32 lower-case hex
  // characters of the key's MD5 digest, in 32-bit arithmetic.
  static uint32_t keyHash(std::string_view key);

  // Stores a copy of value under key (replacing an older value). With
  // resizeCheck the resize decision is applied first. 1 on success, 0 on
  // failure or when the table has no buckets (after release()).
  int set(std::string_view key, std::string_view value, bool resizeCheck = true);
  // Stores a "none" value: kept as none in a new chain, as an empty text
  // otherwise.
  int set(std::string_view key, std::nullptr_t, bool resizeCheck = true);
  // Stores an integer value (binary tables keep it as decimal text).
  int setNumber(std::string_view key, int64_t number, bool resizeCheck = true);

  // Exact (case-sensitive) look-up; nullptr when absent.
  node* find(std::string_view key) const;
  // The length of the chain key's bucket holds (0 for an empty bucket).
  int32_t chainLength(std::string_view key) const;
  // Case-insensitive look-up scanning every bucket in table order.
  node* findNoCase(std::string_view key) const;
  // true and the value when found (a "none" value gives an empty text);
  // false and an empty out otherwise.
  bool get(std::string_view key, std::string& out) const;
  const std::string* getPtr(std::string_view key) const;

  // 1 when the key was removed, 0 otherwise. Comparison is exact.
  int remove(std::string_view key);
  // Removes every entry, keeping the buckets. Always 1.
  int clear();
  // Removes every entry and the buckets; set() fails until resize(+1, n).
  void release();

  // +1 grow, 0 keep, -1 shrink.
  int resizeDecision() const;
  // direction > 0 grows, < 0 shrinks, 0 does nothing. 1 on success.
  int resize(int direction, int32_t requested);
  // Buckets a growth step adds to a table of the given size.
  static int32_t growStep(int32_t size);

  std::vector<std::string> keys() const;
  std::vector<std::string> values() const;
  // Clears both vectors, then fills them in parallel.
  void keysAndValues(std::vector<std::string>& keys, std::vector<std::string>& values) const;

  // Calls f(const node&) for every entry, in table order.
  template <class F>
  void forEach(F f) const {
    settle();
    for (const bucket& b : buckets_) forChain(b, [&](node* n) { f(static_cast<const node&>(*n)); });
  }

  // Searches all buckets for key (exact, or ignoring case).
  bool findKeyScan(std::string_view key, std::string& outValue, bool nocase) const;
  // Key of the first (or occurrence-th, when occurrence > 0) entry whose
  // value equals value; with length > 0 only the first length characters
  // of both are compared.
  bool findKeyByValue(std::string_view value, bool nocase, int32_t length, int32_t occurrence,
                      std::string& outKey) const;
  // Trims the characters of chars from every text value: mode 0 both
  // ends, 1 left, 2 right.
  void trimValues(std::string_view chars = " \t", int mode = 0);

  // Diagnostic printouts (the caller writes them to the console).
  std::string statisticsText() const;
  std::string dumpText(int32_t limit, bool html, bool compact) const;
  std::string infoText(int32_t limit) const;

  // Sizes and counters of the buckets (pending keys join them first).
  int32_t size() const {
    settle();
    return size_;
  }
  int32_t bucketsInUse() const {
    settle();
    return bucketsInUse_;
  }
  int32_t maxDepth() const {
    settle();
    return maxDepth_;
  }
  int32_t totalNodes() const { return totalNodes_; }
  int32_t entryCount() const { return totalNodes_; }
  bool ignoreCase() const { return ignoreCase_; }
  bool isBinary() const { return binary_; }
  bool empty() const { return totalNodes_ == 0; }

 private:
  // The value a node shows in listings.
  std::string valueText(const node& n) const;
  // Destroys every node and gives back the slabs.
  void destroyNodes() noexcept;
  // destroyNodes(), then empties the buckets, the index and the pending list.
  void freeNodes();
  // Nodes live in slabs owned by the table: a new node comes from the
  // free list or the end of the newest slab, so inserting costs no heap
  // call of its own and dropping the table walks the slabs in address
  // order instead of chasing chains.
  node* allocNode();
  // Empties a node's texts and puts it on the free list.
  void freeNode(node* n);
  struct slab {
    node* mem;
    uint32_t capacity;
    uint32_t used;
  };
  struct bucket {
    node* first = nullptr;
    node* rest = nullptr;  // the second node; its next is the third, and so on
    int32_t length = 0;
  };
  // Calls f(node*) for the nodes of a chain in order.
  template <class F>
  static void forChain(const bucket& b, F f) {
    if (b.first == nullptr) return;
    f(b.first);
    for (node* n = b.rest; n != nullptr; n = n->next) f(n);
  }
  // Links n into b as the new first node or directly after the first.
  // True when b was empty.
  static bool link(bucket& b, node* n);
  int store(std::string_view key, std::string_view text, bool hasValue, bool resizeCheck);
  node* insertNew(std::string_view key, std::string_view value, bool hasValue, bool checked);

  // The look-up index: a power-of-two array of chains through node::link.
  static uint32_t lookupHash(std::string_view key);
  node*& indexSlot(std::string_view key) const {
    return index_[lookupHash(key) & static_cast<uint32_t>(index_.size() - 1)];
  }
  void growIndex();
  void unlinkFromIndex(node* n);

  // Brings the buckets up to date with the pending keys and checks.
  bool settled() const { return pendingHead_ == nullptr && pendingChecks_.empty(); }
  void settle() const {
    if (!settled()) joinPending();
  }
  void joinPending() const;
  int resizeNow(int direction, int32_t requested) const;
  int decisionNow() const;
  // Applies the resize decision to the buckets as they stand; true when
  // it called for a resize.
  bool checkResizeNow() const;

  // A run of resize checks made by stores of existing keys while `at`
  // pending keys had arrived.
  struct pendingCheck {
    int64_t at;
    int64_t count;
  };

  mutable std::vector<bucket> buckets_;
  mutable std::vector<node*> index_;
  std::vector<slab> slabs_;
  node* freeList_ = nullptr;
  mutable node* pendingHead_ = nullptr;
  mutable node* pendingTail_ = nullptr;
  mutable int64_t pendingCount_ = 0;
  mutable std::vector<pendingCheck> pendingChecks_;
  mutable int32_t size_ = 0;
  mutable int32_t bucketsInUse_ = 0;
  mutable int32_t linkedNodes_ = 0;  // nodes that have joined their buckets
  int32_t totalNodes_ = 0;
  mutable int32_t maxDepth_ = 0;
  bool ignoreCase_ = true;
  bool binary_ = false;
};
