"""The check of the docs' examples: a marked example whose command prints
other text than shown fails, with its file and line; the placeholders (a
line "...", "..." within a line, the words of vary=) stand for what varies
and for nothing more; a malformed mark or block is refused; unmarked blocks
are never run; $W is what the file says it stands for; the commands of a
block share one shell in a folder that looks like the clone."""
import os
import subprocess
import sys
import unittest

from check_trees import SCRIPTS, temporary_root, write

sys.path.insert(0, SCRIPTS)
import check_examples  # noqa: E402


def check(source, build, *files):
    """The exit code and output of check_examples.py over FILES of the tree."""
    result = subprocess.run([sys.executable, os.path.join(SCRIPTS, "check_examples.py"), source, build] + list(files),
                            capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


def matches(shown, printed, vary=()):
    return check_examples.shown_matches(shown.split("\n"), printed, list(vary))


class PlaceholderTest(unittest.TestCase):
    def test_plain_lines_must_be_equal(self):
        self.assertTrue(matches("a\nb", "a\nb\n"))
        self.assertFalse(matches("a\nb", "a\nc\n"))
        self.assertFalse(matches("a\nb", "a\nb\nc\n"))
        self.assertFalse(matches("a\nb", "a\n"))
        self.assertFalse(matches("a b", "a  b\n"))

    def test_trailing_blank_lines_do_not_count_leading_ones_do(self):
        self.assertTrue(matches("a\n\n", "a\n"))
        self.assertTrue(matches("a", "a\n\n\n"))
        self.assertTrue(matches("\na", "\na\n"))
        self.assertFalse(matches("a", "\na\n"))

    def test_a_line_of_dots_stands_for_any_lines_none_too(self):
        self.assertTrue(matches("first\n...\nlast", "first\nx\ny\nlast\n"))
        self.assertTrue(matches("first\n...\nlast", "first\nlast\n"))
        self.assertFalse(matches("first\n...\nlast", "first\nx\nlast but one\n"))

    def test_dots_in_a_line_stand_for_text_of_that_line_only(self):
        self.assertTrue(matches('{"a": 1, ...}', '{"a": 1, "b": 2}\n'))
        self.assertTrue(matches("/.../bin/x.so", "/work/build/bin/x.so\n"))
        self.assertFalse(matches("/.../bin/x.so", "/work/build/lib/x.so\n"))
        self.assertFalse(matches("a ... z", "a b\ny z\n"))

    def test_a_vary_word_stands_for_text_without_blanks(self):
        self.assertTrue(matches("took 6.007 s", "took 6.123 s\n", ["6.007"]))
        self.assertTrue(matches("took 6.007 s", "took 12 s\n", ["6.007"]))
        self.assertFalse(matches("took 6.007 s", "took 6 or 7 s\n", ["6.007"]))
        self.assertFalse(matches("took 6.007 s", "took 6.123 s\n"))

    def test_regular_expression_characters_are_plain_text(self):
        self.assertTrue(matches("a.b* (c)?", "a.b* (c)?\n"))
        self.assertFalse(matches("a.b", "axb\n"))


class MarkingTest(unittest.TestCase):
    def examples(self, text):
        return check_examples.examples_in("doc.md", text)

    def malformed(self, text, why):
        with self.assertRaises(check_examples.Malformed) as caught:
            self.examples(text)
        self.assertIn(why, str(caught.exception))
        self.assertIn("doc.md:", str(caught.exception))

    def test_an_indented_block_gives_its_commands_and_outputs(self):
        [example] = self.examples("Text\n\n<!-- example -->\n\n    $ echo a\n    a\n\n    b\n    $ true\n\nMore\n")
        self.assertEqual(example.line, 3)
        self.assertEqual(example.steps, [("echo a", ["a", "", "b"]), ("true", [])])

    def test_a_fenced_block_and_a_continued_command(self):
        [example] = self.examples("<!-- example: vary=X1,Y2 -->\n```\n$ echo X1 \\\n  Y2\nX1 Y2\n```\n")
        self.assertEqual(example.steps, [("echo X1 \\\n  Y2", ["X1 Y2"])])
        self.assertEqual(example.vary, ["X1", "Y2"])

    def test_unmarked_blocks_and_marks_in_prose_or_code_are_no_examples(self):
        self.assertEqual(self.examples("    $ false\n    x\n\nSay `<!-- example -->` first.\n"
                                       "\n    <!-- example -->\n    $ echo\n"), [])

    def test_a_mark_without_a_block(self):
        self.malformed("<!-- example -->\n\nText.\n", "no code block follows")
        self.malformed("<!-- example -->\n", "no code block follows")

    def test_a_block_without_a_command_first(self):
        self.malformed("<!-- example -->\n\n    output\n    $ echo\n", "does not start with a command")

    def test_a_mark_that_is_not_one_comment_or_has_an_unknown_option(self):
        self.malformed("<!-- example\n\n    $ echo\n", "alone on its line")
        self.malformed("<!-- example --> text\n\n    $ echo\n", "alone on its line")
        self.malformed("<!-- example: times -->\n\n    $ echo\n", "unknown option")
        self.malformed("<!-- examples -->\n\n    $ echo\n", "alone on its line")
        self.malformed("<!-- example: vary=a,,b -->\n\n    $ echo a b\n    a b\n", "empty word")

    def test_a_vary_word_that_the_block_does_not_show(self):
        self.malformed("<!-- example: vary=6.007 -->\n\n    $ echo 6.007\n    6.01\n", "vary=6.007")

    def test_an_unclosed_fence_and_a_command_going_on_past_the_end(self):
        self.malformed("<!-- example -->\n```\n$ echo\n", "never closed")
        self.malformed("<!-- example -->\n\n    $ echo \\\n", "past the end")

    def test_w_needs_the_files_definition(self):
        self.malformed("<!-- example -->\n\n    $ $W x\n", "does not say what `W` stands for")
        [example] = self.examples("Here `W` stands\nfor `echo W is`.\n\n<!-- example -->\n\n    $ $W x\n    W is x\n")
        self.assertEqual(example.w, "echo W is")


class RunTest(unittest.TestCase):
    def trees(self, text):
        source = temporary_root(self)
        build = temporary_root(self)
        write(source, "doc.md", text)
        write(source, "data/file.txt", "from the source tree\n")
        write(build, "bin/tool.txt", "from the build tree\n")
        return source, build

    def test_commands_print_what_is_shown(self):
        source, build = self.trees(
            "`W` stands for `printf %s-%s`.\n\n<!-- example: vary=/tmp/x -->\n\n"
            "    $ cat build/bin/tool.txt; echo oops >&2\n    from the build tree\n    oops\n"
            "    $ cd data && cat file.txt\n    from the source tree\n"
            "    $ $W a b; echo; echo \"$TMPDIR\"\n    a-b\n    /tmp/x\n"
            "    $ printf 'no newline'\n    no newline\n"
            "\n    $ false\n")
        code, output = check(source, build, "doc.md")
        self.assertEqual(code, 0, output)
        self.assertIn("doc.md:3: 5 command(s) print what is shown", output)
        self.assertIn("1 example(s) in 1 file(s), 0 differ, 0 malformed", output)

    def test_a_difference_fails_with_the_file_line_and_command(self):
        source, build = self.trees("Text\n\n<!-- example -->\n\n    $ echo a; echo b\n    a\n    c\n")
        code, output = check(source, build, "doc.md")
        self.assertEqual(code, 1, output)
        self.assertIn("doc.md:3: $ echo a; echo b prints other text than shown", output)
        self.assertIn("-c", output)
        self.assertIn("+b", output)
        self.assertIn("1 differ", output)

    def test_a_command_that_prints_nothing_where_text_is_shown_fails(self):
        source, build = self.trees("<!-- example -->\n\n    $ true\n    something\n")
        code, output = check(source, build, "doc.md")
        self.assertEqual(code, 1, output)

    def test_a_malformed_block_fails_and_the_others_still_run(self):
        source, build = self.trees("<!-- example -->\n\n    $ echo a\n    b\n")
        write(source, "bad.md", "<!-- example -->\n\nno block\n")
        code, output = check(source, build, "doc.md", "bad.md")
        self.assertEqual(code, 1, output)
        self.assertIn("malformed example: bad.md:1: no code block follows", output)
        self.assertIn("doc.md:1: $ echo a prints other text", output)

    def test_no_marked_example_at_all_fails(self):
        source, build = self.trees("    $ echo a\n    a\n")
        code, output = check(source, build, "doc.md")
        self.assertEqual(code, 1, output)
        self.assertIn("no marked example", output)


if __name__ == "__main__":
    unittest.main()
