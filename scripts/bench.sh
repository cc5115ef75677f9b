#!/usr/bin/env bash
# make bench: measures kelvaro.exe beside a floor program under Wine and
# prints one table, also written to docs/benchmark.md. Takes a few minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target kelvaro floor bench_driver >/dev/null
export WINEPREFIX="$PWD/build/wine/prefix"
bash scripts/wine-session.sh python3 scripts/bench.py
