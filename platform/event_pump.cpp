#include "platform/event_pump.h"

#include <algorithm>
#include <vector>

namespace plat {
namespace {
std::vector<EventPumpFn>& pumps() {
  static std::vector<EventPumpFn> list;
  return list;
}
bool gRunning = false;  // a pump that waits on keys must not re-enter itself
}  // namespace

void addEventPump(EventPumpFn fn) {
  if (fn && std::find(pumps().begin(), pumps().end(), fn) == pumps().end()) pumps().push_back(fn);
}

void removeEventPump(EventPumpFn fn) {
  auto& list = pumps();
  list.erase(std::remove(list.begin(), list.end(), fn), list.end());
}

bool haveEventPumps() { return !pumps().empty(); }

int runEventPumps() {
  if (gRunning || pumps().empty()) return 0;
  gRunning = true;
  int queued = 0;
  const std::vector<EventPumpFn> list = pumps();  // a pump may unload itself
  for (EventPumpFn fn : list) {
    int keys[64];
    int n = fn(keys, 64);
    if (n < 0) n = 0;
    if (n > 64) n = 64;
    for (int i = 0; i < n; ++i) queueKey(keys[i]);
    queued += n;
  }
  gRunning = false;
  return queued;
}

}  // namespace plat
