// Reading keys from hexbury.ini: one key of one section at a time, straight
// from the file, with the program's own line rules; truth values; and the
// %NAME% environment references written in path values.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace hexbury {

// The value of key in section of the INI text (both matched ignoring
// case), or nothing. Lines are taken at most 255 characters at a time.
std::optional<std::string> ini_find_value(std::string_view text, std::string_view section, std::string_view key);

// The same for the file at path. Nothing when any argument is empty or the
// file does not exist. A file that cannot be opened is tried again up to
// 500 times, 100 ms apart, while the failure may pass (a file held locked).
std::optional<std::string> ini_get_string(const std::string& path, std::string_view section,
                                          std::string_view key);

// A value read as a truth value: nothing when the key is missing or empty;
// "yes", "true" (any case) and "1" are true, every other text false.
// Leading and trailing ';', blanks, tabs and double quotes are ignored.
std::optional<bool> ini_value_bool(const std::optional<std::string>& value);
std::optional<bool> ini_get_bool(const std::string& path, std::string_view section, std::string_view key);

// Replaces %NAME% by the environment value of NAME; an unset name, an
// empty %% and a lone % are dropped. When nothing at all is left, the text
// is kept as it was. At most 10000 references are replaced.
using EnvLookup = bool (*)(const std::string& name, std::string& value);
std::string expand_env_refs(std::string_view text, EnvLookup lookup);
std::string expand_env_refs(std::string_view text);  // the process environment

}  // namespace hexbury
