#!/usr/bin/env bash
# make soak: the long runs, with their figures. Ten minutes of command-line
# fuzzing from the corpus kept in the repository, five minutes of arbitrary
# clipboard blocks through the clipboard read, and a minute of both engine
# threads wiping at once under ThreadSanitizer. New fuzz inputs go to
# build/soak, not into the repository. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
cmake --preset host >/dev/null
cmake --build --preset host --target core_thread_tests >/dev/null

fuzz() {
  local target=$1 seconds=$2
  mkdir -p "build/soak/corpus/$target"
  echo "=== $target for $seconds s"
  "build/fuzz/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix=build/soak/ \
    "build/soak/corpus/$target" "tests/fuzz/corpus/$target" 2>&1 |
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb|==.*ERROR|SUMMARY|Test unit written)'
}

fuzz command_line "${SOAK_COMMAND_LINE_SECONDS:-600}"
fuzz clipboard_read "${SOAK_CLIPBOARD_SECONDS:-300}"

echo "=== engine threads under ThreadSanitizer for ${SOAK_THREAD_SECONDS:-60} s"
KELVARO_SOAK_SECONDS="${SOAK_THREAD_SECONDS:-60}" TSAN_OPTIONS=halt_on_error=1 \
  build/host/tests/core/core_thread_tests --gtest_brief=1
echo "soak: no finding"
