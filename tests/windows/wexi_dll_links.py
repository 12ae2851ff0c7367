"""What the DLLs of the Windows deployment export and import.

wexi.dll exports its COM server entry points and nothing of its own besides
(every other symbol stays inside, the C++ runtime's above all; Xalan-C's
headers mark some of its classes for export in every program that includes
them, so their type information may come along), and the deployment's bin
folder is complete: each of its DLLs needs only the others beside it and
Windows' own DLLs, never a DLL of the compiler's runtime.

Usage: wexi_dll_links.py WINDOWS_DEPLOY_DIR
Skips (exit code 77, reason printed) where objdump for mingw-w64, wine's
Windows DLLs or wexi.dll is missing.
"""

import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_prefix import skip  # noqa: E402

EXPORTS = {"DllMain", "DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}
# Type information and members of Xalan-C's classes, exported by its headers.
XALAN_EXPORT = re.compile(r"^_Z\w*N11xalanc_1_12")
OBJDUMP = "x86_64-w64-mingw32-objdump"
# Where Debian's wine keeps its builds of Windows' own DLLs.
WINE_DLL_DIRS = ["/usr/lib/x86_64-linux-gnu/wine/x86_64-windows", "/usr/lib/wine/x86_64-windows"]


def private_headers(path):
    return subprocess.run([OBJDUMP, "-p", path], capture_output=True, text=True, check=True).stdout


def exports(headers):
    """The names in the export table."""
    table = headers.split("[Ordinal/Name Pointer] Table", 1)
    return set(re.findall(r"^\s+\[\s*\d+\]\s+(\S+)$", table[1], re.M)) if len(table) == 2 else set()


def imports(headers):
    return {name.lower() for name in re.findall(r"^\s+DLL Name: (\S+)$", headers, re.M)}


def main():
    bin_dir = os.path.join(sys.argv[1], "bin")
    module = os.path.join(bin_dir, "wexi.dll")
    if shutil.which(OBJDUMP) is None:
        skip(OBJDUMP + " is not installed")
    wine_dlls = next((d for d in WINE_DLL_DIRS if os.path.isfile(os.path.join(d, "kernel32.dll"))), None)
    if wine_dlls is None:
        skip("wine's Windows DLLs are not installed")
    if not os.path.isfile(module):
        skip(module + " is not built (build the Windows side with scripts/build-windows.sh)")

    failures = []
    found_exports = {name for name in exports(private_headers(module)) if not XALAN_EXPORT.match(name)}
    if found_exports != EXPORTS:
        failures.append("wexi.dll exports %s, not %s" % (sorted(found_exports), sorted(EXPORTS)))

    deployed = {name.lower(): name for name in os.listdir(bin_dir) if name.lower().endswith(".dll")}
    system = {name.lower() for name in os.listdir(wine_dlls)}
    if len(deployed) < 4:
        failures.append("bin holds %s: wexi.dll and the three XML library DLLs expected" % sorted(deployed))
    for name in sorted(deployed.values()):
        for needed in sorted(imports(private_headers(os.path.join(bin_dir, name))) - set(deployed)):
            if needed not in system:
                failures.append("%s needs %s, which is neither beside it nor a Windows DLL" % (name, needed))

    for failure in failures:
        print("FAILED " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
