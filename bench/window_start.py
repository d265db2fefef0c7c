#!/usr/bin/env python3
"""Times the window's start (under a display, e.g. xvfb-run): from the moment
the program is started until its main window is first painted, for the
window and for a bare Qt widget program, alternately, keeping the quickest
of each. Then the window's peak resident memory over a whole run: start
pressed, the repair offer declined, the line check's download.

window_start.py BENCH_WINDOW ROOT BUNDLE OUT_JSON
"""
import json
import re
import subprocess
import sys
import time

ROUNDS = 5


def first_paint(command):
    start = time.time_ns()
    out = subprocess.run(command, capture_output=True, text=True, timeout=60, check=True).stdout
    return (int(out.split()[0]) - start) / 1e9


def main():
    bench_window, root, bundle, out_json = sys.argv[1:5]
    window = [bench_window, "--root", root, "--bundle", bundle]
    empty = [bench_window, "--empty"]
    first_paint(empty)  # the first start of all reads the libraries from disk
    windows, empties = [], []
    for _ in range(ROUNDS):
        empties.append(first_paint(empty))
        windows.append(first_paint(window))
    timed = subprocess.run(["/usr/bin/time", "-v"] + window + ["--run"], capture_output=True, text=True, timeout=300)
    kb = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", timed.stderr).group(1))
    result = {"window": min(windows), "empty": min(empties), "maxResidentKB": kb,
              "runOk": timed.returncode == 0}
    with open(out_json, "w") as f:
        json.dump(result, f)
    print(json.dumps(result))


if __name__ == "__main__":
    main()
