#!/usr/bin/env bash
# Builds `make dist` from two fresh clones of the current commit, in two
# different folders one after the other, and compares their SHA256SUMS.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for clone in first second; do
  git clone -q "$PWD" "$work/$clone-clone"
  (cd "$work/$clone-clone" && bash scripts/dist.sh >/dev/null)
done
if cmp -s "$work/first-clone/dist/SHA256SUMS" "$work/second-clone/dist/SHA256SUMS"; then
  echo "reproducible: two fresh clones give the same checksums:"
  cat "$work/first-clone/dist/SHA256SUMS"
else
  echo "NOT reproducible:"
  diff "$work/first-clone/dist/SHA256SUMS" "$work/second-clone/dist/SHA256SUMS" || true
  exit 1
fi
