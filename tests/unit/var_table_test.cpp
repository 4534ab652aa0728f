#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "interp/interp.h"
#include "interp/var_table.h"

namespace orvel {
namespace {

VarPtr record(const std::string& name) {
  VarPtr v = newVarRecord();
  v->name = name;
  return v;
}

// A frame with many names goes through its index: the newest record of a
// name wins, removing it uncovers the older one, and the count of visible
// names ignores shadowed records, through several regrowths of the index.
TEST(VarTable, LargeTablesFindTheNewestRecordOfEachName) {
  VarTable t;
  std::map<std::string, std::vector<Var*>> byName;  // oldest first
  for (int i = 0; i < 300; ++i) {
    const std::string name = "v" + std::to_string(i % 170);  // 130 names come twice
    byName[name].push_back(t.add(record(name)));
  }
  EXPECT_EQ(t.size(), 170u);
  for (auto& [name, recs] : byName) ASSERT_EQ(t.find(name), recs.back()) << name;
  EXPECT_EQ(t.find("v170"), nullptr);
  EXPECT_EQ(t.find("v1 "), nullptr);
  EXPECT_EQ(t.find(""), nullptr);

  // Remove the newer record of every even name: the older one shows again.
  for (int i = 0; i < 130; i += 2) {
    auto& recs = byName["v" + std::to_string(i)];
    ASSERT_TRUE(t.remove(recs.back()));
    recs.pop_back();
  }
  for (auto& [name, recs] : byName) ASSERT_EQ(t.find(name), recs.back()) << name;
  EXPECT_EQ(t.size(), 170u);

  // Names added after the index was rebuilt are found as well.
  for (int i = 0; i < 100; ++i) {
    const std::string name = "w" + std::to_string(i);
    byName[name].push_back(t.add(record(name)));
  }
  for (auto& [name, recs] : byName) ASSERT_EQ(t.find(name), recs.back()) << name;
  EXPECT_EQ(t.size(), 270u);
}

// A remembered look-up stays right across additions that shadow the name
// and removals that uncover it.
TEST(VarTable, RememberedLookUpsFollowChanges) {
  VarTable t;
  for (int i = 0; i < 20; ++i) t.add(record("x" + std::to_string(i)));
  VarLookupCache cache;
  Var* first = t.find("x5");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(t.findRemembered("x5", cache), first);
  Var* shadow = t.add(record("x5"));
  EXPECT_EQ(t.findRemembered("x5", cache), shadow);
  ASSERT_TRUE(t.remove(shadow));
  EXPECT_EQ(t.findRemembered("x5", cache), first);
  ASSERT_TRUE(t.remove(first));
  EXPECT_EQ(t.findRemembered("x5", cache), nullptr);
  t.clear();
  EXPECT_EQ(t.find("x6"), nullptr);
  EXPECT_EQ(t.size(), 0u);
}

}  // namespace
}  // namespace orvel
