# Cross build for 64-bit Windows with Debian's mingw-w64; the results run
# under Wine. Use: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LUMIQ_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model: the win32 one has no std::mutex, which GoogleTest
# needs.
set(CMAKE_C_COMPILER ${LUMIQ_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMIQ_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMIQ_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMIQ_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own runtime (libgcc, libstdc++, winpthread) is linked in, so
# the executables need no DLL beyond Windows' own and run from any folder.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Test programs run under Wine; discovering their tests at build time would
# start Wine for every build, so discovery waits for ctest.
find_program(LUMIQ_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT LUMIQ_WINE)
  find_program(LUMIQ_WINE NAMES wine64 wine)
endif()
if(LUMIQ_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LUMIQ_WINE})
endif()
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
