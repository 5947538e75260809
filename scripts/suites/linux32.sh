#!/usr/bin/env bash
# The 32-bit Linux build: the library and the whole GoogleTest suite built
# with -m32 into build/linux32, where intptr_t and so the callers' variables
# are 32 bits, and ctest on it. Debian ships GoogleTest's libraries for the
# host architecture only, so a 32-bit GoogleTest is built from its sources.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
out=build/linux32
toolchain=$root/cmake/linux-i686.cmake
jobs=$(nproc)

[[ -d /usr/src/googletest ]] || { echo "linux32: /usr/src/googletest missing (googletest package)" >&2; exit 1; }
echo 'int main(){return sizeof(void*)==4?0:1;}' > /tmp/gridseek-m32-probe.$$.c
if ! gcc -m32 -o /tmp/gridseek-m32-probe.$$ /tmp/gridseek-m32-probe.$$.c 2>/dev/null || ! /tmp/gridseek-m32-probe.$$; then
  rm -f /tmp/gridseek-m32-probe.$$ /tmp/gridseek-m32-probe.$$.c
  echo "linux32: gcc -m32 cannot build or run programs (g++-multilib missing?)" >&2
  exit 1
fi
rm -f /tmp/gridseek-m32-probe.$$ /tmp/gridseek-m32-probe.$$.c

gtest=$root/$out/gtest
bash "$root/scripts/build-googletest.sh" "$toolchain" $out/googletest "$gtest"

# -O2, not the usual -O3: GCC 12's -O3 inlining gives false -Wrestrict and
# -Wfree-nonheap-object reports inside std::string and std::vector at -m32.
# The benchmarks and the command-line tools need host-architecture libraries
# (Google Benchmark, libpng) that are not installed for i386.
cmake -S . -B $out -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DGTest_DIR="$gtest/lib/cmake/GTest" -DGRIDSEEK_BUILD_TOOLS=OFF -DGRIDSEEK_BUILD_BENCH=OFF \
  -DGRIDSEEK_BUILD_FUZZ=OFF >/dev/null
cmake --build $out -j"$jobs"

so=$out/src/libgridseek.so
file -L "$so" | grep -q 'ELF 32-bit' || { echo "linux32: $so is not a 32-bit library" >&2; exit 1; }
ctest --test-dir $out --output-on-failure -j"$jobs"
