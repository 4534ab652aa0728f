// The preprocessor's macro table and word substitution.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "support/keylist.h"

namespace orvel {

// Macro names to values in definition order, names compared exactly. The
// name __LINE__ is always present and reads as the current line number.
// Look-ups of words in running text go through quick filters (name lengths
// and first characters) and a hash index, so that a long macro list does
// not slow the text pass down.
class MacroTable {
 public:
  MacroTable();
  MacroTable(const MacroTable&) = delete;
  MacroTable& operator=(const MacroTable&) = delete;

  // Stores name with value (replacing an older value). Empty names and
  // values are not stored; __LINE__ cannot be redefined.
  void define(std::string_view name, std::string_view value);
  void undefine(std::string_view name);
  bool defined(std::string_view name) const;
  // The value of name, or nullptr. __LINE__ gives the current line.
  const std::string* find(std::string_view name) const;
  // True while a macro other than __LINE__ is defined.
  bool hasUserMacros() const { return list_.count() > 1; }
  // Cheap test that rules out most words before find().
  bool mayBeName(std::string_view word) const;

  void setLine(int64_t line);
  int64_t line() const { return line_; }

  // Visits every macro in definition order (name, value).
  template <typename F>
  void each(F f) const {
    for (int32_t i = 0; i < list_.count(); i++) {
      const KeyList::node* nd = list_.nodeAt(i);
      if (nd->key == kLineName) f(nd->key, lineText_);
      else f(nd->key, nd->text);
    }
  }

  static constexpr std::string_view kLineName = "__LINE__";

 private:
  void rebuildFilters();

  KeyList list_;                                        // definition order
  std::unordered_map<std::string, std::string> values_;  // quick look-up
  int64_t line_ = 1;
  std::string lineText_ = "1";
  uint64_t lengthMask_ = 0;  // bit n for names of n characters (bit 63: 63 or more)
  bool firstChar_[256] = {};
};

// Replaces, in text, every word that is a macro name by its value. Words
// are separated by blanks, tabs, braces, brackets, parentheses, ' and ';',
// which are kept; a double quote belongs to the word. Double quotes at both
// ends of the result are removed (a result of exactly "" is kept).
std::string substitute_macros(const MacroTable& macros, std::string_view text);

}  // namespace orvel
