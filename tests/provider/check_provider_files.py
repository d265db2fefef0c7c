#!/usr/bin/env python3
"""Checks corvane-cli's provider commands against the independent reader and
writer in provider_file.py.

usage: check_provider_files.py CORVANE_CLI TESTDATA_DIR WORK_DIR
"""
import glob
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import provider_file  # noqa: E402

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*args):
    return subprocess.run(args, capture_output=True)


def fixtures_read_as_expected(cli, testdata):
    """Files made elsewhere give exactly the record their expectation names."""
    for idx in sorted(glob.glob(os.path.join(testdata, "provider", "*.idx"))):
        base = idx[:-len(".idx")]
        fixture = {}
        exec(open(base + ".py", encoding="utf-8").read(), fixture)
        check(provider_file.make(fixture["RECORDS"], fixture["FORMAT"]) == open(idx, "rb").read(),
              f"{idx} is not what {base}.py makes")
        shown = run(cli, "provider", "show", idx)
        check(shown.returncode == 0, f"provider show {idx}: exit {shown.returncode}")
        expected = json.load(open(base + ".expected.json", encoding="utf-8"))
        got = json.loads(shown.stdout or b"{}")
        check(list(got) == list(expected), f"{idx}: keys {list(got)}")
        for key in expected:
            check(got.get(key) == expected[key], f"{idx}: {key} is {got.get(key)!r}, expected {expected[key]!r}")


ROUND_TRIP_TEXT = """; written by the round-trip check
[Provider]
app_title=Quorvalin光 ①～⑳ Ⅰ～Ⅹ ＼ ~ \\ 髙
ruteip=192.0.2.1
http_access_url=http://www.example.jp/a=b?c=d

proxy_server=cache.example.jp:3128
""" + "x" * 480 + "\n"


def encoded_files_read_back(cli, work):
    """provider encode writes files the independent reader descrambles line for line."""
    source = os.path.join(work, "round-trip.txt")
    with open(source, "w", encoding="utf-8") as f:
        f.write(ROUND_TRIP_TEXT)
    expected = ROUND_TRIP_TEXT.rstrip("\n").split("\n")
    for fmt in ("1", "2"):
        out = os.path.join(work, f"round-trip-{fmt}.idx")
        made = run(cli, "provider", "encode", "--format", fmt, source, out)
        check(made.returncode == 0, f"encode --format {fmt}: {made.stderr!r}")
        data = open(out, "rb").read()
        check((data[:2] == b"\x02\x80") == (fmt == "2"), f"format {fmt} header")
        lines = [l.decode("cp932") for l in provider_file.lines(data)]
        check(lines == expected, f"format {fmt}: independent reader gave {lines!r}")
        shown = run(cli, "provider", "lines", out)
        check(shown.stdout.decode("utf-8").rstrip("\n").split("\n") == expected, f"format {fmt}: provider lines")


def bad_input_is_refused(cli, work):
    cases = {
        "emoji": ("app_title=ok\ntcp=DHCP 😀\n", "line 2"),
        "wave-dash": ("app_title=A\napp_title=B\napp_title=①〜⑳\n", "line 3"),
        "too-long": ("tcp=DHCP\n" + "y" * 510 + "\n", "line 2"),
    }
    for name, (text, where) in cases.items():
        source = os.path.join(work, name + ".txt")
        out = os.path.join(work, name + ".idx")
        with open(source, "w", encoding="utf-8") as f:
            f.write(text)
        made = run(cli, "provider", "encode", source, out)
        check(made.returncode != 0, f"{name}: accepted")
        check(where in made.stderr.decode(), f"{name}: message {made.stderr!r} does not name {where}")
        check(not os.path.exists(out), f"{name}: wrote {out}")
    # 510 bytes + CR LF is too long for format 2 (511) but fits format 1 (512).
    source = os.path.join(work, "too-long.txt")
    check(run(cli, "provider", "encode", "--format", "1", source, os.path.join(work, "f1.idx")).returncode == 0,
          "a 512-byte record is refused in format 1")
    missing = run(cli, "provider", "show", os.path.join(work, "no-such-file.idx"))
    check(missing.returncode == 1 and b"cannot open" in missing.stderr, f"missing file: {missing!r}")
    check(run(cli, "provider", "encode", "--format", "3", source, os.path.join(work, "x.idx")).returncode == 2,
          "format 3 is not a usage error")


def main(argv):
    cli, testdata, work = argv[1:4]
    os.makedirs(work, exist_ok=True)
    fixtures_read_as_expected(cli, testdata)
    encoded_files_read_back(cli, work)
    bad_input_is_refused(cli, work)
    for f in failures:
        print("FAIL:", f)
    print(f"provider files: {'ok' if not failures else 'failed'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
