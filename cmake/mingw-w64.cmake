# Cross-building for 64-bit Windows with Debian's mingw-w64 (packages mingw-w64 and
# binutils-mingw-w64-x86-64):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUORIX_MINGW_PREFIX x86_64-w64-mingw32)
# The POSIX thread model: the standard library's threads and mutexes (GoogleTest needs them),
# linked statically with the rest.
set(CMAKE_C_COMPILER ${QUORIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORIX_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUORIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
