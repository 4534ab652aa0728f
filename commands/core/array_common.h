// Helpers shared by the array commands: the options every `array` call
// scans for, array look-up and creation, element nodes and the quiet
// failure reports.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "interp/interp.h"
#include "support/hash_table.h"

namespace orvel::arrays {

// The options `array` looks for in every argument before choosing the
// subcommand.
struct ArrayOptions {
  bool nocomplain = false;
  bool pair = false;
  bool nocase = false;
};
ArrayOptions scanArrayOptions(const Args& argv);

// The array record a name stands for (links followed), or nullptr when the
// name is missing or not an array.
Var* findArray(Interp& in, std::string_view name);
// The element node of sub: exact first, then (with nocase or the array's
// own flag) ignoring case.
hash_table::node* elementNode(Var* arr, std::string_view sub, bool nocase);

// Makes name an empty array with a table of the given bucket count. The
// variable must not exist yet; nullptr when it cannot be created.
Var* createArray(Interp& in, std::string_view name, int64_t buckets);

// Integer subscripts are written in decimal.
inline std::string subscriptText(int64_t i) { return std::to_string(i); }

// Reports a failure only while the debug or verbose switch is on (and the
// caller's -nocomplain is off); always returns ERROR.
int quietFail(Interp& in, bool nocomplain, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
bool debugOrVerbose();

// Subcommands of `array`, each given the whole argument vector
// (argv[0] "array", argv[1] the subcommand, argv[2] the array name).
int arrayCreate(Interp& in, Args& argv, const ArrayOptions& o);
int arrayExists(Interp& in, Args& argv, const ArrayOptions& o);
int arrayGet(Interp& in, Args& argv, const ArrayOptions& o);
int arrayNames(Interp& in, Args& argv, const ArrayOptions& o);
int arraySize(Interp& in, Args& argv, const ArrayOptions& o);
int arrayTrim(Interp& in, Args& argv, const ArrayOptions& o);
int arraySortList(Interp& in, Args& argv, const ArrayOptions& o);
int arrayForeach(Interp& in, Args& argv, const ArrayOptions& o);
int arrayStatistics(Interp& in, Args& argv, const ArrayOptions& o);
int arrayUnset(Interp& in, Args& argv, const ArrayOptions& o);
int arraySwap(Interp& in, Args& argv, const ArrayOptions& o);
int arrayWalk(Interp& in, Args& argv, const ArrayOptions& o);
int arrayItem(Interp& in, Args& argv, const ArrayOptions& o);
int arrayFind(Interp& in, Args& argv, const ArrayOptions& o);
int arraySetPairs(Interp& in, Args& argv, const ArrayOptions& o);
int arraySetInt(Interp& in, Args& argv, const ArrayOptions& o);
int arrayAppend(Interp& in, Args& argv, const ArrayOptions& o);
int arrayBlank(Interp& in, Args& argv, const ArrayOptions& o);

// `array_set name ...` with the words from the name on (first is the name).
// cmd is the name used in messages.
int storePairs(Interp& in, const Args& words, size_t from);

}  // namespace orvel::arrays
