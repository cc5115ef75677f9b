#!/usr/bin/env bash
# Runs one command with a private X display and a running wineserver for the
# project's Wine prefix, and stops both by their process ids afterwards,
# whatever the command's result. Exits with the command's exit code.
#
#   WINEPREFIX=/abs/prefix scripts/wine-session.sh ctest --preset win32
set -uo pipefail

: "${WINEPREFIX:?set WINEPREFIX to the Wine prefix of the build}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

xvfbPid=""
serverPid=""

stop_session() {
  if [ -n "$serverPid" ]; then
    wineserver -k >/dev/null 2>&1 || true
    kill "$serverPid" 2>/dev/null || true
    wait "$serverPid" 2>/dev/null || true
  fi
  if [ -n "$xvfbPid" ]; then
    kill "$xvfbPid" 2>/dev/null || true
    wait "$xvfbPid" 2>/dev/null || true
  fi
}
trap stop_session EXIT
trap 'exit 130' INT TERM

# A display number that nobody uses.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfbPid=$!
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done
export DISPLAY=":$display"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-session: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi

wineserver -f -p >/dev/null 2>&1 &
serverPid=$!

"$@"
