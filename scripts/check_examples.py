#!/usr/bin/env python3
"""Runs the examples marked in README.md and docs/*.md and compares what
they print with what the text shows, so that the docs cannot drift from the
programs.

An example is marked by an HTML comment on a line of its own, from its
first column (a Markdown viewer does not show it), right before a code block (blank lines
between are allowed); the block is indented by four spaces or fenced with
three backticks:

    <!-- example -->
    <!-- example: vary=WORD[,WORD...] -->

In the block, a line starting with "$ " is a command (a command line ending
in "\\" goes on on the next line); the lines up to the next command are what
it prints, standard output and standard error together. In those lines:

- a line "..." stands for any number of lines, none too;
- "..." within a line stands for any text on that line;
- each WORD named by vary= stands, wherever it occurs, for any text without
  blanks: a time, a count, a temporary folder's name. Every WORD must occur.

Trailing blank lines of an output are not compared. The commands of one
block run in order in one bash, from a folder that looks like the clone
(every entry of the source tree linked, build/ the build tree), with TMPDIR
a fresh temporary folder. Where the file says "`W` stands for `COMMAND`",
$W is that command. Blocks run side by side, so the provider's 6-second
Initialize is paid about once however many examples load it.

A marked block that breaks these rules is reported as malformed; an
unmarked block is never run.

    check_examples.py SOURCE_DIR BUILD_DIR [FILE ...]
        exit 0 when every marked example prints what the text shows; FILE
        (relative to SOURCE_DIR) defaults to README.md and docs/*.md
"""
import concurrent.futures
import difflib
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

MARK = re.compile(r"<!--\s*example\b(.*?)-->\s*\Z")
MARK_TEXT = re.compile(r":\s*(.*?)\s*\Z")
W_DEFINITION = re.compile(r"`W`\s+stands\s+for\s+`([^`]+)`")
USES_W = re.compile(r"\$(?:W\b|\{W\})")
FENCE = "```"
BLOCK_TIMEOUT = 120  # seconds for all commands of one block


class Malformed(Exception):
    """A marked block that breaks the marking rules."""


class Example:
    """One marked block: where it is, its commands with what each prints,
    and its variable words."""

    def __init__(self, path, line, steps, vary, w):
        self.path = path  # as given, for messages
        self.line = line  # of the marking comment, 1-based
        self.steps = steps  # [(command, [expected line, ...]), ...]
        self.vary = vary
        self.w = w

    def where(self):
        return "%s:%d" % (self.path, self.line)


def parse_mark(text):
    """The vary words of a marking comment's text (what follows "example")."""
    text = text.strip()
    if not text:
        return []
    options = MARK_TEXT.match(text)
    if not options:
        raise Malformed("the marking comment reads 'example%s'; write '<!-- example -->' or "
                        "'<!-- example: vary=WORD,... -->'" % text)
    vary = []
    for option in options.group(1).split():
        name, equals, value = option.partition("=")
        if name != "vary" or not equals or not value:
            raise Malformed("unknown option '%s' in the marking comment; the one option is vary=WORD,..." % option)
        words = value.split(",")
        if "" in words:
            raise Malformed("an empty word in '%s'" % option)
        vary += words
    return vary


def block_after(lines, start):
    """The lines of the code block that starts at or after lines[start]
    (after blank lines), without its indentation or fences."""
    index = start
    while index < len(lines) and not lines[index].strip():
        index += 1
    if index == len(lines):
        raise Malformed("no code block follows the marking comment")
    first = lines[index]
    if first.startswith(FENCE):
        body = []
        for line in lines[index + 1:]:
            if line.startswith(FENCE):
                return body
            body.append(line)
        raise Malformed("the code block's fence is never closed")
    if not first.startswith("    "):
        raise Malformed("no code block follows the marking comment: the next line is '%s'" % first)
    body = []
    for line in lines[index:]:
        if line.strip() and not line.startswith("    "):
            break
        body.append(line[4:] if line.startswith("    ") else "")
    while body and not body[-1].strip():
        body.pop()
    return body


def steps_of(body):
    """The block's commands, each with the lines it is shown to print."""
    steps = []
    command = None
    for line in body:
        if command is not None and command.endswith("\\"):
            command = command + "\n" + line
            steps[-1] = (command, [])
            continue
        if line.startswith("$ "):
            command = line[2:]
            steps.append((command, []))
        elif not steps:
            raise Malformed("the block does not start with a command line '$ ...': '%s'" % line)
        else:
            steps[-1][1].append(line)
    if command is not None and command.endswith("\\"):
        raise Malformed("the last command goes on past the end of the block")
    return steps


def examples_in(path, text, shown_path=None):
    """The marked examples of a Markdown text; Malformed names the first bad one."""
    lines = text.split("\n")
    definition = W_DEFINITION.search(text)
    w = definition.group(1) if definition else None
    examples = []
    for number, line in enumerate(lines):
        if not re.match(r"<!--\s*example", line):
            continue
        where = "%s:%d" % (shown_path or path, number + 1)
        mark = MARK.match(line)
        if not mark:
            raise Malformed("%s: write the marking comment alone on its line, as <!-- example --> or "
                            "<!-- example: vary=WORD,... -->" % where)
        try:
            vary = parse_mark(mark.group(1))
            steps = steps_of(block_after(lines, number + 1))
            shown = "\n".join(line for _, output in steps for line in output)
            for word in vary:
                if word not in shown:
                    raise Malformed("vary=%s: the word is not in what the block shows" % word)
            if w is None and any(USES_W.search(command) for command, _ in steps):
                raise Malformed("a command uses $W, but the file does not say what `W` stands for")
        except Malformed as error:
            raise Malformed("%s: %s" % (where, error))
        examples.append(Example(shown_path or path, number + 1, steps, vary, w))
    return examples


def pattern_of(expected, vary):
    """A regular expression for the shown lines, with their placeholders."""
    words = sorted(set(vary), key=len, reverse=True)
    pieces = []
    for line in expected:
        if line == "...":
            pieces.append(r"(?:[^\n]*\n)*?")
            continue
        parts = re.split("(%s)" % "|".join(re.escape(word) for word in ["..."] + words), line)
        regex = ""
        for part in parts:
            if part == "...":
                regex += r"[^\n]*?"
            elif part in words:
                regex += r"\S+?"
            else:
                regex += re.escape(part)
        pieces.append(regex + r"\n")
    return re.compile("".join(pieces) + r"\Z")


def shown_matches(expected, actual, vary):
    """Whether the output actual is what the lines expected show."""
    while expected and not expected[-1].strip():
        expected = expected[:-1]
    actual = actual.rstrip("\n")
    text = actual + "\n" if actual else ""
    return pattern_of(expected, vary).match(text) is not None


def work_folder(source, build, parent):
    """A folder that looks like the clone, with build/ the build tree."""
    folder = os.path.join(parent, "clone")
    os.mkdir(folder)
    for name in os.listdir(source):
        if name in ("build", ".git"):
            continue
        os.symlink(os.path.join(source, name), os.path.join(folder, name))
    os.symlink(build, os.path.join(folder, "build"))
    return folder


def separator(index):
    return "@@example-command-%d@@" % index


def run_example(example, source, build):
    """What each command of the example printed, or an error text."""
    parent = tempfile.mkdtemp(prefix="qrv-examples.")
    try:
        folder = work_folder(source, build, parent)
        script = ["exec 2>&1"]
        if example.w is not None:
            script.append("W=%s" % shell_quote(example.w))
        for index, (command, _) in enumerate(example.steps):
            script.append("printf '\\n%s\\n'" % separator(index))
            script.append(command)
        environment = dict(os.environ, TMPDIR=parent, LC_ALL="C.UTF-8")
        try:
            result = subprocess.run(["bash", "-c", "\n".join(script)], cwd=folder, env=environment,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                    timeout=BLOCK_TIMEOUT)
        except subprocess.TimeoutExpired:
            return None, "the commands took longer than %d s" % BLOCK_TIMEOUT
        output = result.stdout.decode("utf-8", "replace")
        pieces = re.split(r"\n?@@example-command-\d+@@\n", output)
        if len(pieces) != len(example.steps) + 1:
            return None, "the commands did not all run; they printed:\n" + output
        return pieces[1:], None
    finally:
        shutil.rmtree(parent, ignore_errors=True)


def shell_quote(text):
    return "'" + text.replace("'", "'\\''") + "'"


def check_example(example, source, build):
    """The lines reporting a difference between the example and its run; none when alike."""
    outputs, error = run_example(example, source, build)
    if error:
        return ["%s: %s" % (example.where(), error)]
    report = []
    for (command, expected), actual in zip(example.steps, outputs):
        if shown_matches(expected, actual, example.vary):
            continue
        printed = actual.rstrip("\n").split("\n") if actual.strip("\n") else []
        # Shown lines whose placeholders match the printed line at the same
        # place are shown as printed, so that the difference stands out.
        shown = [printed[index] if line != "..." and index < len(printed) and
                 shown_matches([line], printed[index], example.vary) else line
                 for index, line in enumerate(expected)]
        report.append("%s: $ %s prints other text than shown (- shown, + printed):" % (example.where(), command))
        report += ["  " + line for line in difflib.unified_diff(shown, printed, lineterm="", n=2)][2:]
    return report


def main(arguments):
    if len(arguments) < 2:
        print(__doc__.strip().split("\n\n")[-1], file=sys.stderr)
        return 2
    source = os.path.abspath(arguments[0])
    build = os.path.abspath(arguments[1])
    files = arguments[2:] or ["README.md"] + sorted(
        os.path.relpath(path, source) for path in glob.glob(os.path.join(source, "docs", "*.md")))
    examples = []
    problems = []
    for name in files:
        with open(os.path.join(source, name), encoding="utf-8") as f:
            text = f.read()
        try:
            examples += examples_in(os.path.join(source, name), text, name)
        except Malformed as error:
            problems.append("malformed example: %s" % error)
    if not examples and not problems:
        problems.append("no marked example in %s" % ", ".join(files))
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, len(examples))) as pool:
        reports = list(pool.map(lambda example: check_example(example, source, build), examples))
    failed = 0
    for example, report in zip(examples, reports):
        if report:
            failed += 1
            print("\n".join(report))
        else:
            print("%s: %d command(s) print what is shown" % (example.where(), len(example.steps)))
    for problem in problems:
        print(problem)
    print("check_examples: %d example(s) in %d file(s), %d differ, %d malformed" %
          (len(examples), len(files), failed, len(problems)))
    return 0 if failed == 0 and not problems else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
