// TCP client sockets over BSD sockets, every wait done with poll() against
// a deadline.
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/net.h"
#include "platform/system.h"

namespace plat {

bool netStartup() {
  // A peer that closes while we send must not kill the process.
  static bool done = false;
  if (!done) {
    signal(SIGPIPE, SIG_IGN);
    done = true;
  }
  return true;
}

void netCleanup() {}

int netResolve(const std::string& host, const std::string& port, std::vector<NetAddress>& out) {
  netStartup();
  out.clear();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* list = nullptr;
  int rc = getaddrinfo(host.c_str(), port.c_str(), &hints, &list);
  if (rc != 0) return rc;
  for (addrinfo* a = list; a; a = a->ai_next)
    out.push_back(NetAddress{a->ai_family, a->ai_socktype, a->ai_protocol,
                             std::string(reinterpret_cast<const char*>(a->ai_addr), a->ai_addrlen)});
  freeaddrinfo(list);
  return out.empty() ? EAI_NONAME : 0;
}

struct TcpSocket::Handle {
  int fd = -1;
};

TcpSocket::TcpSocket() : h_(std::make_unique<Handle>()) {}
TcpSocket::~TcpSocket() { close(); }

void TcpSocket::close() {
  if (h_->fd >= 0) ::close(h_->fd);
  h_->fd = -1;
}

namespace {
// Waits for the events until the deadline: 1 ready, 0 timed out, -1 failed.
int waitFor(int fd, short events, uint64_t deadlineMs, int& error) {
  for (;;) {
    uint64_t now = tickMs();
    int timeout = now >= deadlineMs ? 0 : int(std::min<uint64_t>(deadlineMs - now, 1000000));
    pollfd p{fd, events, 0};
    int rc = poll(&p, 1, timeout);
    if (rc > 0) return 1;
    if (rc == 0) {
      if (tickMs() >= deadlineMs) return 0;
      continue;
    }
    if (errno == EINTR) continue;
    error = errno;
    return -1;
  }
}
}  // namespace

bool TcpSocket::create(const NetAddress& addr) {
  netStartup();
  close();
  int fd = ::socket(addr.family, addr.socktype | SOCK_CLOEXEC, addr.protocol);
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
    error_ = errno;
    ::close(fd);
    return false;
  }
  h_->fd = fd;
  return true;
}

NetStatus TcpSocket::connect(const NetAddress& addr, uint64_t deadlineMs) {
  if (h_->fd < 0) return NetStatus::Failed;
  int rc;
  do {
    rc = ::connect(h_->fd, reinterpret_cast<const sockaddr*>(addr.sockaddr.data()), socklen_t(addr.sockaddr.size()));
  } while (rc < 0 && errno == EINTR);
  if (rc == 0) return NetStatus::Ok;
  if (errno != EINPROGRESS) {
    error_ = errno;
    return NetStatus::Failed;
  }
  int w = waitFor(h_->fd, POLLOUT, deadlineMs, error_);
  if (w == 0) return NetStatus::TimedOut;
  if (w < 0) return NetStatus::Failed;
  int err = 0;
  socklen_t len = sizeof err;
  if (getsockopt(h_->fd, SOL_SOCKET, SO_ERROR, &err, &len) < 0) err = errno;
  if (err != 0) {
    error_ = err;
    return NetStatus::Failed;
  }
  return NetStatus::Ok;
}

NetStatus TcpSocket::sendAll(const char* data, size_t size, uint64_t deadlineMs) {
  size_t sent = 0;
  while (sent < size) {
    ssize_t n = ::send(h_->fd, data + sent, size - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += size_t(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      int w = waitFor(h_->fd, POLLOUT, deadlineMs, error_);
      if (w == 0) return NetStatus::TimedOut;
      if (w < 0) return NetStatus::Failed;
      continue;
    }
    error_ = n < 0 ? errno : EPIPE;
    return NetStatus::Failed;
  }
  return NetStatus::Ok;
}

NetStatus TcpSocket::receive(char* buffer, size_t size, size_t& got, uint64_t deadlineMs) {
  got = 0;
  for (;;) {
    ssize_t n = ::recv(h_->fd, buffer, size, 0);
    if (n > 0) {
      got = size_t(n);
      return NetStatus::Ok;
    }
    if (n == 0) return NetStatus::Closed;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      error_ = errno;
      return NetStatus::Failed;
    }
    int w = waitFor(h_->fd, POLLIN, deadlineMs, error_);
    if (w == 0) return NetStatus::TimedOut;
    if (w < 0) return NetStatus::Failed;
  }
}

}  // namespace plat
