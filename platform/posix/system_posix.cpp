// Operating-system services for POSIX systems.
#include <limits.h>
#include <pwd.h>
#include <spawn.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/posix/child_wait.h"
#include "platform/posix/terminal_mode.h"
#include "platform/shell_words.h"
#include "platform/system.h"

extern char** environ;

namespace plat {

namespace {

LocalTime fromTm(const tm& t, long nanoseconds) {
  LocalTime lt{};
  lt.year = t.tm_year + 1900;
  lt.month = t.tm_mon + 1;
  lt.day = t.tm_mday;
  lt.hour = t.tm_hour;
  lt.minute = t.tm_min;
  lt.second = t.tm_sec > 59 ? 59 : t.tm_sec;
  lt.millisecond = static_cast<int>(nanoseconds / 1000000);
  lt.weekday = t.tm_wday;
  lt.yearday = t.tm_yday + 1;
  return lt;
}

bool validEnvName(const std::string& name) {
  return !name.empty() && name.find('=') == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace

std::string modulePath() {
  std::vector<char> buf(PATH_MAX > 0 ? PATH_MAX : 4096);
  for (int attempt = 0; attempt < 6; ++attempt) {
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
  return {};
}

std::vector<std::string> environment() {
  std::vector<std::string> out;
  for (char** e = environ; e && *e; ++e) out.emplace_back(*e);
  return out;
}

bool getEnv(const std::string& name, std::string& value) {
  if (!validEnvName(name)) return false;
  const char* v = std::getenv(name.c_str());
  if (!v) return false;
  value = v;
  return true;
}

bool setEnv(const std::string& name, const std::string& value) {
  if (!validEnvName(name) || value.find('\0') != std::string::npos) return false;
  return setenv(name.c_str(), value.c_str(), 1) == 0;
}

uint64_t tickMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

void sleepMs(int64_t ms) {
  if (ms <= 0) return;
  timespec req{};
  req.tv_sec = static_cast<time_t>(ms / 1000);
  req.tv_nsec = static_cast<long>((ms % 1000) * 1000000);
  timespec rem{};
  while (nanosleep(&req, &rem) != 0 && errno == EINTR) req = rem;
}

LocalTime localTime() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm t{};
  localtime_r(&ts.tv_sec, &t);
  return fromTm(t, ts.tv_nsec);
}

LocalTime systemTime() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm t{};
  gmtime_r(&ts.tv_sec, &t);
  return fromTm(t, ts.tv_nsec);
}

namespace {

// The file a program name stands for, found on PATH the way the shell
// searches it (a name with a slash is taken as it is); empty when no
// executable regular file answers.
std::string programOnPath(const std::string& name) {
  auto runnable = [](const std::string& f) {
    struct stat st {};
    return stat(f.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(f.c_str(), X_OK) == 0;
  };
  if (name.find('/') != std::string::npos) return runnable(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (;;) {
    const size_t colon = dirs.find(':');
    std::string_view dir = dirs.substr(0, colon);
    std::string file = dir.empty() ? name : std::string(dir) + "/" + name;
    if (runnable(file)) return file;
    if (colon == std::string_view::npos) return {};
    dirs.remove_prefix(colon + 1);
  }
}

// Starts a program with its words and the caller's environment without a
// shell in between. The child shares the parent's memory until it runs
// the program, so it does nothing but reset the signal handlers the
// program must not inherit, restore the signal mask and call execv; all
// signals stay blocked until then. False (and no child left) when the
// program could not be run.
bool startDirect(const std::string& file, std::vector<std::string>& words, pid_t& pid) {
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const char* target = file.c_str();
  char* const* args = argv.data();
  sigset_t all, old;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &old);
  volatile int execError = 0;
  const pid_t child = vfork();
  if (child == 0) {
    struct sigaction sa {};
    for (int sig = 1; sig < 32; ++sig) {
      if (sigaction(sig, nullptr, &sa) != 0 || sa.sa_handler == SIG_DFL || sa.sa_handler == SIG_IGN) continue;
      struct sigaction dfl {};
      dfl.sa_handler = SIG_DFL;
      sigaction(sig, &dfl, nullptr);
    }
    sigprocmask(SIG_SETMASK, &old, nullptr);
    execv(target, args);
    execError = errno != 0 ? errno : ENOEXEC;  // seen by the parent: the memory is shared until exit
    _exit(127);
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  if (child < 0) return false;
  if (execError != 0) {
    waitChild(child);
    return false;
  }
  pid = child;
  return true;
}

}  // namespace

bool runShell(const std::string& commandLine, int& exitCode) {
  if (commandLine.find('\0') != std::string::npos) return false;
  flushOut();
  // The child gets the terminal as the program found it.
  bool keyMode = terminal::inKeyMode();
  if (keyMode) terminal::leaveKeyMode();
  pid_t pid = 0;
  int rc = -1;
  // A plain program with plain arguments starts directly: the shell would
  // only split the words and search the path the same way. When that
  // start fails (no such program, no permission), the shell is asked after
  // all and reports it in its own words.
  std::vector<std::string> words = plainCommandWords(commandLine);
  if (!words.empty()) {
    const std::string file = programOnPath(words[0]);
    if (!file.empty() && startDirect(file, words, pid)) rc = 0;
  }
  if (rc != 0) {
    std::string sh = "sh", dashC = "-c", cmd = commandLine;
    char* argv[] = {sh.data(), dashC.data(), cmd.data(), nullptr};
    rc = posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ);
  }
  bool started = rc == 0;
  if (started) exitCode = waitChild(pid);
  if (keyMode) terminal::enterKeyMode();
  return started;
}

std::string userName() {
  uid_t uid = geteuid();
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd pw{};
  passwd* res = nullptr;
  if (getpwuid_r(uid, &pw, buf.data(), buf.size(), &res) == 0 && res && res->pw_name && *res->pw_name)
    return res->pw_name;
  for (const char* var : {"USER", "LOGNAME"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return {};
}

std::string hostName() {
  char buf[256] = {};
  if (gethostname(buf, sizeof buf - 1) != 0) return {};
  return buf;
}

bool isWow64() { return false; }

int processId() { return static_cast<int>(getpid()); }

}  // namespace plat
