"""The layer check: an include against the documented order is found, with
its file and line; includes down the order, OS folders and system headers
pass; a cycle in the order is refused."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check_layers.py")

LAYERS = """# Architecture
```layers
low/text:
low/com:      low/text   # a comment
high/core:    low/com
high/app:     high/core
```
"""


def write(root, path, text):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as f:
        f.write(text)


def check(root):
    result = subprocess.run([sys.executable, CHECKER, root], capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


class CheckLayersTest(unittest.TestCase):
    def tree(self, layers=LAYERS):
        root = tempfile.mkdtemp()
        self.addCleanup(subprocess.run, ["rm", "-rf", root])
        write(root, "docs/architecture.md", layers)
        write(root, "low/text/Text.h", "#pragma once\n")
        write(root, "low/com/Com.h", '#include "low/text/Text.h"\n#include <vector>\n')
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
        write(root, "high/app/Main.cpp", '#include "tests/support/Helper.h"\n')
        write(root, "high/extra/Extra.cpp", "int x;\n")
        code, output = check(root)
        self.assertEqual(code, 1)
        self.assertIn("high/app may not include tests/support/Helper.h", output)
        self.assertIn("folder high/extra has no place in the layers", output)

    def test_a_cycle_is_refused(self):
        root = self.tree(LAYERS.replace("low/text:", "low/text: high/app"))
        code, output = check(root)
        self.assertNotEqual(code, 0)
        self.assertIn("cycle", output)


if __name__ == "__main__":
    unittest.main()
