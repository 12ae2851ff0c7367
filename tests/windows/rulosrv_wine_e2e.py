"""rulosrv.exe end to end on the Win32 API, under wine.

In a fresh prefix: the configuration written into the registry, the service
installed and read back, started through wine's service control manager
against a stand-in collector (exit codes 0, 1, 2 and an unknown one, and
collectors that cannot be started), a data
directory that has to be created, a data file held open by a reader that
refuses writers, and the removal. Wine's event log writes each event's
insertion strings to its debug channel, which is where the events are read.

Usage: rulosrv_wine_e2e.py WINDOWS_BIN_DIR
Skips (exit code 77, reason printed) where wine or the Windows build is missing.
"""

import os
import re
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_prefix import WinePrefix, require_wine, windows_path  # noqa: E402

CONFIG_KEY = r"HKLM\SOFTWARE\Korvex\rulo\SysInvSrv"
SERVICE_KEY = r"HKLM\System\CurrentControlSet\Services\rulosrv"
EVENT_SOURCE_KEY = r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\rulosrv"
# The values of the service key besides ImagePath, whoever installs the service.
SERVICE_VALUES = {
    "DisplayName": ("REG_SZ", "KSM CM Inventory Agent"),
    "Type": ("REG_DWORD", "0x110"),
    "Start": ("REG_DWORD", "0x2"),
    "ErrorControl": ("REG_DWORD", "0x1"),
    "ObjectName": ("REG_SZ", "LocalSystem"),
}

UPDATED = "Korvex Quorvane Inventory data for WMI gets updated successfully"
DELAY = "Delay 1 second(s) to start Korvex Inventory Collector"
START_SUCCESS = "Service start pending...\nService start SUCCESS.\n"
USAGE = ("Korvex Quorvane Inventory Agent Service\n\nrulosrv.exe [option]\noption:\n"
         "\t-install: install the service\n\t-start: start the service\n"
         "\t-remove:  remove the service\n\t-help:    this help\n"
         "\t-run:     run one collection now, as the service would, with its events on the console\n"
         "note: if no option is provided, it will start the service by default\n")
ERROR_TEXT = re.compile(r"rulosrv error \((\d+)\): ")

# One insertion string as wine's event log stub prints it, on the trace
# channel for success and information, warn for warnings, err for errors.
EVENT_LINE = re.compile(r'^([0-9a-f]+):(trace|warn|err):eventlog:ReportEventW L"(.*)"(\.\.\.)?$')
ESCAPE = re.compile(r'\\(n|r|t|"|\\|[0-9a-f]{4})')
UNESCAPED = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}


class Event:
    def __init__(self, kind, error_text, text, truncated):
        self.kind, self.error_text, self.text, self.truncated = kind, error_text, text, truncated

    def matches(self, kind, text):
        # Wine cuts long strings at about 290 characters and marks them.
        same_text = text.startswith(self.text) if self.truncated else text == self.text
        return self.kind == kind and same_text

    def __repr__(self):
        return "(%s, %r, %r%s)" % (self.kind, self.error_text, self.text, "..." if self.truncated else "")


def unescape(text):
    return ESCAPE.sub(lambda m: UNESCAPED.get(m.group(1)) or chr(int(m.group(1), 16)), text)


def parse_events(output):
    """The events in wine's debug output: two insertion strings each, paired per thread."""
    pending, events = {}, []
    for line in output.splitlines():
        match = EVENT_LINE.match(line)
        if not match:
            continue
        thread, kind, text, cut = match.groups()
        strings = pending.setdefault(thread, [])
        strings.append((unescape(text), cut is not None))
        if len(strings) == 2:
            (error_text, _), (text, truncated) = strings
            events.append(Event(kind, error_text, text, truncated))
            del pending[thread]
    return events


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def check_event_source(source, message_file):
    """source: the event source key's values, which name message_file for the messages and categories."""
    check(source == {
        "EventMessageFile": ("REG_EXPAND_SZ", message_file),
        "TypesSupported": ("REG_DWORD", "0x7"),
        "CategoryMessageFile": ("REG_EXPAND_SZ", message_file),
        "CategoryCount": ("REG_DWORD", "0x1"),
    }, "event source key %r" % source)


def check_events(events, expected):
    """expected: (kind, text) in order; error events must carry the error text, the others none."""
    check(len(events) == len(expected) and all(e.matches(k, t) for e, (k, t) in zip(events, expected)),
          "events %r, expected %r" % (events, expected))
    for event in events:
        if event.kind == "err":
            check(ERROR_TEXT.match(event.error_text), "error event without the error text: %r" % event)
        else:
            check(event.error_text == "", "non-error event with an error text: %r" % event)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_file(path, content):
    with open(path, "wb" if isinstance(content, bytes) else "w") as f:
        f.write(content)


def text_of(output):
    return output.decode("utf-8", "replace").replace("\r\n", "\n")


def set_aside_files(directory):
    return sorted(name for name in os.listdir(directory) if re.fullmatch(r"rul[0-9a-f]{1,4}\.tmp", name, re.I))


class Scenario:
    def __init__(self, prefix, windows_bin):
        self.prefix = prefix
        self.bin = prefix.path("bin")
        self.collector_dir = prefix.path("collector")
        self.data_dir = prefix.path("data")
        self.data_file = os.path.join(self.data_dir, "inventory.xml")
        self.trace_file = os.path.join(prefix.prefix, "drive_c", "temp", "InvLog.txt")
        for directory in (self.bin, self.collector_dir, self.data_dir, os.path.dirname(self.trace_file)):
            os.makedirs(directory, exist_ok=True)
        self.rulosrv = os.path.join(self.bin, "rulosrv.exe")
        self.holder = os.path.join(self.bin, "hold_file.exe")
        self.collector = os.path.join(self.collector_dir, "collector.exe")
        shutil.copy(os.path.join(windows_bin, "rulosrv.exe"), self.rulosrv)
        shutil.copy(os.path.join(windows_bin, "hold_file.exe"), self.holder)
        shutil.copy(os.path.join(windows_bin, "fake_collector.exe"), self.collector)
        # Long enough for the console to see the service running.
        write_file(os.path.join(self.collector_dir, "delay"), "3000")

    # --- wine commands ---

    def rulosrv_command(self, option):
        result = self.prefix.run(self.rulosrv, option)
        return result.returncode, text_of(result.stdout), parse_events(text_of(result.stderr))

    def reg_add(self, key, name, kind, data):
        result = self.prefix.run("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f")
        check(result.returncode == 0, "reg add %s %s failed: %r" % (key, name, result.stderr))

    def reg_query(self, key):
        """The values of a key as {name: (type, data)}; None when it does not exist."""
        result = self.prefix.run("reg", "query", key)
        if result.returncode != 0:
            return None
        values = {}
        for line in text_of(result.stdout).splitlines():
            match = re.match(r"^\s+(\S+)\s+(REG_\w+)\s+(.*)$", line)
            if match:
                values[match.group(1)] = (match.group(2), match.group(3))
        return values

    def service_state(self):
        output = text_of(self.prefix.run("sc", "query", "rulosrv").stdout)
        match = re.search(r"STATE\s+:\s+\d+\s+(\w+)", output)
        return match.group(1) if match else None

    def wait_until_stopped(self, timeout=120):
        deadline = time.monotonic() + timeout
        while self.service_state() != "STOPPED":
            check(time.monotonic() < deadline, "the service did not stop within %d s" % timeout)
            time.sleep(0.5)

    def collector_behaves(self, exit_code, inventory):
        write_file(os.path.join(self.collector_dir, "exitcode"), str(exit_code))
        write_file(os.path.join(self.collector_dir, "inventory.xml"), inventory)

    def run_service(self, quick=False):
        """Starts the service from the console and waits for the run to end; the run's events.
        A quick run may have stopped already when the console looks."""
        log_start = len(self.prefix.log_text())
        code, output, console_events = self.rulosrv_command("-start")
        started = (code, output) == (0, START_SUCCESS) or (quick and code == 2 and "Current State: 1\n" in output)
        check(started, "-start gave %d %r" % (code, output))
        check(console_events == [], "-start wrote events %r" % console_events)
        self.wait_until_stopped()
        return parse_events(self.prefix.log_text()[log_start:])

    def last_parameters(self):
        """The collector's argument string in its latest call, checked for its form."""
        with open(os.path.join(self.collector_dir, "calls.txt")) as calls:
            line = calls.read().splitlines()[-1]
        quoted_path = '"%s" ' % windows_path(self.collector)
        check(line.startswith(quoted_path), "collector command line %r" % line)
        parameters = line[len(quoted_path):]
        directory = re.escape(windows_path(self.collector_dir))
        form = r'-outc="%s\\(rul[0-9a-f]{1,4}\.tmp)" -logc="%s\\lastrun\.log"' % (directory, directory)
        match = re.fullmatch(form, parameters, re.I)
        check(match, "collector parameters %r" % parameters)
        return parameters, os.path.join(self.collector_dir, match.group(1))

    def trace_lines(self):
        with open(self.trace_file) as trace:
            return trace.read().splitlines()

    # --- the scenario, step by step ---

    def usage(self):
        for option in ("-help", "/HELP"):
            code, output, events = self.rulosrv_command(option)
            check((code, output, events) == (0, USAGE, []), "%s gave %d %r %r" % (option, code, output, events))

    def mistakes(self):
        """Mistakes before the service is configured and installed: an option
        misspelt without a console, a missing value and a relative path for
        -run, and -start of a service that is not installed."""
        result = self.prefix.run(self.rulosrv, "--help")
        check(result.returncode == 0 and result.stdout == b"", "--help gave %r" % (result,))
        check(b"unknown option" not in result.stderr, "--help without a console said %r" % result.stderr)
        check_events(parse_events(text_of(result.stderr)), [("err", "StartServiceCtrlDispatcher failed.")])

        detail = ("Registry key value invexecdir, the full path of the inventory collector, cannot be read: "
                  "the registry key HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\rulo\\SysInvSrv cannot be opened")
        code, output, events = self.rulosrv_command("-run")
        check(code == 2 and output.endswith("\n  " + detail + "\n"), "-run without settings gave %d %r" % (code, output))
        check_events(events, [("err", "Missing registry key value for Korvex Inventory Collector utility")])
        check(self.trace_lines() == [detail], "trace %r" % self.trace_lines())
        os.remove(self.trace_file)

        self.reg_add(CONFIG_KEY, "invexecdir", "REG_SZ", "collector\\collector.exe")
        self.reg_add(CONFIG_KEY, "invoutputfile", "REG_SZ", windows_path(self.data_file))
        code, output, events = self.rulosrv_command("-run")
        check(code == 2, "-run with a relative path gave %d %r" % (code, output))
        check_events(events, [("err", "Registry key value invexecdir is not a full path: collector\\collector.exe")])

        code, output, events = self.rulosrv_command("-start")
        check(code == 4 and output.startswith("Service (rulosrv) cannot be opened:\n  rulosrv error (1060): "),
              "-start before -install gave %d %r" % (code, output))

    def configure(self):
        self.reg_add(CONFIG_KEY, "invexecdir", "REG_SZ", windows_path(self.collector))
        self.reg_add(CONFIG_KEY, "invoutputfile", "REG_SZ", windows_path(self.data_file))
        self.reg_add(CONFIG_KEY, "invtimeout", "REG_DWORD", "60")
        self.reg_add(CONFIG_KEY, "startdelaysecond", "REG_DWORD", "1")

    def install(self):
        code, output, events = self.rulosrv_command("-install")
        check((code, output) == (0, "rulosrv is installed\n"), "-install gave %d %r" % (code, output))
        check_events(events, [("trace", "rulosrv is installed")])
        service = self.reg_query(SERVICE_KEY)
        check(service is not None, "no service key after -install")
        expected = dict(SERVICE_VALUES, ImagePath=("REG_SZ", '"%s"' % windows_path(self.rulosrv)))
        check(all(service.get(k) == v for k, v in expected.items()), "service key %r" % service)
        check_event_source(self.reg_query(EVENT_SOURCE_KEY), windows_path(self.rulosrv)[:-len(".exe")] + ".DLL")
        # Installed already: nothing changes and nothing is reported.
        again = self.rulosrv_command("-install")
        check(again == (0, "", []), "a second -install gave %r" % (again,))

    def first_run(self):
        inventory = b'<?xml version="1.0"?>\r\n<inventory run="1">\xc3\xa9\x00\xff</inventory>\r\n'
        self.collector_behaves(0, inventory)
        check_events(self.run_service(), [("trace", DELAY), ("trace", UPDATED)])
        check(read_bytes(self.data_file) == inventory, "the data file differs from the collector's output")
        check(os.listdir(self.data_dir) == ["inventory.xml"], "data directory %r" % os.listdir(self.data_dir))
        parameters, output = self.last_parameters()
        check(read_bytes(output) == inventory, "the collector output does not stay after success")
        check(self.trace_lines() == [parameters, "Inventory Collection completed"], "trace %r" % self.trace_lines())

    def second_run(self):
        previous = read_bytes(self.data_file)
        inventory = b"<inventory run='2'/>"
        self.collector_behaves(0, inventory)
        check_events(self.run_service(), [("trace", DELAY), ("trace", UPDATED)])
        check(read_bytes(self.data_file) == inventory, "the second run did not publish")
        aside = set_aside_files(self.data_dir)
        check(len(aside) == 1 and read_bytes(os.path.join(self.data_dir, aside[0])) == previous,
              "the previous data file is not set aside: %r" % aside)
        _, output = self.last_parameters()
        check(set_aside_files(self.collector_dir) == [os.path.basename(output)],
              "older collector outputs stay: %r" % set_aside_files(self.collector_dir))

    def partial_failure(self):
        inventory = b"<inventory run='partial'/>"
        self.collector_behaves(1, inventory)
        trace_before = self.trace_lines()
        events = self.run_service()
        parameters, _ = self.last_parameters()
        partial = "Korvex Inventory Collector is partially failed (1).\nThe executed command is %s %s" % (
            windows_path(self.collector), parameters)
        check_events(events, [("trace", DELAY), ("warn", partial), ("trace", UPDATED)])
        check(read_bytes(self.data_file) == inventory, "a partial result is not published")
        aside = set_aside_files(self.data_dir)
        check(len(aside) == 1 and read_bytes(os.path.join(self.data_dir, aside[0])) == b"<inventory run='2'/>",
              "not only the newest set-aside copy stays: %r" % aside)
        check(self.trace_lines() == trace_before + [parameters], "trace %r" % self.trace_lines())

    def failure(self, exit_code, expected):
        """A run that publishes nothing; expected(parameters) gives its events after the delay."""
        published = read_bytes(self.data_file)
        self.collector_behaves(exit_code, b"<inventory run='failed'/>")
        events = self.run_service()
        parameters, output = self.last_parameters()
        check_events(events, [("trace", DELAY)] + expected(parameters))
        check(read_bytes(self.data_file) == published, "a failed run changed the data file")
        check(not os.path.exists(output), "the collector output of a failed run is not deleted")

    def fatal_failure(self):
        self.failure(2, lambda parameters: [
            ("err", "Korvex Inventory Collector encountered a fatal failed (2).\nThe executed command is %s %s"
             % (windows_path(self.collector), parameters)),
            ("err", "Fail to execute Korvex Inventory Collector.")])

    def unknown_exit_code(self):
        self.failure(7, lambda parameters: [
            ("err", "Fail to execute Korvex Inventory Collector (errorcode = 7).\nstrInvPath=%s, strInvParameters=%s"
             % (windows_path(self.collector), parameters))])

    def launch_failure(self):
        """Collectors that cannot be started: one error event each, no retry, nothing published."""
        published = read_bytes(self.data_file)
        calls = read_bytes(os.path.join(self.collector_dir, "calls.txt"))
        outputs = set_aside_files(self.collector_dir)
        not_a_program = os.path.join(self.collector_dir, "not a program.exe")
        write_file(not_a_program, "plain text, not a program")
        missing = self.prefix.path("missing folder", "collector.exe")
        for path, expected in (
                (not_a_program, lambda code, text: [("trace", DELAY), (
                    "err", "Fail to start Korvex Inventory Collector (error %s: %s).\nstrInvPath=%s"
                    % (code, text, windows_path(not_a_program)))]),
                (missing, lambda code, text: [(
                    "err", "Cannot file Korvex Inventory Collector Utility (%s)" % windows_path(missing))])):
            self.reg_add(CONFIG_KEY, "invexecdir", "REG_SZ", windows_path(path))
            events = self.run_service(quick=True)
            match = ERROR_TEXT.match(events[-1].error_text) if events else None
            check(match and match.group(1) != "0", "no error code in %r" % events)
            code, text = match.group(1), events[-1].error_text[match.end():].rstrip("\r\n")
            check_events(events, expected(code, text))
            check(read_bytes(self.data_file) == published, "a collector that cannot start changed the data file")
            check(read_bytes(os.path.join(self.collector_dir, "calls.txt")) == calls, "a collector ran")
            check(set_aside_files(self.collector_dir) == outputs, "the collector output stays")
        os.remove(not_a_program)
        self.reg_add(CONFIG_KEY, "invexecdir", "REG_SZ", windows_path(self.collector))

    def new_data_directory(self):
        data_file = self.prefix.path("created", "below", "inventory.xml")
        self.reg_add(CONFIG_KEY, "invoutputfile", "REG_SZ", windows_path(data_file))
        inventory = b"<inventory run='new directory'/>"
        self.collector_behaves(0, inventory)
        check_events(self.run_service(), [("trace", DELAY), ("trace", UPDATED)])
        check(os.path.isfile(data_file) and read_bytes(data_file) == inventory, "not published into a new directory")
        self.reg_add(CONFIG_KEY, "invoutputfile", "REG_SZ", windows_path(self.data_file))

    def data_file_held(self):
        published = read_bytes(self.data_file)
        aside_before = set_aside_files(self.data_dir)
        inventory = b"<inventory run='held'/>"
        self.collector_behaves(0, inventory)
        holder = self.prefix.start(self.holder, windows_path(self.data_file))
        try:
            check(holder.stdout.readline().strip() == b"holding", "the reader could not open the data file")
            started = time.monotonic()
            events = self.run_service()
            waited = time.monotonic() - started
        finally:
            write_file(self.data_file + ".release", "")
            holder.wait(timeout=60)
        os.remove(self.data_file + ".release")
        check_events(events, [("trace", DELAY), ("err", "Fail to copy Korvex inventory data to " +
                                                  windows_path(self.data_dir))])
        check(ERROR_TEXT.match(events[-1].error_text).group(1) == "32",
              "not a sharing violation: %r" % events[-1].error_text)
        check(waited >= 15, "four tries 5 s apart took only %.1f s" % waited)
        check(read_bytes(self.data_file) == published, "the held data file changed")
        staged = [name for name in set_aside_files(self.data_dir) if name not in aside_before]
        check(len(staged) == 1 and read_bytes(os.path.join(self.data_dir, staged[0])) == inventory,
              "the staging file does not stay: %r" % staged)

    def remove(self):
        code, output, events = self.rulosrv_command("-remove")
        check((code, output) == (0, "Service (rulosrv) is removed\n"), "-remove gave %d %r" % (code, output))
        check_events(events, [("trace", "Service (rulosrv) is removed")])
        check(self.reg_query(SERVICE_KEY) is None, "the service key remains after -remove")


def run_steps(steps):
    """Runs each step in turn, printing ok with its time, or FAILED with the
    failed check and stopping there; whether all passed."""
    for step in steps:
        started = time.monotonic()
        try:
            step()
        except AssertionError as failure:
            print("FAILED %s: %s" % (step.__name__, failure))
            return False
        print("ok %s (%.1f s)" % (step.__name__, time.monotonic() - started))
    return True


def main():
    windows_bin = sys.argv[1]
    require_wine(*(os.path.join(windows_bin, p) for p in ("rulosrv.exe", "fake_collector.exe", "hold_file.exe")))
    with WinePrefix(debug="-all,+eventlog") as prefix:
        scenario = Scenario(prefix, windows_bin)
        steps = [scenario.usage, scenario.mistakes, scenario.configure, scenario.install, scenario.first_run, scenario.second_run,
                 scenario.partial_failure, scenario.fatal_failure, scenario.unknown_exit_code, scenario.launch_failure,
                 scenario.new_data_directory, scenario.data_file_held, scenario.remove]
        if not run_steps(steps):
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
