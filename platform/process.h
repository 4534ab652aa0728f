// Child processes of the process commands.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace plat {

// Runs a command line through the command interpreter and waits for it
// (with the console inherited). POSIX: /bin/sh -c LINE. Windows: the
// command line is COMSPEC /C LINE. A leading "@" word (the echo-off mark of
// the Windows command interpreter) is dropped where the shell has no such
// mark. Returns false when the process could not be started.
bool runCommandLine(const std::string& line, int& exitCode);

// Opens an interactive command shell that first runs line (when not empty)
// and waits for it to end, running the message pump meanwhile. Windows:
// COMSPEC /K LINE with the window title "Command Shell". POSIX: /bin/sh
// runs LINE and then goes on reading commands from standard input.
bool runInteractiveShell(const std::string& line, int& exitCode);

struct SpawnResult {
  bool started = false;
  bool pipeFailed = false;
  std::string error;       // why the start failed
  std::string commandLine; // the command line as given to the system
  int exitCode = -1;       // exit status; 128 + signal for a child killed by a signal
};

// Starts a program (words[0], looked up in PATH) with its arguments, its
// standard output and error going to a pipe and its standard input at the
// null device. Unless noWait, every chunk of output is handed to onChunk as
// it arrives, and the child is waited for. With noWait the child runs on in
// a process group of its own with this program's output, and is reaped
// later.
SpawnResult spawnCaptured(const std::vector<std::string>& words, bool noWait,
                          const std::function<void(const char*, size_t)>& onChunk);

// Whether the program runs with administrator rights (POSIX: answered as
// an ordinary user, never).
bool runsElevated();
// Starts the program's own file again with administrator rights and the
// given parameters. False when that could not be launched (always on POSIX).
bool startElevated(const std::string& parameters);

}  // namespace plat
