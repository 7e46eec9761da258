#!/usr/bin/env bash
# Checks that a manual page describes every option that its program's --help lists, so that a
# new option cannot reach --help without reaching the manual page too.
#   man_page_options_test.sh PROGRAM MAN_PAGE [ENVIRONMENT...]
set -euo pipefail
program=$1
page=$2
shift 2

# The page as text: roff's escaped minus signs and font changes removed.
text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$page")

options=$("$(dirname "$0")/help_options.sh" "$program" "$@")
[ -n "$options" ] || { echo "no option found in the --help of $program" >&2; exit 1; }

missing=0
while read -r option; do
  # Whole words only: "-h" must not pass because "--help" is there.
  if ! grep -qE -- "(^|[^A-Za-z0-9-])${option}([^A-Za-z0-9-]|$)" <<<"$text"; then
    echo "$page does not describe $option (listed by $program --help)" >&2
    missing=1
  fi
done <<<"$options"
exit $missing
