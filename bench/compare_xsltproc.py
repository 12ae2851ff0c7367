"""Prints the request benchmark's figures next to xsltproc's time on the same
request documents and stylesheet. Argument: the module root the benchmark ran in.

Times are CPU times (user and system), which stay comparable on a machine
shared with other work, where wall-clock times do not."""

import json
import resource
import subprocess
import sys
from pathlib import Path

RUNS = 5


def benchmark_times(result_file):
    """The benchmark's JSON entries by benchmark name and size."""
    figures = {}
    for entry in json.loads(result_file.read_text())["benchmarks"]:
        name, size = entry["name"].split("/")[:2]
        figures[(name, int(size))] = entry
    return figures


def children_cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def xsltproc_ms(stylesheet, document):
    """The CPU time of the fastest of several xsltproc runs, in milliseconds."""
    best = None
    for _ in range(RUNS):
        start = children_cpu_seconds()
        subprocess.run(["xsltproc", "-o", "/dev/null", str(stylesheet), str(document)], check=True)
        elapsed = (children_cpu_seconds() - start) * 1000
        best = elapsed if best is None else min(best, elapsed)
    return best


def main():
    root = Path(sys.argv[1])
    figures = benchmark_times(root / "result.json")
    stylesheet = root / "xslroot" / "bench" / "xsl" / "items.xsl"
    sizes = sorted({size for _, size in figures})

    print()
    print("CPU times; provider % = share of the request spent outside the Xalan-C transform")
    print(f"{'N':>7} {'request ms':>11} {'Xalan ms':>9} {'provider %':>10} {'us/inst':>8} "
          f"{'parse MB/s':>10} {'xsltproc ms':>11} {'request/xsltproc':>16} {'Xalan/xsltproc':>14}")
    for size in sizes:
        request = figures[("BM_Enumerate", size)]["cpu_time"]
        xalan = figures[("BM_BareTransform", size)]["cpu_time"]
        parse = figures[("BM_ParseInstances", size)]["bytes_per_second"] / 1e6
        xsltproc = xsltproc_ms(stylesheet, root / f"doc-{size}.xml")
        provider_share = 100 * (request - xalan) / request
        per_instance = request * 1000 / size
        print(f"{size:>7} {request:>11.2f} {xalan:>9.2f} {provider_share:>10.1f} {per_instance:>8.2f} "
              f"{parse:>10.0f} {xsltproc:>11.2f} {request / xsltproc:>16.2f} {xalan / xsltproc:>14.2f}")


if __name__ == "__main__":
    main()
