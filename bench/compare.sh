#!/usr/bin/env bash
# Times parvex-cli against fdupes, jdupes, rdfind and rmlint on one corpus, prints the medians
# with each tool's ratio to Parvex, and checks that every tool finds the same sets of
# content-identical files (explaining differences that come from empty files and hard links).
#   bench/compare.sh /tmp/parvex-corpus          warm: every file is read once before the runs
#   bench/compare.sh --cold /tmp/parvex-corpus   cold: the page cache is dropped before every
#                                                single run (root only; skipped otherwise)
#   bench/compare.sh --shape handful /tmp/parvex-handful
#                                                a million generated files (bench/make-million.sh)
#                                                of 8 sizes ("handful") or 4,096 ("million"),
#                                                made first unless DIR already holds that tree;
#                                                --cold may come before --shape
#   RUNS=3 (timed runs per tool), PARVEX_CLI=path/to/parvex-cli (default: build/src/cli/),
#   TOOLS="parvex jdupes" (the tools to run, parvex among them; default: all five),
#   PARVEX_ARGS="--threads 1" (more parvex-cli arguments, split at blanks),
#   KEEP=1 keeps the tools' outputs and timings in the scratch folder it names at the end
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
USAGE="usage: compare.sh [--cold] [--shape million|handful] DIR"
COLD=0
if [ "${1:-}" = --cold ]; then
  COLD=1
  shift
fi
SHAPE=
if [ "${1:-}" = --shape ]; then
  SHAPE=${2:-}
  shift 2 || { echo "$USAGE" >&2; exit 2; }
fi
[ $# -eq 1 ] || { echo "$USAGE" >&2; exit 2; }
case $SHAPE in
"") ;;
million | handful)
  SIZES=4096
  [ "$SHAPE" = million ] || SIZES=8
  [ -d "$1/.parvex-million-sizes-$SIZES-scale-1" ] || SIZES=$SIZES "$HERE/make-million.sh" "$1"
  ;;
*) echo "compare.sh: unknown shape '$SHAPE' ($USAGE)" >&2; exit 2 ;;
esac
DIR=$(cd "$1" && pwd)
RUNS=${RUNS:-3}
ALL_TOOLS=(parvex fdupes jdupes rdfind rmlint)
read -ra CHOSEN <<<"${TOOLS:-${ALL_TOOLS[*]}}"
read -ra PARVEX_EXTRA <<<"${PARVEX_ARGS:-}"
# Parvex is what every other tool is measured and checked against: it runs first, and each tool
# runs once a round however often it is named.
case " ${CHOSEN[*]} " in
*" parvex "*) ;;
*) echo "compare.sh: TOOLS must name parvex (the others are compared with it)" >&2; exit 2 ;;
esac
TOOLS=(parvex)
for tool in "${CHOSEN[@]}"; do
  case " ${ALL_TOOLS[*]} " in
  *" $tool "*) ;;
  *) echo "compare.sh: unknown tool '$tool' in TOOLS (tools: ${ALL_TOOLS[*]})" >&2; exit 2 ;;
  esac
  case " ${TOOLS[*]} " in *" $tool "*) ;; *) TOOLS+=("$tool") ;; esac
done

# Dropping the page cache before every run is the cold case; it needs root. A virtual machine's
# host may still hold the files in its own cache, hence the report's label.
drop_cache() {
  sync && echo 3 2>/dev/null >/proc/sys/vm/drop_caches
}
if [ "$COLD" = 1 ] && { [ "$(id -u)" -ne 0 ] || ! drop_cache; }; then
  echo "compare.sh: --cold needs root to drop the page cache" \
    "(sync; echo 3 > /proc/sys/vm/drop_caches); the cold runs are skipped"
  exit 0
fi
PARVEX_CLI=${PARVEX_CLI:-$HERE/../build/src/cli/parvex-cli}
if [ ! -x "$PARVEX_CLI" ]; then
  echo "compare.sh: no parvex-cli at $PARVEX_CLI (build it, or set PARVEX_CLI)" >&2
  exit 2
fi
PARVEX_CLI=$(cd "$(dirname "$PARVEX_CLI")" && pwd)/$(basename "$PARVEX_CLI")

PACKAGES=(time python3)
for tool in "${TOOLS[@]}"; do
  [ "$tool" = parvex ] || PACKAGES+=("$tool")
done
"$HERE/../install-packages.sh" "${PACKAGES[@]}"

WORK=$(mktemp -d /tmp/parvex-compare-XXXXXX)
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$WORK"' EXIT

# Each tool writes its groups to $WORK/<tool>.out; rdfind and rmlint write files into their
# working directory, so every tool runs in a scratch folder of its own. rmlint skips hidden
# folders unless told otherwise, and its JSON output keeps very long paths apart where its
# fdupes-style output runs two groups together; -T df makes it look for duplicates alone.
command_of() { # tool -> the command line, one word per line
  case $1 in
  parvex) printf '%s\n' "$PARVEX_CLI" --no-cache "${PARVEX_EXTRA[@]}" --keys size,content "$DIR" ;;
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
  [ "$COLD" = 0 ] || drop_cache
  (cd "$WORK/cwd-$tool" && /usr/bin/time -f '%e %U %S %M' -o "$timing" "${cmd[@]}" \
    >"$stdout_to" 2>"$WORK/$tool.err") || {
    echo "compare.sh: $tool failed:" >&2
    cat "$WORK/$tool.err" >&2
    exit 1
  }
}

if [ "$COLD" = 1 ]; then
  CACHE="guest cache dropped before every run (the host may still cache)"
else
  CACHE="warm: every file read once before the runs"
  echo "Warming the cache: reading every file of $DIR once"
  find "$DIR" -type f -print0 | xargs -0 cat >/dev/null
fi

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
echo "Page cache: $CACHE"
echo "Commands:"
for tool in "${TOOLS[@]}"; do
  echo "  $tool: $(command_of "$tool" | sed "s|$WORK|\$WORK|g" | tr '\n' ' ')"
done
echo
status=0
python3 "$HERE/analyse-results.py" "$WORK" "${TOOLS[@]}" || status=$?
echo
echo "parvex-cli --stats of one more run${PARVEX_ARGS:+ (with $PARVEX_ARGS)}:"
[ "$COLD" = 0 ] || drop_cache
"$PARVEX_CLI" --no-cache --stats "${PARVEX_EXTRA[@]}" --keys size,content "$DIR" 2>&1 >/dev/null |
  sed 's/^/  /'
[ "${KEEP:-0}" = 1 ] && echo "Outputs kept in $WORK"
exit $status
