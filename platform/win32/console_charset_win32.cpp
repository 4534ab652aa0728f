// Win32: the console's output code page.
#include <windows.h>

#include "platform/console_charset.h"

namespace plat {

bool consoleTextIsUtf8() { return GetConsoleOutputCP() == CP_UTF8; }

}  // namespace plat
