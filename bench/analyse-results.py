#!/usr/bin/env python3
"""Reads the timings and outputs that compare.sh collected, prints the median table with ratios
to Parvex, and checks that every tool found the same sets of content-identical files."""

import os
import statistics
import sys


def read_groups(tool, path):
    """The groups a tool reported, each a list of path bytes."""
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


def agreement(parvex, peer):
    """Says whether the peer's groups are Parvex's, and if not, what explains the difference."""
    if peer == parvex:
        return True, "same groups"
    steps = [
        ("empty files", without_empty),
        ("hard links", by_inode),
        ("empty files and hard links", lambda g: by_inode(without_empty(g))),
    ]
    for what, normalise in steps:
        if normalise(peer) == normalise(parvex):
            empty = files_in(parvex - without_empty(parvex)) - files_in(peer - without_empty(peer))
            links = files_in(parvex) - files_in(peer) - empty
            details = []
            if "empty" in what:
                details.append(f"{empty:+d} empty files in Parvex's groups")
            if "hard" in what:
                details.append(f"{links:+d} hard-linked paths in Parvex's groups")
            return True, f"same after ignoring {what} ({', '.join(details)})"
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
