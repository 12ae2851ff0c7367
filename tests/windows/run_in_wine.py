"""Runs one Windows program in a fresh wine prefix; exits with its exit code.

Usage: run_in_wine.py PROGRAM [ARGUMENTS...]
Skips (exit code 77, reason printed) where wine or the program is missing.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_prefix import WinePrefix, require_wine  # noqa: E402


def main():
    program = sys.argv[1]
    require_wine(program)
    with WinePrefix() as prefix:
        result = subprocess.run(["wine", program, *sys.argv[2:]], env=prefix.env)
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
