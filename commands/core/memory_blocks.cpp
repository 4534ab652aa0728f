// Memory blocks and typed sizes: malloc, free, memset, memcpy, addressof,
// addressofb, strptr, ofaddress, ofaddressb, sizeof, mem_used and dumpmem.
//
// A script never reaches raw memory: a block belongs to the interpreter and
// is named by a handle such as "mem3"; every access is checked against the
// block's size, a freed handle stays known so that its use is reported, and
// all blocks go with the interpreter.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "commands/core/list_common.h"
#include "commands/core/memory_blocks.h"
#include "interp/interp.h"

namespace orvel {

namespace {

constexpr int64_t kMaxBlock = 64 * 1024 * 1024;   // one block
constexpr int64_t kMaxTotal = 256 * 1024 * 1024;  // all blocks of an interpreter

struct Blocks {
  std::map<int64_t, std::vector<unsigned char>> live;
  std::map<int64_t, bool> freed;
  int64_t next = 1;
  int64_t total = 0;
};

Blocks& blocksOf(Interp& in) {
  auto& slot = in.attached["memory blocks"];
  if (!slot) slot = std::make_shared<Blocks>();
  return *static_cast<Blocks*>(slot.get());
}

std::string handleName(int64_t id) { return "mem" + std::to_string(id); }

// The id of a handle text "memN", or 0.
int64_t handleId(std::string_view s) {
  if (s.size() < 4 || s.substr(0, 3) != "mem") return 0;
  int64_t id = 0;
  for (char c : s.substr(3)) {
    if (c < '0' || c > '9' || id > 1000000000000LL) return 0;
    id = id * 10 + (c - '0');
  }
  return id;
}

// The block of a handle, or null after reporting why.
std::vector<unsigned char>* block(Interp& in, const Args& argv, size_t i) {
  Blocks& b = blocksOf(in);
  int64_t id = handleId(argv[i]);
  auto it = b.live.find(id);
  if (it != b.live.end()) return &it->second;
  if (id && b.freed.count(id)) fail(in, "%s: Memory block '%s' was freed", argv[0].c_str(), argv[i].c_str());
  else fail(in, "%s: Invalid memory handle '%s'", argv[0].c_str(), argv[i].c_str());
  return nullptr;
}

bool readNumber(Interp& in, const Args& argv, size_t i, int64_t& v) {
  if (lists::strictInt(argv[i], v)) return true;
  fail(in, "%s: Invalid number '%s'", argv[0].c_str(), argv[i].c_str());
  return false;
}

// Checks that [offset, offset + count) lies inside a block of size bytes.
bool inside(Interp& in, const Args& argv, size_t handleArg, int64_t offset, int64_t count, size_t size) {
  if (offset >= 0 && count >= 0 && offset <= static_cast<int64_t>(size) && count <= static_cast<int64_t>(size) - offset)
    return true;
  fail(in, "%s: Access outside memory block '%s' (offset %li, count %li, size %li)", argv[0].c_str(),
       argv[handleArg].c_str(), static_cast<long>(offset), static_cast<long>(count), static_cast<long>(size));
  return false;
}

// A new block holding bytes; its handle becomes the result.
int newBlock(Interp& in, const Args& argv, std::vector<unsigned char> bytes) {
  Blocks& b = blocksOf(in);
  int64_t size = static_cast<int64_t>(bytes.size());
  if (size > kMaxBlock || b.total + size > kMaxTotal)
    return fail(in, "%s: Not enough memory for %li bytes", argv[0].c_str(), static_cast<long>(size));
  int64_t id = b.next++;
  b.total += size;
  b.live.emplace(id, std::move(bytes));
  in.result = handleName(id);
  return OK;
}

std::vector<unsigned char> bytesOf(std::string_view s, bool terminate) {
  std::vector<unsigned char> v(s.begin(), s.end());
  if (terminate) v.push_back(0);
  return v;
}

// malloc size / free handle ... / memset handle byte ?count? ?offset? /
// memcpy dest src count ?destOffset? ?srcOffset?
int orvelCommandMalloc(Interp& in, Args& argv, void*) {
  const std::string& name = argv[0];
  Blocks& b = blocksOf(in);
  if (name == "malloc") {
    if (argv.size() != 2) return wrongNumArgs(in, argv);
    int64_t size;
    if (!readNumber(in, argv, 1, size)) return ERROR;
    if (size < 0 || size > kMaxBlock) return fail(in, "%s: Invalid size '%s'", name.c_str(), argv[1].c_str());
    return newBlock(in, argv, std::vector<unsigned char>(static_cast<size_t>(size), 0));
  }
  if (name == "free") {
    if (argv.size() < 2) return wrongNumArgs(in, argv);
    for (size_t i = 1; i < argv.size(); i++)
      if (!block(in, argv, i)) return ERROR;
    for (size_t i = 1; i < argv.size(); i++) {
      int64_t id = handleId(argv[i]);
      auto it = b.live.find(id);
      if (it == b.live.end()) continue;  // named twice
      b.total -= static_cast<int64_t>(it->second.size());
      b.live.erase(it);
      b.freed[id] = true;
    }
    in.result = std::to_string(argv.size() - 1);
    return OK;
  }
  if (name == "memset") {
    if (argv.size() < 3 || argv.size() > 5) return wrongNumArgs(in, argv);
    auto* blk = block(in, argv, 1);
    if (!blk) return ERROR;
    int64_t value, offset = 0, count;
    if (!readNumber(in, argv, 2, value)) return ERROR;
    if (value < -128 || value > 255) return fail(in, "%s: Invalid byte value '%s'", name.c_str(), argv[2].c_str());
    if (argv.size() > 4 && !readNumber(in, argv, 4, offset)) return ERROR;
    count = static_cast<int64_t>(blk->size()) - offset;
    if (argv.size() > 3 && !readNumber(in, argv, 3, count)) return ERROR;
    if (!inside(in, argv, 1, offset, count, blk->size())) return ERROR;
    std::memset(blk->data() + offset, static_cast<int>(value & 255), static_cast<size_t>(count));
    in.result = std::to_string(count);
    return OK;
  }
  // memcpy
  if (argv.size() < 4 || argv.size() > 6) return wrongNumArgs(in, argv);
  auto* dst = block(in, argv, 1);
  if (!dst) return ERROR;
  auto* src = block(in, argv, 2);
  if (!src) return ERROR;
  int64_t count, dstOffset = 0, srcOffset = 0;
  if (!readNumber(in, argv, 3, count)) return ERROR;
  if (argv.size() > 4 && !readNumber(in, argv, 4, dstOffset)) return ERROR;
  if (argv.size() > 5 && !readNumber(in, argv, 5, srcOffset)) return ERROR;
  if (!inside(in, argv, 1, dstOffset, count, dst->size()) || !inside(in, argv, 2, srcOffset, count, src->size()))
    return ERROR;
  std::memmove(dst->data() + dstOffset, src->data() + srcOffset, static_cast<size_t>(count));
  in.result = std::to_string(count);
  return OK;
}

// addressof name: a new block holding a copy of the variable's value and a
// terminating zero byte; addressofb name: the same without the zero;
// strptr text: a block holding the text and a zero byte.
int orvelCommandAddressof(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  if (argv[0] == "strptr") return newBlock(in, argv, bytesOf(argv[1], true));
  Var* v = orvelGetVar(in, argv[1]);
  if (!v) return fail(in, "%s: Variable '%s' not found", argv[0].c_str(), argv[1].c_str());
  std::string value;
  if (!readVarValue(in, v, value)) value = v->value;
  return newBlock(in, argv, bytesOf(value, argv[0] == "addressof"));
}

// ofaddress handle ?offset?: the text from offset to the first zero byte
// (or the block's end); ofaddressb handle count ?offset?: count bytes.
int orvelCommandOfaddress(Interp& in, Args& argv, void*) {
  bool bytes = argv[0] == "ofaddressb";
  if (bytes ? (argv.size() < 3 || argv.size() > 4) : (argv.size() < 2 || argv.size() > 3)) return wrongNumArgs(in, argv);
  auto* blk = block(in, argv, 1);
  if (!blk) return ERROR;
  int64_t offset = 0, count = 0;
  size_t offsetArg = bytes ? 3 : 2;
  if (argv.size() > offsetArg && !readNumber(in, argv, offsetArg, offset)) return ERROR;
  if (bytes && !readNumber(in, argv, 2, count)) return ERROR;
  if (!bytes) {
    if (!inside(in, argv, 1, offset, 0, blk->size())) return ERROR;
    const unsigned char* start = blk->data() + offset;
    const void* zero = std::memchr(start, 0, blk->size() - static_cast<size_t>(offset));
    count = zero ? static_cast<const unsigned char*>(zero) - start : static_cast<int64_t>(blk->size()) - offset;
  }
  if (!inside(in, argv, 1, offset, count, blk->size())) return ERROR;
  in.result.assign(reinterpret_cast<const char*>(blk->data()) + offset, static_cast<size_t>(count));
  return OK;
}

// sizeof handle | type | variable: the block's size, the size of a C type
// name, or the length of a variable's value.
int orvelCommandSizeof(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  Blocks& b = blocksOf(in);
  auto it = b.live.find(handleId(argv[1]));
  if (it != b.live.end()) {
    in.result = std::to_string(it->second.size());
    return OK;
  }
  static const std::pair<const char*, int> types[] = {
      {"char", 1},   {"uchar", 1},  {"bool", 1},   {"short", 2},  {"ushort", 2}, {"wchar", 2},  {"int", 4},
      {"uint", 4},   {"long", 4},   {"ulong", 4},  {"float", 4},  {"signed", 4}, {"unsigned", 4}, {"wide", 8},
      {"double", 8}, {"pointer", 8}, {"int64", 8}, {"size_t", 8}};
  for (auto& [t, size] : types)
    if (argv[1] == t) {
      in.result = std::to_string(size);
      return OK;
    }
  if (Var* v = orvelGetVar(in, argv[1])) {
    std::string value;
    if (!readVarValue(in, v, value)) value = v->value;
    in.result = std::to_string(value.size());
    return OK;
  }
  return fail(in, "%s: Unknown type, variable or memory handle '%s'", argv[0].c_str(), argv[1].c_str());
}

// mem_used: the bytes held in this interpreter's blocks, and their number.
int orvelCommandMem_used(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  Blocks& b = blocksOf(in);
  in.result = std::to_string(b.total) + " " + std::to_string(b.live.size());
  return OK;
}

// dumpmem handle ?count? ?offset?: lines of 16 bytes, "offset: hex  text".
int orvelCommandDumpmem(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 4) return wrongNumArgs(in, argv);
  auto* blk = block(in, argv, 1);
  if (!blk) return ERROR;
  int64_t offset = 0, count;
  if (argv.size() > 3 && !readNumber(in, argv, 3, offset)) return ERROR;
  count = static_cast<int64_t>(blk->size()) - offset;
  if (argv.size() > 2 && !readNumber(in, argv, 2, count)) return ERROR;
  if (!inside(in, argv, 1, offset, count, blk->size())) return ERROR;
  std::string out;
  for (int64_t row = 0; row < count; row += 16) {
    out += strprintf("%08lx:", static_cast<unsigned long>(offset + row));
    std::string text;
    for (int64_t i = row; i < row + 16; i++) {
      if (i < count) {
        unsigned char c = (*blk)[static_cast<size_t>(offset + i)];
        out += strprintf(" %02X", c);
        text += c >= 32 && c < 127 ? static_cast<char>(c) : '.';
      } else {
        out += "   ";
      }
    }
    out += "  " + text + "\r\n";
  }
  in.result = std::move(out);
  return OK;
}

const CommandRegistrar reg[] = {
    {"malloc", orvelCommandMalloc},         {"free", orvelCommandMalloc},           {"memset", orvelCommandMalloc},
    {"memcpy", orvelCommandMalloc},         {"addressof", orvelCommandAddressof},   {"addressofb", orvelCommandAddressof},
    {"strptr", orvelCommandAddressof},      {"ofaddress", orvelCommandOfaddress},   {"ofaddressb", orvelCommandOfaddress},
    {"sizeof", orvelCommandSizeof},         {"mem_used", orvelCommandMem_used},     {"dumpmem", orvelCommandDumpmem},
};

}  // namespace

std::vector<unsigned char>* memoryBlockOf(Interp& in, std::string_view handle, bool* freed) {
  Blocks& b = blocksOf(in);
  int64_t id = handleId(handle);
  auto it = b.live.find(id);
  if (freed) *freed = id && b.freed.count(id);
  return it != b.live.end() ? &it->second : nullptr;
}

MemoryBlockStats memoryBlockStats(Interp& in) {
  Blocks& b = blocksOf(in);
  MemoryBlockStats s;
  s.count = static_cast<int64_t>(b.live.size());
  for (auto& [id, bytes] : b.live) s.bytes += static_cast<int64_t>(bytes.size());
  s.recordedBytes = b.total;
  s.freedHandles = static_cast<int64_t>(b.freed.size());
  return s;
}

}  // namespace orvel
