#!/usr/bin/env bash
# Prints the options that a program's --help lists, one a line, sorted.
#   help_options.sh PROGRAM [ENVIRONMENT...]
set -euo pipefail
program=$1
shift
help=$(env "$@" "$program" --help)
grep -oE '(^|[^A-Za-z0-9-])--?[A-Za-z0-9][A-Za-z0-9-]*' <<<"$help" | sed -E 's/^[^-]*//' |
  sort -u
