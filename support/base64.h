// Base64 with the standard alphabet (A-Z a-z 0-9 + /) and "=" padding.
#pragma once
#include <string>
#include <string_view>

namespace orvel {

std::string base64Encode(std::string_view bytes);

// Decodes text; false (out unspecified) on a character outside the
// alphabet, misplaced padding, a dangling final character, or a text of 3
// characters or fewer. CR, LF, tab and space between groups are skipped.
bool base64Decode(std::string_view text, std::string& out);

}  // namespace orvel
