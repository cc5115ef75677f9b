#!/usr/bin/env bash
# make run [DELAY=n]: builds kelvaro.exe and runs it under Wine, on your X
# display when there is one, else on a private Xvfb display. Ctrl+C stops it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target kelvaro >/dev/null

program=build/win32/bin/kelvaro.exe
arguments=()
[ -n "${DELAY:-}" ] && arguments=("$DELAY")
export WINEPREFIX="$PWD/build/wine/run-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ]; then
  where="on your display $DISPLAY; it watches the clipboard that Wine shares with your X session"
else
  where="on a private Xvfb display (no DISPLAY is set); it watches that display's clipboard"
fi
cat <<TEXT
Kelvaro is running under Wine $where.
Copied text is wiped about ${DELAY:-20} cycles of 0.9 s after the copy, and at once
while no window is active. It shows nothing but an icon in the notification area
(none under Wine, whose shell32 lacks the icon). Press Ctrl+C here to stop it.
TEXT

if [ -n "${DISPLAY:-}" ]; then
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
  wine "$program" "${arguments[@]}"
else
  bash scripts/wine-session.sh wine "$program" "${arguments[@]}"
fi
