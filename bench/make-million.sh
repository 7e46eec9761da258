#!/usr/bin/env bash
# Builds a large, fully generated tree in DIR: by default 1,000,000 small files in 1,000 folders
# that form 300,000 groups of identical files (100,000 groups of four, 200,000 pairs) beside
# 200,000 files whose content is found once. Every copy of a group has the group's name, size,
# time and content, in folders of its own; the single files share sizes with the groups, so that
# a search by size and content has to read them. The same arguments give the same tree.
#   bench/make-million.sh /tmp/parvex-million
#   SCALE=10 bench/make-million.sh /tmp/parvex-small   # a tenth of everything: 100,000 files
#   SIZES=8 bench/make-million.sh /tmp/parvex-handful  # every file has one of 8 sizes (default
#                                                      # 4,096): huge sets of one size
set -euo pipefail

DIR=${1:?usage: make-million.sh DIR}
SCALE=${SCALE:-1}
SIZES=${SIZES:-4096}
MARKER=.parvex-million

. "$(dirname "$0")/generated-folder.sh"
prepare_generated_folder "$DIR" "$MARKER" make-million.sh
# A second empty folder names the shape, so that bench/compare.sh --shape knows the tree.
mkdir "$DIR/$MARKER-sizes-$SIZES-scale-$SCALE"

python3 - "$DIR" "$SCALE" "$SIZES" <<'PY'
import os, random, sys

root, scale, size_count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
FOLDERS = 1000
QUADS, PAIRS, SINGLES = 100_000 // scale, 200_000 // scale, 200_000 // scale
BASE_TIME = 1_700_000_000
rng = random.Random(20261208)
sizes = [1 + int(rng.paretovariate(1.2) * 200) % 65536 for _ in range(4096)][:size_count]

for f in range(FOLDERS):
    os.mkdir(f"{root}/d{f:03}")

def content(tag, size):
    # A header that names the file's content, then a filler that depends on it: contents of
    # equal size differ in their first bytes.
    head = f"{tag}\n".encode()
    filler = (tag.encode() + b" ") * (size // (len(tag) + 1) + 1)
    return (head + filler)[:size]

def write(path, data, mtime):
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
    try:
        os.write(fd, data)
    finally:
        os.close(fd)
    os.utime(path, ns=(mtime, mtime))

def plant(group, copies):
    size = sizes[group % len(sizes)]
    data = content(f"group {group}", size)
    mtime = (BASE_TIME + group * 61) * 1_000_000_000
    first = (group * 7) % FOLDERS
    for k in range(copies):
        folder = (first + k * (FOLDERS // copies)) % FOLDERS
        write(f"{root}/d{folder:03}/item-{group}.dat", data, mtime)

for group in range(QUADS):
    plant(group, 4)
for group in range(QUADS, QUADS + PAIRS):
    plant(group, 2)
for single in range(SINGLES):
    size = sizes[single % len(sizes)]
    write(f"{root}/d{single % FOLDERS:03}/single-{single}.dat", content(f"single {single}", size),
          (BASE_TIME + single * 59) * 1_000_000_000)
print(f"make-million.sh: {4 * QUADS + 2 * PAIRS + SINGLES} files, {QUADS + PAIRS} groups in {root}")
PY
