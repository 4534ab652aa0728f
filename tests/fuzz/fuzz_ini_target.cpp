// Fuzz target for the hexbury.ini key reader, the truth-value reading and
// the %NAME% expansion: any text, section and key must give an answer
// without a crash, and the answers must keep their stated bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/ini_reader.h"
#include "tests/fuzz/fuzz_targets.h"

namespace orvel_fuzz {

namespace {

// A made-up environment: some names are set (to values holding % signs,
// so that a second expansion would show), others are not.
bool fakeEnv(const std::string& name, std::string& value) {
  if (name.empty() || name.size() > 40) return false;
  switch (static_cast<unsigned char>(name[0]) % 4) {
    case 0: value = "C:\\Temp"; return true;
    case 1: value = "%" + name + "%"; return true;
    case 2: value.clear(); return true;
    default: return false;
  }
}

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

int fuzzIni(const uint8_t* data, size_t size) {
  if (size < 2 || size > 65536) return 0;
  static const char* const kKeys[] = {"Silent", "Script", "WebURL", "SoundLeft", "NoVideoCheck", "A", "key"};
  static const char* const kSections[] = {"Config", "config", "x", " Config "};
  const unsigned char sel = data[0];
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string key = kKeys[sel % 7];
  std::string section = kSections[(sel >> 3) % 4];
  if (sel & 0x80) {
    // The key is taken from the text itself, up to the first '='.
    size_t eq = text.find('=');
    key = text.substr(0, eq == std::string::npos ? 8 : eq);
  }
  auto value = hexbury::ini_find_value(text, section, key);
  if (value) {
    check(value->size() <= 255);
    check(value->find('\n') == std::string::npos);
    auto b = hexbury::ini_value_bool(value);
    check(b.has_value() == !value->empty());
    std::string expanded = hexbury::expand_env_refs(*value, fakeEnv);
    if (value->find('%') == std::string::npos) check(expanded == *value);
  }
  std::string whole = hexbury::expand_env_refs(text, fakeEnv);
  if (text.find('%') == std::string::npos) check(whole == text);
  check(!whole.empty() || text.empty());
  return 0;
}

}  // namespace orvel_fuzz
