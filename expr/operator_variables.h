// Reading and writing the variables that the operator commands change
// (increments and assignment operators).
#pragma once
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace orvel {

// The variable's value as `$name` gives it. Plain values are returned in
// place; other forms (struct members, element links, dictionaries) are built
// in scratch.
std::string_view operandValue(Interp& in, Var* v, std::string& scratch);

// The variable (or the target of its link) is a struct member.
bool isStructMember(Var* v);

// Stores a new value into the variable v found under name: in place for a
// plain variable and along a chain of plain links, into the member's bytes
// for a struct member (cut to the member's width, the rest zero-filled),
// otherwise by the rules of `set`. OK, or the failure's code (reported).
int storeOperandValue(Interp& in, Var* v, std::string_view name, std::string_view text);

}  // namespace orvel
