// The memory block of a struct and its member list. The struct variable
// and each of its member (field) variables share one StructData; a field
// keeps its byte offset in book[0] and its width in size.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace orvel {

struct Var;

struct StructData {
  std::vector<char> block;
  std::vector<std::weak_ptr<Var>> members;  // declaration order
  std::string structName;                   // name as declared (without ::)
};

}  // namespace orvel
