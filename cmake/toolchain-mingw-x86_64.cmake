# Cross compiling for 64-bit Windows with MinGW-w64 (posix threads variant): the same program
# for machines that cannot execute 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRISOMEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(BRISOMEL_MINGW_CACHE win64)
include("${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake")
