#!/usr/bin/env python3
"""Makes the fuzz targets' seed corpora (fuzz/corpus/<target>/) from the
captured systems under testdata/sysroots and the project's own resources.

Run from anywhere: python3 fuzz/make_corpus.py. Existing seeds of the same
name are overwritten; found inputs added by hand (regressions) are kept."""

import glob
import os
import plistlib
import sqlite3
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SYSROOTS = os.path.join(ROOT, "testdata", "sysroots")
CORPUS = os.path.join(ROOT, "fuzz", "corpus")


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data if isinstance(data, bytes) else data.encode())


def system_of(path):
    return os.path.relpath(path, SYSROOTS).split(os.sep)[0]


def recorded(tool):
    """What a captured tool prints."""
    return subprocess.run(["sh", tool], capture_output=True, check=False).stdout


def keyed_archive(value):
    """A binary keyed archive of a value, as the system writes one."""
    objects = ["$null"]

    def add(item):
        if isinstance(item, dict):
            entry = {"NS.keys": [], "NS.objects": [], "$class": None}
            objects.append(entry)
            at = len(objects) - 1
            entry["NS.keys"] = [add(k) for k in item]
            entry["NS.objects"] = [add(v) for v in item.values()]
            entry["$class"] = add_class("NSDictionary")
            return plistlib.UID(at)
        if isinstance(item, list):
            entry = {"NS.objects": [], "$class": None}
            objects.append(entry)
            at = len(objects) - 1
            entry["NS.objects"] = [add(v) for v in item]
            entry["$class"] = add_class("NSArray")
            return plistlib.UID(at)
        objects.append(item)
        return plistlib.UID(len(objects) - 1)

    def add_class(name):
        objects.append({"$classname": name, "$classes": [name, "NSObject"]})
        return plistlib.UID(len(objects) - 1)

    root = add(value)
    archive = {"$version": 100000, "$archiver": "NSKeyedArchiver", "$top": {"root": root}, "$objects": objects}
    return plistlib.dumps(archive, fmt=plistlib.FMT_BINARY)


def sql_keyed_archive(fragment):
    xml = '<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0">' + (fragment or "") + "</plist>\n"
    return keyed_archive(plistlib.loads(xml.encode()))


def main():
    for tool, target in (("sbin/ifconfig", "ifconfig_output"), ("bin/ps", "ps_output"),
                         ("usr/bin/nslookup", "resolver_output"), ("usr/bin/dig", "resolver_output"),
                         ("usr/sbin/system_profiler", "system_profile")):
        for path in sorted(glob.glob(os.path.join(SYSROOTS, "*", tool))):
            put(target, system_of(path) + "-" + os.path.basename(tool), recorded(path))

    stores = sorted(glob.glob(os.path.join(SYSROOTS, "*", "**", "preferences.*"), recursive=True))
    for path in stores:
        data = open(path, "rb").read()
        put("property_list", system_of(path) + "-" + os.path.basename(path), data)
        # The store target's first byte picks the OS version: 0 10.2, 1 10.3, 2 10.4, 3 10.6, 4 10.12.
        version = system_of(path).split("-")[1]
        pick = {"10.2": 0, "10.3": 1, "10.4": 2, "10.6": 3, "10.12": 4}.get(".".join(version.split(".")[:2]), 2)
        put("network_store", system_of(path), bytes([pick]) + data)
    for pattern in ("NetworkInterfaces.*", "SystemVersion.plist", "Info.plist", "com.apple.mail.plist"):
        for path in sorted(glob.glob(os.path.join(SYSROOTS, "*", "**", pattern), recursive=True))[:4]:
            put("property_list", system_of(path) + "-" + os.path.basename(path), open(path, "rb").read())

    for path in sorted(glob.glob(os.path.join(ROOT, "testdata", "provider", "*.idx"))):
        put("provider_file", os.path.basename(path), open(path, "rb").read())

    for path in sorted(glob.glob(os.path.join(ROOT, "resources", "*.lproj", "Localizable.strings"))):
        data = open(path, "rb").read()
        language = os.path.basename(os.path.dirname(path))
        put("localized_strings", language + "-utf8.strings", data)
        put("localized_strings", language + "-utf16.strings", data.decode("utf-8").encode("utf-16"))

    put("keyed_archive", "string", keyed_archive("pop.example.jp"))
    put("keyed_archive", "list", keyed_archive(["a", 1, True, 2.5, b"\x00\x01"]))
    put("keyed_archive", "dictionary", keyed_archive({"Hostname": "smtp.example.jp", "Port": 587,
                                                      "Nested": {"List": ["x", "y"]}}))

    for path in sorted(glob.glob(os.path.join(SYSROOTS, "*", "**", "*.sqlite.sql"), recursive=True)):
        database = os.path.join(CORPUS, "accounts_database", system_of(path) + "-" + os.path.basename(path)[:-4])
        os.makedirs(os.path.dirname(database), exist_ok=True)
        if os.path.exists(database):
            os.remove(database)
        connection = sqlite3.connect(database)
        connection.create_function("keyed_archive", 1, sql_keyed_archive, deterministic=True)
        connection.executescript(open(path).read())
        connection.commit()
        connection.execute("VACUUM")
        connection.close()
        blobs = sqlite3.connect(database).execute(
            "SELECT ZVALUE FROM ZACCOUNTPROPERTY WHERE typeof(ZVALUE) = 'blob' LIMIT 3").fetchall()
        for number, (blob,) in enumerate(blobs):
            put("keyed_archive", "%s-%d" % (system_of(path), number), blob)


if __name__ == "__main__":
    main()
