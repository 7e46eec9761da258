#!/usr/bin/env python3
"""Runs parvex-cli with each action, in a dry run and for real, on a temporary tree holding a
name that is not UTF-8, and validates every document it writes against the actions schema.

usage: actions_schema_check.py PARVEX_CLI SCHEMA
"""
import json
import os
import subprocess
import sys
import tempfile

import jsonschema


def main():
    cli, schema_path = sys.argv[1:3]
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    validator = validator_class(schema)
    with tempfile.TemporaryDirectory() as base:
        base = base.encode()
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(base, b"config").decode(),
                   XDG_DATA_HOME=os.path.join(base, b"data").decode())
        into = os.path.join(base, b"into")
        os.makedirs(into)
        runs = [(action, dry_run) for dry_run in (["--dry-run"], [])
                for action in (["--link"], ["--move-to", into], ["--trash"], ["--dedupe"])]
        for number, (action, dry_run) in enumerate(runs):
                root = os.path.join(base, b"tree%d" % number)
                os.makedirs(os.path.join(root, b"sub"), exist_ok=True)
                for name in (b"a.txt", b"sub/name-\xff.txt", b"sub/c.txt"):
                    with open(os.path.join(root, name), "wb") as f:
                        f.write(b"same bytes\n")
                args = [cli, "--format", "json", *action, *dry_run, "--protect",
                        os.path.join(base, b"none"), root]
                done = subprocess.run(args, capture_output=True, env=env, check=False)
                # Where the temporary folder's file system cannot share, --dedupe skips (3).
                allowed = (0, 3) if action == ["--dedupe"] else (0,)
                if done.returncode not in allowed:
                    raise AssertionError(f"{args}: exit status {done.returncode}: {done.stderr!r}")
                document = json.loads(done.stdout)
                errors = list(validator.iter_errors(document))
                if errors:
                    raise AssertionError(f"{args}: {errors[0].message} in {document}")
                if len(document["entries"]) != 2:
                    raise AssertionError(f"{args}: two entries expected in {document}")
    print("every actions document matches the schema")


if __name__ == "__main__":
    main()
