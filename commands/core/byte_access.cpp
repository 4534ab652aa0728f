// Byte-level access to interpreter-owned memory: dump (a hex and text
// listing of a memory block, a struct's block, a struct member or a
// variable's value) and setb (writes bytes into a memory block, a struct's
// block or a struct member). Both reach memory only through a handle or a
// variable name and check every range against the owner's size; no
// address is ever read from or written to directly.
#include <cstring>
#include <string>

#include "commands/core/list_common.h"
#include "commands/core/memory_blocks.h"
#include "interp/interp.h"
#include "interp/struct_access.h"
#include "interp/struct_data.h"

namespace orvel {

namespace {

// At most this many bytes are listed by one dump (the listing is about
// five times as long).
constexpr int64_t kMaxDump = 16 * 1024 * 1024;

// A writable byte range of some owner, or a copy of a value (read only).
struct ByteRange {
  unsigned char* data = nullptr;
  size_t size = 0;
  std::string copy;   // a variable's value, when data is null
  bool writable = false;
  const unsigned char* bytes() const {
    return data ? data : reinterpret_cast<const unsigned char*>(copy.data());
  }
  size_t length() const { return data ? size : copy.size(); }
};

// The bytes of a struct variable or of a struct member; false when v is
// neither or its struct has been released.
bool structBytes(Var* v, ByteRange& r) {
  if (!v || !v->members) return false;
  std::vector<char>& block = v->members->block;
  if (v->kind == VK_STRUCT) {
    if (block.empty()) return false;
    r.data = reinterpret_cast<unsigned char*>(block.data());
    r.size = block.size();
    r.writable = true;
    return true;
  }
  if (v->kind == VK_FIELD) {
    int64_t off = v->book[0], width = v->size;
    if (off < 0 || width <= 0 || static_cast<uint64_t>(off) >= block.size()) return false;
    size_t room = block.size() - static_cast<size_t>(off);
    r.data = reinterpret_cast<unsigned char*>(block.data()) + off;
    r.size = static_cast<uint64_t>(width) < room ? static_cast<size_t>(width) : room;
    r.writable = true;
    return true;
  }
  return false;
}

// Finds what argv[i] names: a memory block handle, a struct, a struct
// member, or (when values are allowed) any other variable's value. Reports
// and returns false when it names nothing usable.
bool resolveTarget(Interp& in, const Args& argv, size_t i, bool allowValues, ByteRange& r) {
  const std::string& cmd = argv[0];
  const std::string& name = argv[i];
  bool freed = false;
  if (auto* blk = memoryBlockOf(in, name, &freed)) {
    r.data = blk->data();
    r.size = blk->size();
    r.writable = true;
    return true;
  }
  Var* v = orvelGetVar(in, name);
  if (!v && name.find('.') != std::string::npos) v = structMemberVar(in, name);
  if (!v) {
    if (freed) fail(in, "%s: Memory block '%s' was freed", cmd.c_str(), name.c_str());
    else fail(in, "%s: No memory block, struct or variable '%s'", cmd.c_str(), name.c_str());
    return false;
  }
  Var* t = varTarget(v);
  if (t->kind == VK_STRUCT || t->kind == VK_FIELD) {
    if (structBytes(t, r)) return true;
    fail(in, "%s: Struct '%s' has no memory", cmd.c_str(), name.c_str());
    return false;
  }
  if (!allowValues) {
    fail(in, "%s: '%s' is not a memory block, struct or struct member", cmd.c_str(), name.c_str());
    return false;
  }
  if (t->kind == VK_ARRAY || t->kind == VK_STACK) {
    fail(in, "%s: Can't dump the %s '%s'", cmd.c_str(), kindName(t->kind), name.c_str());
    return false;
  }
  readVarValue(in, v, r.copy);
  return true;
}

bool readInt(Interp& in, const Args& argv, size_t i, int64_t& out) {
  if (lists::strictInt(argv[i], out)) return true;
  fail(in, "%s: Invalid number '%s'", argv[0].c_str(), argv[i].c_str());
  return false;
}

bool inRange(Interp& in, const Args& argv, int64_t offset, int64_t count, size_t size) {
  int64_t n = static_cast<int64_t>(size);
  if (offset >= 0 && count >= 0 && offset <= n && count <= n - offset) return true;
  fail(in, "%s: Range outside '%s' (offset %lld, count %lld, size %lld)", argv[0].c_str(), argv[1].c_str(),
       static_cast<long long>(offset), static_cast<long long>(count), static_cast<long long>(n));
  return false;
}

// The listing of dump: rows of 16 bytes, "offset: hex  text", the offset
// counted from the start of the owner.
std::string hexDumpText(const unsigned char* bytes, int64_t offset, int64_t count) {
  std::string out;
  out.reserve(static_cast<size_t>(count / 16 + 1) * 78);
  for (int64_t row = 0; row < count; row += 16) {
    out += strprintf("%08llx:", static_cast<unsigned long long>(offset + row));
    std::string text;
    for (int64_t i = row; i < row + 16; i++) {
      if (i < count) {
        unsigned char c = bytes[offset + i];
        out += strprintf(" %02X", c);
        text += c >= 32 && c < 127 ? static_cast<char>(c) : '.';
      } else {
        out += "   ";
      }
    }
    out += "  " + text + "\r\n";
  }
  return out;
}

// dump target ?count? ?offset?
int orvelCommandDump(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 4) return wrongNumArgs(in, argv);
  ByteRange r;
  if (!resolveTarget(in, argv, 1, true, r)) return ERROR;
  int64_t offset = 0, count;
  if (argv.size() > 3 && !readInt(in, argv, 3, offset)) return ERROR;
  count = static_cast<int64_t>(r.length()) - offset;
  if (argv.size() > 2 && !readInt(in, argv, 2, count)) return ERROR;
  if (!inRange(in, argv, offset, count, r.length())) return ERROR;
  if (count > kMaxDump)
    return fail(in, "%s: Count %lld too large (at most %lld bytes at a time)", argv[0].c_str(),
                static_cast<long long>(count), static_cast<long long>(kMaxDump));
  in.result = hexDumpText(r.bytes(), offset, count);
  return OK;
}

// setb target offset byte ?byte ...?   or   setb target offset -text text
int orvelCommandSetb(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  bool text = argv[3] == "-text";
  if (text && argv.size() != 5) return wrongNumArgs(in, argv);
  ByteRange r;
  if (!resolveTarget(in, argv, 1, false, r)) return ERROR;
  int64_t offset;
  if (!readInt(in, argv, 2, offset)) return ERROR;
  std::string bytes;
  if (text) {
    bytes = argv[4];
  } else {
    for (size_t i = 3; i < argv.size(); i++) {
      int64_t b;
      if (!readInt(in, argv, i, b)) return ERROR;
      if (b < -128 || b > 255) return fail(in, "%s: Invalid byte value '%s'", argv[0].c_str(), argv[i].c_str());
      bytes += static_cast<char>(b & 255);
    }
  }
  if (!inRange(in, argv, offset, static_cast<int64_t>(bytes.size()), r.size)) return ERROR;
  if (!bytes.empty()) std::memcpy(r.data + offset, bytes.data(), bytes.size());
  in.result = std::to_string(bytes.size());
  return OK;
}

const CommandRegistrar reg[] = {{"dump", orvelCommandDump}, {"setb", orvelCommandSetb}};

}  // namespace

}  // namespace orvel
