// Shared helpers of the array commands.
#include "commands/core/array_common.h"

#include <cstdarg>
#include <cstdio>

#include "interp/process_state.h"
#include "interp/struct_access.h"

namespace orvel::arrays {

ArrayOptions scanArrayOptions(const Args& argv) {
  ArrayOptions o;
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w.size() < 2 || w[0] != '-') continue;
    if (w == "-nocomplain") o.nocomplain = true;
    else if (w == "-pair") o.pair = true;
    else if (w == "-nocase") o.nocase = true;
  }
  return o;
}

Var* findArray(Interp& in, std::string_view name) {
  Var* v = varTarget(orvelGetVar(in, name));
  return v && v->kind == VK_ARRAY ? v : nullptr;
}

hash_table::node* elementNode(Var* arr, std::string_view sub, bool nocase) {
  if (!arr || !arr->table) return nullptr;
  if (hash_table::node* n = arr->table->find(sub)) return n;
  if (nocase || arr->noCase) return arr->table->findNoCase(sub);
  return nullptr;
}

Var* createArray(Interp& in, std::string_view name, int64_t buckets) {
  if (name.empty()) return nullptr;
  if (buckets < 1) buckets = 1;
  if (buckets > hash_table::kMaxSize) buckets = hash_table::kMaxSize;
  if (set_var(in, name, "<array>") != 0) return nullptr;
  Var* v = varTarget(orvelGetVar(in, name));
  if (!v || v->kind != VK_AUTO) return nullptr;
  v->value = "<array>";
  v->kind = VK_ARRAY;
  v->table = std::make_shared<hash_table>(static_cast<int32_t>(buckets));
  return v;
}

bool debugOrVerbose() { return ps().debug || ps().verbose; }

int quietFail(Interp& in, bool nocomplain, const char* fmt, ...) {
  if (nocomplain || !debugOrVerbose()) return ERROR;
  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  int n = std::vsnprintf(nullptr, 0, fmt, ap2);
  va_end(ap2);
  std::string text(n > 0 ? static_cast<size_t>(n) + 1 : 1, '\0');
  if (n > 0) std::vsnprintf(text.data(), text.size(), fmt, ap);
  va_end(ap);
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return fail(in, "%s", text.c_str());
}

}  // namespace orvel::arrays
