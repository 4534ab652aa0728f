#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "support/hash_table.h"
#include "support/md5.h"

namespace {

// The bucket hash computed the long way, from the hex text of the digest.
uint32_t refHash(const std::string& key) {
  uint32_t h = 0;
  for (char c : md5Hex(key)) h = (h * 2) ^ static_cast<unsigned char>(c);
  return h;
}

// count keys "k<n>" that all land in one bucket of a table of the given size.
std::vector<std::string> sameBucketKeys(int32_t size, size_t count, uint32_t* bucketOut = nullptr) {
  std::map<uint32_t, std::vector<std::string>> byBucket;
  for (int i = 0;; ++i) {
    std::string k = "k" + std::to_string(i);
    auto& v = byBucket[refHash(k) % static_cast<uint32_t>(size)];
    v.push_back(k);
    if (v.size() == count) {
      if (bucketOut) *bucketOut = refHash(k) % static_cast<uint32_t>(size);
      return v;
    }
  }
}

// The order a move into newSize buckets must produce from oldOrder: each
// bucket's first arrival heads it, later arrivals go right after the head.
std::vector<std::string> movedOrder(const std::vector<std::string>& oldOrder, uint32_t newSize) {
  std::map<uint32_t, std::vector<std::string>> chains;
  for (const auto& k : oldOrder) {
    auto& c = chains[refHash(k) % newSize];
    if (c.empty()) {
      c.push_back(k);
    } else {
      c.insert(c.begin() + 1, k);
    }
  }
  std::vector<std::string> out;
  for (auto& [b, c] : chains) out.insert(out.end(), c.begin(), c.end());
  return out;
}

std::string hex32(const void* p) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%x",
                static_cast<unsigned>(reinterpret_cast<uintptr_t>(p) & 0xffffffffu));
  return buf;
}

const std::string kRule = std::string(70, '-') + "\n";

}  // namespace

TEST(HashTable, BucketHashFollowsTheDigestText) {
  for (const char* k : {"", "a", "abc", "element(3,4)", "\xff\x01"})
    EXPECT_EQ(hash_table::keyHash(k), refHash(k)) << k;
}

TEST(HashTable, ConstructionSizes) {
  EXPECT_EQ(hash_table().size(), 250);
  EXPECT_EQ(hash_table(0).size(), 250);
  EXPECT_EQ(hash_table(-7).size(), 250);
  EXPECT_EQ(hash_table(17).size(), 17);
  EXPECT_EQ(hash_table(INT32_MAX).size(), hash_table::kMaxSize);
  EXPECT_TRUE(hash_table().ignoreCase());
  EXPECT_TRUE(hash_table(10, true).isBinary());
}

TEST(HashTable, SetReplaceGetAndCase) {
  hash_table t;
  EXPECT_EQ(t.set("key", "one"), 1);
  EXPECT_EQ(t.set("key", "two"), 1);
  EXPECT_EQ(t.totalNodes(), 1);
  std::string v;
  EXPECT_TRUE(t.get("key", v));
  EXPECT_EQ(v, "two");
  EXPECT_FALSE(t.get("nokey", v));
  EXPECT_EQ(t.getPtr("nokey"), nullptr);

  t.set("Abc", "upper");
  t.set("abc", "lower");
  EXPECT_EQ(t.totalNodes(), 3);
  EXPECT_EQ(*t.getPtr("Abc"), "upper");
  EXPECT_EQ(*t.getPtr("abc"), "lower");
  EXPECT_EQ(t.find("ABC"), nullptr);
  ASSERT_NE(t.findNoCase("ABC"), nullptr);
  EXPECT_TRUE(t.findKeyScan("aBC", v, true));
  EXPECT_FALSE(t.findKeyScan("aBC", v, false));

  t.set("", "empty key");  // an empty key is an ordinary key
  EXPECT_EQ(*t.getPtr(""), "empty key");
  t.set(std::string("a\0b", 3), "zero");
  EXPECT_EQ(t.getPtr("a"), nullptr);
  EXPECT_EQ(*t.getPtr(std::string("a\0b", 3)), "zero");
}

TEST(HashTable, ChainInsertionAndRemoval) {
  uint32_t bucket = 0;
  auto keys = sameBucketKeys(250, 3, &bucket);
  hash_table t;
  t.set(keys[0], "0");
  EXPECT_EQ(t.maxDepth(), 0);  // a chain head alone does not raise it
  t.set(keys[1], "1");
  EXPECT_EQ(t.maxDepth(), 2);
  t.set(keys[2], "2");
  EXPECT_EQ(t.bucketsInUse(), 1);
  EXPECT_EQ(t.maxDepth(), 3);
  // Each newcomer goes directly after the head.
  EXPECT_EQ(t.keys(), (std::vector<std::string>{keys[0], keys[2], keys[1]}));
  EXPECT_EQ(t.chainLength(keys[0]), 3);

  EXPECT_EQ(t.remove(keys[0]), 1);
  hash_table::node* head = t.find(keys[2]);
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(t.chainLength(keys[2]), 2);
  EXPECT_EQ(t.keys(), (std::vector<std::string>{keys[2], keys[1]}));
  EXPECT_EQ(t.remove(keys[0]), 0);
  EXPECT_EQ(t.remove(keys[1]), 1);  // not the head
  EXPECT_EQ(t.chainLength(keys[2]), 1);
  EXPECT_EQ(t.bucketsInUse(), 1);
  EXPECT_EQ(t.remove(keys[2]), 1);
  EXPECT_EQ(t.bucketsInUse(), 0);
  EXPECT_EQ(t.totalNodes(), 0);
  EXPECT_EQ(t.entryCount(), 0);
}

TEST(HashTable, NoneValues) {
  auto keys = sameBucketKeys(250, 2);
  hash_table t;
  t.set(keys[0], nullptr);
  EXPECT_FALSE(t.find(keys[0])->hasValue);  // a chain head keeps "none"
  t.set(keys[1], nullptr);
  EXPECT_TRUE(t.find(keys[1])->hasValue);   // later in a chain: empty text
  std::string v = "x";
  EXPECT_TRUE(t.get(keys[0], v));
  EXPECT_EQ(v, "");
  t.set(keys[0], nullptr);
  EXPECT_TRUE(t.find(keys[0])->hasValue);  // replacing gives an empty text
}

TEST(HashTable, ListingsFollowTableOrder) {
  hash_table t(7);
  std::vector<std::string> added;
  for (int i = 0; i < 40; ++i) {
    added.push_back("item" + std::to_string(i));
    t.set(added.back(), "v" + std::to_string(i));
  }
  // Inserting in the same order into a fresh table is exactly a "move".
  std::vector<std::string> expect = movedOrder(added, 7);
  EXPECT_EQ(t.keys(), expect);
  std::vector<std::string> k, v;
  k.push_back("stale");
  t.keysAndValues(k, v);
  EXPECT_EQ(k, expect);
  ASSERT_EQ(v.size(), k.size());
  for (size_t i = 0; i < k.size(); ++i) EXPECT_EQ("v" + k[i].substr(4), v[i]);
  EXPECT_EQ(t.values(), v);
  std::vector<std::string> seen;
  t.forEach([&](const hash_table::node& n) { seen.emplace_back(n.key()); });
  EXPECT_EQ(seen, expect);
}

TEST(HashTable, ExplicitResizeRedistributesNodes) {
  hash_table t(200);
  for (int i = 0; i < 300; ++i) t.set("key" + std::to_string(i), std::to_string(i), false);
  const std::vector<std::string> before = t.keys();
  ASSERT_EQ(t.resize(1, 0), 1);
  EXPECT_EQ(t.size(), 300);
  EXPECT_EQ(t.keys(), movedOrder(before, 300));
  EXPECT_EQ(t.entryCount(), 300);
  EXPECT_EQ(t.totalNodes(), 300);
  int32_t used = 0, depth = 0;
  for (const auto& k : t.keys()) {
    const hash_table::node* n = t.find(k);
    ASSERT_NE(n, nullptr) << k;
    EXPECT_EQ(n->value, k.substr(3));
  }
  // Recounted during the move.
  std::map<uint32_t, int32_t> chains;
  for (const auto& k : before) ++chains[refHash(k) % 300];
  for (auto& [b, len] : chains) {
    ++used;
    depth = std::max(depth, len);
  }
  EXPECT_EQ(t.bucketsInUse(), used);
  EXPECT_EQ(t.maxDepth(), depth);

  ASSERT_EQ(t.resize(-1, 0), 1);
  EXPECT_EQ(t.size(), 150);
  ASSERT_EQ(t.resize(-1, 0), 1);
  EXPECT_EQ(t.size(), 100);  // never below one growth step
  EXPECT_EQ(t.resize(0, 0), 1);
  EXPECT_EQ(t.size(), 100);
  EXPECT_EQ(t.totalNodes(), 300);
}

TEST(HashTable, GrowsOnlyWhenLoadedAndLargeEnough) {
  hash_table small(199);
  for (int i = 0; i < 2000; ++i) small.set("s" + std::to_string(i), "x");
  EXPECT_EQ(small.size(), 199);  // below the resize threshold
  EXPECT_EQ(small.resizeDecision(), 0);

  hash_table t(200);
  int i = 0;
  while (t.resizeDecision() != 1) {
    t.set("g" + std::to_string(i++), "x");
    ASSERT_EQ(t.size(), 200);
  }
  EXPECT_GT(static_cast<double>(t.totalNodes()) / t.bucketsInUse(), 2.5);
  const std::vector<std::string> before = t.keys();
  const std::string next = "g" + std::to_string(i);
  t.set(next, "x");
  EXPECT_EQ(t.size(), 300);
  // The new key joins after the move.
  std::vector<std::string> withNext = before;
  withNext.push_back(next);
  EXPECT_EQ(t.keys(), movedOrder(withNext, 300));
  EXPECT_EQ(hash_table::growStep(300), 100);
}

TEST(HashTable, LargeTablesDouble) {
  EXPECT_EQ(hash_table::growStep(hash_table::kLargeTableSize - 1), 100);
  EXPECT_EQ(hash_table::growStep(20000), 20000);
  hash_table t;
  const int n = 60000;
  for (int i = 0; i < n; ++i) ASSERT_EQ(t.set("e" + std::to_string(i), std::to_string(i)), 1);
  EXPECT_EQ(t.totalNodes(), n);
  EXPECT_GE(t.size(), hash_table::kLargeTableSize);
  EXPECT_LE(static_cast<double>(t.totalNodes()) / t.bucketsInUse(), 2.6);
  for (int i = 0; i < n; i += 7) {
    const std::string* v = t.getPtr("e" + std::to_string(i));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(*v, std::to_string(i));
  }
  EXPECT_EQ(t.keys().size(), static_cast<size_t>(n));
}

TEST(HashTable, ClearAndRelease) {
  hash_table t(300);
  for (int i = 0; i < 50; ++i) t.set("c" + std::to_string(i), "v");
  EXPECT_EQ(t.clear(), 1);
  EXPECT_EQ(t.size(), 300);
  EXPECT_EQ(t.totalNodes(), 0);
  EXPECT_EQ(t.bucketsInUse(), 0);
  EXPECT_EQ(t.maxDepth(), 0);
  EXPECT_TRUE(t.keys().empty());
  EXPECT_EQ(t.set("again", "1"), 1);

  t.release();
  EXPECT_EQ(t.set("k", "v"), 0);
  EXPECT_EQ(t.find("again"), nullptr);
  EXPECT_EQ(t.remove("again"), 0);
  EXPECT_EQ(t.infoText(5), "table:\t\tNULL\ntable size:\t0\n");
  EXPECT_EQ(t.resize(1, 0), 1);
  EXPECT_EQ(t.size(), 250);
  EXPECT_EQ(t.set("k", "v"), 1);
}

TEST(HashTable, SearchByValueAndTrim) {
  hash_table t(5);
  t.set("a", "  Apple pie\t");
  t.set("b", "banana");
  t.set("c", "BANANA split");
  t.set("d", "banana");
  t.trimValues();
  EXPECT_EQ(*t.getPtr("a"), "Apple pie");
  std::string key;
  EXPECT_TRUE(t.findKeyByValue("apple pie", true, 0, 0, key));
  EXPECT_EQ(key, "a");
  EXPECT_FALSE(t.findKeyByValue("apple pie", false, 0, 0, key));
  EXPECT_TRUE(t.findKeyByValue("banana", false, 0, 0, key));
  std::string first = key;
  EXPECT_TRUE(t.findKeyByValue("banana", false, 0, 2, key));
  EXPECT_NE(key, first);
  EXPECT_FALSE(t.findKeyByValue("banana", false, 0, 3, key));
  // Comparing only a prefix brings in the third "banana...".
  EXPECT_TRUE(t.findKeyByValue("bananarama", true, 6, 3, key));
  EXPECT_FALSE(t.findKeyByValue("bananarama", true, 7, 1, key));

  t.set("x", "--x--");
  t.trimValues("-", 1);
  EXPECT_EQ(*t.getPtr("x"), "x--");
  t.trimValues("-", 2);
  EXPECT_EQ(*t.getPtr("x"), "x");
  t.set("y", "----");
  t.trimValues("-", 0);
  EXPECT_EQ(*t.getPtr("y"), "");
}

TEST(HashTable, StatisticsText) {
  std::string empty = "0 entries in table, 250 bucket(s) (0.00% use)\n"
                      "Buckets with  0 or more entries: 250\t(Total: 0)\n";
  for (int j = 1; j <= 9; ++j)
    empty += "Buckets with  " + std::to_string(j) + " or more entries: 0\t(Total: 0)\n";
  empty += "Buckets with 10 or more entries: 0\t(Total: 0)\n"
           "Mean search distance per entry: 0.00\n";
  EXPECT_EQ(hash_table().statisticsText(), empty);

  // One chain of 12 and one of 3 in a table of 5 buckets.
  uint32_t b12 = 0;
  auto keys = sameBucketKeys(5, 12, &b12);
  hash_table t(5);
  for (const auto& k : keys) t.set(k, "v");
  int added = 0;
  for (int i = 0; added < 3; ++i) {
    std::string k = "other" + std::to_string(i);
    if (refHash(k) % 5 == (b12 + 1) % 5) {
      t.set(k, "v");
      ++added;
    }
  }
  std::string s = t.statisticsText();
  EXPECT_EQ(s.substr(0, s.find('\n') + 1), "15 entries in table, 5 bucket(s) (40.00% use)\n");
  EXPECT_NE(s.find("Buckets with  0 or more entries: 3\t(Total: 0)\n"), std::string::npos);
  EXPECT_NE(s.find("Buckets with  3 or more entries: 1\t(Total: 3)\n"), std::string::npos);
  EXPECT_NE(s.find("Buckets with 10 or more entries: 1\t(Total: 12)\n"), std::string::npos);
  EXPECT_NE(s.find("Mean search distance per entry: 7.50\n"), std::string::npos);
}

TEST(HashTable, DumpText) {
  hash_table t(5);
  t.set("k", "v");
  const uint32_t b = refHash("k") % 5;
  const hash_table::node* n = t.find("k");
  std::string expect = kRule + "hash_table object:" + hex32(&t) + " size:5\n" + kRule +
                       "Bucket(" + std::to_string(b) + ") Node: " + hex32(n) +
                       " chained nodes:1\n" + "   1: " + hex32(n) + " key:'k' => 'v'\n" +
                       "\nHash Table Statistics:\n" +
                       "Root size:5 Found:1 (20.00%) Max depth:0 Nodes:1\n" + kRule;
  EXPECT_EQ(t.dumpText(0, false, false), expect);
  EXPECT_EQ(t.dumpText(0, true, false), "<pre>\n" + expect + "</pre>\n");

  // A limit counts buckets from the first: bucket 4 shows only without one
  // below 5.
  hash_table lim(5);
  std::string k4;
  for (int i = 0; k4.empty(); ++i)
    if (refHash("L" + std::to_string(i)) % 5 == 4) k4 = "L" + std::to_string(i);
  lim.set(k4, "v");
  EXPECT_EQ(lim.dumpText(4, false, false).find("Bucket("), std::string::npos);
  EXPECT_NE(lim.dumpText(4, false, false).find("Found:0 (0.00%)"), std::string::npos);
  EXPECT_NE(lim.dumpText(5, false, false).find("Bucket(4)"), std::string::npos);

  hash_table v(1);
  v.set("long", "abcdefghijklmnopqrstuvwxy");  // 25: shown whole, then "..."
  v.set("longer", std::string(40, 'z'));       // cut to 30
  v.set("twenty", std::string(20, 't'));       // not marked
  v.set("none", nullptr);
  std::string d = v.dumpText(0, false, false);
  EXPECT_NE(d.find("key:'long' => 'abcdefghijklmnopqrstuvwxy...'\n"), std::string::npos);
  EXPECT_NE(d.find("key:'longer' => '" + std::string(30, 'z') + "...'\n"), std::string::npos);
  EXPECT_NE(d.find("key:'twenty' => '" + std::string(20, 't') + "'\n"), std::string::npos);
  EXPECT_NE(d.find("Max depth:4 Nodes:4\n"), std::string::npos);

  hash_table c(1);
  c.set(std::string(35, 'K'), std::string(45, 'V'));
  EXPECT_EQ(c.dumpText(0, false, true), std::string(30, 'K') + " " + std::string(40, 'V') + "\n");
  hash_table bin(1, true);
  bin.setNumber("n", -42);
  EXPECT_NE(bin.dumpText(0, false, false).find("key:'n' => '-42\n"), std::string::npos);
  EXPECT_EQ(bin.values(), std::vector<std::string>{"-42"});
}

TEST(HashTable, InfoText) {
  hash_table t(3);
  t.set("k", "v");
  const uint32_t b = refHash("k") % 3;
  std::string text = t.infoText(10);  // limited to the size
  std::string head = text.substr(0, text.find('\n') + 1);
  EXPECT_EQ(head.rfind("table array:\t0x", 0), 0u);
  std::string rest = text.substr(head.size());
  std::string expect =
      "table size:\t3\nbucket_count:\t1\ntotal nodes:\t1\nmax_depth:\t0\n"
      "is_binary:\tFalse\nignore_case:\tTrue\n";
  for (uint32_t i = 0; i < 3; ++i) {
    expect += "root node: " + std::to_string(i) + "->";
    expect += i == b ? hex32(t.find("k")) + " 'k'\n" : std::string("0x0 ''\n");
  }
  EXPECT_EQ(rest, expect);
}

// Removed entries give their storage back to later insertions; nothing
// of an old entry (key, value, none marker) shows through a reused slot,
// and a moved table keeps all of its entries.
TEST(HashTable, ReusedStorageStartsClean) {
  hash_table t(13);
  for (int i = 0; i < 500; ++i) t.set("k" + std::to_string(i), std::string(40, 'a' + i % 26));
  t.set("none", nullptr);
  for (int i = 0; i < 500; i += 2) ASSERT_EQ(t.remove("k" + std::to_string(i)), 1);
  ASSERT_EQ(t.remove("none"), 1);
  for (int i = 0; i < 250; ++i) t.set("n" + std::to_string(i), std::to_string(i));
  EXPECT_EQ(t.totalNodes(), 500);
  for (int i = 0; i < 250; ++i) {
    const hash_table::node* n = t.find("n" + std::to_string(i));
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->value, std::to_string(i));
    EXPECT_TRUE(n->hasValue);
  }
  for (int i = 0; i < 500; ++i)
    EXPECT_EQ(t.find("k" + std::to_string(i)) != nullptr, i % 2 == 1) << i;

  hash_table moved(std::move(t));
  EXPECT_EQ(moved.totalNodes(), 500);
  EXPECT_EQ(*moved.getPtr("k499"), std::string(40, 'a' + 499 % 26));
  hash_table assigned;
  assigned.set("old", "x");
  assigned = std::move(moved);
  EXPECT_EQ(assigned.getPtr("old"), nullptr);
  EXPECT_EQ(*assigned.getPtr("n7"), "7");
  assigned.clear();
  assigned.set("again", "1");
  EXPECT_EQ(assigned.keys(), std::vector<std::string>{"again"});
}

// A long random run of insertions, replacements, removals and resizes on
// small tables, checked after every step against a plain model of the
// chains: listing order, chain lengths, counters and every value.
TEST(HashTable, RandomRunMatchesChainModel) {
  uint32_t seed = 12345;
  auto next = [&](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  for (int32_t startSize : {1, 3, 7, 200}) {
    hash_table t(startSize);
    uint32_t size = static_cast<uint32_t>(startSize);
    std::vector<std::vector<std::string>> chains(size);
    std::map<std::string, std::string> values;
    int32_t used = 0;
    for (int step = 0; step < 3000; ++step) {
      const uint32_t op = next(10);
      const std::string key = "key" + std::to_string(next(300));
      auto& chain = chains[refHash(key) % size];
      if (op < 6) {
        const std::string v = "v" + std::to_string(step);
        ASSERT_EQ(t.set(key, v, false), 1);
        if (!values.count(key)) {
          if (chain.empty()) ++used;
          chain.insert(chain.empty() ? chain.end() : chain.begin() + 1, key);
        }
        values[key] = v;
      } else if (op < 9) {
        const bool present = values.count(key) != 0;
        ASSERT_EQ(t.remove(key), present ? 1 : 0);
        if (present) {
          chain.erase(std::find(chain.begin(), chain.end(), key));
          if (chain.empty()) --used;
          values.erase(key);
        }
      } else {
        std::vector<std::string> order;
        for (auto& c : chains) order.insert(order.end(), c.begin(), c.end());
        const int dir = next(2) == 0 ? 1 : -1;
        ASSERT_EQ(t.resize(dir, 0), 1);
        size = static_cast<uint32_t>(t.size());
        chains.assign(size, {});
        used = 0;
        for (const auto& k : order) {
          auto& c = chains[refHash(k) % size];
          if (c.empty()) ++used;
          c.insert(c.empty() ? c.end() : c.begin() + 1, k);
        }
      }
      std::vector<std::string> order;
      for (auto& c : chains) order.insert(order.end(), c.begin(), c.end());
      ASSERT_EQ(t.keys(), order) << "size " << startSize << " step " << step;
      ASSERT_EQ(t.totalNodes(), static_cast<int32_t>(values.size()));
      ASSERT_EQ(t.bucketsInUse(), used);
      ASSERT_EQ(t.chainLength(key), static_cast<int32_t>(chains[refHash(key) % size].size()));
    }
    for (const auto& [k, v] : values) {
      const std::string* got = t.getPtr(k);
      ASSERT_NE(got, nullptr) << k;
      EXPECT_EQ(*got, v);
    }
  }
}

// Keys wait before joining their buckets until something looks at the
// bucket order. A run of checked and unchecked stores, replacements, none
// values, removals, explicit resizes and clears, looked at only now and
// then, must end in exactly the table the one-key-at-a-time rules give:
// the same sizes after the same growth checks, the same chains, the same
// none values.
TEST(HashTable, LateJoiningMatchesStepByStepModel) {
  struct model {
    int32_t size;
    std::vector<std::vector<std::string>> chains;
    std::map<std::string, std::pair<std::string, bool>> values;  // value, hasValue
    int32_t used = 0;
    int32_t total = 0;
    explicit model(int32_t s) : size(s), chains(static_cast<size_t>(s)) {}
    std::vector<std::string> order() const {
      std::vector<std::string> out;
      for (auto& c : chains) out.insert(out.end(), c.begin(), c.end());
      return out;
    }
    void place(const std::string& k) {
      auto& c = chains[refHash(k) % static_cast<uint32_t>(size)];
      if (c.empty()) ++used;
      c.insert(c.empty() ? c.end() : c.begin() + 1, k);
    }
    void moveTo(int32_t newSize) {
      const std::vector<std::string> o = order();
      size = newSize;
      chains.assign(static_cast<size_t>(size), {});
      used = 0;
      for (const auto& k : o) place(k);
    }
    void check() {
      if (size < hash_table::kMinResizeSize || used < 1 || size >= 2 * used) return;
      if (static_cast<double>(total) / used > hash_table::kLoadLimit) moveTo(size + hash_table::growStep(size));
    }
    void store(const std::string& k, const std::string& v, bool none, bool checked) {
      if (checked) check();
      auto it = values.find(k);
      if (it != values.end()) {
        it->second = {none ? std::string() : v, true};
        return;
      }
      const bool first = chains[refHash(k) % static_cast<uint32_t>(size)].empty();
      place(k);
      ++total;
      values[k] = {none ? std::string() : v, none ? !first : true};
    }
  };
  uint32_t seed = 777;
  auto next = [&](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  for (int32_t startSize : {200, 230}) {
    for (uint32_t lookEvery : {1u, 13u, 400u, 100000u}) {
      hash_table t(startSize);
      model m(startSize);
      for (int step = 0; step < 12000; ++step) {
        const uint32_t op = next(100);
        const std::string key = "key" + std::to_string(next(2500));
        if (op < 80) {
          const bool checked = op < 70;
          const bool none = op % 9 == 0;
          const std::string v = "v" + std::to_string(step);
          ASSERT_EQ(none ? t.set(key, nullptr, checked) : t.set(key, v, checked), 1);
          m.store(key, v, none, checked);
        } else if (op < 97) {
          const bool present = m.values.count(key) != 0;
          ASSERT_EQ(t.remove(key), present ? 1 : 0);
          if (present) {
            auto& c = m.chains[refHash(key) % static_cast<uint32_t>(m.size)];
            c.erase(std::find(c.begin(), c.end(), key));
            if (c.empty()) --m.used;
            --m.total;
            m.values.erase(key);
          }
        } else if (op < 99) {
          if (next(15) != 0) continue;
          ASSERT_EQ(t.resize(1, 0), 1);
          m.moveTo(m.size + hash_table::growStep(m.size));
        } else if (next(20) == 0) {
          t.clear();
          m.chains.assign(static_cast<size_t>(m.size), {});
          m.values.clear();
          m.used = m.total = 0;
        }
        const std::string* got = t.getPtr(key);
        ASSERT_EQ(got != nullptr, m.values.count(key) != 0) << key;
        if (got != nullptr) {
          ASSERT_EQ(*got, m.values[key].first);
        }
        ASSERT_EQ(t.totalNodes(), m.total);
        if (step % lookEvery != 0 && step != 11999) continue;
        ASSERT_EQ(t.size(), m.size) << "start " << startSize << " step " << step;
        ASSERT_EQ(t.keys(), m.order()) << "start " << startSize << " step " << step;
        ASSERT_EQ(t.bucketsInUse(), m.used);
        t.forEach([&](const hash_table::node& n) {
          EXPECT_EQ(n.hasValue, m.values[std::string(n.key())].second) << n.key();
        });
      }
      EXPECT_GT(m.size, startSize);  // the run did grow the table
    }
  }
}

// Keys longer than a node keeps in place, empty keys and keys that differ
// only near the end all find their own entries.
TEST(HashTable, KeysOfEveryLength) {
  hash_table t;
  std::vector<std::string> keys = {"", "a", std::string(15, 'x'), std::string(16, 'x'), std::string(17, 'x'),
                                   std::string(1000, 'y') + "1", std::string(1000, 'y') + "2"};
  for (size_t i = 0; i < keys.size(); ++i) ASSERT_EQ(t.set(keys[i], std::to_string(i)), 1);
  for (size_t i = 0; i < keys.size(); ++i) {
    const hash_table::node* n = t.find(keys[i]);
    ASSERT_NE(n, nullptr) << i;
    EXPECT_EQ(n->key(), keys[i]);
    EXPECT_EQ(n->value, std::to_string(i));
  }
  EXPECT_EQ(t.find(std::string(1000, 'y')), nullptr);
  EXPECT_EQ(t.find(std::string(16, 'x') + '\0'), nullptr);
  ASSERT_EQ(t.remove(std::string(17, 'x')), 1);
  EXPECT_EQ(t.find(std::string(17, 'x')), nullptr);
  // The freed node comes back for a short key and must not keep the long one.
  ASSERT_EQ(t.set("b", "new"), 1);
  EXPECT_EQ(t.find("b")->key(), "b");
  EXPECT_EQ(t.totalNodes(), static_cast<int32_t>(keys.size()));
}

// A replacement that checks for a resize grows a loaded table there and
// then, even while new keys are still waiting to join their buckets; a
// table looked at after every store is the reference.
TEST(HashTable, ReplacementsCheckForResizeWhereTheyHappen) {
  hash_table lazy(200);
  hash_table eager(200);
  auto both = [&](const std::string& k, const std::string& v, bool checked) {
    ASSERT_EQ(lazy.set(k, v, checked), 1);
    ASSERT_EQ(eager.set(k, v, checked), 1);
    (void)eager.size();
  };
  for (int i = 0; i < 1000; ++i) both("u" + std::to_string(i), "x", false);
  both("u0", "y", true);  // loaded well past the limit: grows to 300
  both("w0", "y", false);
  both("u1", "y", true);  // still loaded: grows again
  both("u1", "z", true);
  both("w1", "y", false);
  EXPECT_EQ(eager.size(), 500);
  EXPECT_EQ(lazy.size(), eager.size());
  EXPECT_EQ(lazy.keys(), eager.keys());
  EXPECT_EQ(lazy.bucketsInUse(), eager.bucketsInUse());
  EXPECT_EQ(lazy.maxDepth(), eager.maxDepth());
}
