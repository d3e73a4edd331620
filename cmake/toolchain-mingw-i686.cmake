# Cross compiling for 32-bit Windows with MinGW-w64 (posix threads variant).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BRISOMEL_MINGW_TRIPLE i686-w64-mingw32)
set(BRISOMEL_MINGW_CACHE win32)
include("${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake")
