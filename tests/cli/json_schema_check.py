#!/usr/bin/env python3
"""Runs parvex-cli --format json on temporary trees and validates every document it writes,
and the documented example, against the result schema. Also checks that the paths in a
document name the files found, byte for byte.

With WINDOW_SAMPLE, a program that runs a search in the main window, marks all but one file in
each group and saves the window's result, the document the window writes is checked too.

usage: json_schema_check.py PARVEX_CLI SCHEMA EXAMPLE [WINDOW_SAMPLE]
"""
import base64
import json
import os
import subprocess
import sys
import tempfile

import jsonschema


def path_bytes(item, key="path"):
    if key in item:
        return item[key].encode("utf-8")
    return base64.b64decode(item[key + "_b64"], validate=True)


def run(cli, args):
    done = subprocess.run([cli, "--format", "json", *args], capture_output=True, check=False)
    if done.returncode not in (0, 3):
        raise AssertionError(f"{args}: exit status {done.returncode}: {done.stderr!r}")
    return json.loads(done.stdout)


def make_tree(root):
    def write(relative, content):
        path = os.path.join(root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content)
        return path

    write(b"a.txt", b"same text\n")
    write(b"sub/b.txt", b"same text\n")
    os.link(os.path.join(root, b"a.txt"), os.path.join(root, b"sub/a-link.txt"))
    write(b"name-\xff\xfe.bin", b"same text\n")
    write(b"deep/one.dat", b"other\n")
    write(b"deep/two.dat", b"other\n")
    write(b"unique.txt", b"only one\n")
    os.utime(os.path.join(root, b"deep/one.dat"), ns=(1, 1_700_000_000_123_456_789))
    os.utime(os.path.join(root, b"deep/two.dat"), ns=(1, 1_700_000_000_123_456_789))


def main():
    cli, schema_path, example_path = sys.argv[1:4]
    window_sample = sys.argv[4] if len(sys.argv) > 4 else None
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    validator = validator_class(schema)
    failures = []

    def check(what, document):
        for error in validator.iter_errors(document):
            failures.append(f"{what}: {error.json_path}: {error.message}")

    with open(example_path, encoding="utf-8") as f:
        check("documented example", json.load(f))

    with tempfile.TemporaryDirectory() as temp:
        root = os.path.join(temp.encode(), b"tree") + b"/"
        make_tree(root)
        root_text = os.fsdecode(root)
        for args in (["--keys", "size,content"], ["--keys", "name"], ["--keys", "none"],
                     ["--min-size", "7", "--no-hidden", "--exclude", root_text + "deep"]):
            document = run(cli, [*args, root_text])
            check(" ".join(args), document)
            for group in document["groups"]:
                for file in group["files"]:
                    found = os.stat(path_bytes(file))
                    if (found.st_size, found.st_mtime_ns, found.st_dev, found.st_ino) != (
                            file["size"], file["mtime_ns"], file["dev"], file["ino"]):
                        failures.append(f"{args}: facts of {path_bytes(file)!r} differ")
                    for other in file["other_names"]:
                        if os.stat(path_bytes(other)).st_ino != file["ino"]:
                            failures.append(f"{args}: {path_bytes(other)!r} is another file")
        document = run(cli, ["--keys", "size,content", root_text])
        paths = sorted(path_bytes(f) for g in document["groups"] for f in g["files"])
        expected = sorted([root + b"a.txt", root + b"sub/b.txt", root + b"name-\xff\xfe.bin",
                           root + b"deep/one.dat", root + b"deep/two.dat"])
        if paths != expected:
            failures.append(f"paths {paths!r}, expected {expected!r}")

        if window_sample:
            saved = os.path.join(temp, "window.json")
            done = subprocess.run([window_sample, root_text, saved], capture_output=True,
                                  check=False)
            if done.returncode != 0:
                failures.append(f"window sample: exit status {done.returncode}: {done.stderr!r}")
            else:
                with open(saved, encoding="utf-8") as f:
                    window_document = json.load(f)
                check("window", window_document)
                marked = [f["marked"] for g in window_document["groups"] for f in g["files"]]
                if marked.count(True) != len(marked) - len(window_document["groups"]):
                    failures.append(f"window: marks {marked!r}, expected all but one per group")
                unmarked = document["groups"]
                for group in unmarked:
                    for file in group["files"]:
                        file["marked"] = False
                for group in window_document["groups"]:
                    for file in group["files"]:
                        file["marked"] = False
                if window_document["groups"] != unmarked:
                    failures.append("window: its groups differ from those of parvex-cli")

    for failure in failures:
        print(failure)
    print("ok" if not failures else f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
