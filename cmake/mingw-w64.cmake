# Cross build for 64-bit Windows with mingw-w64 (posix threads variant).
# Tests run under Wine through the cross-compiling emulator:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVEL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the test programs. Debian 12 keeps the 64-bit loader outside
# PATH; the environment variable WINE may name another one. The wrapper
# silences Wine's own diagnostics and keeps its prefix inside the build
# directory (unless WINEPREFIX is set).
if(NOT ORVEL_WINE)
  if(DEFINED ENV{WINE})
    set(ORVEL_WINE "$ENV{WINE}")
  else()
    find_program(ORVEL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
    if(NOT ORVEL_WINE)
      find_program(ORVEL_WINE NAMES wine64 wine)
    endif()
  endif()
endif()
if(ORVEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_CURRENT_LIST_DIR}/run-under-wine.sh ${ORVEL_WINE} ${CMAKE_BINARY_DIR}/wineprefix)
endif()
