#!/usr/bin/env bash
# Times a parvex-cli run that trashes 5,000 copies (10,000 files of 4 KiB in 5,000 groups of
# two) and the undo that puts them back, each RUNS times (default 5), and prints every time and
# the medians. The files are acted on from a saved result, so the time is that of the actions,
# their checks and their journal, not of a search; each undo leaves the tree as it was, so the
# next run acts on the same result. The trash and the journals live in the work folder.
#   bench/measure-undo.sh build/src/cli/parvex-cli [WORK_DIR]
set -euo pipefail

CLI=$(realpath "${1:?usage: measure-undo.sh PARVEX_CLI [WORK_DIR]}")
WORK=${2:-$(mktemp -d "${TMPDIR:-/tmp}/parvex-undo-bench.XXXXXX")}
RUNS=${RUNS:-5}
GROUP_COUNT=5000
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
export XDG_STATE_HOME=$WORK/state XDG_DATA_HOME=$WORK/data XDG_CACHE_HOME=$WORK/cache
rm -rf "$WORK/tree" "$WORK/state" "$WORK/data"
mkdir -p "$WORK/tree/a" "$WORK/tree/b"

# Group g: two files of 4 KiB whose bytes only that group has.
python3 - "$WORK/tree" "$GROUP_COUNT" <<'PY'
import sys
root, groups = sys.argv[1], int(sys.argv[2])
for g in range(groups):
    data = (b"%08d" % g) * 512
    for side in ("a", "b"):
        with open(f"{root}/{side}/{g:05d}", "wb") as f:
            f.write(data)
PY
"$CLI" --format json --keys size,content --no-cache "$WORK/tree/" >"$WORK/result.json" || true

seconds() { # command...: runs it, prints its wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>"$WORK/stderr" || { [ $? -eq 3 ] && cat "$WORK/stderr" >&2; }
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

trash_times=() undo_times=()
for run in $(seq "$RUNS"); do
  trash_times+=("$(seconds "$CLI" --from "$WORK/result.json" --trash)")
  left=$(find "$WORK/tree" -type f | wc -l)
  undo_times+=("$(seconds "$CLI" --undo)")
  back=$(find "$WORK/tree" -type f | wc -l)
  echo "run $run: trash ${trash_times[-1]} s ($left files left), undo ${undo_times[-1]} s ($back files back)"
done
echo "median trash: $(printf '%s\n' "${trash_times[@]}" | median) s"
echo "median undo:  $(printf '%s\n' "${undo_times[@]}" | median) s"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
