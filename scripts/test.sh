#!/usr/bin/env bash
# The whole test run: set-up, the three builds, and every test. Each stage
# runs even when an earlier one failed; the exit code says whether all passed.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh || exit 1

failed=()
stage() {
  local name=$1
  shift
  echo "=== $name"
  "$@" || failed+=("$name")
}

build_and_test() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null &&
    cmake --build --preset "$preset" &&
    "$@" ctest --preset "$preset"
}

export WINEPREFIX="$PWD/build/wine/prefix"

stage "host: core tests with sanitizers" build_and_test host
stage "fuzz: command-line fuzzing" build_and_test fuzz
stage "win32: Windows tests under Wine" build_and_test win32 bash scripts/wine-session.sh
stage "dist: the same program from two fresh clones" bash scripts/check-reproducible.sh

if [ "${#failed[@]}" -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
echo "All test stages passed."
