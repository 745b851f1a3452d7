#!/usr/bin/env bash
# The designer's buttons checked in a real browser: every shipped template in
# every form, published with `tavishfennic --publish` and put into a page,
# then axe-core and the checks of designer/tests/browser/checks.test.mjs in
# headless Chromium; sites.test.mjs puts buttons on pages as real sites have
# them (files of the author's, a theme's link rules, a strict
# Content-Security-Policy, <base href>, partials). Prints "N passed, N
# failed" for each; exits non-zero on a failure.
#   tools/browser-checks.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
HERE=designer/tests/browser
if [ ! -x /usr/bin/chromium ] || ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "browser checks need chromium, nodejs and npm (tools/deps.sh installs them)" >&2
  exit 1
fi
# The pinned packages; npm ci never looks past the lock file.
if [ ! -d "$HERE/node_modules" ] || [ "$HERE/package-lock.json" -nt "$HERE/node_modules/.package-lock.json" ]; then
  (cd "$HERE" && npm ci --no-audit --no-fund --loglevel=error)
fi
export TAVISHFENNIC="$PWD/$BUILD/designer/bin/tavishfennic"
export FENNIC_TEMPLATES="$PWD/resources/designer/PageletServer"
export PUPPETEER_SKIP_DOWNLOAD=1
cd "$HERE"
exec node --test --test-concurrency=1 --test-reporter=spec checks.test.mjs sites.test.mjs
