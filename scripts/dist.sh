#!/usr/bin/env bash
# make dist: builds the portable kelvaro.exe in a build folder of its own and
# puts it into dist/ with its SHA256SUMS. The build is reproducible: the same
# commit gives the same bytes in any folder at any time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
rm -rf build/dist dist
cmake --preset dist >/dev/null
cmake --build --preset dist >/dev/null
mkdir -p dist
cp build/dist/bin/kelvaro.exe dist/
(cd dist && sha256sum kelvaro.exe > SHA256SUMS)
cat dist/SHA256SUMS
