"""Prints the request benchmark's figures next to xsltproc's on the same
request documents and stylesheets, with the ratios. Argument: the module root
the benchmark ran in.

Times are CPU times (user and system), which stay comparable on a machine
shared with other work, where wall-clock times do not. "fresh" is a whole
process that starts, makes one first request and ends, like an xsltproc run:
its memory is new to it. Peak memory is that process's peak resident set,
beside xsltproc's on the same document."""

import json
import os
import subprocess
import sys
from pathlib import Path

RUNS = 5


def benchmark_times(result_file):
    """The benchmark's fastest repetition of each benchmark, by name and
    arguments (the size, or the kind of class and the size), as xsltproc's
    figure is its fastest run."""
    figures = {}
    for entry in json.loads(result_file.read_text())["benchmarks"]:
        if entry.get("run_type") != "iteration":
            continue
        name, *arguments = entry["name"].split("/")[:3]
        key = (name, *map(int, arguments))
        best = figures.get(key)
        if best is None or entry["cpu_time"] < best["cpu_time"]:
            figures[key] = entry
    return figures


def run_measured(command):
    """CPU milliseconds and peak resident megabytes of one run of command."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        raise SystemExit(f"{command[0]} failed")
    return (usage.ru_utime + usage.ru_stime) * 1000, usage.ru_maxrss / 1024


def best_of(command):
    """The fastest CPU time of several runs and the largest peak memory."""
    runs = [run_measured(command) for _ in range(RUNS)]
    return min(ms for ms, _ in runs), max(mb for _, mb in runs)


def main():
    root = Path(sys.argv[1])
    figures = benchmark_times(root / "result.json")
    sizes = sorted({key[1] for key in figures if key[0] == "BM_FirstEnumerate"})
    xsl = root / "xslroot" / "bench" / "xsl"

    print()
    print("CPU times (user + system) in ms; first = nothing kept but memory, repeated = stylesheet and parsed document kept;")
    print("fresh = a whole process making one first request; peak = its peak resident MB")
    print(f"{'N':>7} {'instances':>9} {'first':>9} {'repeated':>9} {'us/inst':>8} {'parse MB/s':>10} "
          f"{'xsltproc':>9} {'first/x':>8} {'repeat/x':>8} {'fresh':>9} {'fresh/x':>8} {'peak MB':>8} "
          f"{'x peak MB':>9} {'peak/x':>7}")
    for size in sizes:
        first = figures[("BM_FirstEnumerate", size)]
        repeated = figures[("BM_RepeatedEnumerate", size)]["cpu_time"]
        parse = figures[("BM_ParseInstances", size)]["bytes_per_second"] / 1e6
        instances = first["items_per_second"] * first["cpu_time"] / 1000
        stylesheet = xsl / ("lshw.xsl" if size == 0 else "items.xsl")
        xsltproc, xsltproc_peak = best_of(["xsltproc", "-o", "/dev/null", str(stylesheet), str(root / f"doc-{size}.xml")])
        fresh, peak = best_of([str(root / "bin" / "request_bench"), f"--peak={size}"])
        label = "lshw" if size == 0 else str(size)
        print(f"{label:>7} {instances:>9.0f} {first['cpu_time']:>9.2f} {repeated:>9.2f} "
              f"{first['cpu_time'] * 1000 / instances:>8.2f} {parse:>10.0f} {xsltproc:>9.2f} "
              f"{first['cpu_time'] / xsltproc:>8.2f} {repeated / xsltproc:>8.2f} {fresh:>9.2f} {fresh / xsltproc:>8.2f} "
              f"{peak:>8.1f} {xsltproc_peak:>9.1f} {peak / xsltproc_peak:>7.2f}")

    print_gets(figures)
    print_kept(figures, sizes)


KINDS = {0: "items", 1: "packages"}


def print_gets(figures):
    """Gets of one entry after another beside the repeated enumeration of the
    same class, with the targets: at most 2 ms at 5,000 packages and at most
    0.05 of the enumeration."""
    print()
    print("Gets after the first, each of another entry (CPU ms), beside the repeated enumeration of the same class;")
    print("items: the bench's items stylesheet; packages: the deployment's software stylesheet over a package list")
    print(f"{'kind':>8} {'N':>7} {'get':>9} {'enumerate':>10} {'get/enum':>9}  targets")
    for kind, size in sorted(key[1:] for key in figures if key[0] == "BM_RepeatedGet"):
        get = figures[("BM_RepeatedGet", kind, size)]["cpu_time"]
        enumerate_ = figures[("BM_KeyedEnumerate", kind, size)]["cpu_time"]
        target = "get <= 2 ms, get/enum <= 0.05" if (kind, size) == (1, 5000) else ""
        print(f"{KINDS[kind]:>8} {size:>7} {get:>9.3f} {enumerate_:>10.2f} {get / enumerate_:>9.3f}  {target}")


def print_kept(figures, sizes):
    """What the caches hold after the repeated requests at each size."""
    print()
    print("Kept after the repeated requests of each size, MB (the process's caches, all sizes so far):")
    print(f"{'after':>24} {'trees':>8} {'chunks':>8} {'texts':>8}")
    rows = [(f"enumerate {'lshw' if size == 0 else size}", ("BM_RepeatedEnumerate", size)) for size in sizes]
    rows += [(f"get {KINDS[key[1]]} {key[2]}", key) for key in sorted(figures) if key[0] == "BM_RepeatedGet"]
    for label, key in rows:
        entry = figures[key]
        print(f"{label:>24} {entry['kept_trees_MB']:>8.1f} {entry['kept_chunks_MB']:>8.1f} {entry['kept_texts_MB']:>8.1f}")


if __name__ == "__main__":
    main()
