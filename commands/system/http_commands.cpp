// The HTTP client: http (one GET or HEAD request, the raw response back),
// urlencode and urldecode.
#include <algorithm>
#include <memory>

#include "commands/system/http_response.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "platform/net.h"
#include "platform/system.h"
#include "support/base64.h"

namespace orvel {

namespace {

constexpr size_t kReceiveBlock = 32768;
constexpr size_t kMaxResponse = size_t(1) << 30;  // a reply that never ends stops here
constexpr size_t kMaxHost = 256;

const char kUserAgent[] =
    "User-Agent: Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.8.1.22) Gecko/20090605 SeaMonkey/2.0.12\r\n";

bool startsNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

struct Request {
  std::string host;      // as written in the URL (brackets kept for IPv6)
  std::string hostName;  // for the resolver
  std::string port = "80";
  std::string path = "/";
};

// Splits url into host, port and path. Returns an empty text, or the
// reason the URL cannot be used.
std::string parseUrl(std::string_view url, Request& r) {
  if (startsNoCase(url, "http://")) url.remove_prefix(7);
  size_t hostEnd;
  if (!url.empty() && url[0] == '[') {  // an IPv6 literal: [addr]:port/path
    hostEnd = url.find(']');
    if (hostEnd == std::string_view::npos) return "Invalid URL";
    r.host = std::string(url.substr(0, hostEnd + 1));
    r.hostName = std::string(url.substr(1, hostEnd - 1));
    hostEnd++;
  } else {
    hostEnd = url.find_first_of(":/?#");
    if (hostEnd == std::string_view::npos) hostEnd = url.size();
    r.host = r.hostName = std::string(url.substr(0, hostEnd));
  }
  if (r.hostName.empty() || r.host.size() > kMaxHost) return "Invalid URL";
  for (unsigned char c : r.host)
    if (c <= ' ' || c == 0x7F) return "Invalid URL";
  std::string_view rest = url.substr(hostEnd);
  if (!rest.empty() && rest[0] == ':') {
    size_t e = rest.find_first_of("/?#");
    std::string_view digits = rest.substr(1, e == std::string_view::npos ? std::string_view::npos : e - 1);
    int64_t p = toInt64(digits);
    if (p > 65535) {
      r.port = std::string(digits);
      return "Invalid port";
    }
    if (p > 0) r.port = std::to_string(p);
    rest = e == std::string_view::npos ? std::string_view() : rest.substr(e);
  }
  if (!rest.empty() && rest[0] != '/') r.path = "/" + std::string(rest);
  else if (!rest.empty()) r.path = std::string(rest);
  while (!r.path.empty() && (r.path.back() == '\r' || r.path.back() == '\n')) r.path.pop_back();
  for (unsigned char c : r.path)
    if (c < ' ' || c == 0x7F) return "Invalid URL";  // no header lines smuggled into the request
  size_t hash = r.path.find('#');
  if (hash != std::string::npos) r.path.resize(hash);
  if (r.path.empty()) r.path = "/";
  std::string spaced;
  for (char c : r.path) spaced += c == ' ' ? std::string("%20") : std::string(1, c);
  r.path = spaced;
  return {};
}

struct HttpCall {
  Interp& in;
  const std::string& cmd;
  bool quiet;
  // Reports a failure (unless -nocomplain) and returns ERROR.
  template <typename... A>
  int failure(const char* fmt, A... a) {
    in.result.clear();
    if (quiet) return ERROR;
    return fail(in, fmt, a...);
  }
};

// http url ?port? ?varname? ?option ...?
int orvelCommandHttp(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool quiet = false, head = false, http10 = false;
  int64_t timeout = 30;
  const std::string *user = nullptr, *password = nullptr;
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& a = argv[i];
    bool hasValue = i + 1 < argv.size();
    if (a == "-nocomplain") quiet = true;
    else if (a == "-head") head = true;
    else if (a == "-1") http10 = true;
    else if (a == "-t" && hasValue) timeout = std::max<int64_t>(0, toInt64(argv[++i]));
    else if (a == "-u" && hasValue) user = &argv[++i];
    else if (a == "-p" && hasValue) password = &argv[++i];
  }
  HttpCall call{in, argv[0], quiet};
  const std::string& url = argv[1];
  if (!startsNoCase(url, "http://")) {
    if (startsNoCase(url, "https://")) return call.failure("%s: %s is not supported", argv[0].c_str(), "https");
    if (startsNoCase(url, "ftp://")) return call.failure("%s: %s is not supported", argv[0].c_str(), "ftp");
  }
  Request req;
  std::string why = parseUrl(url, req);
  if (why.empty() && argv.size() > 2 && argv[2] != "-") {
    int64_t p = toInt64(argv[2]);
    if (p > 65535) {
      why = "Invalid port";
      req.port = argv[2];
    } else if (p > 0) req.port = std::to_string(p);
  }
  if (!why.empty()) {
    bool port = why == "Invalid port";
    return call.failure("%s: %s '%s'", argv[0].c_str(), why.c_str(), port ? req.port.c_str() : url.c_str());
  }
  const std::string* varName = argv.size() > 3 && !argv[3].empty() && argv[3][0] != '-' ? &argv[3] : nullptr;
  if (timeout > 86400 * 365) timeout = 86400 * 365;

  std::string request = head ? "HEAD " : "GET ";
  request += req.path;
  if (http10) {
    request += " HTTP/1.0\r\n\r\n";
  } else {
    request += " HTTP/1.1\r\nHost: " + req.host + "\r\n" + kUserAgent;
    if (user) {
      std::string credentials = *user;
      if (password) credentials += ":" + *password;
      request += "Authorization: Basic " + base64Encode(credentials) + "\r\n";
    }
    request += "\r\n";
  }

  // One deadline bounds the whole exchange: connecting, sending and every read.
  const uint64_t deadline = plat::tickMs() + uint64_t(timeout) * 1000;
  std::vector<plat::NetAddress> addresses;
  int rc = plat::netResolve(req.hostName, req.port, addresses);
  if (rc != 0) return call.failure("http: Connect failed with socket error %d", rc);
  plat::TcpSocket sock;
  bool connected = false;
  for (const plat::NetAddress& a : addresses) {
    if (!sock.create(a)) return call.failure("%s: Socket failed with error %ld", argv[0].c_str(), long(sock.error()));
    plat::NetStatus st = sock.connect(a, deadline);
    if (st == plat::NetStatus::Ok) {
      connected = true;
      break;
    }
    sock.close();
    if (st == plat::NetStatus::TimedOut) break;  // the time-out covers all addresses
  }
  if (!connected) {
    return call.failure("%s: Unable to connect to server '%s'", argv[0].c_str(), req.host.c_str());
  }
  plat::NetStatus st = sock.sendAll(request.data(), request.size(), deadline);
  if (st == plat::NetStatus::TimedOut)
    return call.failure("%s: Timed out after %lld s waiting for server '%s'", argv[0].c_str(), (long long)timeout,
                        req.host.c_str());
  if (st != plat::NetStatus::Ok) return call.failure("%s: Send failed. error %d", argv[0].c_str(), sock.error());

  HttpResponseReader reader(http10, head);
  std::unique_ptr<char[]> block(new char[kReceiveBlock]);
  for (;;) {
    size_t got = 0;
    st = sock.receive(block.get(), kReceiveBlock, got, deadline);
    if (st == plat::NetStatus::TimedOut)
      return call.failure("%s: Timed out after %lld s waiting for server '%s'", argv[0].c_str(), (long long)timeout,
                          req.host.c_str());
    if (st != plat::NetStatus::Ok) break;  // closed or reset: the response is what came
    if (reader.feed(std::string_view(block.get(), got))) break;
    if (reader.text().size() > kMaxResponse)
      return call.failure("%s: Response from server '%s' is larger than %zu bytes", argv[0].c_str(),
                          req.host.c_str(), kMaxResponse);
  }
  sock.close();
  if (reader.text().empty()) return call.failure("%s: Unknown %s", argv[0].c_str(), "Error");
  if (varName) {
    in.result.clear();
    if (set_var(in, *varName, reader.text()) != 0) return ERROR;  // set_var has said why
  } else {
    in.result = reader.take();
  }
  return OK;
}

int orvelCommandUrlencode(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(argv[1].size() * 3);
  for (unsigned char c : argv[1]) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
        std::string_view("$-_.!*'(),").find(char(c)) != std::string_view::npos) {
      out += char(c);
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  in.result = std::move(out);
  return OK;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int orvelCommandUrldecode(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& s = argv[1];
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '+') {
      out += ' ';
    } else if (s[i] == '%' && i + 2 < s.size()) {
      int hi = hexDigit(s[i + 1]), lo = hexDigit(s[i + 2]);
      // Two characters that are not hexadecimal digits are kept as they stand.
      if (hi < 0 || lo < 0) {
        out += s[i];
        continue;
      }
      out += char(hi * 16 + lo);
      i += 2;
    } else {
      out += s[i];
    }
  }
  in.result = std::move(out);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"http", orvelCommandHttp},
    {"urlencode", orvelCommandUrlencode},
    {"urldecode", orvelCommandUrldecode},
};

}  // namespace

}  // namespace orvel
