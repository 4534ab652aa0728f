// store: process-wide named text buffers that outlive frames and procedures.
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/struct_access.h"
#include "support/buffer.h"

namespace orvel {

namespace {

constexpr int64_t kDefaultStoreSize = 1048576;
constexpr int64_t kMinStoreSize = 1024;
// The capacity only sets the first chunk; buffers grow past it anyway.
constexpr int64_t kMaxStoreChunk = int64_t(64) << 20;

struct StoreEntry {
  std::optional<std::string> name;  // none for the unnamed buffer
  std::unique_ptr<Buffer> buffer;
};

std::vector<StoreEntry>& stores() {
  static std::vector<StoreEntry> list;
  return list;
}

StoreEntry* findStore(const std::optional<std::string>& name) {
  for (auto& e : stores())
    if (e.name == name) return &e;
  return nullptr;
}

// The whole text of a buffer, which stays as it was.
std::string peekText(Buffer& b) {
  std::string text = b.take();
  b.addstr(text);
  return text;
}

// Hands the text of get/peek to the -var variable: a missing one is created,
// a plain one receives it, any other kind is left alone.
void deliverToVar(Interp& in, const std::string& varName, const std::string& text) {
  Var* v = orvelGetVar(in, varName);
  if (!v) {
    set_var(in, varName, text);
    return;
  }
  Var* t = varTarget(v);
  if (t && t->kind == VK_AUTO && !t->isConst && !v->isConst) setVariable(in, varName, &text, true);
}

std::string listStores() {
  std::string out;
  for (auto& e : stores()) {
    if (!out.empty()) out += ' ';
    if (!e.name || e.name->empty()) out += "{}";
    else if (e.name->find(' ') != std::string::npos) out += '{' + *e.name + '}';
    else out += *e.name;
    out += ' ';
    out += intText(static_cast<int64_t>(e.buffer->length()));
  }
  return out;
}

int orvelCommandStore(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  int64_t size = kDefaultStoreSize;
  const std::string* varName = nullptr;
  std::vector<const std::string*> w{&argv[0], &argv[1]};
  for (size_t i = 2; i < argv.size(); i++) {
    if (argv[i] == "-size" && i + 1 < argv.size()) {
      size = toInt64(argv[++i]);
      if (size < kMinStoreSize) size = kMinStoreSize;
      if (size > kMaxStoreChunk) size = kMaxStoreChunk;
    } else if (argv[i] == "-var" && i + 1 < argv.size()) {
      varName = &argv[++i];
    } else {
      w.push_back(&argv[i]);
    }
  }
  const std::string& sub = argv[1];
  auto is = [&](const char* word) { return equalsNoCase(sub, word); };
  auto syntaxError = [&]() {
    in.result.clear();
    return fail(in, "%s: Syntax error '%s'", "store", sub.c_str());
  };
  std::optional<std::string> name;
  const std::string* text = nullptr;
  if (w.size() == 2) {
    if (!(is("get") || is("length") || is("peek") || is("list") || is("clear") || is("exists"))) return syntaxError();
  } else if (w.size() == 3) {
    if (is("add")) text = w[2];
    else if (is("get") || is("length") || is("peek") || is("exists")) name = *w[2];
    else return syntaxError();
  } else if (w.size() == 4 && is("add")) {
    name = *w[2];
    text = w[3];
  } else {
    return syntaxError();
  }

  auto& list = stores();
  if (is("add")) {
    StoreEntry* e = findStore(name);
    try {
      if (!e) {
        list.push_back(StoreEntry{name, std::make_unique<Buffer>(static_cast<int32_t>(size))});
        e = &list.back();
      }
      e->buffer->addstr(*text);
    } catch (const std::bad_alloc&) {
      in.result.clear();
      setErrorIndex(in, 5, "store");
      return ERROR;
    }
    in.result.clear();
    return OK;
  }
  if (is("list")) {
    in.result = listStores();
    return OK;
  }
  if (is("clear")) {
    list.clear();
    in.result = "0";
    return OK;
  }
  if (is("exists")) {
    in.result = findStore(name) ? "1" : "0";
    return OK;
  }
  if (is("length")) {
    if (list.empty()) {
      in.result = "0";
      return OK;
    }
    StoreEntry* e = findStore(name);
    if (!e) {
      in.result.clear();
      return fail(in, "store: Object not found");
    }
    in.result = intText(static_cast<int64_t>(e->buffer->length()));
    return OK;
  }
  // get and peek
  const bool remove = is("get");
  StoreEntry* e = findStore(name);
  if (!e) {
    in.result.clear();
    reportErrorText(in, remove ? "store: Object not found\r\n" : "store: object not found\r\n");
    return ERROR;
  }
  std::string content;
  if (remove) {
    content = e->buffer->take();
    list.erase(list.begin() + (e - list.data()));
  } else {
    content = peekText(*e->buffer);
  }
  if (varName) {
    deliverToVar(in, *varName, content);
    in.result.clear();
  } else {
    in.result = std::move(content);
  }
  return OK;
}

const CommandRegistrar kRegs[] = {{"store", orvelCommandStore}};

}  // namespace
}  // namespace orvel
