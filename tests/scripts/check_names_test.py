"""The name check: a tree that follows the naming rule passes, OS variants
on one side or both; a test folder that mirrors no source folder, a folder
name with capitals, a seed corpus without its fuzz target, a C++ file not in
PascalCase, a script not in lower case and a test file outside tests/ are
each found by path; vendor/, the build trees and Python's caches are not
read."""
import unittest

from check_trees import run_check, temporary_root, write

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


class CheckNamesTest(unittest.TestCase):
    def tree(self, *paths):
        """A tree following the rule, with the files at paths added."""
        root = temporary_root(self)
        for path in FOLLOWING_THE_RULE + paths:
            write(root, path)
        return root

    def assertPasses(self, root):
        code, output = run_check("check_names.py", root)
        self.assertEqual(code, 0, output)
        self.assertIn("names: 0 name(s)", output)

    def assertFound(self, root, *findings):
        code, output = run_check("check_names.py", root)
        self.assertEqual(code, 1, output)
        for finding in findings:
            self.assertIn(finding + "\n", output)
        self.assertIn(f"names: {len(findings)} name(s)", output)

    def test_a_tree_following_the_rule_passes(self):
        self.assertPasses(self.tree())

    def test_a_test_folder_without_its_source_folder_is_found(self):
        root = self.tree("tests/low/gone/GoneTest.cpp", "tests/high/app/posix/AppTest.cpp")
        self.assertFound(
            root,
            "tests/low/gone: a test folder that mirrors no source folder (low/gone/ does not exist)",
            "tests/high/app/posix: a test folder that mirrors no source folder (high/app/posix/ does not exist)")

    def test_the_unmirrored_test_folders_may_hold_any_folder(self):
        self.assertPasses(self.tree("tests/support/files/data.txt", "tests/e2e/cases/deep/data.txt",
                                    "tests/windows/prefix/data.txt", "tests/scripts/trees/data.txt"))

    def test_a_folder_name_with_capitals_is_found_anywhere(self):
        root = self.tree("low/Text2/Text.h", "tests/low/Text2/TextTest.cpp", "tests/support/Data/Sample.txt",
                         "deploy/xmlreg/Root/class.xml")
        self.assertFound(root, *(f"{folder}: a folder whose name is not lower case" for folder in (
            "low/Text2", "tests/low/Text2", "tests/support/Data", "deploy/xmlreg/Root")))

    def test_a_seed_corpus_is_named_after_an_existing_fuzz_target(self):
        root = self.tree("fuzz/corpus/WqlFuzzer/seed.txt", "fuzz/corpus/text/seed.txt",
                         "fuzz/corpus/TextFuzzer/Nested/seed.txt")
        self.assertFound(
            root,
            "fuzz/corpus/WqlFuzzer: a seed corpus without its fuzz target (fuzz/WqlFuzzer.cpp does not exist)",
            "fuzz/corpus/text: a seed corpus not named after a fuzz target (<Target>Fuzzer)",
            "fuzz/corpus/TextFuzzer/Nested: a folder whose name is not lower case")

    def test_a_cxx_file_not_in_pascal_case_is_found(self):
        misnamed = ("low/text/textHelpers.h", "low/text/text_helpers.cpp", "high/core/Core_Impl.cpp",
                    "tests/support/temp_tree.h", "fuzz/textFuzzer.cpp")
        self.assertFound(self.tree(*misnamed),
                         *(f"{path}: a C++ file whose name is not PascalCase" for path in misnamed))

    def test_a_script_not_in_lower_case_is_found(self):
        misnamed = ("scripts/build_Windows.sh", "scripts/check-things.py", "scripts/CheckThings.py", "tests/e2e/Run.sh", "bench/compareRuns.py")
        self.assertFound(self.tree(*misnamed),
                         *(f"{path}: a script whose name is not lower case" for path in misnamed))

    def test_files_of_other_kinds_may_have_any_name(self):
        self.assertPasses(self.tree("deploy/collector/korvex-collector", "provider/module/wexi.rc",
                                    "high/core/qrvcim.idl", "cmake/mingw-w64.cmake",
                                    "tests/e2e/inventory/this_machine.expected"))

    def test_a_test_file_outside_tests_is_found(self):
        self.assertFound(self.tree("high/core/CoreTest.cpp", "scripts/check_names_test.py"),
                         "high/core/CoreTest.cpp: a test file outside tests/",
                         "scripts/check_names_test.py: a test file outside tests/")

    def test_vendor_build_trees_and_python_caches_are_not_read(self):
        self.assertPasses(self.tree("vendor/Xalan/src/xalan_main.cpp", "build-names/CMakeFiles/Odd-Name.sh",
                                    "build/tests/gone/Thing.cpp", "tests/low/text/__pycache__/text.cpython-311.pyc"))

    def test_a_folder_named_like_a_build_tree_below_the_root_is_read(self):
        self.assertFound(self.tree("high/core/build/Helper_file.cpp"),
                         "high/core/build/Helper_file.cpp: a C++ file whose name is not PascalCase")


if __name__ == "__main__":
    unittest.main()
