// TCP client sockets: name resolution, connecting, sending and receiving,
// every wait bounded by a deadline on the tickMs() clock. BSD sockets on
// POSIX; Windows Sockets 2.2 on Windows, with getaddrinfo, getnameinfo and
// freeaddrinfo loaded at run time (IPv4-only look-ups when missing).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// Starts the socket layer (WSAStartup 2.2 on Windows); true when ready.
// The program calls it once at start-up; the socket calls below also start
// it on first use. netCleanup undoes one successful start.
bool netStartup();
void netCleanup();

// One resolved address: family, type and protocol for socket(), and the
// raw socket address.
struct NetAddress {
  int family = 0, socktype = 0, protocol = 0;
  std::string sockaddr;
};

// Resolves host and port (any family, stream sockets, TCP). Returns 0 with
// at least one address, or the resolver's error code.
int netResolve(const std::string& host, const std::string& port, std::vector<NetAddress>& out);

enum class NetStatus { Ok, Closed, TimedOut, Failed };

class TcpSocket {
 public:
  TcpSocket();
  ~TcpSocket();
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Creates a non-blocking socket for the address; false with the system
  // error code in error().
  bool create(const NetAddress& addr);
  // Connects the created socket, waiting until deadlineMs at most.
  NetStatus connect(const NetAddress& addr, uint64_t deadlineMs);
  // Sends all bytes before the deadline.
  NetStatus sendAll(const char* data, size_t size, uint64_t deadlineMs);
  // Receives up to size bytes; Ok with got > 0, Closed at the end of the
  // stream, TimedOut when nothing came before the deadline.
  NetStatus receive(char* buffer, size_t size, size_t& got, uint64_t deadlineMs);
  void close();
  int error() const { return error_; }

 private:
  struct Handle;
  std::unique_ptr<Handle> h_;
  int error_ = 0;
};

}  // namespace plat
