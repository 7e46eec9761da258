#!/usr/bin/env bash
# Measures the comparison store on one tree, warm: the walk alone (--keys size), a search
# without the store (--no-cache), a first search into an empty store, a second search of the
# unchanged tree, and a search after 1% of the files changed (their last byte rewritten, which
# changes their change time); prints the medians, the files read, the store's bytes per file
# and the peak memory of each. The store lives in a scratch XDG_CACHE_HOME, removed at the end.
#   bench/measure-store.sh /tmp/parvex-corpus
#   RUNS=3, PARVEX_CLI=path/to/parvex-cli (default: build/src/cli/)
# The 1% change writes into the tree: run it on a generated tree only.
set -euo pipefail
DIR=${1:?usage: measure-store.sh DIR}
RUNS=${RUNS:-3}
HERE=$(cd "$(dirname "$0")" && pwd)
CLI=${PARVEX_CLI:-$HERE/../build/src/cli/parvex-cli}
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
export XDG_CACHE_HOME=$SCRATCH/cache
STORE=$XDG_CACHE_HOME/parvex/comparisons.sqlite

# Seconds and peak kilobytes of one run, its --stats beside.
run() { # name args...
  local name=$1
  shift
  /usr/bin/time -f '%e %M' -o "$SCRATCH/time" "$CLI" --stats "$@" "$DIR" >"$SCRATCH/$name.out" \
    2>"$SCRATCH/$name.err" || true
  cat "$SCRATCH/time"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
report() { # name runs-file
  printf '%-22s %8s s  %8s KiB peak  read %s, from store %s\n' "$1" \
    "$(cut -d' ' -f1 "$2" | median)" "$(cut -d' ' -f2 "$2" | median)" \
    "$(sed -n 's/^files read for content: //p' "$SCRATCH/$1.err")" \
    "$(sed -n 's/^files taken from the comparison store: //p' "$SCRATCH/$1.err")"
}

# Warm: every file read once.
"$CLI" --no-cache --keys size,content "$DIR" >/dev/null 2>&1 || true
for i in $(seq "$RUNS"); do run walk --no-cache --keys size; done >"$SCRATCH/walk.t"
for i in $(seq "$RUNS"); do run nocache --no-cache --keys size,content; done >"$SCRATCH/nocache.t"
for i in $(seq "$RUNS"); do
  rm -rf "$XDG_CACHE_HOME"
  run first --keys size,content
done >"$SCRATCH/first.t"
for i in $(seq "$RUNS"); do run second --keys size,content; done >"$SCRATCH/second.t"
cmp -s "$SCRATCH/nocache.out" "$SCRATCH/second.out" && same=yes || same=NO
files=$(sqlite3 "$STORE" 'SELECT count(*) FROM files' 2>/dev/null || echo 0)
bytes=$(stat -c %s "$STORE")
# 1% of the files, spread over the tree, get another last byte at the same size.
find "$DIR" -type f -size +0 | awk 'NR % 100 == 0' >"$SCRATCH/changed"
while IFS= read -r path; do
  printf 'Z' | dd of="$path" bs=1 seek=$(($(stat -c %s "$path") - 1)) conv=notrunc status=none
done <"$SCRATCH/changed"
sleep 2.1 # changed files count as settled only 2 s after their change
run changed --keys size,content >"$SCRATCH/changed.t"
"$CLI" --no-cache --keys size,content "$DIR" >"$SCRATCH/changed-nocache.out" 2>/dev/null || true
cmp -s "$SCRATCH/changed.out" "$SCRATCH/changed-nocache.out" && samechanged=yes || samechanged=NO

echo "tree: $DIR ($(wc -l <"$SCRATCH/changed") files changed for the 1% run)"
for name in walk nocache first second changed; do report "$name" "$SCRATCH/$name.t"; done
echo "second search output equals --no-cache: $same; after the change: $samechanged"
echo "store: $files files, $bytes bytes, $((files > 0 ? bytes / files : 0)) bytes per file"
