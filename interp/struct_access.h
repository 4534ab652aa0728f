// What the variable store and the evaluator need of structs and dictionaries.
#pragma once
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace orvel {

Var* varTarget(Var* v);  // the record a plain link finally stands for
// The content of a field variable (its bytes up to the width or a zero).
bool readFieldValue(Interp& in, Var* field, std::string& out);
// Removes a struct variable's members from its frame and releases its block.
void destroyStruct(Interp& in, Var* structVar);
// For a missing dotted name: the member of the struct named before the first
// '.', whose full name (after any ::) equals name.
bool structMemberByName(Interp& in, std::string_view name, std::string& out);
// Text form of a dictionary: key value pairs in table order.
std::string dictText(Var* dict);

}  // namespace orvel
