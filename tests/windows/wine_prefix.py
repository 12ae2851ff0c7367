"""A fresh, private wine prefix for one test run.

Everything lives under one temporary directory that is removed afterwards:
the prefix itself and whatever files the test puts beside it. The prefix's
wineserver is kept alive for the whole run, so the system processes that
wineboot starts (services.exe among them) stay up, write their output and
that of the services they start to one log file, and do not start the
automatic services again for every command; closing the prefix kills them
and waits for the server.
"""

import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77  # CTest's SKIP_RETURN_CODE for these tests


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(SKIP)


def require_wine(*programs):
    """Skips the test, saying why, where wine or a Windows program is missing."""
    if shutil.which("wine") is None or shutil.which("wineserver") is None:
        skip("wine is not installed")
    for program in programs:
        if not os.path.isfile(program):
            skip(program + " is not built (build the Windows side with scripts/build-windows.sh)")


def windows_path(path):
    """The path of a Linux file as wine's programs see it, on drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class WinePrefix:
    def __init__(self, debug="-all"):
        self.root = tempfile.mkdtemp(prefix="qrv-wine-")
        if " " in self.root:
            raise RuntimeError("the temporary directory must not contain blanks: " + self.root)
        self.prefix = os.path.join(self.root, "prefix")
        self.log_path = os.path.join(self.root, "wine.log")
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": debug,
            # No Mono or Gecko installers: nothing here needs .NET or HTML.
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "DISPLAY": "",
            # The wineserver keeps its socket directory below TMPDIR.
            "TMPDIR": os.path.join(self.root, "tmp"),
        })

    def __enter__(self):
        try:
            os.mkdir(self.env["TMPDIR"])
            with open(self.log_path, "ab") as log:
                # Create the prefix and let that session end, then start the
                # session that lasts: starting both at once can leave two
                # service control managers running side by side.
                subprocess.run(["wineboot", "-i"], env=self.env, stdout=log, stderr=log, check=True)
                subprocess.run(["wineserver", "-w"], env=self.env, check=True)
                subprocess.run(["wineserver", "-p"], env=self.env, check=True)
                subprocess.run(["wineboot"], env=self.env, stdout=log, stderr=log, check=True)
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        subprocess.run(["wineserver", "-k"], env=self.env)
        subprocess.run(["wineserver", "-w"], env=self.env)
        shutil.rmtree(self.root, ignore_errors=True)
        return False

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def run(self, *args, timeout=600):
        """Runs a wine command; its exit code, standard output and standard error."""
        return subprocess.run(["wine", *args], env=self.env, capture_output=True, timeout=timeout)

    def start(self, *args):
        """Starts a wine command in the background, its output piped."""
        return subprocess.Popen(["wine", *args], env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def log_text(self):
        """What the prefix's system processes and their children have written so far."""
        with open(self.log_path, "rb") as log:
            return log.read().decode("utf-8", "replace")
