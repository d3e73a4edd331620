# What the two MinGW-w64 toolchain files share. They set BRISOMEL_MINGW_TRIPLE (the compilers'
# prefix) and BRISOMEL_MINGW_CACHE (the folder under .cache/ that scripts/win32-deps fills for
# that architecture), then include this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${BRISOMEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRISOMEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BRISOMEL_MINGW_TRIPLE}-windres)
set(CMAKE_ASM_NASM_COMPILER nasm)

# Libraries built for Windows from Debian's sources land in the cache prefix (scripts/win32-deps).
get_filename_component(_brisomel_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(NOT DEFINED BRISOMEL_WINDOWS_PREFIX)
  if(DEFINED ENV{BRISOMEL_CACHE})
    set(BRISOMEL_WINDOWS_PREFIX "$ENV{BRISOMEL_CACHE}/${BRISOMEL_MINGW_CACHE}")
  else()
    set(BRISOMEL_WINDOWS_PREFIX "${_brisomel_root}/.cache/${BRISOMEL_MINGW_CACHE}")
  endif()
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${BRISOMEL_MINGW_TRIPLE} "${BRISOMEL_WINDOWS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything is linked statically, zlib too: a program must not depend on a zlib1.dll that
# only happens to be present (Wine ships one, Windows does not).
set(ZLIB_USE_STATIC_LIBS ON)

# Tests and tools built for Windows run under Wine (scripts/wine-run picks the loader by the
# program's architecture), in a prefix kept inside the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_brisomel_root}/scripts/wine-run")
