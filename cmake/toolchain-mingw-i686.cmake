# Cross compiling for 32-bit Windows with MinGW-w64 (posix threads variant).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_ASM_NASM_COMPILER nasm)

# Libraries built for Win32 from Debian's sources land in the cache prefix (scripts/win32-deps).
get_filename_component(_brisomel_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(NOT DEFINED BRISOMEL_WIN32_PREFIX)
  if(DEFINED ENV{BRISOMEL_CACHE})
    set(BRISOMEL_WIN32_PREFIX "$ENV{BRISOMEL_CACHE}/win32")
  else()
    set(BRISOMEL_WIN32_PREFIX "${_brisomel_root}/.cache/win32")
  endif()
endif()
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32 "${BRISOMEL_WIN32_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools built for Windows run under Wine, in a prefix kept inside the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_brisomel_root}/scripts/wine-run")
