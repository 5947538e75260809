# Cross-compiles for 32-bit Windows with mingw-w64 (i686). The posix thread
# model variant is used because GoogleTest's sources build only with it.
# Cross-built executables run through wine (see tests/windows/wine-run.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(GRIDSEEK_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${GRIDSEEK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GRIDSEEK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${GRIDSEEK_MINGW_PREFIX}-windres)
set(CMAKE_AR ${GRIDSEEK_MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${GRIDSEEK_MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${GRIDSEEK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Link the C and C++ runtimes (and winpthreads) statically, so that the DLL
# and the test hosts import nothing but Windows system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run.sh)
