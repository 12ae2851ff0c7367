"""The Windows installer, installed, used and removed under wine.

scripts/package-msi.sh builds the package from the Windows build. In a fresh
prefix, `msiexec /i /qn` must lay out the install folder as the Windows
deployment is laid out, with the source's LICENSE and NOTICE as .txt, write the provider's COM registration exactly as
`regsvr32 wexi.dll` writes it, the service's settings, the service and its
event source; the installed service, started with `sc start` against a
stand-in collector in the collector's place, publishes its data file where
the provider reads it, and the installed wmihost.exe, activating the
provider through COM, answers as wmihost over the Linux deployment does.
`msiexec /x /qn` must delete the service and leave nothing of the product:
no file or folder, not even those the service wrote, no key, no value.

Wine removes no file by a wildcard name, so the service's unique files
(rul*.tmp) are read from the package's tables and removed by the test. Wine
has no MOF compiler, only a stub that compiles nothing, so the MOF step is
read from the package's tables, and a recorder (fake_collector.exe) takes
the stub's place to show the command line the installer runs it with; a
recorder that fails fails the installation, which leaves nothing behind, and
without the compiler the step is skipped. Last, a package of a newer version
replaces the installed product, and the older one refuses to go over it.

Usage: msi_wine_test.py WINDOWS_BUILD_DIR LINUX_WMIHOST LINUX_DEPLOY_DIR
Skips (exit code 77, reason printed) where wine, msitools or a program is missing.
"""

import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import rulosrv_wine_e2e  # noqa: E402
from rulosrv_wine_e2e import (CONFIG_KEY, EVENT_SOURCE_KEY, SERVICE_KEY, SERVICE_VALUES, check,  # noqa: E402
                              check_event_source, read_bytes, run_steps, set_aside_files, text_of, write_file)
from wexi_regsvr32_wine import Registry, expected_entries  # noqa: E402
from wine_prefix import WinePrefix, require_wine, skip, windows_path  # noqa: E402
from wmihost_wine_e2e import Outcome  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
INSTALL_DIR = r"C:\Program Files\Korvex"
PRODUCT_KEY = r"HKLM\SOFTWARE\Korvex"
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
# The deployment's own files, installed as the Windows build lays them out.
DEPLOYMENT = ("xmlreg", "mof", os.path.join("xslroot", "inventory", "xsl"))
# The licence and the notice, installed as NAME.txt in the install folder.
LEGAL = ("LICENSE", "NOTICE")
# The folder the installer makes empty, for the data file.
EMPTY_FOLDER = os.path.join("xslroot", "inventory", "data")
COLLECTOR = os.path.join("collector", "korvex-collector.exe")
REQUESTS = ["--format", "json", "enum", "Korvex_Disk", "enum", "Korvex_Software"]

# The verbose log's line for an action that runs.
COMPILE_MOF_STARTED = re.compile(r"^Action start [\d:]+: CompileMof\.$", re.M)
# Custom action type bits: an executable named by a property (50), run from
# the installation script (deferred) as LocalSystem; its exit code is checked
# (no "continue") and waited for (no "asynchronous").
EXE_IN_PROPERTY, BASE_TYPE = 50, 0x3F
DEFERRED, NO_IMPERSONATE, CONTINUE, ASYNC = 0x400, 0x800, 0x40, 0x80


def msi_table(msi, table):
    """A table of the package as a list of rows, each {column: text}."""
    result = subprocess.run(["msiinfo", "export", msi, table], capture_output=True, check=True)
    lines = result.stdout.decode("utf-8").replace("\r\n", "\n").splitlines()
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:]]


def properties(msi):
    """The package's Property table as {name: value}."""
    return {row["Property"]: row["Value"] for row in msi_table(msi, "Property")}


def tree_files(root):
    """The relative paths of the files below root."""
    return {os.path.relpath(os.path.join(folder, name), root)
            for folder, _, names in os.walk(root) for name in names}


class Scenario:
    def __init__(self, prefix, windows_build, linux_wmihost, linux_deploy):
        self.prefix = prefix
        self.windows_build = windows_build
        self.windows_deploy = os.path.join(windows_build, "deploy")
        self.linux_wmihost = linux_wmihost
        self.linux_deploy = linux_deploy
        self.registry = Registry(prefix)
        self.drive_c = os.path.join(prefix.prefix, "drive_c")
        self.install_dir = os.path.join(self.drive_c, "Program Files", "Korvex")
        self.collector_dir = os.path.join(self.install_dir, "collector")
        self.data_dir = os.path.join(self.install_dir, "xslroot", "inventory", "data")
        self.wbem = os.path.join(self.drive_c, "windows", "system32", "wbem")
        self.mofcomp = os.path.join(self.wbem, "mofcomp.exe")
        self.msi = None
        self.product_code = None
        self.logs = 0

    # --- tools ---

    # The service end-to-end test's readers, which need only self.prefix.
    reg_query = rulosrv_wine_e2e.Scenario.reg_query
    service_state = rulosrv_wine_e2e.Scenario.service_state
    wait_until_stopped = rulosrv_wine_e2e.Scenario.wait_until_stopped

    def package(self, version=None):
        """Builds the package (of the given version, else the default one) and makes it the one installed."""
        env = dict(os.environ, QRV_MSI_VERSION=version) if version else None
        result = subprocess.run(["bash", os.path.join(SOURCE, "scripts", "package-msi.sh"), self.windows_build,
                                 self.prefix.path("package")], capture_output=True, env=env)
        check(result.returncode == 0, "package-msi.sh failed: %s" % text_of(result.stderr)[-2000:])
        self.msi = text_of(result.stdout).strip()
        self.product_code = properties(self.msi)["ProductCode"]

    def msiexec(self, *options):
        """msiexec OPTIONS PACKAGE /qn with a verbose log; its exit status and the log's text."""
        self.logs += 1
        log = self.prefix.path("msiexec%d.log" % self.logs)
        result = self.prefix.run("msiexec", *options, windows_path(self.msi), "/qn", "/l*v", windows_path(log))
        text = text_of(read_bytes(log)) if os.path.exists(log) else ""
        return result.returncode, text

    def mofcomp_calls(self):
        calls = os.path.join(self.wbem, "calls.txt")
        return read_bytes(calls).decode().splitlines() if os.path.exists(calls) else []

    def check_nothing_left(self):
        check(not os.path.exists(self.install_dir), "left in the install folder: %r" % (
            sorted(os.path.relpath(os.path.join(d, n), self.install_dir)
                   for d, ds, fs in os.walk(self.install_dir) for n in ds + fs)))
        left = self.registry.entries()
        check(left == {}, "COM entries left: %r" % left)
        for root in ("AppID", "CLSID", "TypeLib"):
            check(self.registry.exists(root), "HKCR\\%s is gone" % root)
        for key in (PRODUCT_KEY, SERVICE_KEY, EVENT_SOURCE_KEY, UNINSTALL_KEY + "\\" + self.product_code):
            check(self.reg_query(key) is None, "%s is left: %r" % (key, self.reg_query(key)))
        check(self.service_state() is None, "the service is left")

    # --- the scenario, step by step ---

    def tables(self):
        """The MOF step and the removal by wildcards as the package holds them, since wine cannot do them."""
        self.package()
        action = {row["Action"]: row for row in msi_table(self.msi, "CustomAction")}["CompileMof"]
        kind = int(action["Type"])
        check(kind & BASE_TYPE == EXE_IN_PROPERTY and kind & DEFERRED and kind & NO_IMPERSONATE
              and not kind & (CONTINUE | ASYNC), "CompileMof is of type %d" % kind)
        check((action["Source"], action["Target"]) == ("MOFCOMP", '"[INSTALLDIR]mof\\korvex.mof"'),
              "CompileMof runs %r" % action)
        check([(row["Property"], row["Signature_"]) for row in msi_table(self.msi, "AppSearch")]
              == [("MOFCOMP", "MofcompExe")], "the search for the MOF compiler")
        check([(row["Signature"], row["FileName"]) for row in msi_table(self.msi, "Signature")]
              == [("MofcompExe", "mofcomp.exe")], "the MOF compiler's file name")
        check([(row["Signature_"], row["Parent"], row["Path"], row["Depth"])
               for row in msi_table(self.msi, "DrLocator")] == [("MofcompExe", "", "[System64Folder]wbem", "0")],
              "the MOF compiler's folder")
        wildcards = {(row["Component_"], row["FileName"], row["DirProperty"], row["InstallMode"])
                     for row in msi_table(self.msi, "RemoveFile") if "*" in row["FileName"]}
        check(wildcards == {("CollectorFolder", "rul*.tmp", "COLLECTORDIR", "2"), ("DataFolder", "rul*.tmp", "DATADIR", "2")},
              "the removal of the service's unique files: %r" % wildcards)
        sequence = {row["Action"]: row for row in msi_table(self.msi, "InstallExecuteSequence")}
        order = {name: int(row["Sequence"]) for name, row in sequence.items()}
        check(sequence["CompileMof"]["Condition"] == 'MOFCOMP AND NOT REMOVE~="ALL"',
              "CompileMof's condition: %r" % sequence["CompileMof"]["Condition"])
        check(order["AppSearch"] < order["CostInitialize"], "AppSearch comes too late")
        check(order["InstallFiles"] < order["WriteRegistryValues"] < order["CompileMof"] < order["InstallFinalize"],
              "CompileMof is not between the registry entries and the end: %r" % order)

    def install(self):
        # The recorder in the place of wine's stub, so that the installer's
        # search finds a compiler and the test sees how it was run.
        shutil.copy(os.path.join(self.windows_build, "bin", "fake_collector.exe"), self.mofcomp)
        status, log = self.msiexec("/i")
        check(status == 0, "msiexec /i gave %d: %s" % (status, log[-3000:]))

        bin_dlls = {os.path.join("bin", name) for name in os.listdir(os.path.join(self.windows_deploy, "bin"))}
        deployment = set()
        for folder in DEPLOYMENT:
            deployment |= {os.path.join(folder, name) for name in tree_files(os.path.join(self.windows_deploy, folder))}
        expected = bin_dlls | deployment | {os.path.join("bin", "rulosrv.exe"), os.path.join("bin", "wmihost.exe"),
                                            COLLECTOR} | {name + ".txt" for name in LEGAL}
        found = tree_files(self.install_dir)
        check(found == expected, "installed files: missing %r, unexpected %r" %
              (sorted(expected - found), sorted(found - expected)))
        for name in deployment:
            check(read_bytes(os.path.join(self.install_dir, name)) == read_bytes(os.path.join(self.windows_deploy, name)),
                  "%s differs from the deployment's" % name)
        for name in LEGAL:
            check(read_bytes(os.path.join(self.install_dir, name + ".txt")) == read_bytes(os.path.join(SOURCE, name)),
                  "%s.txt is not the source's %s" % (name, name))
        path = os.path.join(self.install_dir, EMPTY_FOLDER)
        check(os.path.isdir(path) and not os.listdir(path), "%s is not an empty folder" % EMPTY_FOLDER)

        wexi = INSTALL_DIR + r"\bin\wexi.dll"
        expected_com, found_com = expected_entries(wexi), self.registry.entries()
        for key in sorted(set(expected_com) | set(found_com)):
            check(found_com.get(key) == expected_com.get(key),
                  "HKCR\\%s: expected %r, found %r" % (key, expected_com.get(key), found_com.get(key)))

        settings = self.reg_query(CONFIG_KEY)
        check(settings == {
            "invexecdir": ("REG_SZ", INSTALL_DIR + r"\collector\korvex-collector.exe"),
            "invoutputfile": ("REG_SZ", INSTALL_DIR + r"\xslroot\inventory\data\inventory.xml"),
            "invtimeout": ("REG_DWORD", "0x258"),
        }, "settings %r" % settings)
        # Windows Installer quotes the program's path; wine's does not.
        service = self.reg_query(SERVICE_KEY) or {}
        image = service.pop("ImagePath", ("", ""))
        check(image in {("REG_SZ", path) for path in (INSTALL_DIR + r"\bin\rulosrv.exe",
                                                      '"%s\\bin\\rulosrv.exe"' % INSTALL_DIR)},
              "the service's program %r" % (image,))
        check(all(service.get(name) == value for name, value in SERVICE_VALUES.items()), "service key %r" % service)
        check_event_source(self.reg_query(EVENT_SOURCE_KEY), INSTALL_DIR + r"\bin\rulosrv.DLL")
        product = self.reg_query(UNINSTALL_KEY + "\\" + self.product_code) or {}
        check(product.get("DisplayName") == ("REG_SZ", "Korvex Inventory"), "not registered as a product: %r" % product)

        check(COMPILE_MOF_STARTED.search(log), "CompileMof did not run")
        calls = self.mofcomp_calls()
        check(calls == ['C:\\windows\\system32\\wbem\\mofcomp.exe "%s\\mof\\korvex.mof"' % INSTALL_DIR],
              "the MOF compiler's runs: %r" % calls)
        check(self.service_state() == "STOPPED", "the service is %s after installing" % self.service_state())

    def collection(self):
        """The installed service runs twice, a stand-in collector in the installed collector's place."""
        shutil.copy(os.path.join(self.windows_build, "bin", "fake_collector.exe"),
                    os.path.join(self.collector_dir, "korvex-collector.exe"))
        inventory = read_bytes(os.path.join(self.windows_deploy, "xslroot", "inventory", "data", "inventory.xml"))
        write_file(os.path.join(self.collector_dir, "inventory.xml"), inventory)
        for run in (1, 2):
            result = self.prefix.run("sc", "start", "rulosrv")
            check(result.returncode == 0, "sc start gave %d: %r" % (result.returncode, text_of(result.stdout)))
            self.wait_until_stopped()
            data_file = os.path.join(self.data_dir, "inventory.xml")
            check(os.path.exists(data_file) and read_bytes(data_file) == inventory,
                  "run %d published no data file" % run)
        # What the runs leave for the uninstallation to remove: the collector's
        # output and log, and the data file set aside by the second publish.
        check(len(set_aside_files(self.collector_dir)) == 1 and len(set_aside_files(self.data_dir)) == 1
              and os.path.exists(os.path.join(self.collector_dir, "lastrun.log")),
              "the runs left %r and %r" % (os.listdir(self.collector_dir), os.listdir(self.data_dir)))

    def wmihost(self):
        """Installed wmihost.exe, the provider activated through COM from its registration."""
        windows = subprocess.Popen(
            ["wine", os.path.join(self.install_dir, "bin", "wmihost.exe"),
             "--repository", INSTALL_DIR + r"\mof\korvex.mof", *REQUESTS],
            cwd=self.drive_c, env=self.prefix.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        linux = subprocess.Popen(
            [os.path.abspath(self.linux_wmihost), "--repository", "mof/korvex.mof", "--module", "bin/wexi.so", *REQUESTS],
            cwd=self.linux_deploy, env=dict(os.environ, KORVEX_REGISTRY_FILE=self.prefix.path("registry.reg")),
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        windows, linux = Outcome(windows, ""), Outcome(linux, "")
        check(linux.status == 0 and b'"sdb"' in linux.out, "the Linux host answered %d %r" % (linux.status, linux.err))
        check(not windows.differences(linux), "installed wmihost.exe differs from wmihost in %s: %r %r" % (
            ", ".join(windows.differences(linux)), windows.out[-1000:], windows.err[-1000:]))

    def uninstall(self):
        """Removal leaves nothing, neither what the package installed nor what the service wrote."""
        # The stand-in's files are the test's, not the product's; the stand-in
        # itself, in the collector's place, goes with the product.
        for name in ("inventory.xml", "calls.txt"):
            os.remove(os.path.join(self.collector_dir, name))
        unique_files = {os.path.relpath(os.path.join(folder, name), self.install_dir)
                        for folder in (self.collector_dir, self.data_dir) for name in set_aside_files(folder)}
        status, log = self.msiexec("/x")
        check(status == 0, "msiexec /x gave %d: %s" % (status, log[-3000:]))
        # Wine removes the files the RemoveFile table names by their plain
        # names only, and does not expand its wildcards (rul*.tmp), which
        # Windows Installer does; those files stay, and with them their folders.
        left = tree_files(self.install_dir) if os.path.exists(self.install_dir) else set()
        check(left == unique_files, "left in the install folder: %r, expected only %r" % (left, unique_files))
        shutil.rmtree(self.install_dir)
        self.check_nothing_left()
        check(len(self.mofcomp_calls()) == 1, "the MOF compiler ran on removal: %r" % self.mofcomp_calls())

    def failing_mof(self):
        """A MOF compiler that fails fails the installation, which is rolled back whole."""
        write_file(os.path.join(self.wbem, "exitcode"), "1")
        status, log = self.msiexec("/i")
        check(status != 0, "msiexec /i succeeded with a failing MOF compiler")
        check(len(self.mofcomp_calls()) == 2, "the MOF compiler's runs: %r" % self.mofcomp_calls())
        self.check_nothing_left()

    def without_mofcomp(self):
        """Where there is no MOF compiler the step is skipped, and the installation goes on."""
        os.remove(self.mofcomp)
        status, log = self.msiexec("/i")
        check(status == 0, "msiexec /i without a MOF compiler gave %d: %s" % (status, log[-3000:]))
        check(not COMPILE_MOF_STARTED.search(log), "CompileMof ran without a MOF compiler")
        check(os.path.isfile(os.path.join(self.install_dir, "bin", "wexi.dll")), "nothing installed")

    def upgrade(self):
        """A newer package replaces the installed product; the older one then refuses to install."""
        older_msi, older_code = self.msi, self.product_code
        newer_version = "%d.0" % (int(properties(self.msi)["ProductVersion"].split(".")[0]) + 1)
        self.package(newer_version)
        status, log = self.msiexec("/i")
        check(status == 0, "msiexec /i of the newer package gave %d: %s" % (status, log[-3000:]))
        check(self.reg_query(UNINSTALL_KEY + "\\" + older_code) is None, "the older product is still installed")
        newer = self.reg_query(UNINSTALL_KEY + "\\" + self.product_code) or {}
        check(newer.get("DisplayVersion") == ("REG_SZ", newer_version), "the newer product: %r" % newer)
        check(self.service_state() == "STOPPED" and self.reg_query(CONFIG_KEY) is not None
              and os.path.isfile(os.path.join(self.install_dir, "bin", "wexi.dll")), "the upgrade lost the product")
        newer_msi, self.msi = self.msi, older_msi
        status, log = self.msiexec("/i")
        check(status != 0, "the older package installed over the newer one")
        self.msi = newer_msi
        status, log = self.msiexec("/x")
        check(status == 0, "msiexec /x gave %d: %s" % (status, log[-3000:]))
        self.check_nothing_left()


def main():
    windows_build, linux_wmihost, linux_deploy = sys.argv[1:4]
    programs = ("rulosrv.exe", "wmihost.exe", "wexi.dll", "fake_collector.exe", "korvex-collector.exe")
    require_wine(*(os.path.join(windows_build, "bin", name) for name in programs))
    for tool in ("wixl", "wixl-heat", "msibuild", "msiinfo"):
        if shutil.which(tool) is None:
            skip(tool + " is not installed (scripts/setup.sh installs msitools and wixl)")
    if not os.access(linux_wmihost, os.X_OK):
        skip(linux_wmihost + " is not built")
    with WinePrefix() as prefix:
        scenario = Scenario(prefix, windows_build, linux_wmihost, linux_deploy)
        steps = [scenario.tables, scenario.install, scenario.collection, scenario.wmihost, scenario.uninstall,
                 scenario.failing_mof, scenario.without_mofcomp, scenario.upgrade]
        if not run_steps(steps):
            return 1
        print("package: %d KiB" % (os.path.getsize(scenario.msi) // 1024))
    return 0


if __name__ == "__main__":
    sys.exit(main())
