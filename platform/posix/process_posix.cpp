// Child processes for POSIX systems: the command interpreter is /bin/sh.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/console.h"
#include "platform/posix/child_wait.h"
#include "platform/posix/terminal_mode.h"
#include "platform/process.h"
#include "platform/system.h"
#include "platform/timing.h"

extern char** environ;

namespace plat {

namespace {

// Children started without waiting; reaped whenever another child starts.
std::vector<pid_t>& pendingChildren() {
  static std::vector<pid_t> list;
  return list;
}

void reapPending() {
  auto& list = pendingChildren();
  for (size_t i = 0; i < list.size();) {
    int status = 0;
    pid_t w = waitpid(list[i], &status, WNOHANG);
    if (w == list[i] || (w < 0 && errno == ECHILD)) list.erase(list.begin() + static_cast<long>(i));
    else i++;
  }
}

int statusToCode(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}


// The shell has no echo-off mark: a leading "@" word is dropped.
std::string withoutEchoMark(const std::string& line) {
  if (line == "@") return {};
  if (line.size() >= 2 && line[0] == '@' && (line[1] == ' ' || line[1] == '\t')) return line.substr(2);
  return line;
}

std::string joinedCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (size_t i = 0; i < words.size(); i++) {
    if (i) line += ' ';
    if (words[i].find(' ') != std::string::npos) line += '"' + words[i] + '"';
    else line += words[i];
  }
  return line;
}

struct SpawnActions {
  posix_spawn_file_actions_t fa;
  posix_spawnattr_t attr;
  SpawnActions() {
    posix_spawn_file_actions_init(&fa);
    posix_spawnattr_init(&attr);
  }
  ~SpawnActions() {
    posix_spawn_file_actions_destroy(&fa);
    posix_spawnattr_destroy(&attr);
  }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
};

}  // namespace

int waitChild(pid_t pid) {
  int status = 0;
  pid_t w;
  do {
    w = waitpid(pid, &status, 0);
  } while (w < 0 && errno == EINTR);
  return w < 0 ? -1 : statusToCode(status);
}

bool runCommandLine(const std::string& line, int& exitCode) {
  reapPending();
  return runShell(withoutEchoMark(line), exitCode);
}

bool runInteractiveShell(const std::string& line, int& exitCode) {
  reapPending();
  std::string text = withoutEchoMark(line);
  if (text.find('\0') != std::string::npos) return false;
  flushOut();
  bool keyMode = terminal::inKeyMode();
  if (keyMode) terminal::leaveKeyMode();
  std::string sh = "sh", opt = text.empty() ? "-i" : "-c";
  std::string script = text + "\nexec /bin/sh -i";
  std::vector<char*> argv{sh.data(), opt.data()};
  if (!text.empty()) argv.push_back(script.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  bool started = posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), environ) == 0;
  if (started) {
    for (;;) {
      int status = 0;
      pid_t w = waitpid(pid, &status, WNOHANG);
      if (w == pid) {
        exitCode = statusToCode(status);
        break;
      }
      if (w < 0 && errno != EINTR) {
        exitCode = -1;
        break;
      }
      pumpMessages();
      sleepMs(10);
    }
  }
  if (keyMode) terminal::enterKeyMode();
  return started;
}

SpawnResult spawnCaptured(const std::vector<std::string>& words, bool noWait,
                          const std::function<void(const char*, size_t)>& onChunk) {
  reapPending();
  SpawnResult res;
  res.commandLine = joinedCommandLine(words);
  if (words.empty() || words[0].empty()) {
    res.error = "no program given";
    return res;
  }
  for (const std::string& w : words)
    if (w.find('\0') != std::string::npos) {
      res.error = "a word holds a NUL character";
      return res;
    }
  std::vector<std::string> copies(words);
  std::vector<char*> argv;
  for (std::string& w : copies) argv.push_back(w.data());
  argv.push_back(nullptr);

  int fds[2] = {-1, -1};
  if (!noWait && pipe2(fds, O_CLOEXEC) != 0) {
    res.pipeFailed = true;
    res.error = std::strerror(errno);
    return res;
  }
  SpawnActions sa;
  posix_spawn_file_actions_addopen(&sa.fa, 0, "/dev/null", O_RDONLY, 0);
  if (!noWait) {
    posix_spawn_file_actions_adddup2(&sa.fa, fds[1], 1);
    posix_spawn_file_actions_adddup2(&sa.fa, fds[1], 2);
  } else {
    posix_spawnattr_setflags(&sa.attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&sa.attr, 0);
  }
  flushOut();
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &sa.fa, &sa.attr, argv.data(), environ);
  if (fds[1] >= 0) close(fds[1]);
  if (rc != 0) {
    if (fds[0] >= 0) close(fds[0]);
    res.error = std::strerror(rc);
    return res;
  }
  res.started = true;
  if (noWait) {
    pendingChildren().push_back(pid);
    return res;
  }
  try {
    std::vector<char> buf(65536);
    for (;;) {
      ssize_t n = read(fds[0], buf.data(), buf.size());
      if (n > 0) {
        onChunk(buf.data(), static_cast<size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      break;
    }
  } catch (...) {
    close(fds[0]);  // the child ends on its next write
    waitChild(pid);
    throw;
  }
  close(fds[0]);
  res.exitCode = waitChild(pid);
  return res;
}

bool runsElevated() { return false; }

bool startElevated(const std::string&) { return false; }

}  // namespace plat
