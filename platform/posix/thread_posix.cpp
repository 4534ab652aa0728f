#include <pthread.h>

#include "platform/system.h"

namespace plat {

namespace {
struct Job {
  void (*fn)(void*);
  void* arg;
};
void* trampoline(void* p) {
  Job* j = static_cast<Job*>(p);
  j->fn(j->arg);
  return nullptr;
}
}  // namespace

void runWithLargeStack(size_t bytes, void (*fn)(void*), void* arg) {
  Job job{fn, arg};
  pthread_attr_t attr;
  pthread_t t;
  if (pthread_attr_init(&attr) == 0 && pthread_attr_setstacksize(&attr, bytes) == 0 &&
      pthread_create(&t, &attr, trampoline, &job) == 0) {
    pthread_attr_destroy(&attr);
    pthread_join(t, nullptr);
    return;
  }
  fn(arg);
}

}  // namespace plat
