#!/usr/bin/env bash
# Checks that the C++ lines changed since scripts/format-base (a commit) are as clang-format
# (.clang-format) writes them. Only changed lines are looked at, so older code is reformatted
# only where someone edits it. The tests are left out: their tables of cases keep the layout they
# are written in, row by row. `scripts/check-format.sh --fix` formats those lines in place.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
command -v git-clang-format >/dev/null || { echo "check-format: git-clang-format is missing (Debian clang-format)"; exit 1; }
base=$(tr -d '[:space:]' < scripts/format-base)
if ! git cat-file -e "$base^{commit}" 2>/dev/null; then
  echo "check-format: the base commit $base is not in this clone (a shallow clone?): fetch the history"
  exit 1
fi
ext=cpp,h
if [[ "${1:-}" == --fix ]]; then
  exec git clang-format --extensions "$ext" "$base" -- src bench fuzz
fi
out=$(git clang-format --diff --extensions "$ext" "$base" HEAD -- src bench fuzz)
case "$out" in
  "no modified files to format"|"clang-format did not modify any files"|"") echo "check-format: ok"; exit 0 ;;
esac
printf '%s\n' "$out"
echo "check-format: the lines above are not as clang-format writes them (scripts/check-format.sh --fix)"
exit 1
