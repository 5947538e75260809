#!/usr/bin/env bash
# Runs a cross-built Windows program under wine, as the emulator of the
# Windows build: quiet, with no X display (so a message box returns at once
# instead of waiting for a click), in a prefix of its own, with a time limit.
#
# GRIDSEEK_WINEPREFIX names the prefix (default: a folder beside this build's
# files, created on first use). wineserver is started before the program, so
# that its helper processes do not hold the caller's pipes open.
set -uo pipefail
prefix=${GRIDSEEK_WINEPREFIX:-${TMPDIR:-/tmp}/gridseek-wine-$(id -u)}
export WINEPREFIX=$prefix
export WINEDEBUG=${GRIDSEEK_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
limit=${GRIDSEEK_WINE_TIMEOUT:-300}

if [[ ! -e "$prefix/system.reg" ]]; then
  mkdir -p "$prefix"
  timeout 300 wineboot --init </dev/null >/dev/null 2>&1
  timeout 60 wineserver -w
fi
# Start the server detached from our standard streams; it lingers for a few
# seconds after the last program ends, so back-to-back runs share it.
timeout 60 wine cmd /c exit 0 </dev/null >/dev/null 2>&1
exec timeout --kill-after=10 "$limit" wine "$@"
