#!/usr/bin/env bash
# The software class over a package list of 5,000 entries: instances per
# second of an enumeration after the provider's initialisation, beside the
# bare transform of the same request document by xsltproc, and the time of
# a get of one package. One wmihost invocation carries every request, so
# Initialize is paid once and left out of the figures.
#   usage: bench/software_bench.sh BUILD_DIR [PACKAGES]
set -euo pipefail
build=$(cd "$1" && pwd)
count=${2:-5000}
source=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash "$source/scripts/lay_out.sh" "$build" "$work" >/dev/null
opt=$work/opt/korvex
data=$opt/xslroot/inventory/data/inventory.xml
mkdir -p "$(dirname "$data")"
python3 - "$data" "$count" <<'PY'
import sys
path, count = sys.argv[1], int(sys.argv[2])
with open(path, "w") as f:
    f.write('<?xml version="1.0" encoding="UTF-8"?>\n<Inventory collected="1765200000">\n'
            '<System host="bench" uptimeSeconds="1" bootTime="20251208132000.000000+000"/>\n<Packages>\n')
    for i in range(count):
        f.write(f'<Package name="package-{i:05d}" version="1.{i}-1" architecture="amd64" installedSizeKiB="{i * 7}" '
                f'maintainer="Korvex Labs &lt;labs@korvex.example&gt;" summary="package {i}; &quot;tools&quot; &amp; more" '
                f'installed="{1700000000 + i}"/>\n')
    f.write('</Packages>\n</Inventory>\n')
PY

runs=5
requests=()
for _ in $(seq $runs); do requests+=(enum Korvex_Software); done
for _ in $(seq $runs); do requests+=(get "Korvex_Software.Name=\"package-$(printf %05d $((count / 2)))\",Architecture=\"amd64\""); done
"$build/bin/wmihost" --verbose --repository "$opt/mof" --module "$opt/bin/wexi.so" "${requests[@]}" \
  2>"$work/verbose.txt" >/dev/null

# The request document the provider composes for an enumeration, transformed bare.
{
  printf '<?xml-stylesheet type="text/xml" version="1.0" encoding="UTF-8"?><QRVCIM cim-operation="enumerate" '
  printf 'creation-class-name="Korvex_Software" creation-class-namespace="root\\cimv2" system-name="h" user-name="">'
  sed '1d' "$data"
  printf '</QRVCIM>'
} >"$work/request.xml"
bare=()
for _ in $(seq $runs); do
  start=$(date +%s%N)
  xsltproc "$opt/xslroot/inventory/xsl/software.xsl" "$work/request.xml" >/dev/null
  bare+=($((($(date +%s%N) - start) / 1000)))
done

python3 - "$work/verbose.txt" "$count" "${bare[@]}" <<'PY'
import re, statistics, sys
lines = open(sys.argv[1]).read().splitlines()
count = int(sys.argv[2])
bare = [int(x) / 1e6 for x in sys.argv[3:]]

def seconds(text):
    value, unit = re.match(r"([\d.]+) (ms|s)", text).groups()
    return float(value) / (1000 if unit == "ms" else 1)

init = [seconds(l.split(" took ")[1]) for l in lines if "Initialize" in l]
enums = [seconds(l.rsplit(" in ", 1)[1]) for l in lines if "] enum Korvex_Software:" in l]
gets = [seconds(l.rsplit(" in ", 1)[1]) for l in lines if "] get Korvex_Software" in l]
# The first request of an invocation carries Initialize: leave it out.
enums_after = enums[1:]
print(f"packages: {count}; Initialize once: {init[0]:.3f} s")
print(f"enumeration through wmihost (median of {len(enums_after)}): {statistics.median(enums_after):.3f} s, "
      f"{count / statistics.median(enums_after):,.0f} instances/s")
print(f"bare transform, xsltproc (median of {len(bare)}): {statistics.median(bare):.3f} s, "
      f"{count / statistics.median(bare):,.0f} instances/s")
print(f"get of one package (median of {len(gets)}): {statistics.median(gets) * 1000:.1f} ms")
PY
