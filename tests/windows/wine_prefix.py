"""A fresh, private wine prefix for one test run.

Everything lives under one temporary directory that is removed afterwards:
the prefix itself and whatever files the test puts beside it. The prefix's
wineserver is kept alive for the whole run, so the system processes that
wineboot starts (services.exe among them) stay up, write their output and
that of the services they start to one log file, and do not start the
automatic services again for every command; closing the prefix kills them
and waits for the server.

Creating a prefix takes wine tens of seconds on a loaded machine, copying
one a second or two. Where QRV_WINE_TEMPLATE names a folder (CTest sets it
to one in the build tree), the first test creates a prefix there, once for
the installed wine version, and every test starts from a copy of it: the
copy is the test's own, as a prefix created for it would be.
"""

import fcntl
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


def wine_environment(prefix, tmpdir, debug="-all"):
    env = dict(os.environ)
    env.update({
        "WINEPREFIX": prefix,
        "WINEDEBUG": debug,
        # No Mono or Gecko installers: nothing here needs .NET or HTML.
        "WINEDLLOVERRIDES": "mscoree,mshtml=",
        "DISPLAY": "",
        # The wineserver keeps its socket directory below TMPDIR.
        "TMPDIR": tmpdir,
    })
    return env


def create_prefix(env, log):
    """A new prefix at env's WINEPREFIX; returns once its session has ended."""
    subprocess.run(["wineboot", "-i"], env=env, stdout=log, stderr=log, check=True)
    subprocess.run(["wineserver", "-w"], env=env, check=True)


def template_prefix():
    """The path of the template prefix, created first where it is missing or
    was made by another wine version; None where QRV_WINE_TEMPLATE is unset."""
    folder = os.environ.get("QRV_WINE_TEMPLATE")
    if not folder:
        return None
    version = subprocess.run(["wine", "--version"], capture_output=True, text=True, check=True).stdout.strip()
    os.makedirs(folder, exist_ok=True)
    prefix, made_by = os.path.join(folder, "prefix"), os.path.join(folder, "wine-version")
    # Tests running side by side wait here while the first one creates it.
    with open(os.path.join(folder, "lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.isfile(made_by) and open(made_by).read() == version:
            return prefix
        for stale in (prefix, made_by):
            if os.path.isdir(stale):
                shutil.rmtree(stale)
            elif os.path.exists(stale):
                os.remove(stale)
        with tempfile.TemporaryDirectory(prefix="qrv-wine-template-") as tmpdir:
            with open(os.path.join(folder, "wineboot.log"), "wb") as log:
                create_prefix(wine_environment(prefix, tmpdir), log)
        with open(made_by, "w") as f:
            f.write(version)
    return prefix


class WinePrefix:
    def __init__(self, debug="-all"):
        self.root = tempfile.mkdtemp(prefix="qrv-wine-")
        if " " in self.root:
            raise RuntimeError("the temporary directory must not contain blanks: " + self.root)
        self.prefix = os.path.join(self.root, "prefix")
        self.log_path = os.path.join(self.root, "wine.log")
        self.env = wine_environment(self.prefix, os.path.join(self.root, "tmp"), debug)

    def __enter__(self):
        try:
            os.mkdir(self.env["TMPDIR"])
            template = template_prefix()
            with open(self.log_path, "ab") as log:
                # A new prefix, whose creating session has ended, then the
                # session that lasts: starting both at once can leave two
                # service control managers running side by side.
                if template:
                    subprocess.run(["cp", "-a", template, self.prefix], check=True)
                else:
                    create_prefix(self.env, log)
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
