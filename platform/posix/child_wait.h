// Waiting for a child process of the POSIX backends.
#pragma once
#include <sys/types.h>

namespace plat {

// Waits for the child (through interruptions) and gives its exit status,
// 128 + the signal number for a child a signal ended, or -1.
int waitChild(pid_t pid);

}  // namespace plat
