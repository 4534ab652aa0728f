// Buffered file streams by handle number: open, close, gets, read, eof,
// flush, tell, rewind and seek. Each stream keeps its own read buffer over
// a standard stream, so lines with NUL bytes come back whole and reading
// a long file line by line costs one system read per 64 KB.
#include "commands/system/file_streams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "commands/core/string_common.h"
#include "expr/numbers.h"
#include "interp/process_state.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/system.h"

namespace orvel {

namespace {

constexpr size_t kReadChunk = 65536;

class Stream {
 public:
  Stream(std::FILE* f, std::string path) : f_(f), path_(std::move(path)) {}
  ~Stream() {
    if (f_) std::fclose(f_);
  }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  // Closes the stream; false when the last data could not be written.
  bool close() {
    if (!f_) return false;
    int rc = std::fclose(f_);
    f_ = nullptr;
    return rc == 0;
  }

  bool eof() const { return atEof_ && pos_ == end_; }

  // Reads one line of at most max bytes (the line end counts); the line
  // end is kept. False when nothing could be read.
  bool readLine(std::string& out, size_t max, bool stopAtTab = false) {
    out.clear();
    if (!toReading()) return false;
    bool any = false;
    while (out.size() < max) {
      if (pos_ == end_ && !fill()) break;
      size_t avail = std::min(end_ - pos_, max - out.size());
      const char* start = buf_.data() + pos_;
      const char* nl = static_cast<const char*>(std::memchr(start, '\n', avail));
      if (stopAtTab) {
        const char* tab = static_cast<const char*>(std::memchr(start, '\t', nl ? size_t(nl - start) : avail));
        if (tab) nl = tab;
      }
      size_t take = nl ? static_cast<size_t>(nl - start) + 1 : avail;
      out.append(start, take);
      pos_ += take;
      any = true;
      if (nl) break;
    }
    return any;
  }

  // Appends up to n bytes; false on a read error.
  bool readBytes(std::string& out, uint64_t n) {
    if (!toReading()) return false;
    while (n > 0) {
      if (pos_ == end_ && !fill()) break;
      size_t take = static_cast<size_t>(std::min<uint64_t>(n, end_ - pos_));
      out.append(buf_.data() + pos_, take);
      pos_ += take;
      n -= take;
    }
    return !std::ferror(f_);
  }

  bool write(std::string_view text) {
    if (!toWriting()) return false;
    return std::fwrite(text.data(), 1, text.size(), f_) == text.size();
  }

  bool flush() { return toWriting() && std::fflush(f_) == 0; }

  int64_t tell() {
    int64_t p = std::ftell(f_);
    if (p < 0) return -1;
    return p - static_cast<int64_t>(end_ - pos_);
  }

  bool seek(int64_t offset, int origin) {
    int64_t unread = static_cast<int64_t>(end_ - pos_);
    pos_ = end_ = 0;
    atEof_ = false;
    if (origin == SEEK_CUR) offset -= unread;
    mode_ = Mode::None;
    if (std::fseek(f_, static_cast<long>(offset), origin) != 0) return false;
    return true;
  }

  size_t fileSize() {
    int64_t here = std::ftell(f_);
    if (here < 0 || std::fseek(f_, 0, SEEK_END) != 0) return 0;
    int64_t size = std::ftell(f_);
    std::fseek(f_, static_cast<long>(here), SEEK_SET);
    return size > 0 ? static_cast<size_t>(size) : 0;
  }

  bool failed() const { return f_ && std::ferror(f_); }

 private:
  enum class Mode { None, Reading, Writing };

  bool fill() {
    if (buf_.size() < kReadChunk) buf_.resize(kReadChunk);
    size_t n = std::fread(buf_.data(), 1, buf_.size(), f_);
    pos_ = 0;
    end_ = n;
    if (n == 0) atEof_ = true;
    return n > 0;
  }

  // The standard stream needs a positioning call between reading and
  // writing; unread buffered bytes are given back first.
  bool toReading() {
    if (!f_) return false;
    if (mode_ == Mode::Writing) {
      if (std::fflush(f_) != 0) return false;
      std::fseek(f_, 0, SEEK_CUR);
    }
    mode_ = Mode::Reading;
    return true;
  }

  bool toWriting() {
    if (!f_) return false;
    if (mode_ == Mode::Reading) {
      int64_t unread = static_cast<int64_t>(end_ - pos_);
      pos_ = end_ = 0;
      std::fseek(f_, static_cast<long>(-unread), SEEK_CUR);
    }
    mode_ = Mode::Writing;
    return true;
  }

  std::FILE* f_;
  std::string path_;
  std::vector<char> buf_;
  size_t pos_ = 0, end_ = 0;
  bool atEof_ = false;
  Mode mode_ = Mode::None;
};

struct StreamTable {
  std::map<int64_t, std::unique_ptr<Stream>> open;
  int64_t next = 1;
};

StreamTable& streams() {
  static StreamTable t;
  return t;
}

bool g_stdinEof = false;

// The stream a handle word names, or null (0, a number open did not give,
// a closed handle, or text that is not a number).
Stream* streamOf(std::string_view word) {
  bool ok = true;
  int64_t h = toInt64(word, &ok);
  if (!ok || h <= 0) return nullptr;
  auto it = streams().open.find(h);
  return it == streams().open.end() ? nullptr : it->second.get();
}

bool isHandleWord(std::string_view w) {
  size_t i = 0;
  if (i < w.size() && (w[i] == '-' || w[i] == '+')) i++;
  if (i == w.size()) return false;
  for (; i < w.size(); i++)
    if (w[i] < '0' || w[i] > '9') return false;
  return true;
}

int invalidHandle(Interp& in, const std::string& cmd) {
  return fail(in, "%s: %s handle", cmd.c_str(), "Invalid");
}

void stripLineEnd(std::string& line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
}

bool readStdinLine(std::string& line) {
  plat::flushOut();
  if (g_stdinEof) return false;
  if (!plat::readLine(line)) {
    g_stdinEof = true;
    line.clear();
    return false;
  }
  return true;
}

// A count option value: a non-negative integer.
bool countValue(const std::string& w, int64_t& out) {
  bool ok = true;
  out = toInt64(w, &ok);
  return ok && isHandleWord(w);
}

}  // namespace

bool fileStreamWrite(int64_t handle, std::string_view text) {
  auto it = streams().open.find(handle);
  if (it == streams().open.end()) return false;
  return it->second->write(text);
}

std::string filePathArg(std::string_view word) {
  return ps().escape ? strings::unescapeText(word) : std::string(word);
}

int orvelCommandOpen(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 4) return wrongNumArgs(in, argv);
  std::string path = filePathArg(argv[1]);
  std::string mode = argv.size() > 2 && !argv[2].empty() ? argv[2] : std::string("rb");
  int64_t retries = argv.size() > 3 ? toInt64(argv[3]) : 0;
  if (retries < 0) retries = 0;
  if (retries > 100) retries = 100;
  static const char* const kModes[] = {"r", "w", "a", "rb", "wb", "ab", "r+", "w+", "a+", "rb+", "wb+",
                                       "ab+", "r+b", "w+b", "a+b", "rt", "wt", "at", "rt+", "wt+", "at+",
                                       "r+t", "w+t", "a+t"};
  bool modeOk = false;
  for (const char* m : kModes)
    if (mode == m) modeOk = true;
  in.result = "0";
  if (!modeOk) return fail(in, "%s: Invalid access mode '%s'", argv[0].c_str(), mode.c_str());
  std::FILE* f = nullptr;
  int64_t tries = 0;
  int err = 0;
  for (;;) {
    if (plat::isDirectory(path)) {
      err = EISDIR;
    } else {
      errno = 0;
      f = std::fopen(path.c_str(), mode.c_str());
      err = errno;
    }
    if (f || tries >= retries) break;
    tries++;
    plat::sleepMs(1000);
  }
  if (!f) {
    if (err == EACCES || err == EPERM)
      return fail(in, "%s: Access denied opening '%s' for %s access", argv[0].c_str(), path.c_str(), mode.c_str());
    const char* why = err ? std::strerror(err) : "unknown error";
    if (retries > 0)
      return fail(in, "%s: Failed to open '%s' (%s) after %li retries", argv[0].c_str(), path.c_str(), why,
                  static_cast<long>(retries));
    return fail(in, "%s: Failed to open '%s' (%s)", argv[0].c_str(), path.c_str(), why);
  }
  int64_t h = streams().next++;
  streams().open[h] = std::make_unique<Stream>(f, path);
  in.result = intText(h);
  return OK;
}

int orvelCommandClose(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  bool ok = true;
  int64_t h = toInt64(argv[1], &ok);
  auto it = streams().open.find(h);
  if (!ok || h <= 0 || it == streams().open.end()) {
    in.result = "0";
    return invalidHandle(in, argv[0]);
  }
  bool clean = it->second->close();
  streams().open.erase(it);
  in.result = clean ? "1" : "0";
  return OK;
}

int orvelCommandEof(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& w = argv[1];
  if (equalsNoCase(w, "stdin")) {
    in.result = g_stdinEof ? "1" : "0";
    return OK;
  }
  if (equalsNoCase(w, "stdout") || equalsNoCase(w, "stderr")) {
    in.result = "0";
    return OK;
  }
  if (isHandleWord(w) && toInt64(w) == 0) {
    in.result = "1";
    return OK;
  }
  Stream* s = streamOf(w);
  if (!s) {
    in.result.clear();
    return invalidHandle(in, argv[0]);
  }
  in.result = s->eof() ? "1" : "0";
  return OK;
}

int orvelCommandFlush(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  if (argv.size() == 1 || equalsNoCase(argv[1], "stdout") || equalsNoCase(argv[1], "stderr")) {
    plat::flushOut();
    in.result = "1";
    return OK;
  }
  Stream* s = streamOf(argv[1]);
  if (!s) {
    in.result = "0";
    return invalidHandle(in, argv[0]);
  }
  in.result = s->flush() ? "1" : "0";
  return OK;
}

int orvelCommandTell(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  if (equalsNoCase(argv[1], "stdin")) {
    in.result = "-1";
    return OK;
  }
  Stream* s = streamOf(argv[1]);
  if (!s) {
    in.result.clear();
    return invalidHandle(in, argv[0]);
  }
  in.result = intText(s->tell());
  return OK;
}

int orvelCommandRewind(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  Stream* s = streamOf(argv[1]);
  if (!s) {
    in.result = "0";
    return invalidHandle(in, argv[0]);
  }
  s->seek(0, SEEK_SET);
  in.result = s->tell() == 0 ? "1" : "0";
  return OK;
}

int orvelCommandSeek(Interp& in, Args& argv, void*) {
  if (argv.size() < 3 || argv.size() > 4) return wrongNumArgs(in, argv);
  Stream* s = streamOf(argv[1]);
  if (!s) {
    in.result = "0";
    return invalidHandle(in, argv[0]);
  }
  bool ok = true;
  int64_t offset = toInt64(argv[2], &ok);
  if (!ok || !isHandleWord(argv[2])) {
    in.result = "0";
    return fail(in, "%s: Invalid offset '%s'", argv[0].c_str(), argv[2].c_str());
  }
  int64_t origin = argv.size() > 3 ? toInt64(argv[3]) : 0;
  if (origin > 2) origin = 2;
  if (origin < 0) origin = 0;
  int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
  in.result = s->seek(offset, whence) ? "1" : "0";
  return OK;
}

int orvelCommandGets(Interp& in, Args& argv, void*) {
  if (argv.size() > 5) return wrongNumArgs(in, argv);
  int64_t maxLen = 4096;
  std::vector<const std::string*> pos;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-length") {
      if (i + 1 >= argv.size()) return fail(in, "%s: -length needs a number", argv[0].c_str());
      maxLen = toInt64(argv[++i]);
      if (maxLen < 1) maxLen = 1;
      continue;
    }
    pos.push_back(&argv[i]);
  }
  Stream* s = nullptr;
  bool fromStdin = true;
  const std::string* varName = nullptr;
  size_t k = 0;
  if (k < pos.size() && equalsNoCase(*pos[k], "stdin")) {
    k++;
    if (k < pos.size()) varName = pos[k++];
  } else if (k < pos.size() && isHandleWord(*pos[k])) {
    s = streamOf(*pos[k]);
    if (!s) {
      in.result.clear();
      return fail(in, "%s: Exception. Check file handle", argv[0].c_str());
    }
    fromStdin = false;
    k++;
    if (k < pos.size()) varName = pos[k++];
  } else if (k < pos.size()) {
    varName = pos[k++];
  }
  if (k < pos.size()) return wrongNumArgs(in, argv);
  if (varName && *varName == "-") varName = nullptr;

  std::string line;
  bool got;
  if (fromStdin) {
    got = readStdinLine(line);
    if (got && line.size() > static_cast<size_t>(maxLen)) line.resize(static_cast<size_t>(maxLen));
  } else {
    got = s->readLine(line, static_cast<size_t>(maxLen));
    if (!got && s->failed()) {
      in.result.clear();
      if (varName) set_var(in, *varName, "");
      return fail(in, "%s: Exception. Check file handle", argv[0].c_str());
    }
  }
  stripLineEnd(line);
  if (!got) line.clear();
  if (varName) {
    if (set_var(in, *varName, line) != OK) return ERROR;
    if (got) in.result = intText(static_cast<int64_t>(line.size()));
    else in.result.clear();
    return OK;
  }
  in.result = std::move(line);
  return OK;
}

int orvelCommandRead(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool lineMode = false, tab = false;
  int64_t bytes = -1;
  for (size_t i = 2; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-line") lineMode = true;
    else if (w == "-tab") tab = true;
    else if (w == "-bytes" && i + 1 < argv.size()) {
      if (!countValue(argv[++i], bytes) || bytes < 0)
        return fail(in, "%s: Invalid byte count '%s'", argv[0].c_str(), argv[i].c_str());
    } else {
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), w.c_str());
    }
  }
  in.result.clear();
  Stream* s = streamOf(argv[1]);
  if (!s) return invalidHandle(in, argv[0]);
  if (lineMode) {
    int64_t max = bytes >= 0 ? bytes : 1024;
    if (max < 1) max = 1;
    std::string line;
    if (!s->readLine(line, static_cast<size_t>(max), tab))
      return fail(in, "%s -line: Error reading file", argv[0].c_str());
    stripLineEnd(line);
    if (tab && !line.empty() && line.back() == '\t') line.pop_back();
    in.result = std::move(line);
    return OK;
  }
  uint64_t want = bytes >= 0 ? static_cast<uint64_t>(bytes) : s->fileSize();
  std::string out;
  if (!s->readBytes(out, want)) return fail(in, "%s: Error reading file", argv[0].c_str());
  in.result = std::move(out);
  in.resultLength = in.result.size();
  return OK;
}

namespace {
const CommandRegistrar kRegs[] = {
    {"open", orvelCommandOpen},     {"close", orvelCommandClose}, {"eof", orvelCommandEof},
    {"flush", orvelCommandFlush},   {"tell", orvelCommandTell},   {"rewind", orvelCommandRewind},
    {"seek", orvelCommandSeek},     {"gets", orvelCommandGets},   {"read", orvelCommandRead},
};
}  // namespace

}  // namespace orvel
