"""The name check: a tree that follows the naming rule passes, OS variants
on one side or both; a test folder that mirrors no source folder, a folder
name with capitals, a seed corpus without its fuzz target, a C++ file not in
PascalCase, a script not in snake_case and a test file outside tests/ are
each found by path; vendor/ and the build trees are not read."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check_names.py")

FOLLOWING_THE_RULE = (
    "low/text/Text.h",
    "low/text/posix/Console.cpp",
    "low/text/win32/Console.cpp",
    "low/text/win32/BinaryStreams.cpp",
    "high/core/Core.cpp",
    "high/core/posix/PosixPlatform.cpp",
    "high/core/win32/Win32Platform.cpp",
    "high/app/App.cpp",
    "tests/low/text/TextTest.cpp",
    "tests/low/text/TextFixture.h",
    "tests/low/text/win32/ConsoleTest.cpp",
    "tests/high/core/posix/PosixPlatformTest.cpp",
    "tests/support/TempTree.h",
    "tests/support/data/Sample.txt",
    "tests/e2e/inventory/expected.txt",
    "tests/windows/run_in_wine.py",
    "tests/scripts/check_names_test.py",
    "fuzz/TextFuzzer.cpp",
    "fuzz/corpus/TextFuzzer/seed-1.txt",
    "scripts/check_names.py",
    "scripts/build.sh",
)


def write(root, path, text=""):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as f:
        f.write(text)


def check(root):
    result = subprocess.run([sys.executable, CHECKER, root], capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


class CheckNamesTest(unittest.TestCase):
    def tree(self):
        root = tempfile.mkdtemp()
        self.addCleanup(subprocess.run, ["rm", "-rf", root])
        for path in FOLLOWING_THE_RULE:
            write(root, path)
        return root

    def assertFound(self, root, *expected):
        code, output = check(root)
        self.assertEqual(code, 1, output)
        for line in expected:
            self.assertIn(line, output)
        self.assertIn(f"names: {len(expected)} name(s)", output)

    def test_a_tree_following_the_rule_passes(self):
        code, output = check(self.tree())
        self.assertEqual(code, 0, output)
        self.assertIn("names: 0 name(s)", output)

    def test_a_test_folder_without_its_source_folder_is_found(self):
        root = self.tree()
        write(root, "tests/low/gone/GoneTest.cpp")
        write(root, "tests/high/app/posix/AppTest.cpp")
        self.assertFound(
            root,
            "tests/low/gone: a test folder that mirrors no source folder (low/gone/ does not exist)",
            "tests/high/app/posix: a test folder that mirrors no source folder (high/app/posix/ does not exist)")

    def test_the_unmirrored_test_folders_may_hold_any_folder(self):
        root = self.tree()
        for folder in ("support/files", "e2e/cases/deep", "windows/prefix", "scripts/trees"):
            write(root, f"tests/{folder}/data.txt")
        code, output = check(root)
        self.assertEqual(code, 0, output)

    def test_a_folder_name_with_capitals_is_found_anywhere(self):
        root = self.tree()
        write(root, "low/Text2/Text.h")
        write(root, "tests/low/Text2/TextTest.cpp")
        write(root, "tests/support/Data/Sample.txt")
        write(root, "deploy/xmlreg/Root/class.xml")
        self.assertFound(root, "low/Text2: a folder whose name is not lower case",
                         "tests/low/Text2: a folder whose name is not lower case",
                         "tests/support/Data: a folder whose name is not lower case",
                         "deploy/xmlreg/Root: a folder whose name is not lower case")

    def test_a_seed_corpus_is_named_after_an_existing_fuzz_target(self):
        root = self.tree()
        write(root, "fuzz/corpus/WqlFuzzer/seed.txt")
        write(root, "fuzz/corpus/text/seed.txt")
        write(root, "fuzz/corpus/TextFuzzer/Nested/seed.txt")
        self.assertFound(root,
                         "fuzz/corpus/WqlFuzzer: a seed corpus without its fuzz target (fuzz/WqlFuzzer.cpp does not exist)",
                         "fuzz/corpus/text: a seed corpus not named after a fuzz target (<Target>Fuzzer)",
                         "fuzz/corpus/TextFuzzer/Nested: a folder whose name is not lower case")

    def test_a_cxx_file_not_in_pascal_case_is_found(self):
        root = self.tree()
        for path in ("low/text/textHelpers.h", "low/text/text_helpers.cpp", "high/core/Core_Impl.cpp",
                     "tests/support/temp_tree.h", "fuzz/textFuzzer.cpp"):
            write(root, path)
        self.assertFound(root, *(f"{path}: a C++ file whose name is not PascalCase" for path in (
            "low/text/textHelpers.h", "low/text/text_helpers.cpp", "high/core/Core_Impl.cpp",
            "tests/support/temp_tree.h", "fuzz/textFuzzer.cpp")))

    def test_a_script_not_in_snake_case_is_found(self):
        root = self.tree()
        for path in ("scripts/build-windows.sh", "scripts/CheckThings.py", "tests/e2e/Run.sh", "bench/compareRuns.py"):
            write(root, path)
        self.assertFound(root, *(f"{path}: a script whose name is not snake_case" for path in (
            "scripts/build-windows.sh", "scripts/CheckThings.py", "tests/e2e/Run.sh", "bench/compareRuns.py")))

    def test_files_of_other_kinds_may_have_any_name(self):
        root = self.tree()
        for path in ("deploy/collector/korvex-collector", "provider/module/wexi.rc", "high/core/qrvcim.idl",
                     "cmake/mingw-w64.cmake", "tests/e2e/inventory/this_machine.expected"):
            write(root, path)
        code, output = check(root)
        self.assertEqual(code, 0, output)

    def test_a_test_file_outside_tests_is_found(self):
        root = self.tree()
        write(root, "high/core/CoreTest.cpp")
        write(root, "scripts/check_names_test.py")
        self.assertFound(root, "high/core/CoreTest.cpp: a test file outside tests/",
                         "scripts/check_names_test.py: a test file outside tests/")

    def test_vendor_and_build_trees_are_not_read(self):
        root = self.tree()
        write(root, "vendor/Xalan/src/xalan_main.cpp")
        write(root, "build-names/CMakeFiles/Odd-Name.sh")
        write(root, "build/tests/gone/Thing.cpp")
        write(root, "scripts/__pycache__/check_names.cpython-311.pyc")
        code, output = check(root)
        self.assertEqual(code, 0, output)

    def test_a_folder_named_like_a_build_tree_below_the_root_is_read(self):
        root = self.tree()
        write(root, "high/core/build/Helper_file.cpp")
        self.assertFound(root, "high/core/build/Helper_file.cpp: a C++ file whose name is not PascalCase")


if __name__ == "__main__":
    unittest.main()
