// Process-wide configuration keys of the INI file's Config section.
#pragma once
#include <string>
#include <string_view>

namespace orvel {

// The value of key (matched ignoring case); false when the key is absent.
bool configValue(std::string_view key, std::string& out);
// Sets (or replaces) key's value.
void configSet(std::string_view key, std::string_view value);
// Forgets every key.
void configClear();
// Reads the [Config] section of an INI file into the store (keys already
// held are replaced). False when the file cannot be read.
bool configLoadIni(const std::string& path);
// Parses INI text the same way (the file's contents).
void configLoadIniText(std::string_view text);

// A key read as a truth value: false when the key is absent or empty.
// "yes", "true" and "1" give true, "no", "false" and "0" false, any other
// text false; leading and trailing ';', blanks, tabs and double quotes are
// ignored.
bool configBool(std::string_view key, bool& value);

}  // namespace orvel
