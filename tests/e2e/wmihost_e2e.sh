#!/usr/bin/env bash
# wmihost end to end over the example deployment: enumerations, gets and
# queries in every output format, object paths as WMI writes them, batches of
# requests on one provider load, the host's own checks of classes, object
# paths and queries, the provider's refusals, --verbose, usage, COM
# registration through a private registry file, and the way from a class to
# its provider's module through the repository and the registry, and the
# classes of the repository listed and described.
#   usage: wmihost_e2e.sh WMIHOST DEPLOY_DIR
# Every request pauses six seconds in the provider's Initialize, so the
# requests run side by side in the background and are checked afterwards.
set -uo pipefail

wmihost=$1
deploy=$2
module=$deploy/bin/wexi.so
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KORVEX_REGISTRY_FILE=$work/registry.reg
clsid='{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}'

# run NAME ARGS...: wmihost with ARGS; NAME.out, NAME.err and NAME.rc keep
# its output, its errors and its exit status.
run() {
  local name=$1
  shift
  "$wmihost" "$@" >"$work/$name.out" 2>"$work/$name.err"
  echo $? >"$work/$name.rc"
}

# serve NAME ARGS...: a request to the deployment's module over its classes.
serve() {
  local name=$1
  shift
  run "$name" --repository "$deploy/mof" --module "$module" "$@"
}

serve disks enum Korvex_Disk &
serve disks_json --format json enum Korvex_Disk &
serve software get 'Korvex_Software.Name="korvex-agent",Architecture="amd64"' &
serve software_json --format json get 'Korvex_Software.Name="libquorvane1",Architecture="i386"' &
serve links_json --format json enum Korvex_DiskPartitionOnDisk &
serve not_found get 'Korvex_Disk.DeviceID="sdz"' &
serve prefixed get '\\.\root\cimv2:Korvex_Disk.deviceid="sdb"' &
serve unquoted --format json get 'root\cimv2:Korvex_Software.NAME="korvex-agent",architecture="amd64"' &
serve software_all enum Korvex_Software &
# A key value with escaped quotes and a backslash, and ";" in a key.
serve escaped_key --format json get 'Korvex_Software.Name="libquorvane1",Architecture="amd64"' \
  get 'Korvex_Software.Name="x \"y\" \\z",Architecture="a;b"' &
serve unregistered enum Korvex_DiskGeometry &
# A class that names the provider, which has no registration file for it.
printf '[dynamic, provider("qrvcim")]\nclass Korvex_Unregistered { [key] string Id; };\n' >"$work/extra.mof"
run no_registration_file --repository "$deploy/mof" --repository "$work/extra.mof" --module "$module" \
  enum Korvex_Unregistered &
serve unknown_class enum Korvex_Nothing &
serve identify --level 2 enum Korvex_Disk &
serve query query 'SELECT * FROM Korvex_Disk WHERE Model LIKE "%hdd%"' &
# One load for a batch: requests on the command line, with --verbose.
serve batch --verbose enum Korvex_Software \
  query 'SELECT DeviceID, SizeBytes FROM Korvex_Disk WHERE SizeBytes > 1000000000000' \
  query "select name from korvex_software where InstallDate < '20251201000000.000000+000'" \
  enum Korvex_Nothing get 'Korvex_Disk.DeviceID=sda' query 'SELECT * FROM Korvex_Disk WHERE Sise > 5' \
  get 'Korvex_Disk.Serial="x"' get 'Korvex_Disk.Model="x"' query 'ASSOCIATORS OF {Korvex_DiskPartition.DeviceID="sdb1"} WHERE KeysOnly' &
# One load for a batch from standard input, in JSON Lines, ending with every
# form of object path; the last names this machine by its own name.
own_machine_path='\\'$(hostname)'\root\cimv2:Korvex_Disk='\''sdb'\'
{
  cat <<'IN'
# software by its keys, then a query with every kind of condition
get Korvex_Software.Name="korvex-agent",Architecture="amd64"
query SELECT DeviceID FROM Korvex_Disk WHERE (SizeBytes > 1000000000000 OR NOT Model LIKE '%SSD%') AND WWN IS NULL
list Korvex_Disk
query SELECT * FROM Korvex_Disk WHERE
# system properties, dates, association queries with each WHERE keyword
query SELECT __PATH, __CLASS FROM Korvex_Disk WHERE __CLASS = 'Korvex_Disk' AND __RELPATH LIKE '%sdb%'
query SELECT Name FROM Korvex_Software WHERE InstallDate < 'January 1, 2026' AND InstallDate >= '2025-11-20'
query ASSOCIATORS OF {Korvex_Disk.DeviceID="sda"} WHERE ResultClass = Korvex_DiskPartition Role = Disk
query ASSOCIATORS OF {korvex_software.architecture="i386",name="libquorvane1"} WHERE AssocClass = Korvex_InstalledSoftware ResultRole = System RequiredQualifier = dynamic RequiredAssocQualifier = association KeysOnly
query ASSOCIATORS OF {Korvex_ComputerSystem="kvx-db01"} WHERE ClassDefsOnly
query REFERENCES OF {Korvex_DiskPartition.DeviceID="sdb1"} WHERE ResultClass = Korvex_DiskPartitionOnDisk Role = Partition RequiredQualifier = association KeysOnly
query REFERENCES OF {Korvex_Software.Name="korvex-agent",Architecture="amd64"} WHERE ClassDefsOnly
query ASSOCIATORS OF {Korvex_Disk.Serial="x"}
query REFERENCES OF {Korvex_Disk="sda"} WHERE AssocClass = Korvex_DiskPartitionOnDisk
# the one key without its name, values in single quotes, this machine and namespace spelled otherwise
get Korvex_Disk="sdb"
get //./root/cimv2:Korvex_Disk.DeviceID='sdb'
get \\LOCALHOST\ROOT\CIMV2:Korvex_Disk='sda'
# a value without a key name for a class of two keys, @ for a class with a key, another machine, another namespace
get Korvex_Software="korvex-agent"
get Korvex_Disk=@
get \\server01\root\cimv2:Korvex_Disk.DeviceID="sdb"
get root\cimv3:Korvex_Disk.DeviceID="sdb"
IN
  echo "get $own_machine_path"
} | serve batch_json --format json --batch - &
# The list and csv formats, each in one batch: instances of a class,
# a property list, a failure, a line that is no request, and association
# queries whose answers are of two classes.
plain_batch='enum Korvex_Disk
query SELECT Name, InstallDate FROM Korvex_Software WHERE InstallDate < '"'"'20260101000000.000000+000'"'"'
get Korvex_Disk.DeviceID="sdz"
list Korvex_Disk
query REFERENCES OF {Korvex_DiskPartition="sda2"}
query ASSOCIATORS OF {Korvex_Disk="sdb"} WHERE ClassDefsOnly'
serve list_batch --format list --batch - <<<"$plain_batch" &
serve csv_batch --format csv --batch - <<<"$plain_batch" &
# A copy of the deployment with one mistake of a class writer in each of
# several classes: a file name, a namespace, a data file, an attribute, a
# misspelt element and attribute name, an XPath, a missing <Get>, a key, a
# property name, text for a uint32, and a registration that is no XML.
broken=$work/broken
cp -r "$deploy" "$broken"
reg=$broken/xmlreg/root/cimv2 xsl=$broken/xslroot/inventory/xsl
mv "$reg/korvex_networkadapter.xml" "$reg/korvex_networkadaptor.xml"
sed -i 's/namespace="root\\cimv2"/namespace="root\\cimv3"/' "$reg/korvex_memory.xml"
sed -i 's/name="inventory.xml"/name="inventroy.xml"/' "$reg/korvex_diskpartitionondisk.xml"
sed -i 's/Attribute name="DeviceID"/Attribute name="DevicID"/; s/Enumerate>/Enumarate>/g' "$reg/korvex_disk.xml"
sed -i 's/ alt-name=/ alt_name=/' "$reg/korvex_software.xml"
sed -i 's/or @name = \$key\]/or @name = $key]]/' "$xsl/diskpartition.xsl"
sed -i '/<Get>/,/<\/Get>/d' "$reg/korvex_software.xml"
sed -i 's/Attribute name="Name"/Attribute name="Description"/' "$reg/korvex_computersystem.xml"
sed -i "s/'Summary'/'Sumary'/" "$xsl/software.xsl"
# NumberOfCores through string-property, which writes any text, quoted.
python3 - "$xsl/processor.xsl" <<'PY'
import sys
path = sys.argv[1]
text = open(path).read()
number = """<xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'NumberOfCores'"/>
      <xsl:with-param name="value" select="@cores"/>"""
string = """<xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'NumberOfCores'"/>
      <xsl:with-param name="value" select="'64 bits'"/>"""
assert number in text
open(path, 'w').write(text.replace(number, string))
PY
sed -i '/<\/Class>/d' "$reg/korvex_installedsoftware.xml"
sed -i '1a <!DOCTYPE xsl:stylesheet [<!ENTITY e "x">]>' "$xsl/diskpartitionondisk.xsl"
# serve_copy ROOT NAME ARGS...: a request to the module of the deployment's copy ROOT.
serve_copy() {
  local root=$1 name=$2
  shift 2
  run "$name" --repository "$root/mof" --module "$root/bin/wexi.so" "$@"
}
broken_serve() { serve_copy "$broken" "$@"; }
serve check check &
# Without --verbose: a registration under a wrong file name, a missing data
# file, a misspelt <Enumerate>, and a query answered by an enumeration that
# fails.
broken_serve broken_quiet enum Korvex_NetworkAdapter enum Korvex_DiskPartitionOnDisk enum Korvex_Disk \
  query 'SELECT * FROM Korvex_NetworkAdapter' &
broken_serve broken_check check &
broken_serve broken_verbose --verbose enum Korvex_NetworkAdapter enum Korvex_Memory \
  get 'Korvex_Disk.DeviceID="sda"' get 'Korvex_Software.Name="bash",Architecture="amd64"' \
  enum Korvex_DiskPartition enum Korvex_DiskPartitionOnDisk enum Korvex_InstalledSoftware \
  enum Korvex_Software enum Korvex_Processor get 'Korvex_Processor.DeviceID="none"' &
# A deployment whose stylesheets talk: an xsl:message, one that ends the
# transform, and an include of a file that is not there. What they say is
# the provider's to tell, with --verbose only; nothing reaches the host's
# standard error stream on its own.
talking=$work/talking
cp -r "$deploy" "$talking"
txsl=$talking/xslroot/inventory/xsl
sed -i 's#<xsl:template match="/">#&<xsl:message>counting processors</xsl:message>#' "$txsl/processor.xsl"
sed -i 's#<xsl:template match="/">#&<xsl:message terminate="yes">no memory today</xsl:message>#' "$txsl/memory.xsl"
sed -i 's#<xsl:template match="/">#<xsl:include href="nothere.xsl"/>&#' "$txsl/software.xsl"
serve_copy "$talking" talking_quiet enum Korvex_Processor enum Korvex_Memory enum Korvex_Software &
serve_copy "$talking" talking_verbose --verbose enum Korvex_Processor enum Korvex_Memory enum Korvex_Software &
# Registration: a relative module path is registered in full, the host then
# finds the module from the class's provider registration and the registry,
# and unregistration removes the class. A registry that names a module that
# is not there fails check.
(
  (cd "$deploy" && run regsvr regsvr bin/wexi.so)
  cp "$KORVEX_REGISTRY_FILE" "$work/registered.reg"
  sed "s|$module|$work/gone/wexi.so|" "$work/registered.reg" >"$work/gone.reg"
  KORVEX_REGISTRY_FILE=$work/gone.reg run gone_check --repository "$deploy/mof" check
  run registered --repository "$deploy/mof" enum Korvex_Disk get 'Korvex_Disk.DeviceID="sda"' &
  run registered_check --repository "$deploy/mof" check &
  run registered_classes --repository "$deploy/mof" classes &
  wait
  run unregsvr unregsvr "$module"
  run unregistered_get --repository "$deploy/mof" get 'Korvex_Disk.DeviceID="sda"'
  run unregistered_check --repository "$deploy/mof" check
  run unregistered_classes --repository "$deploy/mof" classes
) &
# Deployments whose provider registration is broken: without it, and with
# the CLSID left out, gets refused and a class naming another provider.
sed '/^instance of/,/^};/d' "$deploy/mof/korvex.mof" >"$work/unregistered.mof"
sed -e '/CLSID = /d' -e 's/SupportsGet = TRUE/SupportsGet = FALSE/' "$deploy/mof/korvex.mof" >"$work/no_clsid.mof"
printf '[dynamic, provider("elsewhere")]\nclass Korvex_Elsewhere { [key] string Id; };\n' >>"$work/no_clsid.mof"
run no_clsid_check --repository "$work/no_clsid.mof" --module "$module" check &
run no_provider --verbose --repository "$work/unregistered.mof" --module "$module" enum Korvex_Disk &
# The host's own checks need no provider: they fail at once.
timed() {
  local name=$1 start
  shift
  start=$(date +%s%N)
  serve "$name" "$@"
  echo $((($(date +%s%N) - start) / 1000000)) >"$work/$name.ms"
}
timed fast_class enum Korvex_Nothing
timed fast_path get 'Korvex_Disk.DeviceID="sda",'
timed fast_query query 'SELECT * FROM Korvex_Disk WHERE Model = '
timed missing_key get 'Korvex_Software.Name="bash"'
timed classes classes
timed describe_disk describe korvex_disk
timed describe_link describe Korvex_DiskPartitionOnDisk
timed describe_unknown describe Korvex_Nothing
run classes_broken --repository "$work/no_clsid.mof" classes
run describe_batch --repository "$deploy/mof" describe Korvex_Disk --batch -
run help --help
run help_short -h enum Korvex_Disk --nonsense
run version --version
run unknown_option --frobnicate enum Korvex_Disk
run no_request
run bad_level --level 5 enum Korvex_Disk
run bad_verb list Korvex_Disk
run no_repository --repository "$work/none.mof" enum Korvex_Disk
mkdir "$work/no_mof" && touch "$work/no_mof/korvex.txt"
run folder_without_mof --repository "$work/no_mof" enum Korvex_Disk
wait

source "$(dirname "$0")/check.sh"

# output_is NAME: exit status 0 and standard output exactly as on stdin.
output_is() {
  local name=$1
  [ "$(cat "$work/$name.rc")" = 0 ] && diff -u - "$work/$name.out" && [ ! -s "$work/$name.err" ]
}

# batch_is NAME STATUS: the exit status, and standard output exactly as on
# stdin.
batch_is() {
  local name=$1 status=$2
  [ "$(cat "$work/$name.rc")" = "$status" ] && diff -u - "$work/$name.out"
}

# reports NAME: every line on stdin is a line of NAME's standard error.
reports() {
  local name=$1 line missing=0
  while IFS= read -r line; do
    grep -qxF -- "$line" "$work/$name.err" || {
      echo "     missing on stderr: $line"
      missing=1
    }
  done
  [ "$missing" = 0 ]
}

# prints NAME STATUS: the exit status, and every line on stdin is a line of
# NAME's standard output.
prints() {
  local name=$1 status=$2 line missing=0
  while IFS= read -r line; do
    grep -qxF -- "$line" "$work/$name.out" || {
      echo "     missing on stdout: $line"
      missing=1
    }
  done
  [ "$(cat "$work/$name.rc")" = "$status" ] && [ "$missing" = 0 ]
}

# fast NAME: NAME ended before a provider's Initialize could have.
fast() { [ "$(cat "$work/$1.ms")" -lt 3000 ]; }

# fails_with NAME STATUS TEXT: the exit status, nothing on standard output,
# and the report on standard error.
fails_with() {
  local name=$1 status=$2 text=$3
  [ "$(cat "$work/$name.rc")" = "$status" ] && [ ! -s "$work/$name.out" ] &&
    grep -qxF -- "$text" "$work/$name.err" || {
    echo "     status $(cat "$work/$name.rc"), stderr: $(head -1 "$work/$name.err")"
    return 1
  }
}

check "enum in MOF: 64-bit numbers, booleans, an array and embedded object text; unknown values left out" output_is disks <<'OUT'

instance of Korvex_Disk
{
	DeviceID = "sda";
	Model = "KVX SSD 480GB \"Boot\"";
	Vendor = "ATA";
	SerialNumber = "S4EVNX0N123456";
	FirmwareRevision = "DL63";
	WWN = "0x5002538e40a1b2c3";
	Transport = "sata";
	SizeBytes = "480103981056";
	Rotational = FALSE;
	Removable = FALSE;
	ReadOnly = FALSE;
	Partitions = {"sda1", "sda2"};
	Geometry = "instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }";
};

instance of Korvex_Disk
{
	DeviceID = "sdb";
	Model = "KVX HDD 4TB & cache";
	Vendor = "KVX";
	SerialNumber = "ZC1ABC23";
	FirmwareRevision = "SN04";
	Transport = "sas";
	SizeBytes = "4000787030016";
	Rotational = TRUE;
	Removable = FALSE;
	ReadOnly = FALSE;
	Partitions = {"sdb1"};
	Geometry = "instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }";
};
OUT

check "enum in JSON: 64-bit numbers, booleans, arrays, unknown values null" output_is disks_json <<'OUT'
[
  {"DeviceID": "sda", "Model": "KVX SSD 480GB \"Boot\"", "Vendor": "ATA", "SerialNumber": "S4EVNX0N123456", "FirmwareRevision": "DL63", "WWN": "0x5002538e40a1b2c3", "Transport": "sata", "SizeBytes": 480103981056, "Rotational": false, "Removable": false, "ReadOnly": false, "MountPoint": null, "Partitions": ["sda1", "sda2"], "Geometry": "instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }"},
  {"DeviceID": "sdb", "Model": "KVX HDD 4TB & cache", "Vendor": "KVX", "SerialNumber": "ZC1ABC23", "FirmwareRevision": "SN04", "WWN": null, "Transport": "sas", "SizeBytes": 4000787030016, "Rotational": true, "Removable": false, "ReadOnly": false, "MountPoint": null, "Partitions": ["sdb1"], "Geometry": "instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }"}
]
OUT

check "get in MOF by two keys, one under another name: a date from epoch seconds" output_is software <<'OUT'

instance of Korvex_Software
{
	Name = "korvex-agent";
	Architecture = "amd64";
	Version = "4.2.1";
	Vendor = "Korvex <agent@korvex.example>";
	Summary = "Korvex inventory agent";
	InstalledSizeKiB = "5120";
	InstallDate = "20250105083000.000000-000";
};
OUT

check "get in JSON" output_is software_json <<'OUT'
[
  {"Name": "libquorvane1", "Architecture": "i386", "Version": "2.0~beta1", "Vendor": "Korvex Labs", "Summary": "Quorvane runtime (32-bit)", "InstalledSizeKiB": 101, "InstallDate": "20260201080000.000000-000"}
]
OUT

check "enum of an association in JSON: references built through the escaping template" output_is links_json <<'OUT'
[
  {"Disk": "Korvex_Disk.DeviceID=\"sda\"", "Partition": "Korvex_DiskPartition.DeviceID=\"sda1\""},
  {"Disk": "Korvex_Disk.DeviceID=\"sda\"", "Partition": "Korvex_DiskPartition.DeviceID=\"sda2\""},
  {"Disk": "Korvex_Disk.DeviceID=\"sdb\"", "Partition": "Korvex_DiskPartition.DeviceID=\"sdb1\""}
]
OUT

check "enum in MOF: values holding \";\", quotes and ampersands arrive whole" output_is software_all <<'OUT'

instance of Korvex_Software
{
	Name = "korvex-agent";
	Architecture = "amd64";
	Version = "4.2.1";
	Vendor = "Korvex <agent@korvex.example>";
	Summary = "Korvex inventory agent";
	InstalledSizeKiB = "5120";
	InstallDate = "20250105083000.000000-000";
};

instance of Korvex_Software
{
	Name = "quorvane-tools";
	Architecture = "all";
	Version = "1.0";
	Vendor = "Korvex Labs; QA";
	Summary = "tools for \"Quorvane'; reports & checks";
	InstalledSizeKiB = "312";
	InstallDate = "20251120120000.000000-000";
};

instance of Korvex_Software
{
	Name = "libquorvane1";
	Architecture = "amd64";
	Version = "2.0~beta1";
	Vendor = "Korvex Labs";
	Summary = "say \"no'; then go";
	InstalledSizeKiB = "96";
};

instance of Korvex_Software
{
	Name = "libquorvane1";
	Architecture = "i386";
	Version = "2.0~beta1";
	Vendor = "Korvex Labs";
	Summary = "Quorvane runtime (32-bit)";
	InstalledSizeKiB = "101";
	InstallDate = "20260201080000.000000-000";
};
OUT

check "a quote before \";\" in a value arrives as a single quote; a path with escaped quotes, a backslash and \";\" in keys is read and matches nothing" batch_is escaped_key 1 <<'OUT'
{"request": "get Korvex_Software.Name=\"libquorvane1\",Architecture=\"amd64\"", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [{"Name": "libquorvane1", "Architecture": "amd64", "Version": "2.0~beta1", "Vendor": "Korvex Labs", "Summary": "say \"no'; then go", "InstalledSizeKiB": 96, "InstallDate": null}]}
{"request": "get Korvex_Software.Name=\"x \\\"y\\\" \\\\z\",Architecture=\"a;b\"", "result": "0x80041002 WBEM_E_NOT_FOUND", "meaning": "the object or class was not found", "objects": []}
OUT

check "get by a path with server and namespace, the key name in another case" output_is prefixed <<'OUT'

instance of Korvex_Disk
{
	DeviceID = "sdb";
	Model = "KVX HDD 4TB & cache";
	Vendor = "KVX";
	SerialNumber = "ZC1ABC23";
	FirmwareRevision = "SN04";
	Transport = "sas";
	SizeBytes = "4000787030016";
	Rotational = TRUE;
	Removable = FALSE;
	ReadOnly = FALSE;
	Partitions = {"sdb1"};
	Geometry = "instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }";
};
OUT

check "get by a path with a namespace and an unquoted key" output_is unquoted <<'OUT'
[
  {"Name": "korvex-agent", "Architecture": "amd64", "Version": "4.2.1", "Vendor": "Korvex <agent@korvex.example>", "Summary": "Korvex inventory agent", "InstalledSizeKiB": 5120, "InstallDate": "20250105083000.000000-000"}
]
OUT

check "a get without one of the class's keys fails at once, naming the key" reports missing_key <<'OUT'
wmihost: get Korvex_Software.Name="bash" failed: 0x8004103A WBEM_E_INVALID_OBJECT_PATH
  the object path is not valid
  at position 28: the path lacks the key Architecture; a path names every key of Korvex_Software: Name, Architecture
OUT
check "  ... without loading the provider" fast missing_key
check "get of a key that matches nothing" fails_with not_found 1 \
  'wmihost: get Korvex_Disk.DeviceID="sdz" failed: 0x80041002 WBEM_E_NOT_FOUND'
check "enum of a class without a provider qualifier" fails_with unregistered 1 \
  'wmihost: enum Korvex_DiskGeometry failed: 0x80041011 WBEM_E_PROVIDER_NOT_FOUND'
check "enum of a class without a registration file: the provider refuses" fails_with no_registration_file 1 \
  'wmihost: enum Korvex_Unregistered failed: 0x80041003 WBEM_E_ACCESS_DENIED'
check "  ... and the host says where the provider's reason is and what checks the deployment" \
  reports no_registration_file <<'OUT'
  the provider gives its reason on its diagnostic channel, which --verbose shows; wmihost check checks the deployment
OUT
check "enum of a class the repository lacks" fails_with unknown_class 1 \
  'wmihost: enum Korvex_Nothing failed: 0x80041010 WBEM_E_INVALID_CLASS'
check "a caller at the identify level is refused" fails_with identify 1 \
  'wmihost: Initialize failed: 0x80041003 WBEM_E_ACCESS_DENIED'
check "a query the provider declines is answered by enumeration and filtering" output_is query <<'OUT'

instance of Korvex_Disk
{
	DeviceID = "sdb";
	Model = "KVX HDD 4TB & cache";
	Vendor = "KVX";
	SerialNumber = "ZC1ABC23";
	FirmwareRevision = "SN04";
	Transport = "sas";
	SizeBytes = "4000787030016";
	Rotational = TRUE;
	Removable = FALSE;
	ReadOnly = FALSE;
	Partitions = {"sdb1"};
	Geometry = "instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }";
};
OUT
check "a repository that cannot be read" fails_with no_repository 1 "wmihost: $work/none.mof: cannot be read"
check "a repository folder without MOF files is named" reports folder_without_mof <<OUT
wmihost: enum Korvex_Disk failed: 0x80041010 WBEM_E_INVALID_CLASS
  Korvex_Disk is no class of root\cimv2 in the repository (the folder $work/no_mof holds no MOF file)
OUT

check "a batch on the command line: a MOF block per request, failures among them" batch_is batch 1 <<'OUT'
// enum Korvex_Software

instance of Korvex_Software
{
	Name = "korvex-agent";
	Architecture = "amd64";
	Version = "4.2.1";
	Vendor = "Korvex <agent@korvex.example>";
	Summary = "Korvex inventory agent";
	InstalledSizeKiB = "5120";
	InstallDate = "20250105083000.000000-000";
};

instance of Korvex_Software
{
	Name = "quorvane-tools";
	Architecture = "all";
	Version = "1.0";
	Vendor = "Korvex Labs; QA";
	Summary = "tools for \"Quorvane'; reports & checks";
	InstalledSizeKiB = "312";
	InstallDate = "20251120120000.000000-000";
};

instance of Korvex_Software
{
	Name = "libquorvane1";
	Architecture = "amd64";
	Version = "2.0~beta1";
	Vendor = "Korvex Labs";
	Summary = "say \"no'; then go";
	InstalledSizeKiB = "96";
};

instance of Korvex_Software
{
	Name = "libquorvane1";
	Architecture = "i386";
	Version = "2.0~beta1";
	Vendor = "Korvex Labs";
	Summary = "Quorvane runtime (32-bit)";
	InstalledSizeKiB = "101";
	InstallDate = "20260201080000.000000-000";
};

// query SELECT DeviceID, SizeBytes FROM Korvex_Disk WHERE SizeBytes > 1000000000000

instance of Korvex_Disk
{
	DeviceID = "sdb";
	SizeBytes = "4000787030016";
};

// query select name from korvex_software where InstallDate < '20251201000000.000000+000'

instance of Korvex_Software
{
	Name = "korvex-agent";
	Architecture = "amd64";
};

instance of Korvex_Software
{
	Name = "quorvane-tools";
	Architecture = "all";
};

// enum Korvex_Nothing
// failed: 0x80041010 WBEM_E_INVALID_CLASS

// get Korvex_Disk.DeviceID=sda
// failed: 0x8004103A WBEM_E_INVALID_OBJECT_PATH

// query SELECT * FROM Korvex_Disk WHERE Sise > 5
// failed: 0x80041017 WBEM_E_INVALID_QUERY

// get Korvex_Disk.Serial="x"
// failed: 0x8004103A WBEM_E_INVALID_OBJECT_PATH

// get Korvex_Disk.Model="x"
// failed: 0x8004103A WBEM_E_INVALID_OBJECT_PATH

// query ASSOCIATORS OF {Korvex_DiskPartition.DeviceID="sdb1"} WHERE KeysOnly

instance of Korvex_Disk
{
	DeviceID = "sdb";
};
OUT
check "the batch reports each failure with its meaning and detail" reports batch <<OUT
wmihost: enum Korvex_Nothing failed: 0x80041010 WBEM_E_INVALID_CLASS
  the class does not exist in the namespace
  Korvex_Nothing is no class of root\cimv2 in the repository (read: $deploy/mof/korvex.mof)
wmihost: get Korvex_Disk.DeviceID=sda failed: 0x8004103A WBEM_E_INVALID_OBJECT_PATH
  at position 22: expected a value (a quoted string, a number, TRUE or FALSE), found 's'
wmihost: query SELECT * FROM Korvex_Disk WHERE Sise > 5 failed: 0x80041017 WBEM_E_INVALID_QUERY
  at position 33: Sise is no property of Korvex_Disk
  at position 13: Serial is no property of Korvex_Disk
wmihost: get Korvex_Disk.Model="x" failed: 0x8004103A WBEM_E_INVALID_OBJECT_PATH
  at position 22: the path lacks the key DeviceID; a path names every key of Korvex_Disk: DeviceID
OUT
check "--verbose: the repository file, the module, one Initialize, the declined query" reports batch <<OUT
wmihost: [host] read the repository file $deploy/mof/korvex.mof
wmihost: [host] loaded the module $module
OUT
check "--verbose: one Initialize for the whole batch" [ "$(grep -c '^wmihost: \[host\] Initialize in root\\cimv2 took 6\.' "$work/batch.err")" = 1 ]
check "--verbose: the host filters what the provider declined" grep -qF \
  "wmihost: [host] the provider declined the query with 0x8004100C WBEM_E_NOT_SUPPORTED (the operation is not supported): enumerating Korvex_Disk and filtering" \
  "$work/batch.err"
check "--verbose: the host walks the associations the provider declined, and gets the one other end" reports batch <<'OUT'
wmihost: [host] the provider declined the query with 0x8004100C WBEM_E_NOT_SUPPORTED (the operation is not supported): enumerating the associations of Korvex_DiskPartition.DeviceID="sdb1"
wmihost: [host] 1 reference to Korvex_DiskPartition.DeviceID="sdb1" among 3 instances of Korvex_DiskPartitionOnDisk
wmihost: [host] getting Korvex_Disk.DeviceID="sdb"
OUT
# __SERVER, the NetBIOS name: the host name's first label in upper case.
server=$(hostname | cut -d. -f1 | cut -c1-15 | tr '[:lower:]' '[:upper:]')
# What the JSON batch prints: the disks as JSON objects, and the last
# request with its backslashes escaped.
sdb_json='{"DeviceID": "sdb", "Model": "KVX HDD 4TB & cache", "Vendor": "KVX", "SerialNumber": "ZC1ABC23", "FirmwareRevision": "SN04", "WWN": null, "Transport": "sas", "SizeBytes": 4000787030016, "Rotational": true, "Removable": false, "ReadOnly": false, "MountPoint": null, "Partitions": ["sdb1"], "Geometry": "instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }"}'
sda_json='{"DeviceID": "sda", "Model": "KVX SSD 480GB \"Boot\"", "Vendor": "ATA", "SerialNumber": "S4EVNX0N123456", "FirmwareRevision": "DL63", "WWN": "0x5002538e40a1b2c3", "Transport": "sata", "SizeBytes": 480103981056, "Rotational": false, "Removable": false, "ReadOnly": false, "MountPoint": null, "Partitions": ["sda1", "sda2"], "Geometry": "instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }"}'
own_machine_json=$(printf '%s' "$own_machine_path" | sed 's/\\/\\\\/g')
batch_json_output() {
  sed "s/@SERVER@/$server/" <<'OUT'
{"request": "get Korvex_Software.Name=\"korvex-agent\",Architecture=\"amd64\"", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [{"Name": "korvex-agent", "Architecture": "amd64", "Version": "4.2.1", "Vendor": "Korvex <agent@korvex.example>", "Summary": "Korvex inventory agent", "InstalledSizeKiB": 5120, "InstallDate": "20250105083000.000000-000"}]}
{"request": "query SELECT DeviceID FROM Korvex_Disk WHERE (SizeBytes > 1000000000000 OR NOT Model LIKE '%SSD%') AND WWN IS NULL", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [{"DeviceID": "sdb"}]}
{"request": "list Korvex_Disk", "error": "unknown request 'list': a line holds enum, get or query", "objects": []}
{"request": "query SELECT * FROM Korvex_Disk WHERE", "result": "0x80041017 WBEM_E_INVALID_QUERY", "meaning": "the query is not valid", "detail": "at position 32: expected a property name, NOT or '(', found the end of the query", "objects": []}
{"request": "query SELECT __PATH, __CLASS FROM Korvex_Disk WHERE __CLASS = 'Korvex_Disk' AND __RELPATH LIKE '%sdb%'", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [{"__CLASS": "Korvex_Disk", "__PATH": "\\\\@SERVER@\\root\\cimv2:Korvex_Disk.DeviceID=\"sdb\"", "DeviceID": "sdb"}]}
{"request": "query SELECT Name FROM Korvex_Software WHERE InstallDate < 'January 1, 2026' AND InstallDate >= '2025-11-20'", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [{"Name": "quorvane-tools", "Architecture": "all"}]}
{"request": "query ASSOCIATORS OF {Korvex_Disk.DeviceID=\"sda\"} WHERE ResultClass = Korvex_DiskPartition Role = Disk", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [{"DeviceID": "sda1", "DiskID": "sda", "Index": 1, "StartingOffset": 1048576, "SizeBytes": 536870912, "FileSystem": "vfat", "Label": "EFI", "UUID": "7A3B-1C2D", "MountPoint": "/boot/efi"}, {"DeviceID": "sda2", "DiskID": "sda", "Index": 2, "StartingOffset": 537919488, "SizeBytes": 479565037568, "FileSystem": "ext4", "Label": "root; \"main\" & more", "UUID": "0b6c2f5e-3a1d-4e8f-9c7b-2d1e0f3a4b5c", "MountPoint": "/"}]}
{"request": "query ASSOCIATORS OF {korvex_software.architecture=\"i386\",name=\"libquorvane1\"} WHERE AssocClass = Korvex_InstalledSoftware ResultRole = System RequiredQualifier = dynamic RequiredAssocQualifier = association KeysOnly", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [{"Name": "kvx-db01"}]}
{"request": "query ASSOCIATORS OF {Korvex_ComputerSystem=\"kvx-db01\"} WHERE ClassDefsOnly", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [{"__CLASS": "Korvex_Software", "Name": null, "Architecture": null, "Version": null, "Vendor": null, "Summary": null, "InstalledSizeKiB": null, "InstallDate": null}]}
{"request": "query REFERENCES OF {Korvex_DiskPartition.DeviceID=\"sdb1\"} WHERE ResultClass = Korvex_DiskPartitionOnDisk Role = Partition RequiredQualifier = association KeysOnly", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [{"Disk": "Korvex_Disk.DeviceID=\"sdb\"", "Partition": "Korvex_DiskPartition.DeviceID=\"sdb1\""}]}
{"request": "query REFERENCES OF {Korvex_Software.Name=\"korvex-agent\",Architecture=\"amd64\"} WHERE ClassDefsOnly", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [{"__CLASS": "Korvex_InstalledSoftware", "System": null, "Software": null}]}
{"request": "query ASSOCIATORS OF {Korvex_Disk.Serial=\"x\"}", "result": "0x8004103A WBEM_E_INVALID_OBJECT_PATH", "meaning": "the object path is not valid", "detail": "at position 29: Serial is no property of Korvex_Disk", "objects": []}
{"request": "query REFERENCES OF {Korvex_Disk=\"sda\"} WHERE AssocClass = Korvex_DiskPartitionOnDisk", "result": "0x80041017 WBEM_E_INVALID_QUERY", "meaning": "the query is not valid", "detail": "at position 41: expected a keyword of REFERENCES OF (ClassDefsOnly, KeysOnly, RequiredQualifier, ResultClass, Role, SchemaOnly), found 'AssocClass'", "objects": []}
OUT
  printf '%s\n' \
    '{"request": "get Korvex_Disk=\"sdb\"", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": ['"$sdb_json"']}' \
    '{"request": "get //./root/cimv2:Korvex_Disk.DeviceID='\''sdb'\''", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": ['"$sdb_json"']}' \
    '{"request": "get \\\\LOCALHOST\\ROOT\\CIMV2:Korvex_Disk='\''sda'\''", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": ['"$sda_json"']}' \
    '{"request": "get Korvex_Software=\"korvex-agent\"", "result": "0x8004103A WBEM_E_INVALID_OBJECT_PATH", "meaning": "the object path is not valid", "detail": "at position 17: a value without a key name needs a class with one key, and Korvex_Software has 2 keys: Name, Architecture", "objects": []}' \
    '{"request": "get Korvex_Disk=@", "result": "0x8004103A WBEM_E_INVALID_OBJECT_PATH", "meaning": "the object path is not valid", "detail": "at position 13: @ names the instance of a class without keys, and Korvex_Disk has the key DeviceID", "objects": []}' \
    '{"request": "get \\\\server01\\root\\cimv2:Korvex_Disk.DeviceID=\"sdb\"", "result": "0x800706BA RPC_S_SERVER_UNAVAILABLE", "meaning": "Win32 error 1722: the RPC server is unavailable", "detail": "the path names the server server01, and this host reaches no other machine", "objects": []}' \
    '{"request": "get root\\cimv3:Korvex_Disk.DeviceID=\"sdb\"", "result": "0x8004100E WBEM_E_INVALID_NAMESPACE", "meaning": "the namespace does not exist", "detail": "the path names the namespace root\\cimv3, and this host serves root\\cimv2", "objects": []}' \
    '{"request": "get '"$own_machine_json"'", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": ['"$sdb_json"']}'
}
check "a batch from standard input in JSON Lines: comments skipped, bad lines reported; system properties, dates, association queries, object paths in every form" \
  batch_is batch_json 1 < <(batch_json_output)
check "a bad line is named by its source and number" reports batch_json <<'OUT'
wmihost: standard input:4: unknown request 'list': a line holds enum, get or query
OUT

check "a class missing from the repository fails at once, naming the files read" reports fast_class <<OUT
wmihost: enum Korvex_Nothing failed: 0x80041010 WBEM_E_INVALID_CLASS
  the class does not exist in the namespace
  Korvex_Nothing is no class of root\cimv2 in the repository (read: $deploy/mof/korvex.mof)
OUT
check "  ... without loading the provider" fast fast_class
check "a malformed object path fails at once with the position" reports fast_path <<'OUT'
wmihost: get Korvex_Disk.DeviceID="sda", failed: 0x8004103A WBEM_E_INVALID_OBJECT_PATH
  the object path is not valid
  at position 28: expected a key property name, found the end of the path
OUT
check "  ... without loading the provider" fast fast_path
check "a malformed query fails at once with the position" reports fast_query <<'OUT'
wmihost: query SELECT * FROM Korvex_Disk WHERE Model =  failed: 0x80041017 WBEM_E_INVALID_QUERY
  the query is not valid
  at position 41: expected a value, found the end of the query
OUT
check "  ... without loading the provider" fast fast_query
check "a provider without its __Win32Provider: the request fails, naming the missing piece" reports no_provider <<'OUT'
wmihost: enum Korvex_Disk failed: 0x80041011 WBEM_E_PROVIDER_NOT_FOUND
  no provider is registered for the class
  the provider qrvcim of Korvex_Disk is not registered: root\cimv2 holds no __Win32Provider named qrvcim
OUT
check "  ... without loading the provider, even with --module" bash -c "! grep -q 'loaded the module' '$work/no_provider.err'"

check "--help prints the usage and succeeds" bash -c "[ \"\$(cat '$work/help.rc')\" = 0 ] && grep -q '^usage: wmihost' '$work/help.out' && [ ! -s '$work/help.err' ]"
check "--help: every invocation pays the six-second Initialize, a batch or --batch - pays it once" bash -c \
  "tr '\\n' ' ' <'$work/help.out' | grep -qF 'its Initialize pauses six seconds: every invocation of wmihost pays them. Requests together on one command line, in --batch FILE or fed a line at a time to --batch -, pay them once.'"
check "-h answers whatever else the line holds" cmp -s "$work/help.out" "$work/help_short.out"
check "--version" output_is version <<<"wmihost 1.1"
check "usage: an unknown option is named" fails_with unknown_option 2 'wmihost: unknown option --frobnicate'
check "usage: no request" fails_with no_request 2 'wmihost: no request given'
check "usage: a level outside 1 to 4" fails_with bad_level 2 "wmihost: --level must be 1, 2, 3 or 4, not '5'"
check "usage: an unknown request" fails_with bad_verb 2 "wmihost: unknown request 'list'"

check "check: the example deployment is sound, and each class enumerates" prints check 0 <<OUT
$deploy/mof/korvex.mof:10: note: the provider qrvcim is the COM class $clsid; --module names its module, so COM's registration is not checked
$deploy/xmlreg/root/cimv2/korvex_disk.xml: note: registers Korvex_Disk of root\cimv2
$deploy/xmlreg/root/cimv2/korvex_installedsoftware.xml:4: note: no <Get>: a get of Korvex_InstalledSoftware answers WBEM_E_PROVIDER_NOT_CAPABLE
$deploy/xmlreg/root/cimv2/korvex_disk.xml: note: enum Korvex_Disk: 2 instances delivered
$deploy/xmlreg/root/cimv2/korvex_software.xml: note: enum Korvex_Software: 4 instances delivered
check: 0 errors, 0 warnings in 9 registrations below $deploy
OUT
check "check: every line is FILE[:LINE]: error|warning|note: text, but the count at the end" bash -c \
  "grep -v '^check: ' '$work/check.out' '$work/broken_check.out' | grep -vE '^[^:]+:[^ :]+(:[0-9]+)?: (error|warning|note): '; [ \$? = 1 ]"
check "check: every mistake of the broken copy, with its file and line, and the exit status 1" prints broken_check 1 <<OUT
$reg/korvex_networkadaptor.xml: error: registers no class korvex_networkadaptor of root\cimv2, which the provider looks for here; it registers Korvex_NetworkAdapter of root\cimv2
$reg/korvex_memory.xml: error: registers no class korvex_memory of root\cimv2, which the provider looks for here; it registers Korvex_Memory of root\cimv3
$reg/korvex_diskpartitionondisk.xml:6: error: the data file $broken/xslroot/inventory/data/inventroy.xml: the file does not exist
$reg/korvex_diskpartitionondisk.xml:7: error: the stylesheet $xsl/diskpartitionondisk.xsl: refused by the provider: it has a document type declaration
$reg/korvex_disk.xml:5: error: <Enumarate> is no element of a registration, so the provider ignores it: did you mean <Enumerate>?
$reg/korvex_disk.xml:4: note: no <Enumerate>: an enumeration of Korvex_Disk answers WBEM_E_PROVIDER_NOT_CAPABLE, and check does not enumerate it
$reg/korvex_disk.xml:13: error: the attribute DevicID is no property of Korvex_Disk
$reg/korvex_disk.xml:4: error: the key DeviceID of Korvex_Disk is no required attribute: a get cannot hand it to the stylesheet
$reg/korvex_software.xml:9: error: <Attribute> has no attribute alt_name, so the provider ignores it: did you mean alt-name?
$reg/korvex_software.xml:4: warning: attributes are registered for gets, but there is no <Get>: every get answers WBEM_E_PROVIDER_NOT_CAPABLE
$reg/korvex_computersystem.xml:13: error: the required attribute Description is no key of Korvex_ComputerSystem
$reg/korvex_installedsoftware.xml: error: the registration cannot be parsed: line 9, column 3: expected end of tag 'Class'
$reg/korvex_processor.xml: note: registers Korvex_Processor of root\cimv2
$reg/korvex_diskpartition.xml: error: enum Korvex_DiskPartition: 0 instances delivered, failed with 0x80041024 WBEM_E_PROVIDER_NOT_CAPABLE; the provider reports:
$reg/korvex_diskpartition.xml: note: wexi: an enumeration of Korvex_DiskPartition stopped: the stylesheet does not compile
$reg/korvex_software.xml: error: enum Korvex_Software: 4 instances delivered; the provider reports:
$reg/korvex_software.xml: note: wexi: dropped Korvex_Software.Sumary = "Korvex inventory agent": the class has no property Sumary
$reg/korvex_processor.xml: error: enum Korvex_Processor: 3 instances delivered; the provider reports:
$reg/korvex_processor.xml: note: wexi: dropped Korvex_Processor.NumberOfCores = "64 bits": WMI refused it as uint32 with 0x80041005
check: 16 errors, 1 warning in 9 registrations below $broken
OUT
check "check: a class whose <Enumerate> is misspelt is not enumerated" bash -c "! grep -q 'enum Korvex_Disk:' '$work/broken_check.out'"
check "check: a stylesheet that does not compile, with Xalan-C's file and line" grep -qE \
  "^$reg/korvex_diskpartition.xml:7: error: the stylesheet $xsl/diskpartition.xsl: XPath error: .*at line 12, column 12\.\)\$" \
  "$work/broken_check.out"
check "without --verbose, each failure whose code stands for many causes says where the reason is" \
  reports broken_quiet <<'OUT'
wmihost: enum Korvex_NetworkAdapter failed: 0x80041003 WBEM_E_ACCESS_DENIED
  the provider gives its reason on its diagnostic channel, which --verbose shows; wmihost check checks the deployment
wmihost: enum Korvex_DiskPartitionOnDisk failed: 0x80041003 WBEM_E_ACCESS_DENIED
wmihost: enum Korvex_Disk failed: 0x80041024 WBEM_E_PROVIDER_NOT_CAPABLE
  the provider declined the query, and its enumeration of Korvex_NetworkAdapter failed: the provider gives its reason on its diagnostic channel, which --verbose shows; wmihost check checks the deployment
OUT
check "  ... once per failure" [ "$(grep -c 'which --verbose shows; wmihost check checks the deployment$' "$work/broken_quiet.err")" = 4 ]
check "--verbose: the provider's lines come first, and the hint points above" reports broken_verbose <<'OUT'
wmihost: enum Korvex_NetworkAdapter failed: 0x80041003 WBEM_E_ACCESS_DENIED
  the provider's lines above give its reason; wmihost check checks the deployment
OUT
check "--verbose: the provider says why each request failed" reports broken_verbose <<OUT
wmihost: [provider] wexi: class Korvex_NetworkAdapter of namespace root\cimv2 is not registered: looked for $reg/korvex_networkadapter.xml, and the file does not exist
wmihost: [provider] wexi: an enumeration of Korvex_NetworkAdapter answers 0x80041003
wmihost: [provider] wexi: class Korvex_Memory of namespace root\cimv2 is not registered: looked for $reg/korvex_memory.xml, and it registers only Korvex_Memory of root\cimv3
wmihost: [provider] wexi: a get of Korvex_Disk lacks the required key DevicID; the path gives: DeviceID
wmihost: [provider] wexi: class Korvex_Software cannot be got: its registration has no <Get>
wmihost: [provider] wexi: an enumeration of Korvex_DiskPartition stopped: the stylesheet does not compile
wmihost: [provider] wexi: the data file $broken/xslroot/inventory/data/inventroy.xml cannot be opened: No such file or directory
wmihost: [provider] wexi: class Korvex_InstalledSoftware of namespace root\cimv2 is not registered: looked for $reg/korvex_installedsoftware.xml, and it cannot be parsed: line 9, column 3: expected end of tag 'Class'
wmihost: [provider] wexi: a get of Korvex_Processor.DeviceID="none" found nothing: the stylesheet wrote no statement
OUT
check "--verbose: the stylesheet error on one line, with the file and line" grep -qE \
  "^wmihost: \[provider\] wexi: the stylesheet $xsl/diskpartition.xsl does not compile: XPath error: .*diskpartition.xsl', at line 12, column 12\.\)\$" \
  "$work/broken_verbose.err"
check "--verbose: every dropped value, with the value, the CIM type and the reason" bash -c \
  "[ \"\$(grep -c '^wmihost: \[provider\] wexi: dropped Korvex_Processor.NumberOfCores = \"64 bits\": WMI refused it as uint32 with 0x80041005\$' '$work/broken_verbose.err')\" = 3 ] &&
   [ \"\$(grep -c '^wmihost: \[provider\] wexi: dropped Korvex_Software.Sumary = .*: the class has no property Sumary\$' '$work/broken_verbose.err')\" = 4 ]"
check "without --verbose the provider's lines stay silent" bash -c "! grep -q 'wexi:' '$work/batch.out' '$work/disks.err' '$work/no_registration_file.err'"

check "without --verbose a stylesheet's messages and the XML parser's errors stay silent" bash -c \
  "grep -q 'Korvex_Processor' '$work/talking_quiet.out' && [ \"\$(cat '$work/talking_quiet.rc')\" = 1 ] &&
   ! grep -v -e '^wmihost: enum Korvex_Memory failed: ' -e '^wmihost: enum Korvex_Software failed: ' \
     -e '^  the provider cannot carry out the request' -e '^  the provider gives its reason on its diagnostic channel' \
     '$work/talking_quiet.err'"
check "--verbose: a stylesheet's messages, the one that ends it and the parser's error are the provider's lines" \
  reports talking_verbose <<OUT
wmihost: [provider] wexi: XSLT message: counting processors (Occurred in entity 'file://$txsl/processor.xsl', at line 12, column 12.) Source tree node: #document.
wmihost: [provider] wexi: the stylesheet $txsl/software.xsl does not compile: SAXParseException: unable to open primary document entity '$txsl/nothere.xsl' (Occurred in an unknown entity, at line 0, column 0.)
OUT
check "--verbose: xsl:message terminate=\"yes\" fails the request with the message" grep -qF \
  "wmihost: [provider] wexi: the stylesheet $txsl/memory.xsl failed on the request: ElemMessageTerminateExpression: no memory today (Occurred in entity 'file://$txsl/memory.xsl'" \
  "$work/talking_verbose.err"
check "--verbose: every line on standard error has the host's prefix" bash -c \
  "! grep -v -e '^wmihost: ' -e '^  ' '$work/talking_verbose.err'"

check "list: a Name = value line per property, unset ones bare, a blank line between objects, # blocks" \
  batch_is list_batch 1 <<'OUT'
# enum Korvex_Disk
DeviceID = sda
Model = KVX SSD 480GB "Boot"
Vendor = ATA
SerialNumber = S4EVNX0N123456
FirmwareRevision = DL63
WWN = 0x5002538e40a1b2c3
Transport = sata
SizeBytes = 480103981056
Rotational = FALSE
Removable = FALSE
ReadOnly = FALSE
MountPoint =
Partitions = {sda1, sda2}
Geometry = instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }

DeviceID = sdb
Model = KVX HDD 4TB & cache
Vendor = KVX
SerialNumber = ZC1ABC23
FirmwareRevision = SN04
WWN =
Transport = sas
SizeBytes = 4000787030016
Rotational = TRUE
Removable = FALSE
ReadOnly = FALSE
MountPoint =
Partitions = {sdb1}
Geometry = instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }

# query SELECT Name, InstallDate FROM Korvex_Software WHERE InstallDate < '20260101000000.000000+000'
Name = korvex-agent
Architecture = amd64
InstallDate = 20250105083000.000000-000

Name = quorvane-tools
Architecture = all
InstallDate = 20251120120000.000000-000

# get Korvex_Disk.DeviceID="sdz"
# failed: 0x80041002 WBEM_E_NOT_FOUND

# list Korvex_Disk
# not a request: unknown request 'list': a line holds enum, get or query

# query REFERENCES OF {Korvex_DiskPartition="sda2"}
Disk = Korvex_Disk.DeviceID="sda"
Partition = Korvex_DiskPartition.DeviceID="sda2"

# query ASSOCIATORS OF {Korvex_Disk="sdb"} WHERE ClassDefsOnly
__CLASS = Korvex_DiskPartition
DeviceID =
DiskID =
Index =
StartingOffset =
SizeBytes =
FileSystem =
Label =
UUID =
MountPoint =
OUT
check "csv: a header row, RFC 4180 quoting, arrays as {a;b}, unset values empty, # blocks" \
  batch_is csv_batch 1 <<'OUT'
# enum Korvex_Disk
DeviceID,Model,Vendor,SerialNumber,FirmwareRevision,WWN,Transport,SizeBytes,Rotational,Removable,ReadOnly,MountPoint,Partitions,Geometry
sda,"KVX SSD 480GB ""Boot""",ATA,S4EVNX0N123456,DL63,0x5002538e40a1b2c3,sata,480103981056,FALSE,FALSE,FALSE,,{sda1;sda2},instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }
sdb,KVX HDD 4TB & cache,KVX,ZC1ABC23,SN04,,sas,4000787030016,TRUE,FALSE,FALSE,,{sdb1},instance of Korvex_DiskGeometry { LogicalSectorSize = 512 PhysicalSectorSize = 4096 }

# query SELECT Name, InstallDate FROM Korvex_Software WHERE InstallDate < '20260101000000.000000+000'
Name,Architecture,InstallDate
korvex-agent,amd64,20250105083000.000000-000
quorvane-tools,all,20251120120000.000000-000

# get Korvex_Disk.DeviceID="sdz"
# failed: 0x80041002 WBEM_E_NOT_FOUND

# list Korvex_Disk
# not a request: unknown request 'list': a line holds enum, get or query

# query REFERENCES OF {Korvex_DiskPartition="sda2"}
Disk,Partition
"Korvex_Disk.DeviceID=""sda""","Korvex_DiskPartition.DeviceID=""sda2"""

# query ASSOCIATORS OF {Korvex_Disk="sdb"} WHERE ClassDefsOnly
__CLASS,DeviceID,DiskID,Index,StartingOffset,SizeBytes,FileSystem,Label,UUID,MountPoint
Korvex_DiskPartition,,,,,,,,,
OUT
check "  ... and the failures on standard error" reports csv_batch <<'OUT'
wmihost: get Korvex_Disk.DeviceID="sdz" failed: 0x80041002 WBEM_E_NOT_FOUND
wmihost: standard input:4: unknown request 'list': a line holds enum, get or query
OUT

check "classes: at once, without loading the provider" fast classes
check "classes: each class with its provider; --module names the module" output_is classes <<OUT
Class                       Provider  Registered
Korvex_ComputerSystem       qrvcim    yes: $clsid; --module names the module
Korvex_Disk                 qrvcim    yes: $clsid; --module names the module
Korvex_DiskGeometry         -         -
Korvex_DiskPartition        qrvcim    yes: $clsid; --module names the module
Korvex_DiskPartitionOnDisk  qrvcim    yes: $clsid; --module names the module
Korvex_InstalledSoftware    qrvcim    yes: $clsid; --module names the module
Korvex_Memory               qrvcim    yes: $clsid; --module names the module
Korvex_NetworkAdapter       qrvcim    yes: $clsid; --module names the module
Korvex_Processor            qrvcim    yes: $clsid; --module names the module
Korvex_Software             qrvcim    yes: $clsid; --module names the module
OUT
check "classes: the module COM's registration names, and no module once unregistered" bash -c "
  grep -qxF 'Korvex_Disk                 qrvcim    yes: $clsid in $module' '$work/registered_classes.out' &&
  grep -qxF 'Korvex_Disk                 qrvcim    no: the CLSID $clsid is not registered with COM: no InprocServer32 names its module' '$work/unregistered_classes.out'"
check "classes: a provider registration without a CLSID, and a provider that is not registered" prints classes_broken 0 <<OUT
Korvex_Disk                 qrvcim     no: the provider qrvcim ($work/no_clsid.mof:10) gives no CLSID in the form {8-4-4-4-12 hexadecimal digits}
Korvex_DiskGeometry         -          -
Korvex_Elsewhere            elsewhere  no: the provider elsewhere of Korvex_Elsewhere is not registered: root\cimv2 holds no __Win32Provider named elsewhere
OUT
check "describe: a class's declaration at once" fast describe_disk
check "describe: the declaration of Korvex_Disk with its qualifiers and keys" output_is describe_disk <<OUT
// Korvex_Disk of root\cimv2, declared at $deploy/mof/korvex.mof:$(grep -n "^class Korvex_Disk$" "$deploy/mof/korvex.mof" | cut -d: -f1)
// keys: DeviceID
[dynamic, provider("qrvcim")]
class Korvex_Disk
{
	[key] string DeviceID;
	string Model;
	string Vendor;
	string SerialNumber;
	string FirmwareRevision;
	string WWN;
	string Transport;
	uint64 SizeBytes;
	boolean Rotational;
	boolean Removable;
	boolean ReadOnly;
	string MountPoint;
	string Partitions[];
	string Geometry;
};
OUT
check "describe: an association, its references and both keys" output_is describe_link <<OUT
// Korvex_DiskPartitionOnDisk of root\cimv2, declared at $deploy/mof/korvex.mof:$(grep -n "^class Korvex_DiskPartitionOnDisk$" "$deploy/mof/korvex.mof" | cut -d: -f1)
// keys: Disk, Partition
[dynamic, provider("qrvcim"), association]
class Korvex_DiskPartitionOnDisk
{
	[key] Korvex_Disk ref Disk;
	[key] Korvex_DiskPartition ref Partition;
};
OUT
check "describe: an unknown class fails at once" fast describe_unknown
check "  ... with WBEM_E_INVALID_CLASS, naming the class" fails_with describe_unknown 1 \
  'wmihost: describe Korvex_Nothing failed: 0x80041010 WBEM_E_INVALID_CLASS'
check "  ... and the files the repository read" reports describe_unknown <<OUT
  Korvex_Nothing is no class of root\cimv2 in the repository (read: $deploy/mof/korvex.mof)
OUT
check "describe stands alone" fails_with describe_batch 2 'wmihost: describe cannot be combined with other requests'

check "regsvr reports the module's full path" output_is regsvr <<<"registered $module"
check "regsvr writes the class's InprocServer32 entry" grep -qxF "@=\"$module\"" \
  <(grep -A1 -F "[HKEY_CLASSES_ROOT\\CLSID\\$clsid\\InprocServer32]" "$work/registered.reg")
check "enum and get through the module registered for the provider's CLSID, without --module" \
  prints registered 0 <<'OUT'
// enum Korvex_Disk
	DeviceID = "sdb";
// get Korvex_Disk.DeviceID="sda"
	SerialNumber = "S4EVNX0N123456";
OUT
check "check without --module: the module root of the registered module" prints registered_check 0 <<OUT
$deploy/mof/korvex.mof:10: note: the provider qrvcim is the COM class $clsid of the module $module
$deploy/xmlreg/root/cimv2/korvex_disk.xml: note: enum Korvex_Disk: 2 instances delivered
check: 0 errors, 0 warnings in 9 registrations below $deploy
OUT
check "unregsvr reports the module" output_is unregsvr <<<"unregistered $module"
check "unregsvr removes the class" bash -c "! grep -qF '$clsid' '$KORVEX_REGISTRY_FILE'"
check "without a registered module WMI cannot load the provider" fails_with unregistered_get 1 \
  'wmihost: get Korvex_Disk.DeviceID="sda" failed: 0x80041013 WBEM_E_PROVIDER_LOAD_FAILURE'
check "  ... and the host names the CLSID that is not registered" reports unregistered_get <<OUT
  the CLSID $clsid of the provider qrvcim is not registered with COM (REGDB_E_CLASSNOTREG): no InprocServer32 names its module
OUT
check "check: an unregistered CLSID, and no module root to check" prints unregistered_check 1 <<OUT
$deploy/mof/korvex.mof:10: error: the CLSID $clsid of the provider qrvcim is not registered with COM: no InprocServer32 names its module, so WMI cannot load it
wmihost: error: no module root to check: the providers of root\cimv2 lead to no registered module; --module names the one to check
check: 2 errors, 0 warnings; no module root checked
OUT
check "check: a registered module that is not there" prints gone_check 1 <<OUT
$deploy/mof/korvex.mof:10: error: the module registered for the CLSID $clsid of the provider qrvcim does not exist: $work/gone/wexi.so
check: 2 errors, 0 warnings; no module root checked
OUT
check "check: each broken link of the provider registration, and requests that cannot reach the provider" \
  prints no_clsid_check 1 <<OUT
$work/no_clsid.mof:$(grep -n '^class Korvex_Elsewhere' "$work/no_clsid.mof" | cut -d: -f1): error: the provider elsewhere of Korvex_Elsewhere is not registered: root\cimv2 holds no __Win32Provider named elsewhere
$work/no_clsid.mof:18: error: the registration of the provider qrvcim refuses gets: its SupportsGet is not TRUE
$work/no_clsid.mof:10: error: the __Win32Provider qrvcim gives no CLSID in the form {8-4-4-4-12 hexadecimal digits}
$deploy/xmlreg/root/cimv2/korvex_disk.xml: error: enum Korvex_Disk: 0 instances delivered, failed with 0x80041012 WBEM_E_INVALID_PROVIDER_REGISTRATION
check: 12 errors, 0 warnings in 9 registrations below $deploy
OUT

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
