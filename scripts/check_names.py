#!/usr/bin/env python3
"""Checks the names of the tree's folders and files against the naming rule
of docs/architecture.md, as far as a machine can tell them:

- every folder below tests/ mirrors a source folder of the tree
  (tests/provider/request/cache mirrors provider/request/cache), except
  tests/support/, tests/e2e/, tests/windows/ and tests/scripts/ with what
  they hold;
- folder names are lower case, except a seed corpus fuzz/corpus/<Target>Fuzzer/,
  named after its fuzz target fuzz/<Target>Fuzzer.cpp, which must exist;
- C++ files are PascalCase, Python scripts snake_case, shell scripts lower case
  words joined by "_" or "-";
- a test file (*Test.cpp, *_test.py) lies below tests/.

The OS variants need no check of their own: a piece both systems have has
the same name in posix/ and win32/, a piece only one system needs sits in
that system's folder alone, and either is a plain file name to the check.
vendor/, the build trees (build*/), .git and Python's __pycache__ folders
hold no names of the project and are never scanned.

    check_names.py [ROOT]     exit 0 when every name follows the rule
"""
import os
import posixpath
import re
import sys

CXX_SUFFIXES = (".cpp", ".cc", ".cxx", ".h", ".hh", ".hpp", ".hxx")
UNMIRRORED_TEST_FOLDERS = ("tests/support", "tests/e2e", "tests/windows", "tests/scripts")
FUZZ_CORPORA = "fuzz/corpus"

PASCAL_CASE = re.compile(r"[A-Z][A-Za-z0-9]*\Z")
SNAKE_CASE = re.compile(r"[a-z][a-z0-9_]*\Z")
# Shell scripts are lower case words joined by "_" or "-"; Python modules
# must be importable, so snake_case only.
SCRIPT_NAMES = {".py": SNAKE_CASE, ".sh": re.compile(r"[a-z][a-z0-9_-]*\Z")}
FUZZ_TARGET = re.compile(r"[A-Z][A-Za-z0-9]*Fuzzer\Z")
TEST_FILE = re.compile(r".+(?:Test\.cpp|_test\.py)\Z")


def skipped(parent, name):
    """Whether a folder holds none of the project's names."""
    if name in (".git", "__pycache__"):
        return True
    return parent == "" and (name == "vendor" or name.startswith("build"))


def scan(root):
    """The root-relative paths of the tree's folders and files, in a steady order."""
    folders, files = [], []
    for directory, subfolders, names in os.walk(root):
        parent = os.path.relpath(directory, root).replace(os.sep, "/")
        parent = "" if parent == "." else parent
        subfolders[:] = sorted(name for name in subfolders if not skipped(parent, name))
        folders += [posixpath.join(parent, name) for name in subfolders]
        files += [posixpath.join(parent, name) for name in sorted(names)]
    return folders, files


def below(path, folder):
    return path == folder or path.startswith(folder + "/")


def mirror_findings(folders):
    """Test folders that mirror no source folder."""
    existing = set(folders)
    for folder in folders:
        if not folder.startswith("tests/"):
            continue
        if any(below(folder, unmirrored) for unmirrored in UNMIRRORED_TEST_FOLDERS):
            continue
        source = folder.removeprefix("tests/")
        if source not in existing:
            yield f"{folder}: a test folder that mirrors no source folder ({source}/ does not exist)"


def folder_case_findings(folders, files):
    """Folders whose names are not lower case, and seed corpora without their fuzz target."""
    for folder in folders:
        parent, name = posixpath.split(folder)
        if parent == FUZZ_CORPORA:
            if not FUZZ_TARGET.match(name):
                yield f"{folder}: a seed corpus not named after a fuzz target (<Target>Fuzzer)"
            elif f"fuzz/{name}.cpp" not in files:
                yield f"{folder}: a seed corpus without its fuzz target (fuzz/{name}.cpp does not exist)"
        elif name != name.lower():
            yield f"{folder}: a folder whose name is not lower case"


def file_findings(files):
    """C++ files not in PascalCase, scripts not in lower case, test files outside tests/."""
    for path in files:
        stem, suffix = posixpath.splitext(posixpath.basename(path))
        if suffix in CXX_SUFFIXES and not PASCAL_CASE.match(stem):
            yield f"{path}: a C++ file whose name is not PascalCase"
        elif suffix in SCRIPT_NAMES and not SCRIPT_NAMES[suffix].match(stem):
            yield f"{path}: a script whose name is not lower case"
        if TEST_FILE.match(posixpath.basename(path)) and not below(path, "tests"):
            yield f"{path}: a test file outside tests/"


def findings(root):
    folders, files = scan(root)
    yield from mirror_findings(folders)
    yield from folder_case_findings(folders, set(files))
    yield from file_findings(files)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    found = list(findings(os.path.abspath(root)))
    for line in found:
        print(line)
    print(f"names: {len(found)} name(s) against the rule")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
