#!/usr/bin/env bash
# Checks that a man page names every option and command the program's --help
# names, so that the two cannot drift apart. Prints what is missing.
#   tools/check-man-page.sh PROGRAM MAN_PAGE
set -euo pipefail
program=$1
page=$2
[ -x "$program" ] || { echo "$program is not built here: not checked"; exit 77; }
help=$(QT_QPA_PLATFORM=offscreen "$program" --help 2>&1)
# The page's words as a reader sees them: roff's \- is a hyphen.
text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$page")
missing=()
# Options: every --word of the help text.
while read -r option; do
  grep -qE -- "(^|[^a-z-])${option}([^a-z-]|$)" <<<"$text" || missing+=("$option")
done < <(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
# Commands: the first word of each entry under "Commands:".
while read -r command; do
  grep -qE "^\.B[IR]? +${command}( |$)|^\.B ${command}$" <<<"$text" || missing+=("$command")
done < <(awk '/^Commands:/ {on = 1; next} /^[A-Z][a-z]*:/ {on = 0} on && /^  [a-z]/ {print $1}' <<<"$help" | sort -u)
if [ ${#missing[@]} -gt 0 ]; then
  echo "$(basename "$page") does not name: ${missing[*]}" >&2
  exit 1
fi
echo "$(basename "$page") names every option and command of $(basename "$program") --help"
