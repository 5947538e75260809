#!/usr/bin/env bash
# Installs every Debian package that building and testing gridseek needs.
# With --if-missing it does nothing when they are all present already.
set -euo pipefail

packages=(cmake make g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
  googletest libpng-dev python3 valgrind file g++-multilib g++-mingw-w64-i686-posix wine wine32:i386 binutils)

missing=()
if [[ "${1:-}" == "--if-missing" ]]; then
  for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [[ ${#missing[@]} -eq 0 ]] && exit 0
else
  missing=("${packages[@]}")
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "install-deps: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
