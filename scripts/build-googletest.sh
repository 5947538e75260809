#!/usr/bin/env bash
# Builds GoogleTest from Debian's sources with a CMake tool-chain file and
# installs it under PREFIX, once: Debian ships GoogleTest's libraries only for
# the host architecture. Usage: build-googletest.sh TOOLCHAIN BUILD_DIR PREFIX
set -euo pipefail
toolchain=$1 build=$2 prefix=$3
[[ -e $prefix/lib/cmake/GTest/GTestConfig.cmake ]] && exit 0
cmake -S /usr/src/googletest -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$build" -j"$(nproc)"
cmake --install "$build" >/dev/null
