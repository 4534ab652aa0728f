#include "commands/system/http_response.h"

#include <algorithm>

#include "support/ascii_case.h"

namespace orvel {

namespace {

constexpr size_t kMaxHeaderSearch = size_t(1) << 20;  // no header end by then: the reply has no headers
constexpr size_t kMaxChunkLine = 4096;

bool startsNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); i++)
    if (asciiLower(s[i]) != asciiLower(prefix[i]))
      return false;
  return true;
}

bool containsNoCase(std::string_view s, std::string_view word) {
  for (size_t i = 0; i + word.size() <= s.size(); i++)
    if (startsNoCase(s.substr(i), word)) return true;
  return false;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// A decimal header value; -1 when it is not a plain number.
int64_t decimal(std::string_view s) {
  if (s.empty() || s.size() > 18) return -1;
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace

bool HttpResponseReader::feed(std::string_view block) {
  if (done_ || block.empty()) return done_;
  if (haveHeaders_) {
    if (chunked_) feedChunked(block);
    else appendBody(block);
    return done_;
  }
  text_.append(block);
  if (searchFrom_ >= kMaxHeaderSearch) return false;
  size_t from = searchFrom_ >= 3 ? searchFrom_ - 3 : 0;
  size_t end = text_.find("\r\n\r\n", from);
  if (end == std::string::npos) {
    searchFrom_ = text_.size();
    return false;
  }
  headersEnded(end + 4);
  return done_;
}

void HttpResponseReader::headersEnded(size_t end) {
  haveHeaders_ = true;
  std::string rest = text_.substr(end);
  text_.resize(end);
  std::string_view headers(text_.data(), end);
  int status = 0;
  size_t lineEnd = headers.find("\r\n");
  std::string_view statusLine = headers.substr(0, lineEnd);
  if (startsNoCase(statusLine, "HTTP/")) {
    size_t sp = statusLine.find(' ');
    if (sp != std::string_view::npos && sp + 4 <= statusLine.size()) {
      std::string_view code = statusLine.substr(sp + 1, 3);
      status = int(std::max<int64_t>(0, decimal(code)));
    }
  }
  size_t pos = lineEnd == std::string_view::npos ? headers.size() : lineEnd + 2;
  while (pos < headers.size()) {
    size_t e = headers.find("\r\n", pos);
    if (e == std::string_view::npos) e = headers.size();
    std::string_view line = headers.substr(pos, e - pos);
    pos = e + 2;
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view name = trim(line.substr(0, colon));
    std::string_view value = trim(line.substr(colon + 1));
    if (name.size() == 17 && startsNoCase(name, "transfer-encoding") && containsNoCase(value, "chunked"))
      chunked_ = !http10_;
    else if (name.size() == 14 && startsNoCase(name, "content-length")) {
      int64_t v = decimal(value);
      if (v >= 0) contentLength_ = v;
    }
  }
  bodyStart_ = end;
  // A HEAD reply, an interim reply and 204/304 carry no body whatever
  // their headers say.
  if (head_ || (status >= 100 && status < 200) || status == 204 || status == 304) {
    done_ = true;
    return;
  }
  if (chunked_) {
    contentLength_ = -1;
    feedChunked(rest);
    return;
  }
  if (contentLength_ == 0) {
    done_ = true;
    return;
  }
  appendBody(rest);
}

void HttpResponseReader::appendBody(std::string_view data) {
  if (contentLength_ >= 0) {
    uint64_t have = text_.size() - bodyStart_;
    uint64_t want = uint64_t(contentLength_) - have;
    if (data.size() >= want) {
      text_.append(data.substr(0, size_t(want)));
      done_ = true;
      return;
    }
  }
  text_.append(data);
}

void HttpResponseReader::feedChunked(std::string_view data) {
  while (!data.empty() && !done_) {
    switch (chunkState_) {
      case Chunk::Size:
      case Chunk::DataEnd:
      case Chunk::Trailer: {
        size_t nl = data.find('\n');
        size_t take = nl == std::string_view::npos ? data.size() : nl + 1;
        line_.append(data.substr(0, take));
        data.remove_prefix(take);
        if (nl == std::string_view::npos) {
          if (line_.size() > kMaxChunkLine) done_ = true;  // not chunked coding after all: stop
          break;
        }
        std::string_view line = trim(std::string_view(line_).substr(0, line_.size() - 1));
        if (chunkState_ == Chunk::DataEnd) {
          // The line after a chunk's data is empty.
          chunkState_ = Chunk::Size;
          if (!line.empty()) done_ = true;
        } else if (chunkState_ == Chunk::Trailer) {
          if (line.empty()) done_ = true;
        } else {
          size_t semi = line.find(';');
          std::string_view hex = trim(line.substr(0, semi));
          uint64_t size = 0;
          bool ok = !hex.empty() && hex.size() <= 15;
          for (char c : hex) {
            int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0) {
              ok = false;
              break;
            }
            size = size * 16 + uint64_t(d);
          }
          if (!ok) done_ = true;  // a broken size line ends the body
          else if (size == 0) chunkState_ = Chunk::Trailer;
          else {
            chunkLeft_ = size;
            chunkState_ = Chunk::Data;
          }
        }
        line_.clear();
        break;
      }
      case Chunk::Data: {
        size_t take = size_t(std::min<uint64_t>(chunkLeft_, data.size()));
        text_.append(data.substr(0, take));
        data.remove_prefix(take);
        chunkLeft_ -= take;
        if (chunkLeft_ == 0) chunkState_ = Chunk::DataEnd;
        break;
      }
    }
  }
}

}  // namespace orvel
