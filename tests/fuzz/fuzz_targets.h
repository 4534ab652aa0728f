// Fuzz targets: each takes arbitrary bytes and must never crash or hang.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "interp/interp.h"

namespace orvel_fuzz {

using Target = int (*)(const uint8_t* data, size_t size);

// Runs fn in a fresh interpreter with the console captured, a command and
// recursion budget (so endless loops end), and the commands that would
// touch the machine or wait removed.
void withFuzzInterpreter(void (*fn)(orvel::Interp& in, const std::string& text), const std::string& text);
Target targetByName(const std::string& name);

int fuzzEval(const uint8_t* data, size_t size);
int fuzzExpr(const uint8_t* data, size_t size);
int fuzzPreproc(const uint8_t* data, size_t size);
int fuzzHttpResponse(const uint8_t* data, size_t size);
int fuzzWavHeader(const uint8_t* data, size_t size);
int fuzzBase64(const uint8_t* data, size_t size);
int fuzzIni(const uint8_t* data, size_t size);  // hexbury.ini reader

}  // namespace orvel_fuzz
