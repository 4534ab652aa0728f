// The memory block of a struct and its member list. The struct variable
// and each of its member (field) variables share one StructData; a field
// keeps its byte offset in book[0] and its width in size (book[1] is 1 on
// every field made by `struct create`).
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace orvel {

struct Var;

struct StructData {
  std::vector<char> block;                  // zero-filled at creation
  std::vector<std::weak_ptr<Var>> members;  // declaration order
  // Beside each member: its variable name after the first '.' and the
  // variable (valid while members[i] has not expired), so that a member is
  // found without visiting every member variable.
  struct MemberKey {
    std::string key;
    Var* var;
  };
  std::vector<MemberKey> memberKeys;
  std::string structName;                   // name as declared (without ::)
};

}  // namespace orvel
