// The error reporter, the exception reporter and the code-name table.
#include <cstdarg>
#include <cstdio>

#include "interp/interp.h"
#include "interp/exit_hook.h"
#include "interp/process_state.h"
#include "platform/console.h"
#include "expr/numbers.h"

namespace orvel {

namespace {
const char* const kCodeNames[] = {"ok", "error", "return", "break", "continue",
                                  "exit", "stop", "goto", "defined"};
const char* const kErrorTexts[] = {"No error", "Syntax error", "Expected integer",
                                   "Stack overflow", "Error calling Velement", "Memory allocation",
                                   "Can't unset a struct member", "Error"};

std::string vformat(const char* fmt, va_list ap, size_t limit) {
  char buf[1024];
  va_list ap2;
  va_copy(ap2, ap);
  int n = std::vsnprintf(buf, sizeof buf, fmt, ap2);
  va_end(ap2);
  if (n < 0) return {};
  if (static_cast<size_t>(n) < sizeof buf || limit <= sizeof buf) {
    size_t len = static_cast<size_t>(n) < sizeof buf ? static_cast<size_t>(n) : sizeof buf - 1;
    if (len > limit) len = limit;
    return std::string(buf, len);
  }
  std::string s(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(s.data(), s.size(), fmt, ap);
  s.resize(static_cast<size_t>(n) < limit ? static_cast<size_t>(n) : limit);
  return s;
}
}  // namespace

const char* codeNameOf(int code) {
  return code >= 0 && code <= 8 ? kCodeNames[code] : nullptr;
}

std::string strprintf(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = vformat(fmt, ap, static_cast<size_t>(-1));
  va_end(ap);
  return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i++) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

const char* procNameOf(Interp& in) {
  if (in.callFrame && in.callFrame->hasProcName) return in.callFrame->procName.c_str();
  return "root";
}

int frameLevel(Interp& in) { return in.callFrame ? in.callFrame->level : 0; }

void setGlobalVar(Interp& in, std::string_view name, std::string_view value) {
  CallFrame* g = globalFrame(in);
  if (!g) return;
  CallFrame* saved = in.callFrame;
  in.callFrame = g;
  Var* v = g->vars.find(name);
  if (v && !v->link && v->kind == VK_AUTO && !v->isConst) {
    v->value.assign(value);
    v->assigned = true;
  } else {
    set_var(in, name, value);
  }
  in.callFrame = saved;
}

int reportErrorText(Interp& in, const std::string& message) {
  ProcessState& st = ps();
  if (st.onErrorRunning) return 0;
  std::string msg = message.size() > 1023 ? message.substr(0, 1023) : message;
  setGlobalVar(in, "errorMsg", msg);
  if (st.quietOnce) {
    st.quietOnce = false;
    return 1;
  }
  if (callOnError(in)) return 0;
  if (st.cgi && st.echo) {
    if (!st.cgiHeaderSent) {
      plat::writeOut("Content-type: text/html\r\n\r\n<br>");
      st.cgiHeaderSent = true;
    }
    plat::writeOut("<font color=\"grey\">");
    plat::writeOut(msg);
    plat::writeOut("</font><br>");
    plat::flushOut();
    return 1;
  }
  if (st.singleStep || st.debug || st.echo) {
    if (st.singleStep) {
      plat::setAttribute(0xE0);
      plat::writeOut("Breakpoint ");
    } else if (st.stacktrace) {
      plat::setAttribute(0x4F);
      plat::writeOut("Error: ");
    }
    if (st.echo) {
      std::string_view m = msg;
      if (!m.empty() && (m.back() == '\n' || m.back() == '\r')) {
        while (!m.empty() && (m.back() == '\n' || m.back() == '\r')) m.remove_suffix(1);
        std::string line(m);
        line += " \r\n";
        plat::writeOut(line);
      } else {
        plat::writeOut(m);
      }
    }
    if (st.stacktrace) {
      plat::writeOut("\r\n");
      for (size_t i = st.callStack.size(); i-- > 0;) {
        bool top = i + 1 == st.callStack.size();
        plat::setAttribute(top ? 14 : 6);
        plat::writeOut(top ? "   At:" : "   In:");
        plat::writeOut(" " + (st.callStack[i].empty() ? std::string("[???]") : st.callStack[i]));
        plat::fillToLineEnd(' ');
        plat::writeOut("\r\n");
      }
    }
    plat::setAttribute(7);
    return 1;
  }
  return 1;
}

int reportError(Interp& in, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string msg = vformat(fmt, ap, 1023);
  va_end(ap);
  return reportErrorText(in, msg);
}

int fail(Interp& in, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string msg = vformat(fmt, ap, 1023);
  va_end(ap);
  msg += strprintf(" at level %i in %s\r\n", frameLevel(in), procNameOf(in));
  reportErrorText(in, msg);
  return ERROR;
}

void setErrorIndex(Interp& in, int index, const char* message) {
  if (index < 0 || index > 7) return;
  if (ps().debug || ps().echo) plat::writeOut(strprintf("%s: %s\r\n", message, kErrorTexts[index]));
  setGlobalVar(in, "errorCode", intText(index));
  setGlobalVar(in, "errorMsg", kErrorTexts[index]);
}

const char* codeName(Interp& in, int code) {
  if (code < 0 || code > 8) return "Unhandled error";
  setGlobalVar(in, "errorCode", intText(code));
  return kCodeNames[code];
}

void reportException(const char* site, const char* message) {
  if (!ps().echo && !ps().debug) return;
  plat::setAttribute(12);
  plat::writeOut(strprintf("\r\nException in '%s' at line %lld", site, static_cast<long long>(ps().location)));
  if (message && *message) plat::writeOut(strprintf(" (%s)", message));
  plat::setAttribute(7);
  plat::writeOut("\r\n");
}

bool callOnError(Interp& in) {
  Command* c = orvelGetCommand(in, "on_error");
  if (!c || !c->handler) return false;
  ps().onErrorRunning = true;
  std::string savedResult = in.result;  // the reporter leaves the result alone
  try {
    Args words{"on_error"};
    Handler h = c->handler;
    void* pd = c->pd;
    auto keep = c->owner;
    if (h(in, words, pd) == EXIT) orvelExitRequested(in);
  } catch (...) {
    reportException("on_error", nullptr);
  }
  in.result = std::move(savedResult);
  ps().onErrorRunning = false;
  return true;
}

}  // namespace orvel
