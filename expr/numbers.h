// The shared number rules of the arithmetic, comparison and conversion commands.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

// Integer operand conversion: 0x/&h hexadecimal, 0b/&b binary, 0o octal,
// otherwise decimal (a leading 0 is not octal); signed 64-bit, wrapping.
// ok is cleared for a text beginning with '&' that is not &h/&b.
int64_t toInt64(std::string_view s, bool* ok = nullptr);

// Decimal text of an integer.
std::string intText(int64_t v);

}  // namespace orvel
