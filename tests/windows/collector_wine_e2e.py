"""korvex-collector.exe under wine, run by rulosrv.exe and read by wmihost.exe.

In a fresh prefix: test entries are added to the uninstall keys of both
registry views with `reg add` (a non-ASCII name, markup characters in the
publishers, one entry marked as a system component and one without a name),
the Windows deployment is laid out with the collector in its place and the
service's settings (a padding text among them), and `rulosrv.exe -run` runs
one collection: the collector must carry the padding marker (the padding
comes first on its command line), exit with 0 or 1 and leave a document
that the service publishes. The document is checked against what the same
prefix and the host report by other means: the uninstall entries read back
with `reg export`, the computer name (the host's name, and COMPUTERNAME under
wine), the maker, model and version (the host's DMI data), the memory total
(/proc/meminfo), the logical processors (the host's count), the uptime
(/proc/uptime) and the network adapters' addresses (/sys/class/net). Then
one `wmihost.exe` batch lists every class of the MOF that a provider serves
from the published document through `wexi.dll`, each without a failure, and
prints how many instances each has (wine shows no memory arrays and no
partitions): the software against `reg export`, the computer system's name
and memory against the host's, the processors' logical processors against
`nproc`, the adapters' MAC addresses against the Ethernet interfaces of
/sys/class/net, a disk for each the document lists with its size, every
partition linked to its disk and every package to the computer system.
Last, the collector alone: without
-outc it writes nothing and exits with 2; an output in a missing folder, or
one held open by a reader that refuses writers, gives 2, and the held file
keeps its bytes with no temporary file left beside it.

Usage: collector_wine_e2e.py WINDOWS_BUILD_DIR
Skips (exit code 77, reason printed) where wine or the Windows build is missing.
"""

import json
import os
import re
import shutil
import socket
import subprocess
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from rulosrv_wine_e2e import check, read_bytes, run_steps, text_of, write_file  # noqa: E402
from wine_prefix import WinePrefix, require_wine, windows_path  # noqa: E402

CONFIG_KEY = r"HKLM\SOFTWARE\Korvex\rulo\SysInvSrv"
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
UPDATED = "Korvex Quorvane Inventory data for WMI gets updated successfully"
PADDING = "padding text"

# The test's uninstall entries: (view, subkey, values); a value is (type, data).
ENTRIES = [
    ("64", "KorvexTest64", {"DisplayName": ("REG_SZ", "Korvex T\u00ebst \u00dcn\u00efcode \u2713"),
                            "DisplayVersion": ("REG_SZ", "1.2.3"), "Publisher": ("REG_SZ", "Smith & Sons"),
                            "InstallDate": ("REG_SZ", "20240131"), "EstimatedSize": ("REG_DWORD", "1234")}),
    ("32", "KorvexTest32", {"DisplayName": ("REG_SZ", "Korvex Test 32"), "DisplayVersion": ("REG_SZ", "0.9"),
                            "Publisher": ("REG_SZ", "A & B <c> \"d\""), "InstallDate": ("REG_SZ", "not a date")}),
    ("64", "KorvexComponent", {"DisplayName": ("REG_SZ", "Korvex Hidden Component"),
                               "SystemComponent": ("REG_DWORD", "1")}),
    ("32", "KorvexNameless", {"DisplayVersion": ("REG_SZ", "1.0")}),
]
ARCHITECTURES = {"64": "x64", "32": "x86"}
JANUARY_31_2024 = 1706659200


def unescape(text):
    """A .reg file's quoted text: backslash escapes a backslash or a quote."""
    return re.sub(r"\\(.)", lambda m: m.group(1), text)


def host_memory_bytes():
    with open("/proc/meminfo") as f:
        return int(re.search(r"^MemTotal:\s+(\d+) kB$", f.read(), re.M).group(1)) * 1024


def host_processor_count():
    return int(subprocess.run(["nproc"], capture_output=True, check=True, text=True).stdout)


def host_interface_macs():
    """The MAC addresses of the host's Ethernet interfaces (ARPHRD_ETHER), which wine lists as adapters;
    the loopback and tunnels, of other types, are no adapters of the collector's."""
    macs = set()
    for name in os.listdir("/sys/class/net"):
        with open("/sys/class/net/%s/type" % name) as f:
            ethernet = f.read().strip() == "1"
        if ethernet:
            with open("/sys/class/net/%s/address" % name) as f:
                macs.add(f.read().strip())
    return macs


def provided_classes(mof):
    """The classes of a MOF file that a provider serves, in its order."""
    with open(mof) as f:
        return re.findall(r"\[[^\]]*\bprovider\([^)]*\)[^\]]*\]\s*class\s+(\w+)", f.read())


def reference(class_name, **keys):
    """An object path as wmihost writes a reference: Class.Key="value",... with \\ and \" escaped."""
    quoted = ('%s="%s"' % (k, v.replace("\\", "\\\\").replace('"', '\\"')) for k, v in keys.items())
    return class_name + "." + ",".join(quoted)


def reference_key(path):
    """The value of the one key of an object path, Class.Key="value"."""
    match = re.fullmatch(r'\w+\.\w+="((?:[^"\\]|\\.)*)"', path or "")
    check(match, "a reference with one key: %r" % path)
    return unescape(match.group(1))


class Scenario:
    def __init__(self, prefix, windows_build):
        self.prefix = prefix
        self.windows_build = windows_build
        self.root = prefix.path("korvex")
        shutil.copytree(os.path.join(windows_build, "deploy"), self.root)
        for program in ("rulosrv.exe", "wmihost.exe"):
            shutil.copy(os.path.join(windows_build, "bin", program), os.path.join(self.root, "bin"))
        self.collector_dir = os.path.join(self.root, "collector")
        os.makedirs(self.collector_dir)
        self.collector = os.path.join(self.collector_dir, "korvex-collector.exe")
        shutil.copy(os.path.join(windows_build, "bin", "korvex-collector.exe"), self.collector)
        self.data_file = os.path.join(self.root, "xslroot", "inventory", "data", "inventory.xml")
        self.trace_file = os.path.join(prefix.prefix, "drive_c", "temp", "InvLog.txt")
        os.makedirs(os.path.dirname(self.trace_file), exist_ok=True)
        self.document = None
        self.registry = {}
        self.instances = {}

    def wine(self, *args):
        result = self.prefix.run(*args)
        return result.returncode, text_of(result.stdout), text_of(result.stderr)

    def reg_add(self, key, name, kind, data, view="64"):
        code, _, err = self.wine("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f", "/reg:" + view)
        check(code == 0, "reg add %s %s failed: %r" % (key, name, err))

    def reg_export(self, key, view):
        """The subkeys of a key with their values, {subkey: {name: text}}, a DWORD as its decimal text,
        read from what `reg export` writes (UTF-16, unlike `reg query`'s console output)."""
        exported = self.prefix.path("export.reg")
        code, _, err = self.wine("reg", "export", key, windows_path(exported), "/y", "/reg:" + view)
        check(code == 0, "reg export %s failed: %r" % (key, err))
        keys, values = {}, None
        for line in read_bytes(exported).decode("utf-16").splitlines():
            section = re.fullmatch(r"\[(.*)\]", line)
            text = re.fullmatch(r'"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"', line)
            number = re.fullmatch(r'"((?:[^"\\]|\\.)*)"=dword:([0-9a-f]{8})', line)
            if section:
                values = keys.setdefault(section.group(1).rpartition("\\")[2], {})
            elif text and values is not None:
                values[unescape(text.group(1))] = unescape(text.group(2))
            elif number and values is not None:
                values[unescape(number.group(1))] = str(int(number.group(2), 16))
        return keys

    def registry_packages(self):
        """(name, architecture) of the entries that are named and no system components, as `reg export` shows them."""
        return {(values["DisplayName"], ARCHITECTURES[view])
                for view, keys in self.registry.items() for values in keys.values()
                if values.get("DisplayName") and values.get("SystemComponent") != "1"}

    def packages(self):
        return {(p.get("name"), p.get("architecture")): p for p in self.document.iter("Package")}

    # --- the scenario, step by step ---

    def configure(self):
        self.reg_add(CONFIG_KEY, "invexecdir", "REG_SZ", windows_path(self.collector))
        self.reg_add(CONFIG_KEY, "invoutputfile", "REG_SZ", windows_path(self.data_file))
        self.reg_add(CONFIG_KEY, "invtimeout", "REG_DWORD", "300")
        self.reg_add(CONFIG_KEY, "Padding", "REG_SZ", PADDING)
        for view, subkey, values in ENTRIES:
            for name, (kind, data) in values.items():
                self.reg_add(UNINSTALL_KEY + "\\" + subkey, name, kind, data, view)
        for view in ARCHITECTURES:
            self.registry[view] = self.reg_export(UNINSTALL_KEY, view)
            for entry_view, subkey, _ in ENTRIES:
                check(entry_view != view or subkey in self.registry[view], "%s is not in the %s-bit view: %r" % (
                    subkey, view, sorted(self.registry[view])))

    def collection(self):
        """rulosrv.exe -run launches the collector with the padding and publishes its document."""
        code, out, err = self.wine(os.path.join(self.root, "bin", "rulosrv.exe"), "-run")
        check(code == 0 and UPDATED in out + err, "rulosrv -run gave %d: %r %r" % (code, out[-2000:], err[-2000:]))
        with open(self.trace_file) as trace:
            parameters = trace.read().splitlines()[0]
        check(parameters.startswith(PADDING + ' -outc="'), "the collector ran without the padding: %r" % parameters)
        check(os.path.isfile(self.data_file), "no data file published")
        self.document = ET.fromstring(read_bytes(self.data_file))
        check(self.document.tag == "Inventory" and self.document.get("format") == "3"
              and self.document.get("system") == "windows", "the document's root: %r" % self.document.attrib)
        output = re.search(r'-outc="([^"]*)"', parameters).group(1)
        log = read_bytes(os.path.join(self.collector_dir, "lastrun.log")).decode("utf-8")
        written = re.escape("inventory written to " + output)
        check(re.search(r"Z %s( without the failed sources)?\n\Z" % written, log), "the collector's log: %r" % log)
        print("collector log:\n" + log, end="")

    def system(self):
        system = self.document.find("System")
        check(system is not None, "no System element")
        host = system.get("host")
        check(host.lower() == socket.gethostname().lower(), "host %r, the host is %r" % (host, socket.gethostname()))
        _, out, _ = self.wine("cmd", "/c", "echo %COMPUTERNAME%")
        check(out.strip() == host.upper()[:15], "COMPUTERNAME %r, the document's host %r" % (out.strip(), host))
        with open("/proc/uptime") as f:
            uptime = float(f.read().split()[0])
        check(abs(int(system.get("uptimeSeconds")) - uptime) < 120, "uptime %s, the host's %d" % (
            system.get("uptimeSeconds"), uptime))
        check(re.fullmatch(r"\d{14}\.000000[+-]\d{3}", system.get("bootTime")), "bootTime %r" % system.get("bootTime"))

    def computer(self):
        """Wine builds the firmware's tables from the host's DMI data, where it may read them."""
        computer = self.document.find("Computer")
        check(computer is not None and computer.get("widthBits") == "64", "Computer %r" % (
            computer.attrib if computer is not None else None))
        for attribute, name in (("vendor", "sys_vendor"), ("model", "product_name"), ("version", "product_version")):
            try:
                with open("/sys/class/dmi/id/" + name) as f:
                    expected = f.read().strip() or None
            except OSError:
                expected = None
            check(computer.get(attribute) == expected, "Computer's %s %r, the host's %s %r" % (
                attribute, computer.get(attribute), name, expected))

    def memory(self):
        memory = self.document.find("Memory")
        total = host_memory_bytes()
        found = int(memory.get("totalBytes"))
        check(abs(found - total) <= total // 100, "totalBytes %d, the host's MemTotal %d" % (found, total))

    def processors(self):
        processors = self.document.findall("Processors/Processor")
        logical = sum(int(p.get("logicalProcessors", "0")) for p in processors)
        check(logical == host_processor_count(), "%d logical processors, nproc says %d" % (
            logical, host_processor_count()))
        ids = [p.get("id") for p in processors]
        check(ids == ["CPU%d" % i for i in range(len(ids))], "processor ids %r" % ids)

    def software(self):
        """The packages are the named entries that are no system components, as `reg export` shows them."""
        packages = self.packages()
        expected = self.registry_packages()
        check(set(packages) == expected,
              "packages %r, the registry's entries %r" % (sorted(packages), sorted(expected)))
        for view, subkey, _ in ENTRIES[:2]:
            read = self.registry[view][subkey]
            package = packages[(read["DisplayName"], ARCHITECTURES[view])]
            check(package.get("version") == read["DisplayVersion"] and package.get("maintainer") == read["Publisher"],
                  "%s: %r, the registry's %r" % (subkey, package.attrib, read))
        unicode = packages[(ENTRIES[0][2]["DisplayName"][1], "x64")]
        check(unicode.get("installed") == str(JANUARY_31_2024) and unicode.get("installedSizeKiB") == "1234",
              "the 64-bit entry's date and size: %r" % unicode.attrib)
        check(packages[("Korvex Test 32", "x86")].get("installed") is None, "a date that is no date is listed")

    def network(self):
        adapters = self.document.findall("NetworkAdapters/NetworkAdapter")
        check(adapters, "no network adapter")
        for adapter in adapters:
            check(re.fullmatch(r"\{[0-9A-F-]{36}\}", adapter.get("id"), re.I), "adapter id %r" % adapter.get("id"))
            address = "/sys/class/net/%s/address" % adapter.get("name")
            if adapter.get("mac") and os.path.exists(address):
                with open(address) as f:
                    check(f.read().strip() == adapter.get("mac"),
                          "%s's MAC %r" % (adapter.get("name"), adapter.get("mac")))
        print("adapters: %s" % ", ".join("%s %s" % (a.get("name"), a.get("mac")) for a in adapters))

    def disks(self):
        disks = self.document.findall("Disks/Disk")
        for disk in disks:
            check(re.fullmatch(r"PhysicalDrive\d+", disk.get("name")), "disk name %r" % disk.get("name"))
            for partition in disk.findall("Partition"):
                check(partition.get("name").startswith(disk.get("name") + "-Partition"),
                      "partition %r" % partition.attrib)
        print("disks: %r" % [d.attrib for d in disks])

    def wmihost(self):
        """wmihost.exe lists every class of the MOF that has a provider, in one batch (the provider starts
        once), through wexi.dll from the published document; the values are checked against other reads."""
        classes = provided_classes(os.path.join(self.root, "mof", "korvex.mof"))
        requests = [argument for name in classes for argument in ("enum", name)]
        code, out, err = self.wine_in(self.root, os.path.join(self.root, "bin", "wmihost.exe"),
                                      "--repository", r"mof\korvex.mof", "--module", r"bin\wexi.dll",
                                      "--format", "json", *requests)
        check(code == 0, "wmihost's batch gave %d: %r" % (code, err[-2000:]))
        answers = [json.loads(line) for line in out.splitlines() if line.strip()]
        check([a.get("request") for a in answers] == ["enum " + name for name in classes],
              "wmihost answered %r" % [a.get("request") for a in answers])
        self.instances = {}
        for name, answer in zip(classes, answers):
            check(answer.get("result", "").startswith("0x00000000 "), "enum %s failed: %r" % (name, answer))
            self.instances[name] = answer["objects"]
            print("%s: %d instance%s%s" % (name, len(answer["objects"]), "" if len(answer["objects"]) == 1 else "s",
                                           " (none under wine)" if not answer["objects"] else ""))
        for check_class in (self.served_software, self.served_computer_system, self.served_processors,
                            self.served_network_adapters, self.served_disks, self.served_installed_software):
            check_class()

    def served_software(self):
        software = {(s["Name"], s["Architecture"]): s for s in self.instances["Korvex_Software"]}
        # The names come out as the registry holds them, non-ASCII included,
        # although the thread's ANSI code page is 1252 here.
        expected = self.registry_packages()
        check(set(software) == expected, "Korvex_Software %r, the registry's %r" % (sorted(software), sorted(expected)))
        unicode = software[(ENTRIES[0][2]["DisplayName"][1], "x64")]
        check(unicode["Vendor"] == "Smith & Sons" and unicode["Version"] == "1.2.3"
              and unicode["InstalledSizeKiB"] == 1234 and unicode["InstallDate"].startswith("20240131000000.000000"),
              "Korvex_Software for the 64-bit entry: %r" % unicode)
        check(software[("Korvex Test 32", "x86")]["Vendor"] == 'A & B <c> "d"', "the 32-bit entry's vendor")

    def served_computer_system(self):
        systems = self.instances["Korvex_ComputerSystem"]
        check(len(systems) == 1, "Korvex_ComputerSystem %r" % systems)
        system = systems[0]
        check(system["Name"].lower() == socket.gethostname().lower() and system["Uptime"],
              "Korvex_ComputerSystem %r, the host is %r" % (system, socket.gethostname()))
        total = host_memory_bytes()
        check(abs(system["TotalPhysicalMemory"] - total) <= total // 100,
              "TotalPhysicalMemory %r, the host's MemTotal %d" % (system["TotalPhysicalMemory"], total))

    def served_processors(self):
        logical = sum(p["NumberOfLogicalProcessors"] or 0 for p in self.instances["Korvex_Processor"])
        check(logical == host_processor_count(), "Korvex_Processor: %d logical processors, nproc says %d" % (
            logical, host_processor_count()))

    def served_network_adapters(self):
        served = {a["MACAddress"] for a in self.instances["Korvex_NetworkAdapter"]}
        expected = host_interface_macs()
        check(served == expected, "Korvex_NetworkAdapter's MAC addresses %r, /sys/class/net's %r" % (
            sorted(served, key=str), sorted(expected)))

    def served_disks(self):
        """Wine lists no partitions; what it lists must still come out whole."""
        disks = {d["DeviceID"]: d for d in self.instances["Korvex_Disk"]}
        listed = [d.get("name") for d in self.document.findall("Disks/Disk")]
        check(sorted(disks) == sorted(listed), "Korvex_Disk %r, the document's disks %r" % (sorted(disks), listed))
        for name, disk in disks.items():
            check((disk["SizeBytes"] or 0) > 0, "%s's SizeBytes %r" % (name, disk["SizeBytes"]))
        partitions = {p["DeviceID"] for p in self.instances["Korvex_DiskPartition"]}
        links = {(reference_key(link["Disk"]), reference_key(link["Partition"]))
                 for link in self.instances["Korvex_DiskPartitionOnDisk"]}
        expected = {(p["DiskID"], p["DeviceID"]) for p in self.instances["Korvex_DiskPartition"]}
        check(links == expected and {p for _, p in links} == partitions,
              "Korvex_DiskPartitionOnDisk %r, the partitions %r" % (sorted(links), sorted(expected)))

    def served_installed_software(self):
        """Each package is linked to the one computer system."""
        system = self.instances["Korvex_ComputerSystem"][0]["Name"]
        links = [(link["System"], link["Software"]) for link in self.instances["Korvex_InstalledSoftware"]]
        expected = [(reference("Korvex_ComputerSystem", Name=system),
                     reference("Korvex_Software", Name=s["Name"], Architecture=s["Architecture"]))
                    for s in self.instances["Korvex_Software"]]
        check(sorted(links) == sorted(expected), "Korvex_InstalledSoftware %r, expected %r" % (links, expected))

    def wine_in(self, folder, *args):
        """A wine command run from a folder of the prefix."""
        result = subprocess.run(["wine", *args], env=self.prefix.env, cwd=folder, capture_output=True, timeout=300)
        return result.returncode, text_of(result.stdout), text_of(result.stderr)

    def collector_alone(self):
        """--help tells the usage; wrong arguments write nothing; an output that cannot be written leaves
        the old file whole."""
        code, out, _ = self.wine(self.collector, "--help")
        check(code == 0 and "-outc=" in out and "Uninstall keys" in out and "Exit codes:" in out,
              "--help gave %d: %r" % (code, out))
        log = self.prefix.path("alone.log")
        code, _, _ = self.wine(self.collector, "-logc=" + windows_path(log))
        check(code == 2, "without -outc the collector gave %d" % code)
        check("no -outc" in read_bytes(log).decode(), "the log without -outc: %r" % read_bytes(log))
        missing = self.prefix.path("no such folder", "out.xml")
        code, _, _ = self.wine(self.collector, '-outc=' + windows_path(missing), "-logc=" + windows_path(log))
        check(code == 2 and not os.path.exists(missing), "an output in a missing folder gave %d" % code)
        check("cannot write" in read_bytes(log).decode(), "the log of an unwritable output: %r" % read_bytes(log))
        held_dir = self.prefix.path("held")
        os.makedirs(held_dir)
        held = os.path.join(held_dir, "out.xml")
        write_file(held, b"previous")
        holder = self.prefix.start(os.path.join(self.windows_build, "bin", "hold_file.exe"), windows_path(held))
        try:
            check(holder.stdout.readline().strip() == b"holding", "the reader could not open the output")
            code, _, _ = self.wine(self.collector, "-outc=" + windows_path(held), "-logc=" + windows_path(log))
        finally:
            write_file(held + ".release", "")
            holder.wait(timeout=60)
        check(code == 2 and read_bytes(held) == b"previous", "a held output gave %d and %r" % (code, read_bytes(held)))
        check("cannot replace" in read_bytes(log).decode(), "the log of a held output: %r" % read_bytes(log))
        check(sorted(os.listdir(held_dir)) == ["out.xml", "out.xml.release"], "left beside the held output: %r" % (
            os.listdir(held_dir)))


def main():
    windows_build = sys.argv[1]
    programs = (("bin", "rulosrv.exe"), ("bin", "korvex-collector.exe"), ("bin", "wmihost.exe"),
                ("bin", "hold_file.exe"), ("deploy", "bin", "wexi.dll"))
    require_wine(*(os.path.join(windows_build, *p) for p in programs))
    with WinePrefix() as prefix:
        # Text on wine's command lines is UTF-8, the non-ASCII name included.
        prefix.env["LC_ALL"] = "C.UTF-8"
        scenario = Scenario(prefix, windows_build)
        steps = [scenario.configure, scenario.collection, scenario.system, scenario.computer, scenario.memory,
                 scenario.processors, scenario.software, scenario.network, scenario.disks, scenario.wmihost,
                 scenario.collector_alone]
        if not run_steps(steps):
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
