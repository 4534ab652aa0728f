// Dynamic libraries through dlopen.
#include <dlfcn.h>
#include <unistd.h>

#include "platform/dynlib.h"
#include "platform/system.h"

namespace plat {

namespace {
bool hasFolder(const std::string& f) { return f.find('/') != std::string::npos; }

bool isFile(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

LibHandle openFile(const std::string& path, std::string* error) {
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h && error) {
    const char* why = dlerror();
    *error = why ? why : "unknown error";
  }
  return h;
}
}  // namespace

const char* libraryExtension() { return ".so"; }

LibHandle loadLibrary(const std::string& file, std::string* error) {
  if (file.empty()) {
    if (error) *error = "empty file name";
    return nullptr;
  }
  if (hasFolder(file)) return openFile(file, error);
  // A bare name: the program's folder, the system's search, the current folder.
  std::string self = modulePath();
  size_t slash = self.rfind('/');
  if (slash != std::string::npos) {
    std::string beside = self.substr(0, slash + 1) + file;
    if (isFile(beside)) return openFile(beside, error);
  }
  if (LibHandle h = openFile(file, error)) return h;
  if (isFile(file)) return openFile("./" + file, error);
  return nullptr;
}

void* librarySymbol(LibHandle lib, const char* name) {
  if (!lib || !name) return nullptr;
  return dlsym(lib, name);
}

bool freeLibrary(LibHandle lib) { return lib && dlclose(lib) == 0; }

}  // namespace plat
