#!/usr/bin/env bash
# Checks the bash completions of both programs: every option that a program's --help lists is
# offered after "-", and option values, folders and result documents complete as a table says.
#   completion_test.sh PARVEX PARVEX_CLI COMPLETIONS_DIR [ENVIRONMENT...]
set -euo pipefail
parvex=$1
parvex_cli=$2
completions=$3
shift 3
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/sub folder" "$work/other"
touch "$work/r.parvex.json" "$work/cli.json" "$work/notes.txt"

# The sorted replies of a completion function to the words of a command line, the last one
# being completed, run in the tree's folder.
replies() { # program words...
  (
    cd "$work"
    # shellcheck disable=SC1090
    source "$completions/$1"
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    "$(complete -p "$1" | sed -E 's/.*-F ([^ ]+) .*/\1/')" 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sort
  )
}

failed=0
expect() { # expected replies (one a line), program, words...
  local expected=$1
  shift
  local seen
  seen=$(replies "$@")
  if [ "$seen" != "$expected" ]; then
    echo "completing \"$*\" offers:" $seen "; expected:" $expected >&2
    failed=1
  fi
}

# Every option of --help; Qt's own -platform is the application's, not parvex's.
for program in "$parvex" "$parvex_cli"; do
  name=$(basename "$program")
  offered=$(replies "$name" "$name" -)
  while read -r option; do
    [ "$option" = -platform ] && continue
    grep -qxF -- "$option" <<<"$offered" ||
      { echo "completing \"$name -\" does not offer $option" >&2; failed=1; }
  done < <("$here/help_options.sh" "$program" "$@")
done

expect $'cli.json\nother\nr.parvex.json\nsub folder' parvex parvex ""
expect $'sub folder' parvex parvex --start s
expect $'--new-search' parvex parvex --new
expect $'other\nsub folder' parvex-cli parvex-cli ""
expect $'json\nnull\ntext' parvex-cli parvex-cli --format ""
expect $'size,content' parvex-cli parvex-cli --keys size,c
expect $'other' parvex-cli parvex-cli --exclude o
expect "" parvex-cli parvex-cli --threads ""
expect $'newest' parvex-cli parvex-cli --keep ne
expect $'in:' parvex-cli parvex-cli --keep i
expect $'other' parvex-cli parvex-cli --protect o
expect $'cli.json\nother\nr.parvex.json\nsub folder' parvex-cli parvex-cli --from ""
exit $failed
