#!/usr/bin/env python3
"""Times Python's plistlib reading and walking a store file, the familiar
alternative to the program's own store reader.

Prints one JSON object: the quickest of the repetitions in CPU seconds (the
benchmarks report CPU time too, which a shared, busy machine disturbs least)
and the number of keys and values walked, which must equal the benchmark's.
"""
import json
import plistlib
import sys
import time


def walk(value):
    # The same count as the benchmark's walk: every value, plus every key.
    if isinstance(value, dict):
        return 1 + sum(1 + walk(child) for child in value.values())
    if isinstance(value, list):
        return 1 + sum(walk(child) for child in value)
    return 1


def main():
    path = sys.argv[1]
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    best = None
    nodes = 0
    for _ in range(repetitions):
        start = time.process_time()
        with open(path, "rb") as f:
            store = plistlib.load(f)
        nodes = walk(store)
        elapsed = time.process_time() - start
        best = elapsed if best is None else min(best, elapsed)
        del store
    print(json.dumps({"seconds": best, "nodes": nodes, "python": sys.version.split()[0]}))


if __name__ == "__main__":
    main()
