#!/usr/bin/env python3
"""Reads what scripts/bench measured and prints one table: each figure, its
ratio or growth, the budget beside it and PASS or FAIL. Exits 1 when a
budget is missed.

Times of the readers are CPU times (the quickest of the repetitions, which
run with those of every other size in a shuffled order): on a shared, busy
machine they are disturbed far less than wall times. A doubling of the input
may at most double the work. The verdict on a reader's growth is on its
instructions (bench/count_instructions.py, callgrind), which neither the
machine's load nor its caches change; the growth of its time is shown beside
them as information only, since data that outgrows a cache can make the time
grow faster than the work. Time budgets are kept for ratios measured side by
side in one run (the store against python3's plistlib, the window against a
bare Qt widget) and for absolute figures.
"""
import json
import statistics
import sys
from pathlib import Path

GROWTH_LIMIT = 2.3
# The window's first paint against a bare Qt widget's, started alternately in
# one run: 0.25 s where a bare widget paints in 0.1 s. The times themselves
# follow the machine's load.
WINDOW_RATIO_LIMIT = 2.5

# benchmark name -> (what it is, unit of its argument)
READERS = [
    ("BM_StoreReadAndWalk", "store read and walked", "MB"),
    ("BM_GetNetwork", "getNetwork on the store", "MB"),
    ("BM_IfconfigParse", "ifconfig parsing", "interfaces"),
    ("BM_ResolverParse", "resolver output parsing", "MB"),
    ("BM_ProviderRead", "provider file reader", "MB"),
    ("BM_KeyedArchiveDecode", "keyed-archive decoder", "accounts"),
    ("BM_AccountsDatabaseLoad", "accounts database load", "rows"),
    ("BM_SharedArraysRefused", "binary list of shared arrays refused", "levels"),
    ("BM_XmlDictionaryRead", "XML dictionary read", "keys"),
]


def size_text(arg, unit):
    if unit == "MB":
        return f"{arg / 1048576:g} MB"
    return f"{arg:,} {unit}"


class Table:
    def __init__(self):
        self.rows = []
        self.failed = False

    def add(self, figure, value, budget, ok):
        verdict = "-" if ok is None else ("PASS" if ok else "FAIL")
        self.failed |= ok is False
        self.rows.append((figure, value, budget, verdict))

    def print(self):
        widths = [max(len(r[i]) for r in self.rows + [("Figure", "Measured", "Budget", "")]) for i in range(4)]
        line = lambda r: "  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip()
        print(line(("Figure", "Measured", "Budget", "")))
        print(line(tuple("-" * w for w in widths)))
        for r in self.rows:
            print(line(r))


def growth_of(figures):
    """The largest ratio of two neighbouring figures; None when one is missing."""
    if len(figures) < 2 or None in figures:
        return None
    return max(b / a for a, b in zip(figures, figures[1:]))


def reader_times(path):
    """{name: {arg: cpu ms}} from Google Benchmark's JSON, the 'min' rows."""
    times = {}
    for b in json.loads(Path(path).read_text())["benchmarks"]:
        if b.get("aggregate_name") != "min":
            continue
        name, arg = b["run_name"].split("/")[:2]
        if "error_occurred" in b:
            times.setdefault(name, {})[int(arg)] = None
            continue
        scale = {"ms": 1, "us": 1e-3, "ns": 1e-6, "s": 1e3}[b["time_unit"]]
        times.setdefault(name, {})[int(arg)] = b["cpu_time"] * scale
    return times


def repetitions(path):
    """How many repetitions the 'min' rows were taken from."""
    counts = {b["repetitions"] for b in json.loads(Path(path).read_text())["benchmarks"]
              if b.get("aggregate_name") == "min"}
    return "/".join(str(c) for c in sorted(counts)) or "?"


def steps(figures):
    """'xA, xB': the ratio of each size's figure to the one before."""
    return ", ".join(f"x{b / a:.2f}" for a, b in zip(figures, figures[1:]))


def main():
    results = Path(sys.argv[1])
    table = Table()
    times = reader_times(results / "readers.json")
    counted = results / "instructions.json"
    instructions = json.loads(counted.read_text()) if counted.exists() else {}

    for name, what, unit in READERS:
        sizes = sorted(times.get(name, {}))
        figures = [times[name][s] for s in sizes]
        if growth_of(figures) is None:
            table.add(what, "not measured (benchmark failed)", f"instructions per doubling <= x{GROWTH_LIMIT}", False)
            continue
        counts = [instructions.get(name, {}).get(str(s)) for s in sizes]
        growth = growth_of(counts)
        shown = ", ".join(f"{size_text(s, unit)} {t:.2f} ms" for s, t in zip(sizes, figures))
        if growth is None:
            table.add(f"{what}: {shown}; time {steps(figures)} (not judged)", "instructions not counted",
                      f"<= x{GROWTH_LIMIT}", False)
            continue
        table.add(f"{what}: {shown}; time {steps(figures)} (not judged)",
                  f"instructions {steps(counts)}", f"<= x{GROWTH_LIMIT}", growth <= GROWTH_LIMIT)

    python = [json.loads(line) for line in (results / "plistlib.jsonl").read_text().splitlines() if line]
    python_ms = min(p["seconds"] for p in python) * 1000
    ours = times.get("BM_StoreReadAndWalk", {}).get(10 * 1048576)
    if ours is None:
        table.add("10 MB store vs python3 plistlib", "not measured", "<= 0.5", False)
    else:
        ratio = ours / python_ms
        table.add(f"10 MB store read+walk: {ours:.0f} ms, plistlib {python_ms:.0f} ms (Python {python[0]['python']})",
                  f"ratio {ratio:.2f}", "<= 0.50", ratio <= 0.5)

    for name in sorted(p.name for p in results.glob("check-*")):
        folder = results / name
        runs = [json.loads(p.read_text())["timings"] for p in sorted(folder.glob("run-*.json"))]
        if not runs:
            table.add(f"check own share ({name[6:]})", "not measured", "<= 10 %", False)
            continue
        share = statistics.median(r["ownShare"] for r in runs)
        run = min(runs, key=lambda r: abs(r["ownShare"] - share))
        table.add(f"check --no-pause own share ({name[6:]}): own {run['own'] * 1000:.1f} ms of {run['total'] * 1000:.0f} ms"
                  f" (tools {run['toolRunsTotal'] * 1000:.0f} ms, download {run['download'] * 1000:.0f} ms),"
                  f" median of {len(runs)}", f"{share * 100:.1f} %", "<= 10 %", share <= 0.10)
        memory = json.loads((folder / "memory.json").read_text())
        peak_mb = memory["maxResidentKB"] / 1024
        store_mb = memory["storeBytes"] / 1048576
        table.add(f"check peak resident ({name[6:]}), less the store's {store_mb:.2f} MB",
                  f"{peak_mb - store_mb:.1f} MB", "<= 10 MB" if memory["budget"] else "(shown only)",
                  (peak_mb - store_mb <= 10) if memory["budget"] else None)

    window = results / "window.json"
    if window.exists():
        w = json.loads(window.read_text())
        ratio = w["window"] / w["empty"]
        table.add(f"window start to first paint (demo): {w['window']:.3f} s, bare Qt widget {w['empty'] * 1000:.0f} ms"
                  " (times not judged)", f"ratio x{ratio:.2f}", f"<= x{WINDOW_RATIO_LIMIT}", ratio <= WINDOW_RATIO_LIMIT)
        table.add("window peak resident, whole run (start, repair declined, line check)",
                  f"{w['maxResidentKB'] / 1024:.1f} MB", "<= 60 MB", w["maxResidentKB"] / 1024 <= 60)
    else:
        table.add("window start to first paint", "not measured (the window is not on main yet)",
                  f"<= x{WINDOW_RATIO_LIMIT}", None)
        table.add("window peak resident", "not measured (the window is not on main yet)", "<= 60 MB", None)

    table.print()
    print()
    print(f"Reader times: CPU time, quickest of {repetitions(results / 'readers.json')} repetitions, run shuffled with"
          " every other size's, each reader in a process of its own.")
    print(f"Growth (judged): callgrind's count of the instructions of one call at each size, each size twice the one")
    print(f"before; the largest step may be x{GROWTH_LIMIT} (x2.0 is linear). The time's steps are shown beside it"
          " and not judged:")
    print("they also grow when the data outgrows a cache or the machine is busy.")
    print("Own share: the sequence's wall time less its pauses, dialogs, tool runs and test download.")
    print("ALL BUDGETS MET" if not table.failed else "SOME BUDGETS MISSED")
    return 1 if table.failed else 0


if __name__ == "__main__":
    sys.exit(main())
