"""wmihost.exe under wine answers exactly as wmihost does on Linux.

The same requests go to the Linux host over the Linux deployment and to
wmihost.exe over the Windows deployment (wexi.dll with the XML libraries
beside it): enumerations, gets by every form of object path, the provider's
refusals and failures, the host's own checks, queries it filters itself and
lines that are no request, system properties, dates and association queries
the host answers itself, in a batch of each format (JSON, MOF, list, CSV);
the classes of the repository and their declarations; a run at each
impersonation level; and a get before the module is registered against an
enumeration and a get after it, without --module on both systems: each host
goes from the class's provider registration in the MOF to the CLSID and the
module registered for it (`regsvr32` under wine, `wmihost regsvr` into the
registry file on Linux). Standard output, standard error and the exit status
must be the same byte for byte. A copy of each deployment whose disk
stylesheet writes numbers (format-number() with its patterns and a decimal
format, numbers turned into text) shows that both builds format them alike,
and as XSLT 1.0 and XPath 1.0 have it.

Each invocation pays the provider's six-second Initialize once, so the runs of
both hosts go side by side.

Usage: wmihost_wine_e2e.py LINUX_WMIHOST LINUX_DEPLOY_DIR WINDOWS_BIN_DIR WINDOWS_DEPLOY_DIR
Skips (exit code 77, reason printed) where wine or a program is missing.
"""

import difflib
import os
import shutil
import socket
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_prefix import WinePrefix, require_wine, skip, windows_path  # noqa: E402

# Run from the deployment's folder, so that the paths the host reports (the
# repository file it read) are the same on both systems.
REPOSITORY = ["--repository", "mof/korvex.mof"]

BATCH = "\n".join([
    "# enumerations, of a plain class and of an association",
    "enum Korvex_Disk",
    "enum Korvex_Software",
    "enum Korvex_DiskPartitionOnDisk",
    "# gets: two keys, a prefix and key names in another case, unquoted keys, escapes",
    'get Korvex_Software.Name="korvex-agent",Architecture="amd64"',
    'get Korvex_Software.Name="libquorvane1",Architecture="i386"',
    'get \\\\.\\root\\cimv2:Korvex_Disk.deviceid="sdb"',
    'get root\\cimv2:Korvex_Software.NAME="korvex-agent",architecture="amd64"',
    "get Korvex_Disk.DeviceID=sda",
    'get Korvex_Software.Name="x \\"y\\" \\\\z",Architecture="a;b"',
    "# the one key without its name, values in single quotes, this machine spelled otherwise and by its name",
    'get Korvex_Disk="sdb"',
    "get //./root/cimv2:Korvex_Disk.DeviceID='sdb'",
    "get \\\\LOCALHOST\\ROOT\\CIMV2:Korvex_Disk='sda'",
    "get \\\\" + socket.gethostname() + "\\root\\cimv2:Korvex_Disk='sdb'",
    "# the provider's refusals and failures",
    'get Korvex_Disk.DeviceID="sdz"',
    "# the host's own checks",
    'get Korvex_Disk.Model="x"',
    "enum Korvex_DiskGeometry",
    "enum Korvex_Nothing",
    'get Korvex_Software="korvex-agent"',
    "get Korvex_Disk=@",
    "get Korvex_DiskGeometry=@",
    'get \\\\server01\\root\\cimv2:Korvex_Disk.DeviceID="sdb"',
    'get root\\cimv3:Korvex_Disk.DeviceID="sdb"',
    'get Korvex_Disk.Serial="x"',
    'get Korvex_Disk.DeviceID="sda",',
    "query SELECT * FROM Korvex_Disk WHERE Sise > 5",
    "query SELECT * FROM Korvex_Disk WHERE Model = ",
    "query SELECT * FROM Korvex_Disk WHERE",
    "# queries the provider declines, filtered by the host",
    'query SELECT * FROM Korvex_Disk WHERE Model LIKE "%hdd%"',
    "query SELECT DeviceID, SizeBytes FROM Korvex_Disk WHERE SizeBytes > 1000000000000",
    "query select name from korvex_software where InstallDate < '20251201000000.000000+000'",
    "query SELECT DeviceID FROM Korvex_Disk WHERE (SizeBytes > 1000000000000 OR NOT Model LIKE '%SSD%')"
    " AND WWN IS NULL",
    "query SELECT __RELPATH, __CLASS FROM Korvex_Software WHERE __CLASS = 'Korvex_Software'"
    " AND InstallDate >= 'November 20, 2025'",
    "# association queries the provider declines, walked by the host, from paths in every form",
    'query ASSOCIATORS OF {Korvex_Disk.DeviceID="sda"} WHERE ResultRole = Partition',
    'query REFERENCES OF {Korvex_Software.Name="libquorvane1",Architecture="i386"} WHERE KeysOnly',
    "query ASSOCIATORS OF {\\\\.\\root\\cimv2:Korvex_Disk='sdb'}",
    'query REFERENCES OF {Korvex_DiskPartition="sda2"}',
    "query ASSOCIATORS OF {//./root/cimv2:Korvex_DiskPartition.DeviceID='sdb1'} WHERE ClassDefsOnly",
    'query ASSOCIATORS OF {\\\\server01\\root\\cimv2:Korvex_Disk="sda"}',
    "query REFERENCES OF {Korvex_DiskGeometry=@}",
    "# no request",
    "list Korvex_Disk",
]) + "\n"

GET = ["get", 'Korvex_Disk.DeviceID="sda"']
ENUM_AND_GET = ["enum", "Korvex_Disk"] + GET


# The classes of the repository and their declarations need no provider.
CLASS_COMMANDS = [
    ("classes, the way to the module given by --module", REPOSITORY + ["--module", "x", "classes"]),
    ("describe a class", REPOSITORY + ["describe", "korvex_disk"]),
    ("describe an association", REPOSITORY + ["describe", "Korvex_DiskPartitionOnDisk"]),
    ("describe a class the repository lacks", REPOSITORY + ["describe", "Korvex_Nothing"]),
]


# A stylesheet for Korvex_Disk that writes numbers into the model's text,
# and what it must write.
NUMBERS_XSL = """<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:output method="text"/>
<xsl:decimal-format name="eu" decimal-separator="," grouping-separator="."/>
<xsl:template match="/">instance of Korvex_Disk
{
DeviceID = "numbers";
Model = "<xsl:value-of select="concat(format-number(5, '0000'), ' ', format-number(1234.5, '#,##0.00'), ' ',
  format-number(0.25, '0%'), ' ', format-number(-1234.5, '#.##0,00;(#)', 'eu'), ' ', format-number(2.5, '0'), ' ',
  format-number(0 div 0, '0'), ' ', 1234567.891, ' ', 0.1 + 0.2, ' ', 1 div 3, ' ', -1 div 0)"/>";
};
</xsl:template>
</xsl:stylesheet>
"""
NUMBERS_MODEL = ('Model = "0005 1,234.50 25% (1.234,50) 3 NaN 1234567.891 0.30000000000000004 '
                 '0.3333333333333333 -Infinity";')


def numbers_deployment(deploy, work, name):
    """A copy of the deployment whose disk enumeration runs NUMBERS_XSL."""
    copy = os.path.join(work, name)
    shutil.copytree(deploy, copy)
    with open(os.path.join(copy, "xslroot", "inventory", "xsl", "numbers.xsl"), "w") as stylesheet:
        stylesheet.write(NUMBERS_XSL)
    registration = os.path.join(copy, "xmlreg", "root", "cimv2", "korvex_disk.xml")
    with open(registration) as text:
        content = text.read()
    with open(registration, "w") as text:
        text.write(content.replace('name="disk.xsl"', 'name="numbers.xsl"'))
    return copy


def runs(module):
    """Each invocation: a name, its arguments and its standard input."""
    serve = REPOSITORY + ["--module", module]
    cases = [
        ("JSON batch", serve + ["--format", "json", "--batch", "-"], BATCH),
        ("MOF batch", serve + ["--batch", "-"], BATCH),
        ("list batch", serve + ["--format", "list", "--batch", "-"], BATCH),
        ("CSV batch", serve + ["--format", "csv", "--batch", "-"], BATCH),
    ]
    for level in "124":
        cases.append(("level " + level, serve + ["--level", level, "--format", "json", "enum", "Korvex_Disk"], ""))
    return cases


class Outcome:
    def __init__(self, process, stdin):
        self.out, self.err = process.communicate(stdin.encode(), timeout=300)
        self.status = process.returncode

    def differences(self, other):
        return [what for what, mine, theirs in [("exit status", self.status, other.status),
                                                ("standard output", self.out, other.out),
                                                ("standard error", self.err, other.err)] if mine != theirs]


class Hosts:
    def __init__(self, linux_wmihost, linux_deploy, windows_bin, windows_deploy, prefix, registry_file):
        self.linux_wmihost = os.path.abspath(linux_wmihost)
        self.linux_deploy = linux_deploy
        self.wmihost_exe = windows_path(os.path.join(windows_bin, "wmihost.exe"))
        self.windows_deploy = windows_deploy
        self.prefix = prefix
        self.linux_env = dict(os.environ, KORVEX_REGISTRY_FILE=registry_file)

    def start_linux(self, args):
        return subprocess.Popen([self.linux_wmihost, *args], cwd=self.linux_deploy, env=self.linux_env,
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def start_windows(self, args):
        return subprocess.Popen(["wine", self.wmihost_exe, *args], cwd=self.windows_deploy, env=self.prefix.env,
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def compare(results, name, linux, windows):
    differences = windows.differences(linux)
    if differences:
        print("FAIL %s: %s differ (exit status %d on Linux, %d under wine)" %
              (name, ", ".join(differences), linux.status, windows.status))
        for label, mine, theirs in (("stdout", linux.out, windows.out), ("stderr", linux.err, windows.err)):
            print("".join(difflib.unified_diff(mine.decode("utf-8", "replace").splitlines(True),
                                               theirs.decode("utf-8", "replace").splitlines(True),
                                               "Linux " + label, "wine " + label)))
    elif linux.status == 0 and not linux.out:
        differences = ["no output"]
        print("FAIL %s: the hosts agree on nothing at all" % name)
    else:
        print("ok   %s (exit status %d, %d bytes of output)" % (name, linux.status, len(linux.out)))
    results.append(not differences)


def main():
    linux_wmihost, linux_deploy, windows_bin, windows_deploy = sys.argv[1:5]
    wmihost_exe = os.path.join(windows_bin, "wmihost.exe")
    wexi_dll = os.path.join(windows_deploy, "bin", "wexi.dll")
    require_wine(wmihost_exe, wexi_dll)
    if not os.access(linux_wmihost, os.X_OK):
        skip(linux_wmihost + " is not built")
    results = []
    with WinePrefix() as prefix, tempfile.TemporaryDirectory() as work:
        hosts = Hosts(linux_wmihost, linux_deploy, windows_bin, windows_deploy, prefix,
                      os.path.join(work, "registry.reg"))

        # Before registration the class is found nowhere: the same refusal,
        # and the same listing of classes whose CLSID COM does not know.
        for name, args in [("a get before the module is registered", REPOSITORY + GET),
                           ("classes before the module is registered", REPOSITORY + ["classes"])] + CLASS_COMMANDS:
            compare(results, name, Outcome(hosts.start_linux(args), ""), Outcome(hosts.start_windows(args), ""))

        registered = prefix.run("regsvr32", "/s", windows_path(wexi_dll))
        if registered.returncode != 0:
            print("FAIL regsvr32 wexi.dll: exit status %d" % registered.returncode)
            return 1
        registered = Outcome(hosts.start_linux(["regsvr", "bin/wexi.so"]), "")
        if registered.status != 0:
            print("FAIL wmihost regsvr wexi.so: exit status %d" % registered.status)
            return 1

        # Everything else side by side.
        pairs = []
        for (name, linux_args, stdin), (_, windows_args, _) in zip(runs("bin/wexi.so"), runs("bin\\wexi.dll")):
            pairs.append((name, hosts.start_linux(linux_args), hosts.start_windows(windows_args), stdin))
        pairs.append(("an enumeration and a get through the registered provider, without --module",
                      hosts.start_linux(REPOSITORY + ENUM_AND_GET), hosts.start_windows(REPOSITORY + ENUM_AND_GET), ""))
        for name, linux_process, windows_process, stdin in pairs:
            compare(results, name, Outcome(linux_process, stdin), Outcome(windows_process, stdin))

        # Numbers: both builds alike, and right.
        hosts.linux_deploy = numbers_deployment(linux_deploy, work, "linux")
        hosts.windows_deploy = numbers_deployment(windows_deploy, work, "windows")
        linux = Outcome(hosts.start_linux(REPOSITORY + ["--module", "bin/wexi.so", "enum", "Korvex_Disk"]), "")
        windows = Outcome(hosts.start_windows(REPOSITORY + ["--module", "bin\\wexi.dll", "enum", "Korvex_Disk"]), "")
        compare(results, "numbers written by format-number() and XPath", linux, windows)
        written = NUMBERS_MODEL.encode() in linux.out
        if not written:
            print("FAIL numbers: the Linux host wrote no %s\n%s" % (NUMBERS_MODEL, linux.out.decode("utf-8", "replace")))
        results.append(written)

    print("%d of %d comparisons agree" % (sum(results), len(results)))
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
