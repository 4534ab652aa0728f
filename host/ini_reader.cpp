#include "host/ini_reader.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "interp/interp.h"
#include "platform/host_support.h"
#include "platform/system.h"

namespace hexbury {

namespace {

bool blankOrTab(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanksTabs(std::string_view s) {
  while (!s.empty() && blankOrTab(s.front())) s.remove_prefix(1);
  while (!s.empty() && blankOrTab(s.back())) s.remove_suffix(1);
  return s;
}

// One line as a 256-byte line buffer receives it: up to and including a
// line feed, at most 255 characters; a longer line goes on as the next one.
// The text stops at a NUL byte, as a C string would.
std::string_view nextLine(std::string_view text, size_t& pos) {
  size_t start = pos, end = pos;
  while (end < text.size() && end - start < 255) {
    if (text[end++] == '\n') break;
  }
  pos = end;
  std::string_view line = text.substr(start, end - start);
  size_t nul = line.find('\0');
  if (nul != std::string_view::npos) line = line.substr(0, nul);
  return line;
}

std::string_view stripLineEnd(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  while (!s.empty() && s.back() == '\n') s.remove_suffix(1);
  while (!s.empty() && s.back() == '\r') s.remove_suffix(1);
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
  return s;
}

bool regularFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

}  // namespace

std::optional<std::string> ini_find_value(std::string_view text, std::string_view section, std::string_view key) {
  if (section.empty() || key.empty()) return std::nullopt;
  bool inSection = false;
  size_t pos = 0;
  while (pos < text.size()) {
    std::string_view line = stripLineEnd(nextLine(text, pos));
    if (line.empty()) continue;
    if (!inSection) {
      size_t close = line.find(']');
      if (line.front() == '[' && close != std::string_view::npos && close >= 2 &&
          orvel::equalsNoCase(trimBlanksTabs(line.substr(1, close - 1)), section))
        inSection = true;
      continue;
    }
    if (line.front() == '[') return std::nullopt;
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq != key.size()) continue;
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    if (!orvel::equalsNoCase(line.substr(0, eq), key)) continue;
    std::string_view value = line.substr(eq + 1);
    size_t semi = value.find(';');
    if (semi != std::string_view::npos) value = trimBlanksTabs(value.substr(0, semi));
    return std::string(value);
  }
  return std::nullopt;
}

std::optional<std::string> ini_get_string(const std::string& path, std::string_view section, std::string_view key) {
  if (path.empty() || section.empty() || key.empty() || !regularFile(path)) return std::nullopt;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  for (int retry = 0; !f && retry < 500 && plat::openFailureMayPass(); retry++) {
    plat::sleepMs(100);
    f = std::fopen(path.c_str(), "rb");
  }
  if (!f) return std::nullopt;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  std::fclose(f);
  return ini_find_value(text, section, key);
}

std::optional<bool> ini_value_bool(const std::optional<std::string>& value) {
  if (!value || value->empty()) return std::nullopt;
  std::string_view v = *value;
  auto strip = [](char c) { return c == ';' || c == ' ' || c == '\t' || c == '"'; };
  while (!v.empty() && strip(v.front())) v.remove_prefix(1);
  while (!v.empty() && strip(v.back())) v.remove_suffix(1);
  return orvel::equalsNoCase(v, "yes") || orvel::equalsNoCase(v, "true") || v == "1";
}

std::optional<bool> ini_get_bool(const std::string& path, std::string_view section, std::string_view key) {
  return ini_value_bool(ini_get_string(path, section, key));
}

std::string expand_env_refs(std::string_view text, EnvLookup lookup) {
  std::string out;
  size_t pos = 0;
  int references = 0;
  while (references < 10000) {
    size_t open = text.find('%', pos);
    if (open == std::string_view::npos) break;
    out.append(text.substr(pos, open - pos));
    size_t close = text.find('%', open + 1);
    if (close == std::string_view::npos) {  // a lone % is dropped
      pos = open + 1;
      break;
    }
    references++;
    pos = close + 1;
    if (close == open + 1) continue;  // %% is dropped
    std::string value;
    if (lookup(std::string(text.substr(open + 1, close - open - 1)), value)) out += value;
  }
  out.append(text.substr(pos));
  if (out.empty()) return std::string(text);
  return out;
}

std::string expand_env_refs(std::string_view text) { return expand_env_refs(text, plat::getEnv); }

}  // namespace hexbury
