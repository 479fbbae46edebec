#!/usr/bin/env python3
"""Writes the generated part of the demo server's content into the given folder:
the catalog softdata/xp/config.txt in the ANSI code page of Chinese systems (GBK), as the program
reads it, and one real ZIP package per catalog name under softdata/xp/res/<kind>/. A few packages
are several megabytes so that the download progress can be watched. Quick when nothing changed."""
import json
import os
import random
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
KINDS = {"themes": "theme", "cursors": "cursor", "logons": "logon", "screensave": "screensave",
         "icon": "icon", "sound": "sound"}
LARGE = {"Aero Glass": 6, "Dinosaur": 4, "Chimes": 8, "Aquarium": 5, "水墨山水": 3}  # megabytes


def names_by_kind(catalog):
    for member, kind in KINDS.items():
        if member == "themes":
            for category in catalog["themes"]:
                for name in category["list"]:
                    yield kind, name.strip()
        else:
            for name in catalog[member]:
                yield kind, name.strip()


def write_package(path, kind, name):
    rng = random.Random(name)
    with zipfile.ZipFile(path + ".part", "w") as package:
        package.writestr("readme.txt", f"Lumaforge demo package\r\nkind: {kind}\r\nname: {name}\r\n")
        megabytes = LARGE.get(name, 0)
        if megabytes:
            # Random bytes do not compress, so the package keeps its size on the wire.
            package.writestr("payload.bin", rng.randbytes(megabytes * 1024 * 1024), zipfile.ZIP_STORED)
    os.replace(path + ".part", path)


def main():
    out = sys.argv[1]
    with open(os.path.join(HERE, "catalog.json"), encoding="utf-8") as f:
        text = f.read()
    catalog = json.loads(text)
    config = os.path.join(out, "softdata", "xp", "config.txt")
    os.makedirs(os.path.dirname(config), exist_ok=True)
    with open(config, "wb") as f:
        f.write(text.replace("\n", "\r\n").encode("gbk"))
    for kind, name in names_by_kind(catalog):
        if not name:
            continue
        folder = os.path.join(out, "softdata", "xp", "res", kind)
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name + ".zip")
        if not os.path.exists(path):
            write_package(path, kind, name)


if __name__ == "__main__":
    main()
