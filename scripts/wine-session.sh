#!/usr/bin/env bash
# Runs one command with a private X display and a running wineserver for the
# project's Wine prefix, and stops all of them by their process ids
# afterwards, whatever the command's result, also when interrupted. Exits with
# the command's exit code.
#
#   WINEPREFIX=/abs/prefix scripts/wine-session.sh ctest --preset win32
set -uo pipefail

: "${WINEPREFIX:?set WINEPREFIX to the Wine prefix of the build}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

xvfbPid=""
serverPid=""
commandPid=""
displayFile=$(mktemp)

stop_session() {
  if [ -n "$commandPid" ]; then
    kill "$commandPid" 2>/dev/null || true
    wait "$commandPid" 2>/dev/null || true
  fi
  # Every Wine process of the prefix, also those of a start-up cut short.
  [ -d "$WINEPREFIX" ] && { wineserver -k >/dev/null 2>&1 || true; }
  if [ -n "$serverPid" ]; then
    kill "$serverPid" 2>/dev/null || true
    wait "$serverPid" 2>/dev/null || true
  fi
  if [ -n "$xvfbPid" ]; then
    kill "$xvfbPid" 2>/dev/null || true
    wait "$xvfbPid" 2>/dev/null || true
  fi
  rm -f "$displayFile"
}
trap stop_session EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display itself and writes its number when it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayFile" >/dev/null 2>&1 &
xvfbPid=$!
for _ in $(seq 100); do
  [ -s "$displayFile" ] && break
  kill -0 "$xvfbPid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$displayFile" ]; then
  echo "wine-session: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$displayFile")"

# A prefix is ready only when its creation went through to the end.
ready="$WINEPREFIX/.kelvaro-ready"
if [ ! -f "$ready" ]; then
  echo "wine-session: creating the Wine prefix $WINEPREFIX"
  # A server left from an interrupted creation would serve the removed prefix.
  [ -d "$WINEPREFIX" ] && { wineserver -k >/dev/null 2>&1 || true; }
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  if ! wineboot -i >/dev/null 2>&1; then
    echo "wine-session: wineboot failed" >&2
    exit 1
  fi
  # A crashing program ends with a backtrace instead of waiting in a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$ready"
fi

wineserver -f -p >/dev/null 2>&1 &
serverPid=$!

"$@" &
commandPid=$!
wait "$commandPid"
status=$?
commandPid=""
exit "$status"
