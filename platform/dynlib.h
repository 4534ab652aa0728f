// Dynamic libraries: loading a shared library (a .dll on Windows, a .so
// elsewhere), looking exports up by name and unloading it again.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

using LibHandle = void*;

// The extension the system gives its libraries: ".dll" or ".so".
const char* libraryExtension();

// Loads a library. A name without a folder part is looked for in the
// program's own folder first, then where the system looks for libraries
// (and, on POSIX systems, last in the current folder, as Windows does).
// Returns null on failure; error then receives the system's reason.
LibHandle loadLibrary(const std::string& file, std::string* error = nullptr);

// The address of an export, or null.
void* librarySymbol(LibHandle lib, const char* name);

bool freeLibrary(LibHandle lib);

}  // namespace plat
