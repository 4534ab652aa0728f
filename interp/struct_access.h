// What the variable store and the evaluator need of structs and dictionaries.
#pragma once
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace orvel {

Var* varTarget(Var* v);  // the record a plain link finally stands for
// The content of a field variable (its bytes up to the width or a zero).
bool readFieldValue(Interp& in, Var* field, std::string& out);
// Writes a field's bytes: value cut to the width, the rest zero-filled.
// false when field is not a member of a live struct.
bool writeFieldValue(Var* field, std::string_view value);
// Removes a struct variable's members from its frame and releases its block.
void destroyStruct(Interp& in, Var* structVar);
// For a missing dotted name: the member of the struct named before the first
// '.' whose own name (the text after its first '.') equals the text after
// the first '.' of name.
bool structMemberByName(Interp& in, std::string_view name, std::string& out);
// The field variable a dotted name stands for: a field variable of that
// name, or the matching member of the struct named before the first '.'.
// nullptr when there is none.
Var* structMemberVar(Interp& in, std::string_view name);
// The member of a struct variable whose own name (after its first '.')
// is member; nullptr when there is none.
Var* structMemberOf(Var* structVar, std::string_view member);
// A struct variable that can be used: kind struct, with a block, a size
// above 0 and its member list.
bool usableStruct(const Var* v);
// Text form of a dictionary: key value pairs in table order.
std::string dictText(Var* dict);

}  // namespace orvel
