"""wexi.dll registered and unregistered by regsvr32, under wine.

In a fresh prefix, `regsvr32 wexi.dll` from the Windows deployment must write
the COM class with its in-process server, the two ProgIDs, the AppID entries
and the type library, all read back with `reg query`; registering again must
replace the class key whole (a stale value and subkey planted there go); and
`regsvr32 /u` must remove every entry it wrote but leave the shared AppID and
CLSID roots in place.

Usage: wexi_regsvr32_wine.py WINDOWS_DEPLOY_DIR
Skips (exit code 77, reason printed) where wine or wexi.dll is missing.
"""

import ntpath
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_prefix import WinePrefix, require_wine, windows_path  # noqa: E402

CLSID = "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}"
APPID = "{B3D90E42-6C1F-4A75-8E2B-1F0C9A6D5E87}"
LIBID = APPID
FRIENDLY_NAME = "CQVProvider Object"
PROGID = "qrvcim.QVProvider.1"
VERSION_INDEPENDENT_PROGID = "qrvcim.QVProvider"
DEFAULT = "(Default)"


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def sz(text):
    return ("REG_SZ", text)


def expected_entries(module):
    """Every key regsvr32 writes below HKCR, as {key: {value name: (type, data)}}."""
    clsid_key = "CLSID\\" + CLSID
    typelib_key = "TypeLib\\" + LIBID + "\\1.0"
    return {
        "AppID\\" + APPID: {DEFAULT: sz("wexi")},
        "AppID\\qrvcim.DLL": {"AppID": sz(APPID)},
        PROGID: {DEFAULT: sz(FRIENDLY_NAME)},
        PROGID + "\\CLSID": {DEFAULT: sz(CLSID)},
        VERSION_INDEPENDENT_PROGID: {DEFAULT: sz(FRIENDLY_NAME)},
        VERSION_INDEPENDENT_PROGID + "\\CLSID": {DEFAULT: sz(CLSID)},
        VERSION_INDEPENDENT_PROGID + "\\CurVer": {DEFAULT: sz(PROGID)},
        clsid_key: {DEFAULT: sz(FRIENDLY_NAME), "AppID": sz(APPID)},
        clsid_key + "\\ProgID": {DEFAULT: sz(PROGID)},
        clsid_key + "\\VersionIndependentProgID": {DEFAULT: sz(VERSION_INDEPENDENT_PROGID)},
        clsid_key + "\\Programmable": {},
        clsid_key + "\\InprocServer32": {DEFAULT: sz(module), "ThreadingModel": sz("apartment")},
        clsid_key + "\\TypeLib": {DEFAULT: sz(LIBID)},
        # The type library in locale 1033 for 64-bit Windows under the same
        # path. RegisterTypeLib adds the flags (the library has a disk image)
        # and, as the module names no help directory, the library's folder.
        typelib_key: {DEFAULT: sz("qrvcim 1.0 Type Library")},
        typelib_key + "\\409": {},
        typelib_key + "\\409\\win64": {DEFAULT: sz(module)},
        typelib_key + "\\FLAGS": {DEFAULT: sz("8")},
        typelib_key + "\\HELPDIR": {DEFAULT: sz(ntpath.dirname(module))},
    }


# The subtrees that belong to the server alone: after registration they hold
# exactly the expected keys, after unregistration they are gone.
OWN_TREES = ["AppID\\" + APPID, "AppID\\qrvcim.DLL", PROGID, VERSION_INDEPENDENT_PROGID,
             "CLSID\\" + CLSID, "TypeLib\\" + LIBID]


class Registry:
    def __init__(self, prefix):
        self.prefix = prefix

    def tree(self, key):
        """The key and its subkeys below HKCR as {key: {name: (type, data)}}; {} when it does not exist."""
        result = self.prefix.run("reg", "query", "HKCR\\" + key, "/s")
        if result.returncode != 0:
            return {}
        keys, current = {}, None
        for line in result.stdout.decode("utf-8", "replace").replace("\r", "").splitlines():
            if line.startswith("HKEY_CLASSES_ROOT\\"):
                current = keys.setdefault(line[len("HKEY_CLASSES_ROOT\\"):], {})
            elif line.startswith("    ") and current is not None:
                name, kind, data = (line[4:].split("    ", 2) + ["", ""])[:3]
                current[name] = (kind, data)
        return keys

    def entries(self):
        found = {}
        for key in OWN_TREES:
            found.update(self.tree(key))
        return found

    def exists(self, key):
        return self.prefix.run("reg", "query", "HKCR\\" + key).returncode == 0

    def add(self, key, *value):
        args = ["/v", value[0], "/d", value[1]] if value else []
        result = self.prefix.run("reg", "add", "HKCR\\" + key, *args, "/f")
        check(result.returncode == 0, "reg add %s failed: %r" % (key, result.stderr))


class Scenario:
    def __init__(self, prefix, module):
        self.prefix = prefix
        self.module = windows_path(module)
        self.registry = Registry(prefix)

    def regsvr32(self, *options):
        result = self.prefix.run("regsvr32", "/s", *options, self.module)
        check(result.returncode == 0, "regsvr32 %s gave %d: %r" % (" ".join(options), result.returncode,
                                                                   result.stderr[-2000:]))

    def check_registered(self):
        expected, found = expected_entries(self.module), self.registry.entries()
        for key in sorted(set(expected) | set(found)):
            check(found.get(key) == expected.get(key),
                  "HKCR\\%s: expected %r, found %r" % (key, expected.get(key), found.get(key)))

    def register(self):
        self.regsvr32()
        self.check_registered()

    def register_again(self):
        clsid_key = "CLSID\\" + CLSID
        self.registry.add(clsid_key, "Stale", "left by an older version")
        self.registry.add(clsid_key + "\\LocalServer32")
        self.regsvr32()
        self.check_registered()

    def unregister(self):
        self.regsvr32("/u")
        left = self.registry.entries()
        check(left == {}, "left after regsvr32 /u: %r" % left)
        for root in ("AppID", "CLSID", "TypeLib"):
            check(self.registry.exists(root), "HKCR\\%s is gone after regsvr32 /u" % root)


def main():
    module = os.path.join(sys.argv[1], "bin", "wexi.dll")
    require_wine(module)
    with WinePrefix() as prefix:
        scenario = Scenario(prefix, module)
        for step in (scenario.register, scenario.register_again, scenario.unregister):
            started = time.monotonic()
            try:
                step()
            except AssertionError as failure:
                print("FAILED %s: %s" % (step.__name__, failure))
                return 1
            print("ok %s (%.1f s)" % (step.__name__, time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
