#!/usr/bin/env python3
"""Times `corvane-cli inspect browsers` on a system with a large /Applications:
thousands of bundles (each with a deep Contents folder that the search must
not enter), hundreds of folders of applications nested three levels, links
back up, and none of the four browsers installed, so that every search walks
everything it may. Prints the quickest of five runs against its budget and
exits 1 when the budget is missed.

    bench/application_search.py CORVANE_CLI [WORK_FOLDER]
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

BUDGET_SECONDS = 1.0
BUNDLES_AT_TOP = 3000
FOLDERS = 300
BUNDLES_PER_FOLDER = 10
FILES_PER_BUNDLE = 20


def bundle(path):
    resources = os.path.join(path, "Contents", "Resources", "English.lproj")
    os.makedirs(resources)
    with open(os.path.join(path, "Contents", "Info.plist"), "w") as info:
        info.write('<?xml version="1.0"?><plist version="1.0"><dict>'
                   "<key>CFBundleShortVersionString</key><string>1.0</string></dict></plist>")
    for i in range(FILES_PER_BUNDLE):
        open(os.path.join(resources, f"file{i}.nib"), "w").close()


def make_system(root):
    os.makedirs(os.path.join(root, "System/Library/CoreServices"))
    with open(os.path.join(root, "System/Library/CoreServices/SystemVersion.plist"), "w") as version:
        version.write('<?xml version="1.0"?><plist version="1.0"><dict>'
                      "<key>ProductVersion</key><string>10.6.8</string></dict></plist>")
    apps = os.path.join(root, "Applications")
    for i in range(BUNDLES_AT_TOP):
        bundle(os.path.join(apps, f"Tool {i}.app"))
    for i in range(FOLDERS):
        folder = os.path.join(apps, f"Suite {i}", "Extras", "More")
        for j in range(BUNDLES_PER_FOLDER):
            bundle(os.path.join(folder, f"Part {j}.app"))
        os.symlink("/Applications", os.path.join(apps, f"Suite {i}", "Back to Applications"))
    os.makedirs(os.path.join(apps, "Utilities"))


def none_installed(output):
    """Whether the answer names the four browsers, none of them installed."""
    try:
        browsers = json.loads(output)
    except ValueError:
        return False
    return isinstance(browsers, dict) and len(browsers) == 4 and all(v is None for v in browsers.values())


def main():
    cli = sys.argv[1]
    work = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="corvane-apps-")
    root = os.path.join(work, "large-applications")
    shutil.rmtree(root, ignore_errors=True)
    make_system(root)
    times = []
    for _ in range(5):
        start = time.perf_counter()
        result = subprocess.run([cli, "inspect", "browsers", "--root", root], capture_output=True, text=True)
        times.append(time.perf_counter() - start)
        if result.returncode != 0 or not none_installed(result.stdout):
            print(f"inspect browsers failed: {result.returncode} {result.stdout} {result.stderr}")
            return 1
    best = min(times)
    bundles = BUNDLES_AT_TOP + FOLDERS * BUNDLES_PER_FOLDER
    verdict = "PASS" if best <= BUDGET_SECONDS else "FAIL"
    print(f"inspect browsers, {bundles} bundles in {FOLDERS} nested folders: "
          f"{best:.3f} s (budget {BUDGET_SECONDS:.1f} s) {verdict}")
    if len(sys.argv) <= 2:
        shutil.rmtree(work, ignore_errors=True)
    return 0 if verdict == "PASS" else 1


if __name__ == "__main__":
    sys.exit(main())
