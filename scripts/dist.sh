#!/usr/bin/env bash
# make dist: builds the portable kelvaro.exe and the installer
# kelvaro-setup.exe in a build folder of their own and puts them into dist/
# with their SHA256SUMS. The build is reproducible: the same commit gives the
# same bytes in any folder at any time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
rm -rf build/dist dist
cmake --preset dist >/dev/null
cmake --build --preset dist >/dev/null
mkdir -p dist
cp build/dist/bin/kelvaro.exe build/dist/bin/kelvaro-setup.exe dist/
(cd dist && sha256sum kelvaro.exe kelvaro-setup.exe > SHA256SUMS)
cat dist/SHA256SUMS
