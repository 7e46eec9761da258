#!/usr/bin/env python3
"""Reads the timings and outputs that compare.sh collected, prints the median table with ratios
to Parvex, and checks that every tool found the same sets of content-identical files."""

import itertools
import json
import os
import statistics
import sys


def read_rmlint_groups(path):
    """rmlint's JSON lists the files of a group one after another; a group's files share a
    checksum, or, where it hashed nothing (hard links only), one inode."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        entries = [e for e in json.load(f) if e.get("type") == "duplicate_file"]
    groups, last_key = [], None
    for e in entries:
        key = e.get("checksum") or ("inode", e["disk_id"], e["inode"])
        if key != last_key or e.get("is_original"):
            groups.append([])
        groups[-1].append(os.fsencode(e["path"]))
        last_key = key
    return groups


def read_groups(tool, path):
    """The groups a tool reported, each a list of path bytes."""
    if tool == "rmlint":
        return read_rmlint_groups(path)
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")
    groups = []
    if tool == "parvex":  # a group's head name, then its members after a TAB
        for line in lines:
            if line.startswith(b"\t"):
                groups[-1].append(line[1:])
            elif line:
                groups.append([])
    elif tool == "rdfind":  # "duptype id depth size device inode priority name"; |id| is the group
        by_id = {}
        for line in lines:
            if line and not line.startswith(b"#"):
                fields = line.split(b" ", 7)
                by_id.setdefault(abs(int(fields[1])), []).append(fields[7])
        groups = list(by_id.values())
    else:  # fdupes format: one path per line, a blank line after each group
        current = []
        for line in lines:
            if line:
                current.append(line)
            elif current:
                groups.append(current)
                current = []
        if current:
            groups.append(current)
    return groups


def canonical(groups):
    return {frozenset(g) for g in groups if len(set(g)) > 1}


def identity(path):
    """(device, inode) of a path; a path that names no file (a tool mangled it) stays itself."""
    try:
        s = os.stat(path)
        return (s.st_dev, s.st_ino)
    except OSError:
        return path


def size_of(path):
    try:
        return os.stat(path).st_size
    except OSError:
        return -1


def without_empty(groups):
    return {g for g in groups if size_of(next(iter(g))) != 0}


def by_inode(groups):
    """Groups as sets of distinct files (device, inode): hard links collapse into one."""
    result = set()
    for g in groups:
        inodes = frozenset(map(identity, g))
        if len(inodes) > 1:
            result.add(inodes)
    return result


def ratio(value, base):
    return f"{value / base:.2f}" if base > 0 else "n/a"


def files_in(groups):
    return sum(len(g) for g in groups)


def up_to_length(limit):
    """Drops every path longer than limit bytes and every path that names no file."""
    def normalise(groups):
        kept = (frozenset(p for p in g if len(p) <= limit and identity(p) != p) for g in groups)
        return {g for g in kept if len(g) > 1}
    return normalise


def agreement(parvex, peer):
    """Says whether the peer's groups are Parvex's, and if not, which of the known differences
    between the tools explains it: empty files, hard links, or long paths the peer lost."""
    if peer == parvex:
        return True, "same groups"
    longest = max((len(p) for g in peer for p in g if identity(p) != p), default=0)
    normalisers = [  # applied in this order: the path-based ones before the inode-based one
        (f"paths longer than {longest} bytes", up_to_length(longest)),
        ("empty files", without_empty),
        ("hard links", by_inode),
    ]
    for count in range(1, len(normalisers) + 1):
        for chosen in itertools.combinations(normalisers, count):
            def normalise(groups):
                for _, step in chosen:
                    groups = step(groups)
                return groups
            if normalise(peer) != normalise(parvex):
                continue
            details = []
            for what, step in chosen:
                ours = files_in(parvex) - files_in(step(parvex))
                theirs = files_in(peer) - files_in(step(peer))
                details.append(f"{what}: {ours} in Parvex's groups, {theirs} in its own")
            return True, "same after ignoring " + "; ".join(details)
    missing = {p for g in peer for p in g if identity(p) == p}
    if missing:
        return False, f"DIFFERENT groups; {len(missing)} of its paths name no file"
    return False, "DIFFERENT groups"


def shown(group):
    """A few paths of a group, shortened to fit a line each."""
    paths = sorted(os.fsdecode(p) for p in group)
    text = [p if len(p) <= 100 else p[:45] + " ... " + p[-50:] for p in paths[:3]]
    return ", ".join(text) + (f" (+{len(paths) - 3} more)" if len(paths) > 3 else "")


def main():
    work, tools = sys.argv[1], sys.argv[2:]
    figures = {}
    for tool in tools:
        with open(os.path.join(work, tool + ".times")) as f:
            runs = [list(map(float, line.split())) for line in f if line.strip()]
        figures[tool] = (
            statistics.median(r[0] for r in runs),
            statistics.median(r[1] + r[2] for r in runs),
            statistics.median(r[3] for r in runs) / 1024,
            len(runs),
        )
    groups = {t: canonical(read_groups(t, os.path.join(work, t + ".out"))) for t in tools}
    base = figures["parvex"]
    print(f"Medians of {base[3]} runs; ratio = tool / Parvex (above 1: Parvex is better)")
    print()
    print("| tool | wall s | CPU s | peak RSS MiB | wall ratio | CPU ratio | RSS ratio "
          "| groups | files in groups |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|---:|")
    for tool in tools:
        wall, cpu, rss, _ = figures[tool]
        print(f"| {tool} | {wall:.2f} | {cpu:.2f} | {rss:.1f} | {ratio(wall, base[0])} "
              f"| {ratio(cpu, base[1])} | {ratio(rss, base[2])} | {len(groups[tool])} "
              f"| {files_in(groups[tool])} |")
    print()
    print("Content-identical files compared with Parvex's:")
    all_agree = True
    for tool in tools[1:]:
        agrees, text = agreement(groups["parvex"], groups[tool])
        all_agree &= agrees
        print(f"  {tool}: {text}")
        if not agrees:
            for label, only in (("only Parvex", groups["parvex"] - groups[tool]),
                                ("only " + tool, groups[tool] - groups["parvex"])):
                for g in sorted(only, key=sorted)[:3]:
                    print(f"    {label}: {shown(g)}")
    return 0 if all_agree else 1


if __name__ == "__main__":
    sys.exit(main())
