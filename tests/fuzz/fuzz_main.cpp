// libFuzzer entry: hands each input to the target this binary was built for.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static orvel_fuzz::Target target = orvel_fuzz::targetByName(ORVEL_FUZZ_TARGET);
  if (target) target(data, size);
  return 0;
}
