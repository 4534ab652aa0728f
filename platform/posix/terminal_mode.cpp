// Key input mode of the terminal; see terminal_mode.h.
#include "platform/posix/terminal_mode.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>

namespace plat::terminal {

namespace {

termios gSaved{};
bool gHaveSaved = false;
volatile sig_atomic_t gKeyMode = 0;

void restoreAtExit() { leaveKeyMode(); }

void restoreOnSignal(int sig) {
  if (gKeyMode) tcsetattr(STDIN_FILENO, TCSANOW, &gSaved);
  gKeyMode = 0;
  signal(sig, SIG_DFL);
  raise(sig);
}

void installRestorers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  std::atexit(restoreAtExit);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    struct sigaction old {};
    if (sigaction(sig, nullptr, &old) != 0) continue;
    // Leave alone signals the program ignores or handles itself.
    if (old.sa_handler != SIG_DFL || (old.sa_flags & SA_SIGINFO)) continue;
    struct sigaction sa {};
    sa.sa_handler = restoreOnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(sig, &sa, nullptr);
  }
}

}  // namespace

void enterKeyMode() {
  if (gKeyMode) return;
  if (isatty(STDIN_FILENO) != 1) return;
  if (!gHaveSaved) {
    if (tcgetattr(STDIN_FILENO, &gSaved) != 0) return;
    gHaveSaved = true;
    installRestorers();
  }
  termios raw = gSaved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0) gKeyMode = 1;
}

void leaveKeyMode() {
  if (!gKeyMode || !gHaveSaved) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &gSaved);
  gKeyMode = 0;
}

bool inKeyMode() { return gKeyMode != 0; }

}  // namespace plat::terminal
