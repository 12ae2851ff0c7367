"""Gets and association queries through wmihost over this machine's own
inventory (the collector's output), beside the enumerations of the classes
they involve, and wmihost's start-up. Arguments: the build tree, and the
folder to lay the deployment out in.

Each figure is CPU time (user and system) per request, taken by difference:
every wmihost process first makes the same warm-up requests (each class
enumerated, each query asked once, so stylesheets are compiled and data
parsed), then one of them repeats one request (REPEATS times, a cheap one
CHEAP_REPEATS times, so that its share stands well above the noise of a
process's own CPU time); its CPU time less that of the cheapest process
that only warms up, divided by the repeats, is the request's cost. The
processes run side by side: Initialize's six seconds are a pause, not CPU
time, and are paid once for all of them."""

import os
import subprocess
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

REPEATS = 20
# Requests that cost well under a millisecond: a get, and what touches
# classes with few instances.
CHEAP_REPEATS = 200
# Below this many milliseconds a figure is within the noise of the
# difference, and a ratio of two such figures says nothing.
NOISE_MS = 0.3
BASELINES = 3
SOURCE = Path(__file__).resolve().parent.parent


def lay_out(build, work):
    """The example deployment below work, with this machine's inventory; its opt/korvex."""
    subprocess.run(["bash", str(SOURCE / "scripts" / "lay_out.sh"), str(build), str(work)], check=True,
                   stdout=subprocess.DEVNULL)
    opt = work / "opt" / "korvex"
    data = opt / "xslroot" / "inventory" / "data"
    data.mkdir(parents=True, exist_ok=True)
    subprocess.run([sys.executable, str(opt / "collector" / "korvex-collector"), f"-outc={data / 'inventory.xml'}",
                    f"-logc={work / 'collect.log'}"], check=False)
    return opt


def requests(inventory):
    """Name, request words and repeats of each measured request, the first
    package and disk as sources."""
    root = ET.parse(inventory).getroot()
    host = root.find("System").get("host")
    package = root.find("Packages/Package")
    software = f'Korvex_Software.Name="{package.get("name")}",Architecture="{package.get("architecture")}"'
    disk = root.find(".//Disk")
    disk_path = f'Korvex_Disk.DeviceID="{disk.get("name")}"' if disk is not None else 'Korvex_Disk.DeviceID="none"'
    system = f'Korvex_ComputerSystem.Name="{host}"'
    many = CHEAP_REPEATS
    return [
        ("enum Korvex_Software", ["enum", "Korvex_Software"], REPEATS),
        ("enum Korvex_InstalledSoftware", ["enum", "Korvex_InstalledSoftware"], REPEATS),
        ("enum Korvex_ComputerSystem", ["enum", "Korvex_ComputerSystem"], many),
        ("enum Korvex_Disk", ["enum", "Korvex_Disk"], many),
        ("enum Korvex_DiskPartitionOnDisk", ["enum", "Korvex_DiskPartitionOnDisk"], many),
        ("get one package", ["get", software], many),
        ("get the computer system", ["get", system], many),
        ("ASSOCIATORS OF the system",
         ["query", f"ASSOCIATORS OF {{{system}}} WHERE AssocClass=Korvex_InstalledSoftware"], REPEATS),
        ("REFERENCES OF the system", ["query", f"REFERENCES OF {{{system}}}"], REPEATS),
        ("ASSOCIATORS OF a package", ["query", f"ASSOCIATORS OF {{{software}}}"], REPEATS),
        ("REFERENCES OF a package", ["query", f"REFERENCES OF {{{software}}}"], REPEATS),
        ("ASSOCIATORS OF a disk",
         ["query", f"ASSOCIATORS OF {{{disk_path}}} WHERE AssocClass=Korvex_DiskPartitionOnDisk"], many),
        ("REFERENCES OF a disk", ["query", f"REFERENCES OF {{{disk_path}}}"], many),
    ]


# What each query costs against: the enumerations of the classes it involves.
INVOLVED = {
    "ASSOCIATORS OF the system": ["enum Korvex_InstalledSoftware", "enum Korvex_Software"],
    "REFERENCES OF the system": ["enum Korvex_InstalledSoftware"],
    "ASSOCIATORS OF a package": ["enum Korvex_InstalledSoftware", "enum Korvex_ComputerSystem"],
    "REFERENCES OF a package": ["enum Korvex_InstalledSoftware"],
    "ASSOCIATORS OF a disk": ["enum Korvex_DiskPartitionOnDisk", "enum Korvex_Disk"],
    "REFERENCES OF a disk": ["enum Korvex_DiskPartitionOnDisk"],
}


def run_all(commands):
    """CPU milliseconds of each command, run side by side."""
    processes = [subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) for command in commands]
    times = []
    for process in processes:
        _, status, usage = os.wait4(process.pid, 0)
        if os.waitstatus_to_exitcode(status) != 0:
            raise SystemExit(f"{' '.join(commands[processes.index(process)][:2])} ... failed")
        times.append((usage.ru_utime + usage.ru_stime) * 1000)
    return times


def startup_ms(host):
    """Wall-clock milliseconds of a wmihost process that makes one request less
    that request's time (which holds Initialize), as wmihost --verbose reports them."""
    command = host + ["--verbose", "enum", "Korvex_DiskPartitionOnDisk"]
    start = os.times().elapsed
    run = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, check=True)
    wall = (os.times().elapsed - start) * 1000
    line = [l for l in run.stderr.splitlines() if "] enum Korvex_DiskPartitionOnDisk:" in l][0]
    value, unit = line.rsplit(" in ", 1)[1].split()
    return wall - float(value) * (1000 if unit == "s" else 1)


def main():
    build, work = Path(sys.argv[1]), Path(sys.argv[2])
    opt = lay_out(build, work)
    inventory = opt / "xslroot" / "inventory" / "data" / "inventory.xml"
    measured = requests(inventory)
    host = [str(build / "bin" / "wmihost"), "--repository", str(opt / "mof"), "--module", str(opt / "bin" / "wexi.so")]
    warm_up = [word for _, words, _ in measured for word in words]
    commands = [host + warm_up] * BASELINES + [host + warm_up + words * n for _, words, n in measured]
    times = run_all(commands)
    # Other work on the machine only adds to a process's CPU time.
    baseline = min(times[:BASELINES])
    cost = {name: max(0.0, (t - baseline) / n) for (name, _, n), t in zip(measured, times[BASELINES:])}
    startup = min(startup_ms(host) for _ in range(3))

    packages = len(ET.parse(inventory).getroot().findall("Packages/Package"))
    print()
    print(f"wmihost over this machine's inventory: {packages} packages, {inventory.stat().st_size // 1024} KiB; "
          f"CPU ms per request after the first (by difference, {REPEATS} repeats, cheap ones {CHEAP_REPEATS})")
    print(f"{'request':<32} {'CPU ms':>8} {'against':>8} {'ratio':>6} {'target':>7}")
    enumeration = cost["enum Korvex_Software"]
    for name, _, _ in measured:
        if name == "get one package":
            print(f"{name:<32} {cost[name]:>8.2f} {enumeration:>8.2f} {cost[name] / enumeration:>6.3f} {'<= 0.05':>7}")
        elif name in INVOLVED:
            against = sum(cost[e] for e in INVOLVED[name])
            ratio = f"{cost[name] / against:>6.2f}" if max(cost[name], against) >= NOISE_MS else f"{'noise':>6}"
            print(f"{name:<32} {cost[name]:>8.2f} {against:>8.2f} {ratio} {'<= 2':>7}")
        else:
            print(f"{name:<32} {cost[name]:>8.2f}")
    print(f"wmihost start-up without Initialize's pause: {startup:.1f} ms wall (target <= 50), "
          f"a process that warms up: {baseline:.1f} ms CPU")


if __name__ == "__main__":
    main()
