"""Prints the request benchmark's figures next to xsltproc's time on the same
request documents and stylesheet. Argument: the module root the benchmark ran in."""

import json
import subprocess
import sys
import time
from pathlib import Path

RUNS = 5


def benchmark_times(result_file):
    """Milliseconds (or bytes/s for parsing) per benchmark name and size."""
    figures = {}
    for entry in json.loads(result_file.read_text())["benchmarks"]:
        name, size = entry["name"].split("/")[:2]
        figures[(name, int(size))] = entry
    return figures


def xsltproc_ms(stylesheet, document):
    """The fastest of several xsltproc runs, in milliseconds."""
    best = None
    for _ in range(RUNS):
        start = time.perf_counter()
        subprocess.run(["xsltproc", "-o", "/dev/null", str(stylesheet), str(document)], check=True)
        elapsed = (time.perf_counter() - start) * 1000
        best = elapsed if best is None else min(best, elapsed)
    return best


def main():
    root = Path(sys.argv[1])
    figures = benchmark_times(root / "result.json")
    stylesheet = root / "xslroot" / "bench" / "xsl" / "items.xsl"
    sizes = sorted({size for _, size in figures})

    print()
    print(f"{'N':>7} {'request ms':>11} {'Xalan ms':>9} {'provider %':>10} {'us/inst':>8} "
          f"{'parse MB/s':>10} {'xsltproc ms':>11} {'request/xsltproc':>16} {'Xalan/xsltproc':>14}")
    for size in sizes:
        request = figures[("BM_Enumerate", size)]["real_time"]
        xalan = figures[("BM_BareTransform", size)]["real_time"]
        parse = figures[("BM_ParseInstances", size)]["bytes_per_second"] / 1e6
        xsltproc = xsltproc_ms(stylesheet, root / f"doc-{size}.xml")
        provider_share = 100 * (request - xalan) / request
        per_instance = request * 1000 / size
        print(f"{size:>7} {request:>11.2f} {xalan:>9.2f} {provider_share:>10.1f} {per_instance:>8.2f} "
              f"{parse:>10.0f} {xsltproc:>11.2f} {request / xsltproc:>16.2f} {xalan / xsltproc:>14.2f}")


if __name__ == "__main__":
    main()
