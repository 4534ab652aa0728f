// The Config section store: keys are kept lower-cased so that look-ups
// ignore case, and an INI file is read with the same line rules as the
// host's own key reader.
#include "support/config.h"

#include <fstream>
#include <map>
#include <sstream>

#include "support/ascii_case.h"

namespace orvel {

namespace {

std::map<std::string, std::string>& store() {
  static std::map<std::string, std::string> keys;
  return keys;
}

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = asciiLower(c);
  return out;
}

bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanksTabs(std::string_view s) {
  while (!s.empty() && isBlankOrTab(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlankOrTab(s.back())) s.remove_suffix(1);
  return s;
}

// Lines are read at most 255 characters at a time, as a fixed line buffer
// reads them: a longer line continues as the next "line".
std::string_view nextLine(std::string_view text, size_t& pos) {
  size_t start = pos, end = pos;
  while (end < text.size() && end - start < 255) {
    if (text[end++] == '\n') break;
  }
  pos = end;
  return text.substr(start, end - start);
}

std::string_view stripLineEnd(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  while (!s.empty() && s.back() == '\n') s.remove_suffix(1);
  while (!s.empty() && s.back() == '\r') s.remove_suffix(1);
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
  return s;
}

}  // namespace

bool configValue(std::string_view key, std::string& out) {
  auto it = store().find(lowered(key));
  if (it == store().end()) return false;
  out = it->second;
  return true;
}

void configSet(std::string_view key, std::string_view value) {
  if (key.empty()) return;
  store()[lowered(key)] = std::string(value);
}

void configClear() { store().clear(); }

void configLoadIniText(std::string_view text) {
  std::map<std::string, std::string> seen;  // the first line of a key wins
  bool inSection = false;
  size_t pos = 0;
  while (pos < text.size()) {
    std::string_view line = stripLineEnd(nextLine(text, pos));
    if (line.empty()) continue;
    if (!inSection) {
      size_t close = line.find(']');
      if (line.front() == '[' && close != std::string_view::npos && close >= 2 &&
          equalsNoCase(trimBlanksTabs(line.substr(1, close - 1)), "Config"))
        inSection = true;
      continue;
    }
    if (line.front() == '[') break;  // the next section ends the Config keys
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    std::string_view key = line.substr(0, eq);
    if (key.back() == ' ' || key.back() == '\t') continue;  // "Key =" never matches a key name
    std::string_view value = line.substr(eq + 1);
    size_t semi = value.find(';');
    if (semi != std::string_view::npos) value = trimBlanksTabs(value.substr(0, semi));
    seen.emplace(lowered(key), std::string(value));
  }
  for (auto& [k, v] : seen) store()[k] = v;
}

bool configLoadIni(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream ss;
  ss << f.rdbuf();
  if (f.bad()) return false;
  configLoadIniText(ss.str());
  return true;
}

bool configBool(std::string_view key, bool& value) {
  std::string text;
  if (!configValue(key, text) || text.empty()) return false;
  std::string_view v = text;
  auto strip = [](char c) { return c == ';' || c == ' ' || c == '\t' || c == '"'; };
  while (!v.empty() && strip(v.front())) v.remove_prefix(1);
  while (!v.empty() && strip(v.back())) v.remove_suffix(1);
  value = equalsNoCase(v, "yes") || equalsNoCase(v, "true") || v == "1";
  return true;
}

}  // namespace orvel
