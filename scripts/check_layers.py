#!/usr/bin/env python3
"""Checks that every #include of the project's own code goes down the layers.

The order is read from the ```layers block of docs/architecture.md: one line
per folder, "folder: folders below it that it may use". A folder may include
its own headers, those of the folders it names and, transitively, theirs.
The posix/ and win32/ folders belong to the folder that holds them.

    check_layers.py [ROOT]     exit 0 when every include is allowed
"""
import os
import re
import sys

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".c", ".rc", ".idl")
OS_FOLDERS = ("posix", "win32")
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*"([^"]+)"', re.MULTILINE)


def read_layers(root):
    text = open(os.path.join(root, "docs", "architecture.md"), encoding="utf-8").read()
    block = re.search(r"```layers\n(.*?)```", text, re.DOTALL)
    if not block:
        sys.exit("docs/architecture.md has no ```layers block")
    uses = {}
    for line in block.group(1).splitlines():
        line = line.split("#", 1)[0].strip()
        if line:
            folder, _, below = line.partition(":")
            uses[folder.strip()] = below.split()
    return uses


def allowed_closure(uses):
    allowed = {}

    def visit(folder, trail):
        if folder in allowed:
            return allowed[folder]
        if folder in trail:
            sys.exit("the layers form a cycle: " + " -> ".join(trail + [folder]))
        if folder not in uses:
            sys.exit(f"the layers name an unknown folder: {folder}")
        reach = {folder}
        for below in uses[folder]:
            reach |= visit(below, trail + [folder])
        allowed[folder] = reach
        return reach

    for folder in uses:
        visit(folder, [])
    return allowed


def owning_folder(path):
    parts = os.path.dirname(path).split("/")
    while parts and parts[-1] in OS_FOLDERS:
        parts.pop()
    return "/".join(parts)


def violations(root, uses):
    allowed = allowed_closure(uses)
    project = {folder.split("/")[0] for folder in uses} | {"tests", "bench", "deploy"}
    found = []
    for top in sorted({folder.split("/")[0] for folder in uses}):
        for directory, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.relpath(os.path.join(directory, name), root).replace(os.sep, "/")
                owner = owning_folder(path)
                if owner not in uses:
                    found.append(f"{path}: folder {owner} has no place in the layers")
                    continue
                text = open(os.path.join(root, path), encoding="utf-8", errors="replace").read()
                for line_number, include in includes_of(text):
                    target = owning_folder(include)
                    if include.split("/")[0] in project and target not in allowed[owner]:
                        found.append(f"{path}:{line_number}: {owner} may not include {include}")
    return found


def includes_of(text):
    for match in INCLUDE.finditer(text):
        yield text.count("\n", 0, match.start()) + 1, match.group(1)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    found = violations(root, read_layers(root))
    for line in found:
        print(line)
    print(f"layers: {len(found)} include(s) against the documented order")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
