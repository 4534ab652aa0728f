// Assembles an HTTP response from the blocks a socket delivers: the status
// line and headers as received, then the body, delimited by Content-Length,
// by chunked transfer coding (decoded) or by the end of the connection.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

class HttpResponseReader {
 public:
  // http10: the request was HTTP/1.0 (blocks are kept as they come, no
  // chunk decoding); head: the request was HEAD (no body follows).
  HttpResponseReader(bool http10, bool head) : http10_(http10), head_(head) {}

  // Takes the next received bytes; true once the response is complete (any
  // further bytes are not part of it).
  bool feed(std::string_view block);
  bool done() const { return done_; }
  // The response so far: status line, headers and body.
  const std::string& text() const { return text_; }
  std::string take() { return std::move(text_); }

 private:
  void headersEnded(size_t end);
  void feedChunked(std::string_view data);
  void appendBody(std::string_view data);

  bool http10_, head_;
  bool done_ = false;
  bool haveHeaders_ = false;
  size_t searchFrom_ = 0;
  std::string text_;
  // Body delimiting.
  bool chunked_ = false;
  int64_t contentLength_ = -1;
  size_t bodyStart_ = 0;
  // Chunk decoder.
  enum class Chunk { Size, Data, DataEnd, Trailer } chunkState_ = Chunk::Size;
  std::string line_;
  uint64_t chunkLeft_ = 0;
};

}  // namespace orvel
