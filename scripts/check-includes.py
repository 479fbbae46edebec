#!/usr/bin/env python3
"""Keeps the includes under src/ pointing downwards, and Windows headers out of portable files.

Each folder sits on a level; a file may include its own folder and folders of lower levels only,
so no two folders depend on each other and the portable core never needs the Windows API. Prints
every violation as `path:line: message` and exits 1 if there is any.

    scripts/check-includes.py [project root]
"""

import pathlib
import re
import sys

LEVELS = {
    "res": 0,
    "base": 1,
    "net": 2,
    "controls": 2,
    "download": 3,
    "install": 3,
    "sysinfo": 3,
    "wallpaper": 3,
    "app": 4,
}
# Generated into the build tree from src/base/build_config.h.in, so it is included without a folder.
GENERATED = {"build_config.h": "base"}
CHECKED_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp", ".rc", ".h.in")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
STRING = re.compile(r'"(?:\\.|[^"\\])*"')


def is_portable(name):
    stem = name[: -len(".h.in")] if name.endswith(".h.in") else name.rsplit(".", 1)[0]
    return not name.endswith(".rc") and not stem.endswith(("_win", "_posix"))


def include_lines(path):
    """Yields (line number, quote, included path), skipping block comments."""
    in_comment = False
    text = path.read_text(encoding="utf-8", errors="replace")
    for number, line in enumerate(text.splitlines(), 1):
        if in_comment:
            end = line.find("*/")
            if end < 0:
                continue
            line = line[end + 2 :]
            in_comment = False
        match = INCLUDE.match(line)
        if match:
            yield number, match.group(1), match.group(2).strip()
        code = STRING.sub('""', line).split("//", 1)[0]
        start = code.rfind("/*")
        if start >= 0 and code.find("*/", start) < 0:
            in_comment = True


def check_file(path, rel, folder):
    problems = []
    level = LEVELS[folder]
    portable = is_portable(path.name)
    for number, quote, target in include_lines(path):
        where = f"{rel}:{number}"
        if portable and pathlib.PurePosixPath(target).name.endswith("_win.h"):
            problems.append(f"{where}: portable file includes the Windows header {target}")
        if quote != '"':
            continue
        if "/" in target:
            other = target.split("/", 1)[0]
        elif target in GENERATED:
            other = GENERATED[target]
        else:
            if not path.name.endswith(".rc"):
                problems.append(f'{where}: "{target}" has no folder; only .rc files include their siblings')
            continue
        if other not in LEVELS or other == folder:
            continue
        if LEVELS[other] == level:
            problems.append(f"{where}: {folder} may not include {other} ({target}): both are on level {level}")
        elif LEVELS[other] > level:
            problems.append(
                f"{where}: {folder} (level {level}) may not include {other} (level {LEVELS[other]}) ({target})"
            )
    return problems


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    src = root / "src"
    problems = []
    for path in sorted(src.rglob("*")):
        if not path.is_file() or not path.name.endswith(CHECKED_SUFFIXES):
            continue
        rel = path.relative_to(root).as_posix()
        parts = path.relative_to(src).parts
        if len(parts) < 2 or parts[0] not in LEVELS:
            problems.append(f"{rel}:1: {parts[0] if len(parts) > 1 else 'src'} is no known folder of src/; "
                            "give it a level in scripts/check-includes.py")
            continue
        problems.extend(check_file(path, rel, parts[0]))
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
