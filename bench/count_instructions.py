#!/usr/bin/env python3
"""Counts the instructions of one timed call of a reader benchmark at each of
its sizes, under callgrind, and writes them beside the times.

    count_instructions.py BENCH_BINARY RESULTS_DIR

Instruction counts do not depend on the machine's load or caches: when a
reader's time grows faster than its input but its instructions do not, the
step comes from memory (data outgrowing a cache, fresh pages) or from other
work on the machine, not from a super-linear algorithm: the growth verdict of
bench/report.py is on these counts. Every reader is counted at every size
the timed run measured (RESULTS_DIR/readers.json); callgrind runs a reader
some fifty times slower, so the two store readers take minutes. Writes
RESULTS_DIR/instructions.json: {benchmark: {size: instructions per call}}.
"""
import json
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from report import READERS, reader_times  # noqa: E402

# The benchmarks time exactly one call of measured() per iteration
# (bench/reader_benchmarks.cpp); callgrind counts inside it only.
TOGGLE = "--toggle-collect=*::measured<*"


def count(binary, name, size, folder):
    """Instructions of one call of measured() in benchmark name/size, or None."""
    out = Path(folder) / f"{name}-{size}.callgrind"
    run = subprocess.run(
        ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}", TOGGLE, binary,
         f"--benchmark_filter=^{name}/{size}$", "--benchmark_repetitions=1", "--benchmark_min_time=1e-9",
         "--benchmark_enable_random_interleaving=false", "--benchmark_format=json"],
        capture_output=True, text=True)
    if run.returncode != 0 or not out.exists():
        return None
    iterations = [b["iterations"] for b in json.loads(run.stdout)["benchmarks"] if "error_occurred" not in b]
    totals = re.search(r"^totals:\s*(\d+)", out.read_text(), re.MULTILINE)
    if not iterations or not totals:
        return None
    return int(totals.group(1)) / iterations[0]


def main():
    binary, results = sys.argv[1], Path(sys.argv[2])
    if not shutil.which("valgrind"):
        print("instruction counts skipped: valgrind is not installed (the growth budgets fail)")
        (results / "instructions.json").write_text("{}\n")
        return 0
    times = reader_times(results / "readers.json")
    counts = {}
    with tempfile.TemporaryDirectory() as folder:
        for name, _, _ in READERS:
            sizes = sorted(s for s, t in times.get(name, {}).items() if t is not None)
            if not sizes:
                continue
            print(f"counting the instructions of {name}", flush=True)
            counts[name] = {str(s): count(binary, name, s, folder) for s in sizes}
    (results / "instructions.json").write_text(json.dumps(counts, indent=1) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
