#include <windows.h>

#include "platform/system.h"

namespace plat {

namespace {
struct Job {
  void (*fn)(void*);
  void* arg;
};
DWORD WINAPI trampoline(LPVOID p) {
  Job* j = static_cast<Job*>(p);
  j->fn(j->arg);
  return 0;
}
}  // namespace

void runWithLargeStack(size_t bytes, void (*fn)(void*), void* arg) {
  Job job{fn, arg};
  HANDLE h = CreateThread(nullptr, bytes, trampoline, &job, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!h) {
    fn(arg);
    return;
  }
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
}

}  // namespace plat
