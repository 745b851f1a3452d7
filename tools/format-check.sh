#!/usr/bin/env bash
# Checks that the C++ lines this checkout changes against BASE (default: the
# main branch, or origin/main in a clone) follow .clang-format. Lines nobody
# touched are left as they are. --fix formats the changed lines in place.
#   tools/format-check.sh [--fix] [BASE]
set -euo pipefail
cd "$(dirname "$0")/.."
fix=no
if [ "${1:-}" = --fix ]; then fix=yes; shift; fi
formatter=$(command -v clang-format-diff || command -v clang-format-diff-14 || true)
[ -n "$formatter" ] || { echo "format-check.sh: clang-format-diff not found (Debian: clang-format)" >&2; exit 2; }

if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "format-check.sh: not a git checkout; nothing to compare with, nothing checked"
  exit 0
fi
base=""
for ref in ${1:-} main origin/main; do
  if base=$(git merge-base HEAD "$ref" 2>/dev/null); then break; fi
  base=""
done
if [ -z "$base" ]; then
  echo "format-check.sh: no base branch to compare with (main, origin/main); nothing checked"
  exit 0
fi

changes=$(git diff -U0 --no-color "$base" -- '*.cpp' '*.h')
if [ -z "$changes" ]; then
  echo "format-check.sh: no C++ lines changed since $(git rev-parse --short "$base")"
  exit 0
fi
if [ $fix = yes ]; then
  printf '%s\n' "$changes" | "$formatter" -p1 -i
  exit 0
fi
wrong=$(printf '%s\n' "$changes" | "$formatter" -p1)
if [ -n "$wrong" ]; then
  printf '%s\n' "$wrong"
  echo "format-check.sh: changed lines above differ from .clang-format; tools/format-check.sh --fix formats them" >&2
  exit 1
fi
echo "format-check.sh: changed lines since $(git rev-parse --short "$base") follow .clang-format"
