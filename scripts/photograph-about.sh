#!/usr/bin/env bash
# Photographs the About window of the running program under Xvfb and writes
# docs/about-window.png, the picture that README.md shows.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target kelvaro show_about >/dev/null
mkdir -p docs
export WINEPREFIX="$PWD/build/wine/prefix"

bash scripts/wine-session.sh bash -c '
  set -euo pipefail
  # Xvfb has no window manager to draw title bars: let Wine draw its own.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f >/dev/null 2>&1
  wine build/win32/bin/kelvaro.exe 20 >/dev/null 2>&1 &
  read -r left top width height < <(wine build/win32/bin/show_about.exe | tr -d "\r")
  import -window root -crop "${width}x${height}+${left}+${top}" +repage docs/about-window.png
  wine build/win32/bin/show_about.exe --exit
  wait
'
echo "wrote docs/about-window.png"
