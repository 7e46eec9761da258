#!/usr/bin/env bash
# Times parvex-cli against fdupes, jdupes, rdfind and rmlint on one corpus with a warm cache,
# prints the medians with each tool's ratio to Parvex, and checks that every tool finds the same
# sets of content-identical files (explaining differences that come from empty files and hard
# links).
#   bench/compare.sh /tmp/parvex-corpus
#   RUNS=3 (timed runs per tool), PARVEX_CLI=path/to/parvex-cli (default: build/src/cli/),
#   KEEP=1 keeps the tools' outputs and timings in the scratch folder it names at the end
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
DIR=$(cd "${1:?usage: compare.sh DIR}" && pwd)
RUNS=${RUNS:-3}
PARVEX_CLI=${PARVEX_CLI:-$HERE/../build/src/cli/parvex-cli}
if [ ! -x "$PARVEX_CLI" ]; then
  echo "compare.sh: no parvex-cli at $PARVEX_CLI (build it, or set PARVEX_CLI)" >&2
  exit 2
fi
PARVEX_CLI=$(cd "$(dirname "$PARVEX_CLI")" && pwd)/$(basename "$PARVEX_CLI")

"$HERE/../install-packages.sh" fdupes jdupes rdfind rmlint time python3

WORK=$(mktemp -d /tmp/parvex-compare-XXXXXX)
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$WORK"' EXIT

# Each tool writes its groups to $WORK/<tool>.out; rdfind and rmlint write files into their
# working directory, so every tool runs in a scratch folder of its own. rmlint skips hidden
# folders unless told otherwise, and its JSON output keeps very long paths apart where its
# fdupes-style output runs two groups together; -T df makes it look for duplicates alone.
TOOLS=(parvex fdupes jdupes rdfind rmlint)
command_of() { # tool -> the command line, one word per line
  case $1 in
  parvex) printf '%s\n' "$PARVEX_CLI" --keys size,content "$DIR" ;;
  fdupes) printf '%s\n' fdupes -r -q "$DIR" ;;
  jdupes) printf '%s\n' jdupes -r -q "$DIR" ;;
  rdfind) printf '%s\n' rdfind -dryrun true -outputname "$WORK/rdfind.out" "$DIR" ;;
  rmlint) printf '%s\n' rmlint --hidden -T df -o "json:$WORK/rmlint.out" "$DIR" ;;
  esac
}

run_once() { # tool, file for "wall user sys maxrss_kib"
  local tool=$1 timing=$2 stdout_to=/dev/null
  local -a cmd
  mapfile -t cmd < <(command_of "$tool")
  case $tool in parvex | fdupes | jdupes) stdout_to=$WORK/$tool.out ;; esac
  mkdir -p "$WORK/cwd-$tool"
  (cd "$WORK/cwd-$tool" && /usr/bin/time -f '%e %U %S %M' -o "$timing" "${cmd[@]}" \
    >"$stdout_to" 2>"$WORK/$tool.err") || {
    echo "compare.sh: $tool failed:" >&2
    cat "$WORK/$tool.err" >&2
    exit 1
  }
}

echo "Warming the cache: reading every file of $DIR once"
find "$DIR" -type f -print0 | xargs -0 cat >/dev/null

# Rounds run every tool once, so that a disturbance of the machine hits all tools alike.
for round in $(seq 1 "$RUNS"); do
  for tool in "${TOOLS[@]}"; do
    run_once "$tool" "$WORK/$tool.time.$round"
    cat "$WORK/$tool.time.$round" >>"$WORK/$tool.times"
  done
  echo "round $round of $RUNS done"
done

echo
echo "Corpus: $DIR, $(find "$DIR" -type f | wc -l) files," \
  "$(find "$DIR" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%.2f GiB", s / 2^30 }')"
echo "Commands:"
for tool in "${TOOLS[@]}"; do
  echo "  $tool: $(command_of "$tool" | sed "s|$WORK|\$WORK|g" | tr '\n' ' ')"
done
echo
status=0
python3 "$HERE/analyse-results.py" "$WORK" "${TOOLS[@]}" || status=$?
echo
echo "parvex-cli --stats of one more run:"
"$PARVEX_CLI" --stats --keys size,content "$DIR" 2>&1 >/dev/null | sed 's/^/  /'
[ "${KEEP:-0}" = 1 ] && echo "Outputs kept in $WORK"
exit $status
