// TCP client sockets over Windows Sockets 2.2. getaddrinfo, getnameinfo and
// freeaddrinfo are looked up once at run time in ws2_32.dll, then wship6.dll;
// without all three, names resolve through the IPv4-only calls. Every wait
// is a select() against a deadline.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/net.h"
#include "platform/system.h"

namespace plat {

namespace {

int& startCount() {
  static int n = 0;
  return n;
}

using GetAddrInfoFn = int(WSAAPI*)(const char*, const char*, const addrinfo*, addrinfo**);
using FreeAddrInfoFn = void(WSAAPI*)(addrinfo*);
using GetNameInfoFn = int(WSAAPI*)(const sockaddr*, socklen_t, char*, DWORD, char*, DWORD, int);

struct Resolver {
  GetAddrInfoFn getaddrinfo = nullptr;
  FreeAddrInfoFn freeaddrinfo = nullptr;
  GetNameInfoFn getnameinfo = nullptr;
};

const Resolver& resolver() {
  static Resolver r;
  static bool tried = false;
  if (!tried) {
    tried = true;
    for (const char* name : {"ws2_32.dll", "wship6.dll"}) {
      HMODULE lib = LoadLibraryA(name);
      if (!lib) continue;
      Resolver c;
      c.getaddrinfo = reinterpret_cast<GetAddrInfoFn>(reinterpret_cast<void*>(GetProcAddress(lib, "getaddrinfo")));
      c.freeaddrinfo = reinterpret_cast<FreeAddrInfoFn>(reinterpret_cast<void*>(GetProcAddress(lib, "freeaddrinfo")));
      c.getnameinfo = reinterpret_cast<GetNameInfoFn>(reinterpret_cast<void*>(GetProcAddress(lib, "getnameinfo")));
      if (c.getaddrinfo && c.freeaddrinfo && c.getnameinfo) {
        r = c;  // the library stays loaded for the process
        break;
      }
      FreeLibrary(lib);
    }
  }
  return r;
}

// The IPv4-only look-up: dotted numbers, then the host database; the port
// as a number or a service name.
int resolveIPv4(const std::string& host, const std::string& port, std::vector<NetAddress>& out) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  char* end = nullptr;
  long p = std::strtol(port.c_str(), &end, 10);
  if (!port.empty() && *end == '\0' && p >= 0 && p <= 65535) {
    sa.sin_port = htons(u_short(p));
  } else if (servent* s = getservbyname(port.c_str(), "tcp")) {
    sa.sin_port = s->s_port;
  } else {
    return WSATYPE_NOT_FOUND;
  }
  unsigned long a = inet_addr(host.c_str());
  if (a != INADDR_NONE || host == "255.255.255.255") {
    sa.sin_addr.s_addr = a;
    out.push_back(NetAddress{AF_INET, SOCK_STREAM, IPPROTO_TCP, std::string(reinterpret_cast<char*>(&sa), sizeof sa)});
    return 0;
  }
  hostent* h = gethostbyname(host.c_str());
  if (!h || h->h_addrtype != AF_INET) return WSAGetLastError() ? WSAGetLastError() : WSAHOST_NOT_FOUND;
  for (char** ap = h->h_addr_list; *ap; ap++) {
    std::memcpy(&sa.sin_addr, *ap, sizeof sa.sin_addr);
    out.push_back(NetAddress{AF_INET, SOCK_STREAM, IPPROTO_TCP, std::string(reinterpret_cast<char*>(&sa), sizeof sa)});
  }
  return out.empty() ? WSAHOST_NOT_FOUND : 0;
}

// Waits until the socket is readable (read) or writable (!read), or fails:
// 1 ready, 0 timed out, -1 failed.
int waitFor(SOCKET s, bool read, uint64_t deadlineMs, int& error) {
  for (;;) {
    uint64_t now = tickMs();
    uint64_t left = now >= deadlineMs ? 0 : deadlineMs - now;
    left = std::min<uint64_t>(left, 1000000);
    timeval tv{long(left / 1000), long(left % 1000) * 1000};
    fd_set rw, ex;
    FD_ZERO(&rw);
    FD_ZERO(&ex);
    FD_SET(s, &rw);
    FD_SET(s, &ex);
    int rc = select(0, read ? &rw : nullptr, read ? nullptr : &rw, &ex, &tv);
    if (rc > 0) {
      if (FD_ISSET(s, &ex) && !FD_ISSET(s, &rw)) {
        int err = 0;
        int len = sizeof err;
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len);
        error = err ? err : WSAECONNREFUSED;
        return -1;
      }
      return 1;
    }
    if (rc == 0) {
      if (tickMs() >= deadlineMs) return 0;
      continue;
    }
    error = WSAGetLastError();
    return -1;
  }
}

}  // namespace

bool netStartup() {
  if (startCount() > 0) return true;
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  startCount()++;
  return true;
}

void netCleanup() {
  if (startCount() > 0) {
    startCount()--;
    WSACleanup();
  }
}

int netResolve(const std::string& host, const std::string& port, std::vector<NetAddress>& out) {
  out.clear();
  if (!netStartup()) return WSANOTINITIALISED;
  const Resolver& r = resolver();
  if (!r.getaddrinfo) return resolveIPv4(host, port, out);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* list = nullptr;
  int rc = r.getaddrinfo(host.c_str(), port.c_str(), &hints, &list);
  if (rc != 0) return rc;
  for (addrinfo* a = list; a; a = a->ai_next)
    out.push_back(NetAddress{a->ai_family, a->ai_socktype, a->ai_protocol,
                             std::string(reinterpret_cast<const char*>(a->ai_addr), a->ai_addrlen)});
  r.freeaddrinfo(list);
  return out.empty() ? WSAHOST_NOT_FOUND : 0;
}

struct TcpSocket::Handle {
  SOCKET s = INVALID_SOCKET;
};

TcpSocket::TcpSocket() : h_(std::make_unique<Handle>()) {}
TcpSocket::~TcpSocket() { close(); }

void TcpSocket::close() {
  if (h_->s != INVALID_SOCKET) closesocket(h_->s);
  h_->s = INVALID_SOCKET;
}

bool TcpSocket::create(const NetAddress& addr) {
  close();
  if (!netStartup()) {
    error_ = WSANOTINITIALISED;
    return false;
  }
  SOCKET s = ::socket(addr.family, addr.socktype, addr.protocol);
  if (s == INVALID_SOCKET) {
    error_ = WSAGetLastError();
    return false;
  }
  u_long on = 1;
  if (ioctlsocket(s, FIONBIO, &on) != 0) {
    error_ = WSAGetLastError();
    closesocket(s);
    return false;
  }
  h_->s = s;
  return true;
}

NetStatus TcpSocket::connect(const NetAddress& addr, uint64_t deadlineMs) {
  if (h_->s == INVALID_SOCKET) return NetStatus::Failed;
  if (::connect(h_->s, reinterpret_cast<const sockaddr*>(addr.sockaddr.data()), int(addr.sockaddr.size())) == 0)
    return NetStatus::Ok;
  int err = WSAGetLastError();
  if (err != WSAEWOULDBLOCK) {
    error_ = err;
    return NetStatus::Failed;
  }
  int w = waitFor(h_->s, false, deadlineMs, error_);
  if (w == 0) return NetStatus::TimedOut;
  return w > 0 ? NetStatus::Ok : NetStatus::Failed;
}

NetStatus TcpSocket::sendAll(const char* data, size_t size, uint64_t deadlineMs) {
  size_t sent = 0;
  while (sent < size) {
    int chunk = int(std::min<size_t>(size - sent, 1 << 20));
    int n = ::send(h_->s, data + sent, chunk, 0);
    if (n > 0) {
      sent += size_t(n);
      continue;
    }
    int err = WSAGetLastError();
    if (n < 0 && err == WSAEWOULDBLOCK) {
      int w = waitFor(h_->s, false, deadlineMs, error_);
      if (w == 0) return NetStatus::TimedOut;
      if (w < 0) return NetStatus::Failed;
      continue;
    }
    error_ = err;
    return NetStatus::Failed;
  }
  return NetStatus::Ok;
}

NetStatus TcpSocket::receive(char* buffer, size_t size, size_t& got, uint64_t deadlineMs) {
  got = 0;
  for (;;) {
    int n = ::recv(h_->s, buffer, int(std::min<size_t>(size, 1 << 20)), 0);
    if (n > 0) {
      got = size_t(n);
      return NetStatus::Ok;
    }
    if (n == 0) return NetStatus::Closed;
    int err = WSAGetLastError();
    if (err != WSAEWOULDBLOCK) {
      error_ = err;
      return NetStatus::Failed;
    }
    int w = waitFor(h_->s, true, deadlineMs, error_);
    if (w == 0) return NetStatus::TimedOut;
    if (w < 0) return NetStatus::Failed;
  }
}

}  // namespace plat
