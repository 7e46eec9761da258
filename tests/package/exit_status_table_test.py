#!/usr/bin/env python3
"""Checks that parvex-cli --help, its manual page and the README give the same exit-status
table: the same statuses in the same order, each with the same meaning, and the same order of
precedence.
   exit_status_table_test.py PROGRAM MAN_PAGE README"""
import re
import subprocess
import sys


def normalised(text):
    text = re.sub(r"\s+", " ", text).strip().lower()
    return text.rstrip(".")


def help_table(program):
    help_text = subprocess.run([program, "--help"], check=True, capture_output=True,
                               text=True).stdout
    section = help_text.split("Exit status", 1)[1]
    heading, body = section.split("\n", 1)
    rows = []
    for line in body.splitlines():
        row = re.match(r"^  (\d+|128\+N)\s+(.*)$", line)
        if row:
            rows.append([row.group(1), row.group(2)])
        elif line.startswith("   ") and rows:
            rows[-1][1] += " " + line.strip()
        else:
            break
    return heading, [(code, normalised(meaning)) for code, meaning in rows]


def roff_text(lines):
    words = []
    for line in lines:
        line = re.sub(r"\\f[BIRP]", "", line).replace("\\-", "-")
        if line.startswith("."):
            macro, _, rest = line.partition(" ")
            if macro in (".B", ".I", ".BI", ".IR", ".BR"):
                words.append(rest.replace(" ", "") if macro == ".BI" else rest)
            continue
        words.append(line)
    return " ".join(words)


def man_table(page):
    lines = open(page, encoding="utf-8").read().split(".SH EXIT STATUS\n", 1)[1]
    lines = lines.split("\n.SH ", 1)[0].splitlines()
    first_entry = lines.index(".TP")
    heading = roff_text(lines[:first_entry])
    rows = []
    entry = []
    for line in lines[first_entry:] + [".TP"]:
        if line == ".TP":
            if entry:
                rows.append((roff_text(entry[:1]), normalised(roff_text(entry[1:]))))
            entry = []
        else:
            entry.append(line)
    return heading, rows


def readme_table(readme):
    text = open(readme, encoding="utf-8").read()
    heading = re.search(r"when several apply, [^)]*", text).group(0)
    rows = re.findall(r"^\s*\| (\d+|128\+N) \| (.*?) \|$", text, re.M)
    return heading, [(code, normalised(meaning)) for code, meaning in rows]


def precedence(heading):
    found = re.search(r"the first of (.*?) (is|are)? ?given", normalised(heading))
    return re.findall(r"\d+\+n|\d+", found.group(1)) if found else None


def main():
    program, page, readme = sys.argv[1:4]
    tables = {"--help": help_table(program), page: man_table(page), readme: readme_table(readme)}
    reference_heading, reference_rows = tables["--help"]
    if not reference_rows:
        print("no exit status found in --help", file=sys.stderr)
        return 1
    failed = False
    for where, (heading, rows) in tables.items():
        if rows != reference_rows:
            print(f"{where} gives the exit statuses\n  {rows}\nwhere --help gives\n"
                  f"  {reference_rows}", file=sys.stderr)
            failed = True
        if precedence(heading) != precedence(reference_heading):
            print(f"{where} gives the precedence {precedence(heading)} where --help gives "
                  f"{precedence(reference_heading)}", file=sys.stderr)
            failed = True
    return 1 if failed else 0


sys.exit(main())
