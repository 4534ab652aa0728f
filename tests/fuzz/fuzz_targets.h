// Fuzz targets: each takes arbitrary bytes and must never crash or hang.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace orvel_fuzz {

using Target = int (*)(const uint8_t* data, size_t size);
Target targetByName(const std::string& name);

int fuzzEval(const uint8_t* data, size_t size);
int fuzzExpr(const uint8_t* data, size_t size);
int fuzzPreproc(const uint8_t* data, size_t size);

}  // namespace orvel_fuzz
