#!/usr/bin/env bash
# Builds the benchmark corpus in DIR: real files of this machine, planted duplicates under other
# names and folders, large generated files with exact copies and near-copies, empty files, hard
# links and a deep folder chain. The same machine gives the same corpus on every run.
#   bench/make-corpus.sh /tmp/parvex-corpus
set -euo pipefail

DIR=${1:?usage: make-corpus.sh DIR}
MAX_REAL_FILES=${MAX_REAL_FILES:-96000}
MAX_REAL_BYTES=${MAX_REAL_BYTES:-1000000000}
BIG_BYTES=$((200 * 1024 * 1024))
MARKER=.parvex-corpus

export LC_ALL=C
. "$(dirname "$0")/generated-folder.sh"
prepare_generated_folder "$DIR" "$MARKER" make-corpus.sh
DIR=$(cd "$DIR" && pwd)
LIST=$(mktemp)
trap 'rm -f "$LIST" "$LIST".*' EXIT

# 1. Real files, regular files only (no symbolic links), in sorted order: first the trees that
#    are always wanted, then small files of /usr/share and /usr/lib until the budget is used up.
list_files() { # folders...
  local existing=()
  for d in "$@"; do [ -d "$d" ] && existing+=("$d"); done
  [ ${#existing[@]} -eq 0 ] || find "${existing[@]}" -xdev -type f -printf '%s\t%p\n' | sort -t$'\t' -k2
}
{
  list_files /usr/share/doc /usr/include /usr/share/locale /usr/lib/python3 /usr/lib/python3.*
  list_files /usr/share /usr/lib | awk -F'\t' '$1 <= 32768' |
    grep -v -E $'\t/usr/(share/doc|include|share/locale|lib/python3[^/]*)/'
} | awk -F'\t' -v maxFiles="$MAX_REAL_FILES" -v maxBytes="$MAX_REAL_BYTES" '
    !seen[$2]++ && files < maxFiles && bytes + $1 <= maxBytes { files++; bytes += $1; print $2 }
  ' | sed 's|^/||' >"$LIST.real"
mkdir -p "$DIR/real"
tar -C / --no-recursion -T "$LIST.real" -cf - 2>/dev/null | tar -C "$DIR/real" -xf -
chmod -R u+rwX "$DIR/real"

# 2. Planted duplicates: every 37th real file copied under another name into other folders.
awk 'NR % 37 == 0' "$LIST.real" >"$LIST.planted"
n=0
while IFS= read -r path; do
  folder="$DIR/planted/p$((n % 40))/q$((n % 7))"
  mkdir -p "$folder"
  cp -p "$DIR/real/$path" "$folder/copy-$n-$(basename "$path").dup"
  n=$((n + 1))
done <"$LIST.planted"

# 3. Hard links to every 997th real file, so that tools that treat links specially show it.
mkdir -p "$DIR/hardlinks"
n=0
awk 'NR % 997 == 0' "$LIST.real" | while IFS= read -r path; do
  ln "$DIR/real/$path" "$DIR/hardlinks/link-$n"
  n=$((n + 1))
done

# 4. Large files from a seeded generator: each with an exact copy, and near-copies that differ
#    only in the first byte or only in the last byte.
mkdir -p "$DIR/big/originals" "$DIR/big/copies/exact" "$DIR/big/copies/first-byte" \
  "$DIR/big/copies/last-byte"
python3 - "$DIR/big" "$BIG_BYTES" <<'PY'
import random, sys
folder, size = sys.argv[1], int(sys.argv[2])
def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
for seed, name in ((1, "alpha.bin"), (2, "beta.bin"), (3, "gamma.bin")):
    data = bytearray(random.Random(seed).randbytes(size))
    write(f"{folder}/originals/{name}", data)
    write(f"{folder}/copies/exact/{name}", data)
    if name != "alpha.bin":
        position = 0 if name == "beta.bin" else size - 1
        kind = "first-byte" if name == "beta.bin" else "last-byte"
        data[position] ^= 0xFF
        write(f"{folder}/copies/{kind}/{name}", data)
PY

# 5. A few hundred empty files in a few folders.
for i in $(seq 0 299); do
  mkdir -p "$DIR/empty/e$((i % 10))"
  : >"$DIR/empty/e$((i % 10))/empty-$i.txt"
done

# 6. A deep folder chain, with a copy of the same text every tenth level.
folder="$DIR/deep"
for level in $(seq -w 1 150); do
  folder="$folder/level-$level"
  mkdir -p "$folder"
  [ $((10#$level % 10)) -eq 0 ] && printf 'deep copy\n' >"$folder/deep-$level.txt"
done

files=$(find "$DIR" -type f | wc -l)
bytes=$(find "$DIR" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%.0f", s }')
echo "corpus $DIR: $files files, $bytes bytes ($(awk -v b="$bytes" 'BEGIN { printf "%.2f GiB", b / 2^30 }'))"
