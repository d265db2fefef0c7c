#!/usr/bin/env python3
"""Runs `corvane-cli check --json --details` on every captured system of the
test data, in both languages, and checks each report against the report
schema: valid, no "not found" placeholder left, the program's own version,
a time of now, and a cause and a sentence for every fault."""

import argparse
import datetime
import json
import os
import subprocess
import sys
import tempfile

from jsonschema import Draft202012Validator


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--bundle", required=True)
    parser.add_argument("--schema", required=True)
    parser.add_argument("--sysroots", required=True)
    args = parser.parse_args()

    with open(args.schema, encoding="utf-8") as f:
        schema = json.load(f)
    Draft202012Validator.check_schema(schema)
    validator = Draft202012Validator(schema)
    version = subprocess.run([args.cli, "--version"], capture_output=True, text=True, check=True).stdout.split()[-1]

    failures = []
    systems = sorted(d for d in os.listdir(args.sysroots) if os.path.isdir(os.path.join(args.sysroots, d)))
    if not systems:
        failures.append("no captured systems in " + args.sysroots)
    for system in systems:
        for language in ("en", "ja"):
            name = f"{system} ({language})"
            with tempfile.TemporaryDirectory() as temporary:
                before = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
                run = subprocess.run(
                    [args.cli, "check", "--root", os.path.join(args.sysroots, system), "--bundle", args.bundle,
                     "--no-pause", "--lang", language, "--repair", "no", "--json", "--details"],
                    capture_output=True, text=True, env=dict(os.environ, TMPDIR=temporary), timeout=120)
                after = datetime.datetime.now(datetime.timezone.utc)
            if run.returncode not in (0, 1):
                failures.append(f"{name}: exit status {run.returncode}: {run.stderr.strip()}")
                continue
            if "----------" in run.stdout:
                failures.append(f"{name}: the placeholder ---------- is in the report")
            report = json.loads(run.stdout)
            for error in validator.iter_errors(report):
                failures.append(f"{name}: {'/'.join(map(str, error.absolute_path))}: {error.message}")
            if report.get("version") != version:
                failures.append(f"{name}: version {report.get('version')!r}, the program says {version!r}")
            time = datetime.datetime.strptime(report.get("time", ""), "%Y-%m-%dT%H:%M:%SZ").replace(
                tzinfo=datetime.timezone.utc)
            if not before <= time <= after:
                failures.append(f"{name}: time {report['time']} is not the time of the run")
            if report.get("root") != os.path.join(args.sysroots, system):
                failures.append(f"{name}: root {report.get('root')!r}")
            faults = [row for row in report["rows"].values() if row["status"] in ("err", "syserr")]
            if (run.returncode == 1) != bool(faults):
                failures.append(f"{name}: exit status {run.returncode} with {len(faults)} faulty rows")
            for row_name, row in report["rows"].items():
                if row["status"] in ("err", "syserr") and not (row["cause"] and row["message"]):
                    failures.append(f"{name}: row {row_name} has a fault without a cause")
            line = report["rows"]["line"]
            if line["cause"] in ("lineRefused", "lineHttpStatus", "lineTimedOut", "lineNameNotFound", "lineTooLarge") and \
                    line["facts"]["address"] not in line["message"]:
                failures.append(f"{name}: the line's cause does not name the address tried")

    for failure in failures:
        print(failure)
    print(f"{len(systems)} systems checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
