"""Small trees in temporary folders for the tests of the tree checks, and a
check's run over one."""
import os
import shutil
import subprocess
import sys
import tempfile

SCRIPTS = os.path.join(os.path.dirname(__file__), "..", "..", "scripts")


def temporary_root(test):
    """A fresh folder, removed when the test case ends."""
    root = tempfile.mkdtemp()
    test.addCleanup(shutil.rmtree, root)
    return root


def write(root, path, text=""):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as f:
        f.write(text)


def run_check(script, root):
    """The exit code and the output of scripts/<script> over the tree at root."""
    result = subprocess.run([sys.executable, os.path.join(SCRIPTS, script), root], capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr
