"""The layer check: an include against the documented order is found, with
its file and line, however it is spelled and whatever file holds it;
includes down the order, OS folders, system headers and the folders outside
the layers pass; a macro include and a cycle in the order are refused."""
import unittest

from check_trees import run_check, temporary_root, write

LAYERS = """# Architecture
```layers
low/text:
low/com:      low/text   # a comment
high/core:    low/com
high/app:     high/core
```
"""


def check(root):
    return run_check("check_layers.py", root)


class CheckLayersTest(unittest.TestCase):
    def tree(self, layers=LAYERS):
        root = temporary_root(self)
        write(root, "docs/architecture.md", layers)
        write(root, "low/text/Text.h", "#pragma once\n")
        write(root, "low/com/Com.h", '#include "low/text/Text.h"\n#include <vector>\n')
        write(root, "high/core/Core.h", '#include "low/com/Com.h"\n')
        write(root, "high/app/App.h", '#include "high/core/Core.h"\n')
        write(root, "high/core/posix/Core.cpp", '#include "low/text/Text.h"\n#include "high/core/Core.h"\n')
        write(root, "high/app/App.cpp", '#include "high/core/Core.h"\n#include "low/com/Com.h"\n')
        return root

    def test_includes_down_the_order_pass(self):
        code, output = check(self.tree())
        self.assertEqual(code, 0, output)
        self.assertIn("0 include(s)", output)

    def test_an_upward_include_is_named_with_file_and_line(self):
        root = self.tree()
        write(root, "low/com/Com.cpp", '#include "low/com/Com.h"\n\n#include "high/app/App.h"\n')
        write(root, "high/core/win32/Core.cpp", '#include "high/app/App.h"\n')
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("low/com/Com.cpp:3: low/com may not include high/app/App.h", output)
        self.assertIn("high/core/win32/Core.cpp:1: high/core may not include high/app/App.h", output)

    def test_includes_of_tests_and_folders_outside_the_order_fail(self):
        root = self.tree()
        write(root, "tests/support/Helper.h", "#pragma once\n")
        write(root, "high/app/Main.cpp", '#include "tests/support/Helper.h"\n')
        write(root, "high/extra/Extra.cpp", "int x;\n")
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("high/app may not include tests/support/Helper.h", output)
        self.assertIn("folder high/extra has no place in the layers", output)

    def test_an_include_in_angle_brackets_is_checked(self):
        root = self.tree()
        write(root, "low/com/Com.cpp", "#include <high/app/App.h>\n")
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("low/com/Com.cpp:1: low/com may not include high/app/App.h", output)

    def test_an_include_relative_to_the_parent_folder_is_checked(self):
        root = self.tree()
        write(root, "low/text/Text.cpp", '#include "../com/Com.h"\n')
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn('low/text/Text.cpp:1: low/text may not include low/com/Com.h (written "../com/Com.h")',
                      output)

    def test_an_include_relative_to_the_own_folder_is_checked(self):
        root = self.tree()
        write(root, "low/com/Com.cpp", '#include "./high/app/App.h"\n')
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("low/com/Com.cpp:1: low/com may not include high/app/App.h", output)

    def test_a_relative_include_climbing_out_of_an_os_folder_is_checked(self):
        root = self.tree()
        write(root, "high/core/posix/Core.cpp", '#include "../../app/App.h"\n')
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("high/core/posix/Core.cpp:1: high/core may not include high/app/App.h", output)

    def test_allowed_relative_includes_pass(self):
        root = self.tree()
        write(root, "low/com/Com.cpp",
              '#include "Com.h"\n#include "./Com.h"\n#include "../text/Text.h"\n'
              '#include "low/com/../text/Text.h"\n')
        write(root, "high/core/posix/Core.cpp", '#include "../Core.h"\n#include "../../../low/com/Com.h"\n')
        code, output = check(root)
        self.assertEqual(code, 0, output)
        self.assertIn("0 include(s)", output)

    def test_an_include_through_a_macro_is_refused(self):
        root = self.tree()
        write(root, "high/app/App.cpp", '#define APP "high/app/App.h"\n#include APP\n#include HEADER(App)\n')
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("high/app/App.cpp:2: #include APP is refused", output)
        self.assertIn("high/app/App.cpp:3: #include HEADER(App) is refused", output)

    def test_a_file_with_another_suffix_is_read(self):
        root = self.tree()
        write(root, "low/com/Com.inl", '#include "high/app/App.h"\n')
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("low/com/Com.inl:1: low/com may not include high/app/App.h", output)

    def test_a_file_reached_only_through_an_include_is_read(self):
        root = self.tree()
        write(root, "low/com/Com.h", '#include "low/com/Table.list"\n')
        write(root, "low/com/Table.list", 'ENTRY(1)\n#include "high/app/App.h"\n')
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("low/com/Table.list:2: low/com may not include high/app/App.h", output)

    def test_tests_fuzz_and_bench_may_include_any_layer_but_their_includes_are_read(self):
        root = self.tree()
        write(root, "tests/support/Helper.h", '#include "high/app/App.h"\n')
        write(root, "tests/high/app/AppTest.cpp", '#include "high/app/App.h"\n#include "tests/support/Helper.h"\n')
        write(root, "fuzz/AppFuzzer.cpp", '#include <low/com/Com.h>\n#include "../tests/support/Helper.h"\n')
        write(root, "bench/AppBench.cpp", '#include "high/core/Core.h"\n#define B "bench/Bench.h"\n#include B\n')
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("bench/AppBench.cpp:3: #include B is refused", output)
        self.assertIn("1 include(s)", output)

    def test_a_layer_may_not_include_folders_outside_the_layers(self):
        root = self.tree()
        for path in ("tests/support/Helper.h", "fuzz/FuzzCheck.h", "scripts/Tool.h", "deploy/Table.h"):
            write(root, path, "#pragma once\n")
        write(root, "low/com/Com.cpp", '#include <tests/support/Helper.h>\n#include "fuzz/FuzzCheck.h"\n'
                                       '#include "scripts/Tool.h"\n#include "../../deploy/Table.h"\n'
                                       '#include "support/Helper.h"\n')  # the test programs' include folder
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("low/com/Com.cpp:1: low/com may not include tests/support/Helper.h", output)
        self.assertIn("low/com/Com.cpp:2: low/com may not include fuzz/FuzzCheck.h", output)
        self.assertIn("low/com/Com.cpp:3: low/com may not include scripts/Tool.h", output)
        self.assertIn("low/com/Com.cpp:4: low/com may not include deploy/Table.h", output)
        self.assertIn("low/com/Com.cpp:5: low/com may not include tests/support/Helper.h", output)

    def test_an_include_in_a_comment_or_a_string_is_not_read_but_one_after_them_is(self):
        root = self.tree()
        write(root, "low/com/Com.cpp",
              '/* an example:\n#include "high/app/App.h"\n*/\n'
              '// #include "high/app/App.h" \\\n#include "high/app/App.h"\n'
              'const char* text = R"(\n#include "high/app/App.h"\n)";\n'
              'const char* quote = "/*";\n#include "high/core/Core.h" // */\n')
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("low/com/Com.cpp:10: low/com may not include high/core/Core.h", output)
        self.assertIn("1 include(s)", output)

    def test_a_directive_split_by_continuations_is_read(self):
        root = self.tree()
        write(root, "low/com/Com.cpp", '#  \\\ninclude "high/app/App.h"\n\n#inc\\\nlude \\\n <high/core/Core.h>\n'
                                       '#include /* a\ncomment */ "high/app/App.h"\n')
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("low/com/Com.cpp:1: low/com may not include high/app/App.h", output)
        self.assertIn("low/com/Com.cpp:4: low/com may not include high/core/Core.h", output)
        self.assertIn("low/com/Com.cpp:7: low/com may not include high/app/App.h", output)

    def test_a_named_subfolder_is_a_layer_of_its_own(self):
        root = self.tree(LAYERS.replace("low/com:      low/text", "low/com/cache: low/text\nlow/com: low/com/cache"))
        write(root, "low/com/cache/Cache.h", '#include "../Com.h"\n')
        write(root, "low/com/cache/win32/Cache.cpp", '#include "../Cache.h"\n#include "low/text/Text.h"\n')
        write(root, "low/com/other/Other.h", "#pragma once\n")
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("low/com/cache/Cache.h:1: low/com/cache may not include low/com/Com.h", output)
        self.assertIn("low/com/other/Other.h: folder low/com/other has no place in the layers", output)
        self.assertIn("2 include(s)", output)

    def test_a_cycle_is_refused(self):
        root = self.tree(LAYERS.replace("low/text:", "low/text: high/app"))
        code, output = check(root)
        self.assertNotEqual(code, 0)
        self.assertIn("cycle", output)


if __name__ == "__main__":
    unittest.main()
