// Dynamic libraries through LoadLibraryA.
#include <windows.h>

#include "platform/dynlib.h"

namespace plat {

const char* libraryExtension() { return ".dll"; }

LibHandle loadLibrary(const std::string& file, std::string* error) {
  if (file.empty()) {
    if (error) *error = "empty file name";
    return nullptr;
  }
  // No error dialog for a file that is not a library.
  UINT old = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE h = LoadLibraryA(file.c_str());
  DWORD code = GetLastError();
  SetErrorMode(old);
  if (!h && error) *error = "error " + std::to_string(static_cast<unsigned long>(code));
  return reinterpret_cast<LibHandle>(h);
}

void* librarySymbol(LibHandle lib, const char* name) {
  if (!lib || !name) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}

bool freeLibrary(LibHandle lib) { return lib && FreeLibrary(static_cast<HMODULE>(lib)) != 0; }

}  // namespace plat
