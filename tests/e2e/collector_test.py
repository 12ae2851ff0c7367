"""The Linux collector's reading of lshw's tree, on recorded lshw outputs of
several kinds of machine (tests/e2e/inventory/lshw/): a two-socket server
with PCI memory controllers, a co-processor and hyper-threads listed as
logicalcpu nodes; a laptop with Wi-Fi and WWAN interfaces under the machine's
node; a virtual machine whose interface hangs off its PCI function; an old
lshw (B.02.16) without the list root and with fewer values. Also the
completion from /proc/cpuinfo, /proc/meminfo and ip, the rules every
document keeps (no empty value, unique ids, 0/1 booleans, whole numbers),
and --help."""
import importlib.machinery
import os
import subprocess
import sys
import types
import unittest
import xml.etree.ElementTree as ET

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
COLLECTOR = os.path.join(SOURCE, "deploy", "collector", "korvex-collector")
RECORDED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "inventory", "lshw")
MACHINES = ("server", "laptop", "vm", "old")


def load_collector():
    loader = importlib.machinery.SourceFileLoader("korvex_collector", COLLECTOR)
    module = types.ModuleType(loader.name)
    module.__file__ = COLLECTOR
    loader.exec_module(module)
    return module


collector = load_collector()


def recorded(name):
    """The root element of a recorded lshw -xml output."""
    return ET.parse(os.path.join(RECORDED, name + ".xml")).getroot()


def sections(name, **sources):
    """The normalized sections of a recorded machine, by tag."""
    return {element.tag: element for element in collector.hardware_sections(recorded(name), **sources)}


def by_id(section, tag):
    return {element.get("id"): element.attrib for element in section.iter(tag)}


CPUINFO_ONE_PACKAGE = "\n\n".join(
    f"processor\t: {n}\nvendor_id\t: AuthenticAMD\nmodel name\t: AMD EPYC\ncpu MHz\t\t: 2595.{n}24\n"
    f"physical id\t: 0\nsiblings\t: 2\ncore id\t\t: {n}\ncpu cores\t: 2" for n in range(2)) + "\n"

CPUINFO_TWO_PACKAGES = "\n\n".join(
    f"processor\t: {n}\ncpu MHz\t\t: 1800.000\nphysical id\t: {n // 4}\nsiblings\t: 4\ncpu cores\t: 2"
    for n in range(8)) + "\n"


class ProcessorsTest(unittest.TestCase):
    def test_one_processor_per_package_without_logical_cpus_or_co_processors(self):
        processors = by_id(sections("server")["Processors"], "Processor")
        self.assertEqual(list(processors), ["CPU0", "CPU1"])
        self.assertEqual(processors["CPU0"]["name"], "Intel(R) Xeon(R) Gold 6230 CPU @ 2.10GHz")
        self.assertEqual(processors["CPU1"]["slot"], "CPU2")
        self.assertEqual(processors["CPU1"]["busInfo"], "cpu@1")
        old = by_id(sections("old")["Processors"], "Processor")
        self.assertEqual(list(old), ["CPU0"])
        self.assertEqual(list(by_id(sections("vm")["Processors"], "Processor")), ["CPU0", "CPU1"])

    def test_counts_clocks_and_state(self):
        cpu0, cpu1 = sections("server")["Processors"].findall("Processor")
        self.assertEqual((cpu0.get("cores"), cpu0.get("enabledCores"), cpu0.get("logicalProcessors")), ("20", "20", "40"))
        self.assertEqual((cpu0.get("currentMHz"), cpu0.get("maxMHz"), cpu0.get("widthBits")), ("2100", "4000", "64"))
        self.assertEqual(cpu0.get("enabled"), "1")
        # Without lshw's thread count the logical processors listed below the package count.
        self.assertEqual((cpu1.get("enabledCores"), cpu1.get("logicalProcessors")), ("18", "3"))
        self.assertEqual(sections("old")["Processors"].find("Processor").get("logicalProcessors"), "4")

    def test_capabilities_keep_their_descriptions(self):
        cpu = sections("server")["Processors"].find("Processor")
        capabilities = {c.get("name"): c.get("description") for c in cpu.findall("Capability")}
        self.assertEqual(capabilities["fpu"], "mathematical co-processor")
        self.assertEqual(capabilities["ht"], "HyperThreading")
        self.assertNotIn("logical", capabilities)

    def test_an_empty_socket_is_a_disabled_processor(self):
        tree = recorded("vm")
        core = tree.find("node/node")
        ET.SubElement(core, "node", id="cpu:2", disabled="true", claimed="true").set("class", "processor")
        ET.SubElement(core.find("node[@id='cpu:2']"), "slot").text = "CPU 2"
        machine = collector.machine_node(tree)
        empty = collector.processors(machine).findall("Processor")[2]
        self.assertEqual(dict(empty.attrib), {"id": "CPU2", "slot": "CPU 2", "enabled": "0"})

    def test_cpuinfo_completes_what_lshw_does_not_give(self):
        # lshw run without DMI lists one processor with neither cores nor threads nor clock.
        tree = ET.fromstring('<node id="vm" class="system"><node id="core" class="bus"><node id="cpu" class="processor">'
                             '<product>AMD EPYC</product><businfo>cpu@0</businfo></node></node></node>')
        cpu = collector.processors(tree, CPUINFO_ONE_PACKAGE).find("Processor")
        self.assertEqual((cpu.get("cores"), cpu.get("logicalProcessors"), cpu.get("currentMHz")), ("2", "2", "2595"))
        # lshw's own values win.
        laptop = collector.processors(collector.machine_node(recorded("laptop")), CPUINFO_ONE_PACKAGE)
        self.assertEqual((laptop.find("Processor").get("cores"), laptop.find("Processor").get("currentMHz")), ("4", "3587"))
        # A count that is no number is none.
        odd = ET.fromstring('<node id="pc" class="system"><node id="cpu" class="processor"><configuration>'
                            '<setting id="cores" value="unknown"/><setting id="enabledcores" value="-1"/>'
                            '<setting id="threads" value="2.5"/></configuration></node></node>')
        cpu = collector.processors(odd, CPUINFO_ONE_PACKAGE).find("Processor")
        self.assertEqual((cpu.get("cores"), cpu.get("enabledCores"), cpu.get("logicalProcessors")), ("2", None, "2"))
        # Two packages of /proc/cpuinfo for one lshw processor: nothing can be matched.
        cpu = collector.processors(tree, CPUINFO_TWO_PACKAGES).find("Processor")
        self.assertIsNone(cpu.get("cores"))
        self.assertIsNone(cpu.get("logicalProcessors"))

    def test_cpuinfo_packages(self):
        self.assertEqual(collector.cpuinfo_packages(CPUINFO_TWO_PACKAGES),
                         [{"logical": 4, "cores": 2, "mhz": 1800}, {"logical": 4, "cores": 2, "mhz": 1800}])
        # ARM: no physical ids, the packages cannot be told apart.
        self.assertEqual(collector.cpuinfo_packages("processor\t: 0\nBogoMIPS\t: 48.00\n\nprocessor\t: 1\n"), [])


class MemoryTest(unittest.TestCase):
    def test_system_memory_arrays_and_banks_only(self):
        server = sections("server")["Memory"]
        self.assertEqual([a.get("id") for a in server.findall("Array")], ["core/memory"])
        self.assertEqual([m.get("id") for m in server.iter("Module")],
                         ["core/memory/bank:0", "core/memory/bank:1", "core/memory/bank:2"])
        for name in MACHINES:
            memory = sections(name)["Memory"]
            self.assertEqual(len(memory.findall("Array")), 1, name)
            for element in memory.iter():
                self.assertNotIn("pci", element.get("id", ""), name)
                self.assertNotIn("cache", element.get("id", ""), name)
                self.assertNotIn("firmware", element.get("id", ""), name)

    def test_values_of_arrays_and_modules(self):
        memory = sections("server")["Memory"]
        self.assertEqual(dict(memory.find("Array").attrib),
                         {"id": "core/memory", "description": "System Memory", "sizeBytes": "68719476736",
                          "slot": "System board or motherboard"})
        bank = by_id(memory, "Module")["core/memory/bank:2"]
        self.assertEqual((bank["product"], bank["vendor"], bank["serial"], bank["slot"]),
                         ("M393A4K40CB2-CVF", "Samsung", "40F3B2A2", "B1"))
        self.assertEqual((bank["sizeBytes"], bank["speedMHz"], bank["widthBits"]), ("34359738368", "2933", "64"))
        vm_bank = by_id(sections("vm")["Memory"], "Module")["core/memory/bank"]
        self.assertEqual((vm_bank["sizeBytes"], vm_bank["vendor"]), ("4294967296", "QEMU"))
        self.assertNotIn("speedMHz", vm_bank)

    def test_an_empty_bank_keeps_its_slot_and_names_no_module(self):
        for name, bank in (("server", "core/memory/bank:1"), ("old", "core/memory/bank:1")):
            empty = by_id(sections(name)["Memory"], "Module")[bank]
            self.assertEqual(set(empty), {"id", "description", "slot"}, name)

    def test_sizes_that_are_no_whole_number_are_left_out(self):
        tree = ET.fromstring('<node id="pc" class="system"><node id="core" class="bus"><node id="memory" class="memory">'
                             '<description>System Memory</description><size units="bytes">-1</size>'
                             '<node id="bank:0" class="memory"><size units="bytes">1e999</size></node>'
                             '<node id="bank:1" class="memory"><size units="bytes">8589934592</size>'
                             '<clock units="MHz">1600</clock></node></node></node></node>')
        memory = collector.memory(tree)
        self.assertEqual([dict(e.attrib) for e in memory.iter() if e is not memory], [
            {"id": "core/memory", "description": "System Memory"},
            {"id": "core/memory/bank:0"},
            {"id": "core/memory/bank:1", "sizeBytes": "8589934592"}])

    def test_memory_the_kernel_counts_without_banks(self):
        tree = ET.fromstring('<node id="vm" class="system"><node id="core" class="bus"><node id="memory" class="memory">'
                             '<description>System memory</description><size units="bytes">25769803776</size>'
                             '</node></node></node>')
        memory = collector.memory(tree, "MemTotal:       24683748 kB\nMemFree:  1 kB\n")
        self.assertEqual(memory.get("totalBytes"), str(24683748 * 1024))
        self.assertEqual([dict(a.attrib) for a in memory], [
            {"id": "core/memory", "description": "System memory", "sizeBytes": "25769803776"}])
        self.assertIsNone(collector.memory(tree, "garbage").get("totalBytes"))


IP_ADDRESS = ('[{"ifindex":1,"ifname":"lo","addr_info":[{"family":"inet","local":"127.0.0.1","prefixlen":8}]},'
              '{"ifindex":2,"ifname":"wlp0s20f3","addr_info":[{"family":"inet","local":"192.168.1.23"},'
              '{"family":"inet6","local":"fe80::a6c3:f0ff:fe44:5566"},{"family":"inet","local":"192.168.1.24"}]},'
              '{"ifindex":3,"ifname":"wwan0","addr_info":[]}]')


class NetworkAdaptersTest(unittest.TestCase):
    def test_interfaces_under_the_machine_take_nothing_from_it(self):
        adapters = by_id(sections("laptop")["NetworkAdapters"], "NetworkAdapter")
        self.assertEqual(sorted(adapters), ["enp0s31f6", "wlp0s20f3", "wwan0"])
        for name in ("wlp0s20f3", "wwan0"):
            self.assertNotIn("product", adapters[name])
            self.assertNotIn("vendor", adapters[name])
        self.assertEqual(adapters["wlp0s20f3"]["description"], "Wireless interface")
        self.assertEqual(adapters["enp0s31f6"]["product"], "Ethernet Connection (6) I219-V")
        server = by_id(sections("server")["NetworkAdapters"], "NetworkAdapter")
        self.assertEqual(sorted(server), ["br0", "eno1", "eno2"])
        self.assertNotIn("product", server["br0"])
        self.assertEqual(server["br0"]["driver"], "bridge")

    def test_an_interface_on_a_pci_function_takes_its_product(self):
        ens3 = by_id(sections("vm")["NetworkAdapters"], "NetworkAdapter")
        self.assertEqual(list(ens3), ["ens3"])
        self.assertEqual((ens3["ens3"]["product"], ens3["ens3"]["vendor"], ens3["ens3"]["busInfo"]),
                         ("Virtio network device", "Red Hat, Inc.", "virtio@0"))

    def test_an_interface_on_another_parent_takes_nothing_from_it(self):
        tree = ET.fromstring('<node id="host" class="system"><product>R740</product><node id="core" class="bus">'
                             '<product>0WGD1</product><vendor>Dell Inc.</vendor><node id="network" class="network">'
                             '<logicalname>tap0</logicalname></node></node></node>')
        self.assertEqual(dict(collector.network_adapters(tree).find("NetworkAdapter").attrib),
                         {"id": "tap0", "name": "tap0"})

    def test_an_interface_listed_twice_is_one_adapter(self):
        tree = ET.fromstring('<node id="host" class="system"><node id="network:0" class="network">'
                             '<logicalname>bond0</logicalname><serial>aa:bb:cc:dd:ee:01</serial></node>'
                             '<node id="network:1" class="network"><logicalname>bond0</logicalname></node></node>')
        adapters = collector.network_adapters(tree).findall("NetworkAdapter")
        self.assertEqual([dict(a.attrib) for a in adapters], [{"id": "bond0", "name": "bond0", "mac": "aa:bb:cc:dd:ee:01"}])

    def test_values(self):
        eno1 = by_id(sections("server")["NetworkAdapters"], "NetworkAdapter")["eno1"]
        self.assertEqual(eno1, {"id": "eno1", "name": "eno1", "description": "Ethernet interface",
                                "product": "NetXtreme BCM5720 Gigabit Ethernet PCIe",
                                "vendor": "Broadcom Inc. and subsidiaries", "mac": "d0:94:66:1a:2b:3c",
                                "busInfo": "pci@0000:19:00.0", "driver": "tg3", "driverVersion": "5.15.0-91-generic",
                                "linkUp": "1", "speedBps": "1000000000"})
        eno2 = by_id(sections("server")["NetworkAdapters"], "NetworkAdapter")["eno2"]
        self.assertEqual(eno2["linkUp"], "0")
        self.assertNotIn("speedBps", eno2)
        self.assertNotIn("mac", by_id(sections("laptop")["NetworkAdapters"], "NetworkAdapter")["wwan0"])

    def test_addresses_from_ip_else_lshw(self):
        addresses = collector.interface_addresses(IP_ADDRESS)
        laptop = {a.get("id"): a for a in sections("laptop", addresses=addresses)["NetworkAdapters"]}
        self.assertEqual([(a.get("family"), a.get("value")) for a in laptop["wlp0s20f3"].findall("Address")],
                         [("ipv4", "192.168.1.23"), ("ipv6", "fe80::a6c3:f0ff:fe44:5566"), ("ipv4", "192.168.1.24")])
        self.assertEqual(laptop["wwan0"].findall("Address"), [])
        # An interface ip does not list keeps lshw's address; without ip every one does.
        self.assertEqual(laptop["enp0s31f6"].findall("Address"), [])
        old = sections("old")["NetworkAdapters"].find("NetworkAdapter")
        self.assertEqual([dict(a.attrib) for a in old], [{"family": "ipv4", "value": "192.168.0.17"}])
        with self.assertRaises(collector.SourceFailed):
            collector.interface_addresses("not json")


class ComputerTest(unittest.TestCase):
    def test_the_machine_node(self):
        self.assertEqual(dict(sections("server")["Computer"].attrib), {
            "source": "lshw", "description": "Rack Mount Chassis", "vendor": "Dell Inc.",
            "model": "PowerEdge R740 (SKU=0715;ModelName=PowerEdge R740)", "serial": "7XK2M93",
            "uuid": "4c4c4544-0058-4b10-8032-b7c04f4d3933", "chassis": "rackmount", "widthBits": "64"})
        # The old version's root is the machine's node itself.
        old = sections("old")["Computer"]
        self.assertEqual((old.get("model"), old.get("chassis")), ("HP Compaq 8200 Elite CMT PC (XL510AV)", "desktop"))
        self.assertIsNone(old.get("uuid"))
        self.assertEqual(collector.hardware_sections(ET.fromstring("<list/>")), [])


class DocumentRulesTest(unittest.TestCase):
    NUMBERS = ("widthBits", "currentMHz", "maxMHz", "cores", "enabledCores", "logicalProcessors", "totalBytes",
               "sizeBytes", "speedMHz", "speedBps")
    BOOLEANS = ("enabled", "linkUp")

    def test_every_machine_gives_a_well_formed_section(self):
        for name in MACHINES:
            ids = []
            for section in collector.hardware_sections(recorded(name), cpuinfo=CPUINFO_ONE_PACKAGE,
                                                        meminfo="MemTotal: 1024 kB\n"):
                for element in section.iter():
                    for attribute, value in element.attrib.items():
                        self.assertNotEqual(value.strip(), "", f"{name}: {element.tag}/@{attribute}")
                        if attribute in self.NUMBERS:
                            self.assertTrue(value.isdigit(), f"{name}: {element.tag}/@{attribute}={value}")
                        if attribute in self.BOOLEANS:
                            self.assertIn(value, ("0", "1"), f"{name}: {element.tag}/@{attribute}")
                    if element.get("id") is not None:
                        ids.append(element.get("id"))
            self.assertEqual(len(ids), len(set(ids)), name)


class HelpTest(unittest.TestCase):
    def test_help_tells_usage_sources_and_exit_codes(self):
        for option in ("--help", "-help"):
            done = subprocess.run([sys.executable, COLLECTOR, "padding", option], capture_output=True, text=True,
                                  check=False)
            self.assertEqual(done.returncode, 0, option)
            self.assertIn('-outc="FILE" -logc="FILE"', done.stdout)
            self.assertIn("lshw -xml", done.stdout)
            self.assertIn("dpkg-query", done.stdout)
            self.assertIn("Exit codes:", done.stdout)
            self.assertIn("  2  ", done.stdout)
            self.assertEqual(done.stderr, "")


if __name__ == "__main__":
    unittest.main()
