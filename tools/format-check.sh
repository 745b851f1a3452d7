#!/usr/bin/env bash
# Checks that every C++ file of the checkout follows .clang-format, so that
# the check needs no branch to compare with and means the same on main as on
# a branch. --fix formats the files in place.
#   tools/format-check.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
mode=(--dry-run -Werror)
if [ "${1:-}" = --fix ]; then mode=(-i); fi
formatter=$(command -v clang-format || command -v clang-format-14 || true)
[ -n "$formatter" ] || { echo "format-check.sh: clang-format not found (Debian: clang-format)" >&2; exit 2; }

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  list() { git ls-files -z -- '*.cpp' '*.h'; }
else
  list() { find chat designer -name '*.cpp' -print0 -o -name '*.h' -print0; }
fi
count=$(list | tr -cd '\0' | wc -c)
if ! report=$(list | xargs -0 -P"$(nproc)" -n 16 "$formatter" "${mode[@]}" 2>&1); then
  printf '%s\n' "$report" | head -n 60
  echo "format-check.sh: the lines above differ from .clang-format; tools/format-check.sh --fix formats them" >&2
  exit 1
fi
[ "${mode[0]}" = -i ] && echo "format-check.sh: $count C++ files formatted" && exit 0
echo "format-check.sh: $count C++ files follow .clang-format"
