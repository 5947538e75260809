#!/usr/bin/env bash
# The 32-bit Windows DLL: cross-builds gridseek.dll with mingw-w64 (i686)
# into build/windows, checks its export and import tables, builds the Win32
# host tests and runs them under wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
out=build/windows
toolchain=$root/cmake/mingw-i686.cmake
jobs=$(nproc)

for tool in i686-w64-mingw32-g++-posix i686-w64-mingw32-objdump wine wineserver python3; do
  command -v "$tool" >/dev/null || { echo "windows: $tool missing (scripts/install-deps.sh)" >&2; exit 1; }
done

# GoogleTest for the host tests, from Debian's sources (posix thread model).
gtest=$root/$out/gtest
bash "$root/scripts/build-googletest.sh" "$toolchain" $out/googletest "$gtest"

# The DLL.
cmake -S . -B $out -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DGRIDSEEK_BUILD_TESTS=OFF -DGRIDSEEK_BUILD_TOOLS=OFF -DGRIDSEEK_BUILD_BENCH=OFF -DGRIDSEEK_BUILD_FUZZ=OFF >/dev/null
cmake --build $out -j"$jobs" --target gridseek
dll=$root/$out/src/gridseek.dll

# Its tables, as objdump shows them: exactly the two GBK names, 寻矿 with
# ordinal 1 and 寻路 with ordinal 2, and imports of Windows system DLLs only.
i686-w64-mingw32-objdump -p "$dll" > $out/gridseek.dll.objdump
python3 - $out/gridseek.dll.objdump <<'PY'
import re, sys
text = open(sys.argv[1], 'rb').read()
def fail(msg):
    print('windows: gridseek.dll: ' + msg, file=sys.stderr)
    sys.exit(1)
base = re.search(rb'^Ordinal Base\s+(\d+)$', text, re.M)
if not base:
    fail('no export table')
base = int(base.group(1))
counts = re.search(rb'Export Address Table\s+([0-9a-f]+)\s+\[Name Pointer/Ordinal\] Table\s+([0-9a-f]+)', text)
if not counts or int(counts.group(1), 16) != 2 or int(counts.group(2), 16) != 2:
    fail('the export table does not hold exactly two entries')
table = text.split(b'[Ordinal/Name Pointer] Table', 1)[1].split(b'\n\n', 1)[0]
names = {m.group(2): int(m.group(1)) + base for m in re.finditer(rb'^\t\[\s*(\d+)\] (.*)$', table, re.M)}
expected = {bytes.fromhex('D1B0BFF3'): 1, bytes.fromhex('D1B0C2B7'): 2}
if names != expected:
    fail('exports %r, expected %r' % (names, expected))
system = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'msvcrt.dll', 'ntdll.dll'}
imports = [m.decode().lower() for m in re.findall(rb'^\tDLL Name: (\S+)$', text, re.M)]
if not imports or any(d not in system for d in imports):
    fail('imports %s; only Windows system DLLs are allowed' % imports)
print('windows: exports 寻矿 @1, 寻路 @2 (GBK names); imports', ', '.join(imports))
PY

# The host tests.
cmake -S tests/windows -B $out/host -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DGRIDSEEK_DLL="$dll" -DGTest_DIR="$gtest/lib/cmake/GTest" >/dev/null
cmake --build $out/host -j"$jobs"

# One wine prefix for this run, in a temporary folder, removed at the end.
prefix=$(mktemp -d "${TMPDIR:-/tmp}/gridseek-wine.XXXXXX")
export GRIDSEEK_WINEPREFIX=$prefix
cleanup() {
  WINEPREFIX=$prefix timeout 30 wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap cleanup EXIT
wine_run=$root/tests/windows/wine-run.sh
"$wine_run" cmd /c exit 0 </dev/null >/dev/null 2>&1 || { echo "windows: wine does not start" >&2; exit 1; }

ctest --test-dir $out/host --output-on-failure

# The shell's view of the out-of-storage exit: ExitProcess(-1) ends wine with
# status 255, after a message box that returns at once without a display.
set +e
"$wine_run" $out/host/gridseek_out_of_storage_child.exe plain </dev/null
status=$?
set -e
if [[ $status -ne 255 ]]; then
  echo "windows: out-of-storage child ended with status $status, expected 255" >&2
  exit 1
fi
echo "windows: out-of-storage child ended with status 255"
