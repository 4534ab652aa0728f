// Replays a fuzz corpus (a folder of inputs) through the matching target,
// so that every test run checks the inputs the fuzzer once found.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/system.h"
#include "tests/fuzz/fuzz_targets.h"

namespace {
struct Job {
  std::string target, dir;
  int count = 0;
  int status = 0;
};

void replay(void* p) {
  Job& j = *static_cast<Job*>(p);
  auto fn = orvel_fuzz::targetByName(j.target);
  if (!fn) {
    std::cerr << "unknown fuzz target " << j.target << "\n";
    j.status = 2;
    return;
  }
  for (auto& e : std::filesystem::directory_iterator(j.dir)) {
    if (!e.is_regular_file()) continue;
    std::ifstream f(e.path(), std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    std::string data = ss.str();
    fn(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    j.count++;
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: orvel_corpus_replay TARGET DIR\n";
    return 2;
  }
  Job j{argv[1], argv[2]};
  plat::runWithLargeStack(size_t(512) << 20, replay, &j);
  std::cout << "replayed " << j.count << " inputs through " << j.target << "\n";
  return j.status;
}
