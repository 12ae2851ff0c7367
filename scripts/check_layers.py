#!/usr/bin/env python3
"""Checks that every #include of the project's own code goes down the layers.

The order is read from the ```layers block of docs/architecture.md: one line
per folder, "folder: folders below it that it may use". A folder may include
its own headers, those of the folders it names and, transitively, theirs.
A folder named in the block is a layer of its own, also below another named
one (provider/request/cache). A folder that is not named belongs to the
nearest named folder above it only if it is posix/ or win32/; any other
source file lies in a folder that has no place in the layers.

tests/, fuzz/ and bench/ are outside the layers: their files may include any
file of the project. No layer may include anything that is not in a layer it
may use: not tests/, fuzz/, bench/, deploy/ or scripts/ either. vendor/ and
the build trees (build*/) are not the project's code and are never scanned.

Every include is resolved as the compiler resolves it, whatever its spelling:
"..." in the including file's own folder first, then in the include folders;
<...> in the include folders only; "." and ".." normalised. The include
folders are the tree's root (every library's include directory) and tests/
(the test programs add it, and a header is compiled with the include folders
of whoever includes it). An include folder in a build tree (provider/module
adds its own, for the generated type library) holds no code of the project.
An include that does not reach a file of the project is a system or
dependency header and is left alone.

Scanned are every file with a C/C++ suffix in SOURCE_SUFFIXES and, whatever
its name, every file an include reaches. Line continuations are joined and
comments dropped before directives are read; string literals are skipped.
#include, #include_next and #import (also spelled %:) are read; a directive
inside #if 0 counts as a real one. A directive whose operand is not a "..."
or <...> literal (a macro, for instance) is refused anywhere in the tree, as
the check cannot tell what file it names. A linked folder is refused, as the
scan does not follow it.

    check_layers.py [ROOT]     exit 0 when every include is allowed
"""
import bisect
import os
import posixpath
import re
import sys

SOURCE_SUFFIXES = (
    ".c", ".cc", ".cp", ".cpp", ".cxx", ".c++", ".cppm", ".ixx", ".m", ".mm",
    ".h", ".hh", ".hp", ".hpp", ".hxx", ".h++", ".inl", ".ipp", ".tpp", ".tcc",
    ".txx", ".inc", ".rc", ".idl",
)
OS_FOLDERS = ("posix", "win32")
OUTSIDE = ("tests", "fuzz", "bench")
INCLUDE_FOLDERS = ("", "tests")

SPLICE = re.compile(r"\\[ \t]*\n")
TOKEN = re.compile(
    r"""//[^\n]*                                       # a line comment
      | /\*.*?(?:\*/|\Z)                               # a block comment
      | (?:u8|[uUL])?R"([^()\\\s]{0,16})\(.*?(?:\)\1"|\Z)   # a raw string
      | (?:u8|[uUL])?"(?:[^"\\\n]|\\.)*"?              # a string
      | (?:u8|[uUL])?'(?:[^'\\\n]|\\.)*'?              # a character
      | \.?\d(?:[eEpP][+-]|'?[\w.])*                   # a number, 1'000 too
      | \w+ | \n | / | [^\w\n"'/]+                     # anything else
    """,
    re.VERBOSE | re.DOTALL,
)
DIRECTIVE = re.compile(r"\s*(?:#|%:)\s*(include_next|include|import)\b\s*(.*)", re.DOTALL)
OPERAND = re.compile(r'"([^"]*)"|<([^>]*)>')


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


def os_free_folder(path):
    """The folder of a file, without the posix/ and win32/ folders that end it."""
    folder = posixpath.dirname(path)
    while posixpath.basename(folder) in OS_FOLDERS:
        folder = posixpath.dirname(folder)
    return folder


def owner_of(path, uses):
    """The layer a file belongs to, its folder in OUTSIDE, or None."""
    top = path.split("/")[0]
    if top in OUTSIDE:
        return top
    folder = posixpath.dirname(path)
    while folder not in uses and posixpath.basename(folder) in OS_FOLDERS:
        folder = posixpath.dirname(folder)
    return folder if folder in uses else None


def project_path(root, full):
    """The root-relative path of a file of the project, or None for a file
    outside it, in vendor/, in a build tree or in .git."""
    path = os.path.relpath(full, root).replace(os.sep, "/")
    parts = path.split("/")
    if parts[0] in ("..", "vendor") or parts[0].startswith("build") or ".git" in parts:
        return None
    return path


def source_files(root, found):
    """Every file with a C/C++ suffix in the tree, in a steady order."""
    for directory, folders, files in os.walk(root):
        kept = []
        for name in sorted(folders):
            path = project_path(root, os.path.join(directory, name))
            if path is not None and os.path.islink(os.path.join(directory, name)):
                found.append(f"{path}: a linked folder; the check does not follow links")
            elif path is not None:
                kept.append(name)
        folders[:] = kept
        for name in sorted(files):
            if name.lower().endswith(SOURCE_SUFFIXES):
                yield project_path(root, os.path.join(directory, name))


def joined_lines(text):
    """The text with its line continuations joined, and a function giving the
    line of the file on which an offset into the joined text lies."""
    pieces = SPLICE.split(text.replace("\r\n", "\n"))
    starts, offset = [], 0  # where each line of the file begins in the joined text
    for number, piece in enumerate(pieces):
        if number:
            starts.append(offset)
        starts.extend(offset + match.end() for match in re.finditer("\n", piece))
        offset += len(piece)
    return "".join(pieces), lambda at: bisect.bisect_right(starts, at) + 1


def logical_lines(text):
    """(line, text) of every line as the preprocessor reads it: continuations
    joined, each comment one space, literals whole even across lines."""
    code, line_of = joined_lines(text)
    start, parts = 0, []
    for match in TOKEN.finditer(code):
        token = match.group()
        if token == "\n":
            yield line_of(start), "".join(parts)
            start, parts = match.end(), []
        else:
            parts.append(" " if token.startswith(("//", "/*")) else token)
    yield line_of(start), "".join(parts)


def includes_of(text):
    """(line, directive, name, quoted) of every include directive; name is
    None when the operand is not a "..." or <...> literal."""
    for line, logical in logical_lines(text):
        directive = DIRECTIVE.match(logical)
        if directive:
            operand = OPERAND.match(directive.group(2))
            if not operand:
                yield line, directive.group(1), directive.group(2).strip(), None, False
            else:
                quoted = operand.group(1) is not None
                name = operand.group(1) if quoted else operand.group(2)
                yield line, directive.group(1), operand.group(0), name, quoted


def resolve(root, path, directive, name, quoted):
    """The project files an include reaches. The compiler takes the first file
    it finds; #include_next takes a later one, so for it all are returned."""
    folders = ([posixpath.dirname(path)] if quoted else []) + list(INCLUDE_FOLDERS)
    reached = []
    for folder in folders:
        full = os.path.normpath(os.path.join(root, folder, name.replace("\\", "/")))
        if os.path.isfile(full):
            reached.append(project_path(root, full))
            if directive != "include_next":
                break
    return [target for target in reached if target is not None]


def check_file(root, path, uses, allowed, found):
    """The findings of one file; returns the project files it includes."""
    owner = owner_of(path, uses)
    if owner is None:
        found.append(f"{path}: folder {os_free_folder(path) or '.'} has no place in the layers")
    text = open(os.path.join(root, path), encoding="utf-8", errors="replace").read()
    targets = []
    for line, directive, spelling, name, quoted in includes_of(text):
        if name is None:
            found.append(f"{path}:{line}: #{directive} {spelling} is refused:"
                         ' only a "file" or <file> operand can be checked')
            continue
        for target in resolve(root, path, directive, name, quoted):
            targets.append(target)
            if owner in allowed and owner_of(target, uses) not in allowed[owner]:
                written = "" if spelling[1:-1] == target else f" (written {spelling})"
                found.append(f"{path}:{line}: {owner} may not include {target}{written}")
    return targets


def violations(root, uses):
    allowed = allowed_closure(uses)
    root = os.path.abspath(root)
    found = []
    queue = list(source_files(root, found))
    seen = set(queue)
    for path in queue:  # grows by the files that includes reach
        for target in check_file(root, path, uses, allowed, found):
            if target not in seen:
                seen.add(target)
                queue.append(target)
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    found = violations(root, read_layers(root))
    for line in found:
        print(line)
    print(f"layers: {len(found)} include(s) against the documented order")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
