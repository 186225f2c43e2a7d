#!/usr/bin/env python3
"""lumetra.exe driven end to end under Wine, as a workstation runs it.

The program folder is copied to C:\\Lumetra of a Wine prefix of its own; COM1 is a Linux
pseudo-terminal linked as dosdevices/com1 that this script writes scans to and reads the
"ACK" from, as a scanner does. Each case reads what the program leaves behind: the operator
log, the host journal (the host simulator's, or the test automation server's registered
under the host's class names), the files on drive C.

Usage: program_e2e.py --folder PROGRAM_FOLDER --test-bin WINDOWS_TEST_BIN --scan LUMETRA_SCAN
                      --prefix WINEPREFIX [--only NAME] [--linux-program LUMETRA]
A scan that never arrives is a failure with the log attached, never a retry."""
import argparse
import json
import os
import re
import select
import shutil
import subprocess
import sys
import time
import traceback
import tty

ARGS = None
READY_STATES = ("\tstatus\tReady.\n", "\tstatus\t Waiting for next barcode...\n",
                "\tstatus\tBarcode Formating Error.", "\tstatus\tRun Field Not Selected\n")
BASE_INI = ("[VOZEZIZO]\r\nCommPort=1\r\nCommPollTime=100\r\nGCodePath=C:\\PRODUCT\\\r\n"
            "CSVInPath=C:\\CSV\\\r\nCSVOutPath=C:\\Lumetra.csv\r\nAutoClear= 0\r\n")
FIGURES = {}
RUNS = []


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def drive_c():
    return os.path.join(ARGS.prefix, "drive_c")


def windows_path(linux_path):
    return "Z:" + os.path.abspath(linux_path).replace("/", "\\")


def wine_environment(extra=None):
    env = dict(os.environ)
    env.update({"WINEPREFIX": ARGS.prefix, "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="})
    env.update(extra or {})
    return env


def unescape(text):
    """lumetra-scan --print's escapes back to bytes."""
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            if n == "x":
                out.append(int(text[i + 2:i + 4], 16))
                i += 4
                continue
            out += {"r": b"\r", "n": b"\n", "t": b"\t", "\\": b"\\"}[n]
            i += 2
            continue
        out += c.encode("latin-1")
        i += 1
    return bytes(out)


def built_scan(*arguments):
    out = subprocess.run([ARGS.scan, "--print", *arguments], check=True, capture_output=True,
                         text=True, encoding="latin-1").stdout
    return unescape(out.rstrip("\n"))


class Scanner:
    """The scanner on COM1: a pseudo-terminal linked at dosdevices/com1."""

    def __init__(self, number=1):
        self.link = os.path.join(ARGS.prefix, "dosdevices", "com%d" % number)
        self.master = self.slave = -1
        self.plug()

    def plug(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        if os.path.lexists(self.link):
            os.unlink(self.link)
        os.symlink(os.ttyname(self.slave), self.link)

    def unplug(self):
        os.close(self.master)
        os.close(self.slave)
        self.master = self.slave = -1

    def send(self, data):
        # A port the system linked anew (Wine's mount manager does at its start) would take
        # the scan elsewhere: that is a failure of the rig, told as such.
        check(os.path.realpath(self.link) == os.ttyname(self.slave),
              "%s now leads to %s, not to the scanner's terminal" % (self.link, os.path.realpath(self.link)))
        if isinstance(data, str):
            data = data.encode("latin-1")
        os.write(self.master, data)

    def receive(self, size, timeout=5.0):
        data = b""
        until = time.monotonic() + timeout
        while len(data) < size and time.monotonic() < until:
            ready, _, _ = select.select([self.master], [], [], 0.05)
            if ready:
                data += os.read(self.master, 4096)
        return data

    def close(self):
        if self.master >= 0:
            self.unplug()
        if os.path.lexists(self.link):
            os.unlink(self.link)


class Run:
    """One start of lumetra.exe with a log and a journal of its own."""

    def __init__(self, name, ini=BASE_INI, ini_folder="program", extra=None, arguments=()):
        self.work = os.path.join(ARGS.work, name)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.log_path = os.path.join(self.work, "operator.log")
        self.journal_path = os.path.join(self.work, "journal.tsv")
        for folder in ("PRODUCT", "CSV"):
            shutil.rmtree(os.path.join(drive_c(), folder), ignore_errors=True)
            os.makedirs(os.path.join(drive_c(), folder))
        for stale in (os.path.join(drive_c(), "Lumetra.csv"), program_ini(), windows_ini()):
            if os.path.exists(stale):
                os.unlink(stale)
        if ini is not None:
            with open(program_ini() if ini_folder == "program" else windows_ini(), "wb") as f:
                f.write(ini.encode("latin-1"))
        env = {"LUMETRA_UNATTENDED": "1", "LUMETRA_HOST": "simulator",
               "LUMETRA_LOG": windows_path(self.log_path),
               "LUMETRA_HOST_JOURNAL": windows_path(self.journal_path)}
        env.update(extra or {})
        RUNS.append(self)
        self.started = time.monotonic()
        self.output = open(os.path.join(self.work, "output.txt"), "wb")
        # Wine passes no QT_* variable on: the platform plug-in is named as an argument, but
        # not to the check, which runs without one.
        platform = [] if "--check" in arguments else ["-platform", "windows"]
        self.process = subprocess.Popen(
            ["wine", "C:\\Lumetra\\lumetra.exe", *platform, *arguments],
            env=wine_environment(env), stdout=self.output, stderr=subprocess.STDOUT,
            stdin=subprocess.DEVNULL)

    def log(self):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def wait_for(self, needle, timeout=30.0):
        until = time.monotonic() + timeout
        while time.monotonic() < until:
            if needle in self.log():
                return True
            if self.process.poll() is not None and needle not in self.log():
                time.sleep(0.2)
                return needle in self.log()
            time.sleep(0.05)
        return False

    def expect(self, needle, timeout=30.0):
        check(self.wait_for(needle, timeout), "the log never said %r" % needle)

    def count(self, needle):
        return self.log().count(needle)

    def wait_for_count(self, needle, count, timeout):
        until = time.monotonic() + timeout
        while time.monotonic() < until:
            if self.count(needle) >= count:
                return True
            time.sleep(0.1)
        return False

    def outcomes(self):
        text = self.log()
        return sum(text.count(state) for state in READY_STATES)

    def scan(self, scanner, data, timeout=15.0):
        before = self.outcomes()
        scanner.send(data)
        until = time.monotonic() + timeout
        while time.monotonic() < until:
            if self.outcomes() > before:
                return
            time.sleep(0.05)
        raise Failure("no outcome for the scan %r: it never arrived or was never handled" % data[:60])

    def journal(self):
        try:
            with open(self.journal_path, encoding="utf-8", errors="replace") as f:
                return [line.rstrip("\n").split("\t", 1)[1] for line in f if "\t" in line]
        except FileNotFoundError:
            return []

    def lines_added(self):
        return [entry.split("\t")[2] for entry in self.journal() if "\tAddLine\t" in entry]

    def started_up(self):
        self.expect("\tinfo\tstart-up complete")

    def end(self, how="taskkill"):
        if self.process.poll() is None:
            if how == "taskkill":
                subprocess.run(["wine", "taskkill", "/im", "lumetra.exe"], env=wine_environment(),
                               capture_output=True)
            try:
                self.process.wait(20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.output.close()
        return self.process.returncode


def program_ini():
    return os.path.join(drive_c(), "Lumetra", "ORX.INI")


def windows_ini():
    return os.path.join(drive_c(), "windows", "ORX.INI")


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


# The cases ---------------------------------------------------------------------------

def case_startup_in_program_folder():
    scanner = Scanner()
    run = Run("startup_program_folder")
    try:
        run.expect("\tinfo\tscanner port open: COM1:9600,N,8,1 on COM1")
        run.started_up()
        run.expect("configuration read from C:\\\\Lumetra\\\\ORX.INI")
    finally:
        run.end()
        scanner.close()


def elapsed_to(run, needle):
    """Milliseconds from the log's first line to the line holding `needle`, by the program's own times."""
    times = []
    for line in run.log().splitlines():
        stamp = line.split("\t", 1)[0]
        if len(times) == 0 or needle in line:
            times.append(parse_time(stamp))
        if needle in line:
            break
    return int(times[-1] - times[0]) if len(times) >= 2 else None


def parse_time(stamp):
    match = re.search(r"(\d\d):(\d\d):(\d\d)[.,](\d{3})", stamp)
    h, m, s, ms = (int(g) for g in match.groups())
    return ((h * 60 + m) * 60 + s) * 1000 + ms


def case_startup_in_windows_directory():
    scanner = Scanner()
    run = Run("startup_windows_dir", ini_folder="windows")
    try:
        run.started_up()
        run.expect("configuration read from C:\\\\windows\\\\ORX.INI")
    finally:
        run.end()
        scanner.close()


def case_no_orx_ini():
    run = Run("no_ini", ini=None)
    try:
        run.expect("\tmessage\tFile ORX.INI Not Found")
        check(run.process.wait(30) == 1, "the program did not end with status 1")
    finally:
        run.end()


def case_second_instance_refused():
    scanner = Scanner()
    first = Run("first_instance")
    try:
        first.started_up()
        second = Run("second_instance", ini=BASE_INI)
        try:
            second.expect("the Program is already running!")
            check(second.process.wait(30) == 1, "the second copy did not end with status 1")
        finally:
            second.end("wait")
        check(first.process.poll() is None, "the first copy ended")
    finally:
        first.end()
        scanner.close()


class LinuxRun(Run):
    """The Linux program on the same scenario, for the figures beside the Windows program's."""

    def __init__(self, name, scanner):
        self.work = os.path.join(ARGS.work, name)
        shutil.rmtree(self.work, ignore_errors=True)
        for folder in ("program", "windows", "drive_c/PRODUCT", "drive_c/CSV"):
            os.makedirs(os.path.join(self.work, folder))
        self.log_path = os.path.join(self.work, "operator.log")
        self.journal_path = os.path.join(self.work, "journal.tsv")
        with open(os.path.join(self.work, "program", "ORX.INI"), "wb") as f:
            f.write((BASE_INI + "Com1Device=%s\r\n" % os.ttyname(scanner.slave)).encode())
        env = dict(os.environ, LUMETRA_UNATTENDED="1", QT_QPA_PLATFORM="offscreen",
                   LUMETRA_PROGRAM_DIR=os.path.join(self.work, "program"),
                   LUMETRA_WINDOWS_DIR=os.path.join(self.work, "windows"),
                   LUMETRA_DRIVE_C=os.path.join(self.work, "drive_c"), LUMETRA_LOG=self.log_path,
                   LUMETRA_HOST_JOURNAL=self.journal_path)
        RUNS.append(self)
        self.output = open(os.path.join(self.work, "output.txt"), "wb")
        self.process = subprocess.Popen([ARGS.linux_program], env=env, stdout=self.output,
                                        stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)

    def end(self, how="terminate"):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(20)
        self.output.close()


def case_figures_beside_the_linux_program():
    """Start-up and frame-to-ACK of lumetra.exe under Wine and of the Linux program, in turn."""
    if not ARGS.linux_program:
        return
    for system, make in (("wine lumetra.exe", lambda name, scanner: Run(name)),
                         ("Linux lumetra", LinuxRun)):
        scanner = Scanner()
        run = make("figures_" + system.split()[0].lower(), scanner)
        try:
            run.started_up()
            FIGURES["start-up to \"start-up complete\" (%s)" % system] = elapsed_to(
                run, "start-up complete")
            times = []
            for number in range(5):
                sent = time.monotonic()
                scanner.send("%%11P%d!N!%%" % number)
                ack = scanner.receive(4, 10.0)
                check(ack == b"ACK\r", "%s: no ACK for label %d: %r" % (system, number, ack))
                times.append((time.monotonic() - sent) * 1000)
                time.sleep(0.3)
            FIGURES["a one-record label sent to its \"ACK\", median of 5 (%s)" % system] = int(
                sorted(times)[2])
        finally:
            run.end()
            scanner.close()


def case_labels_mirror_pair_and_ack():
    scanner = Scanner()
    run = Run("labels", ini=BASE_INI + (
        "AutoSelSetting=1\r\nPNameMSel=0\r\nPNameNandMLR=-1\r\nPNameNandMCPos=1\r\n"
        "PNameNandMText=D\r\nFieldCode_FFS=FS\r\nFieldFlag_FFS= 1\r\nFieldCode_FFR=FR\r\n"
        "FieldFlag_FFR= 1\r\nHalfLimitX=1500\r\nHalfLimitY=600\r\nFieldCode_SFN=N\r\n"
        "FieldCode_SFM=M\r\n"))
    try:
        run.started_up()
        run.scan(scanner, "%12DOOR!N!%")
        run.scan(scanner, "%221000!500!18!%")
        ack = scanner.receive(8, 5.0)
        check(ack == b"ACK\rACK\r", "the mirror pair was not acknowledged twice: %r" % ack)
        run.scan(scanner, "%13P100!N!13!%")
        run.scan(scanner, "%23600!400!18!%")
        run.scan(scanner, "%331!2!3!4!%")
        check(scanner.receive(4, 5.0) == b"ACK\r", "the three-record label was not acknowledged")
        lines = run.lines_added()
        check(lines == ["DOOR;1;FS;1;1000;500;18;;;%;;;;;;;;;;",
                        "DOOR;1;FR;1;1000;500;18;;;%;;;;;;;;;;",
                        "P100;1;FS;1;600;400;18;; ;13; ;1;2;3;4; ; ; ; ;"],
              "the lines added: %r" % lines)
    finally:
        run.end()
        scanner.close()


def case_program_barcode_saves_the_body_exactly():
    scanner = Scanner()
    run = Run("program_barcode")
    try:
        run.started_up()
        body = "G71 X800 Y600 Z18\r\n(BARCODE PROGRAM)\r\nG0 X0 Y0\r\nM30"
        run.scan(scanner, "P500^X800^Y600^UA^C3!" + body)
        saved = os.path.join(drive_c(), "PRODUCT", "P500")
        check(os.path.exists(saved), "C:\\PRODUCT\\P500 was not written")
        check(read_file(saved) == body.encode(), "the body was changed: %r" % read_file(saved))
        lines = run.lines_added()
        check(lines == ["P500;1;A;1;800;600;18;BARCODE PROGRAM;;;;;;3;;;;;;"],
              "the program's line: %r" % lines)
        check(scanner.receive(1, 0.5) == b"", "a program barcode was acknowledged")
    finally:
        run.end()
        scanner.close()


def case_list_file_and_compressed_scan():
    scanner = Scanner()
    run = Run("list_and_compressed")
    with open(os.path.join(drive_c(), "PRODUCT", "LISTA.LST"), "wb") as f:
        f.write(b"NAME;REP;FIELD\r\nL1;2;S;1;100;200;18\r\nEND\r\nL2;1;T;1\r\n")
    try:
        run.started_up()
        run.scan(scanner, "%01LISTA")
        run.scan(scanner, built_scan("--compress", "%11P100!N!13!%"))
        lines = run.lines_added()
        check(lines == ["L1;2;S;1;100;200;18;;;;;;;;;;;;;", "L2;1;T;1;;;;;;;;;;;;;;;;",
                        "P100;1;N;1;0;0;0;; ;13; ; ; ; ; ; ; ; ; ;"], "the lines added: %r" % lines)
    finally:
        run.end()
        scanner.close()


def case_scanner_lost_and_back():
    scanner = Scanner()
    run = Run("scanner_lost")
    try:
        run.started_up()
        run.scan(scanner, "%11P1!N!%")
        scanner.unplug()
        run.expect("\terror\tScanner port lost: ", 20)
        scanner.plug()
        check(run.wait_for_count("\tinfo\tscanner port open", 2, 30),
              "the scanner was not opened again when it came back")
        run.scan(scanner, "%11P2!N!%")
        lines = run.lines_added()
        check([line.split(";")[0] for line in lines] == ["P1", "P2"], "the lines: %r" % lines)
        check(scanner.receive(4, 5.0) == b"ACK\r", "no ACK after the scanner came back")
    finally:
        run.end()
        scanner.close()



def case_closing_runs_the_shutdown_steps():
    for how in ("taskkill", "end-session"):
        scanner = Scanner()
        run = Run("closing_" + how)
        try:
            run.started_up()
            if how == "end-session":
                subprocess.run(["wine", "wineboot", "--end-session"], env=wine_environment(),
                               capture_output=True, timeout=60)
            else:
                subprocess.run(["wine", "taskkill", "/im", "lumetra.exe"], env=wine_environment(),
                               capture_output=True, timeout=60)
            run.expect("shutdown: scanner port closed, host objects released", 20)
        finally:
            run.end()
            scanner.close()


def case_check_and_json():
    scanner = Scanner()
    run = Run("check", arguments=("--check",))
    try:
        status = run.process.wait(60)
        run.output.flush()
        text = read_file(os.path.join(run.work, "output.txt")).decode("utf-8", "replace")
        check("ORX.INI" in text, "--check printed no ORX.INI item: %s" % text[-2000:])
        check(status in (0, 1), "--check ended with %r" % status)
    finally:
        run.end("wait")
    run = Run("check_json", arguments=("--check", "--json"))
    try:
        run.process.wait(60)
        text = read_file(os.path.join(run.work, "output.txt")).decode("utf-8", "replace")
        starts = [at for at in (text.find("["), text.find("{")) if at >= 0]
        json.loads(text[min(starts):] if starts else text)
    except ValueError as error:
        raise Failure("--check --json printed no JSON (%s): %s" % (error, text[-2000:]))
    finally:
        run.end("wait")
        scanner.close()


HOST_CLASSES = [("Pelitrax.Application", 1), ("Velmora.ExeList", 2), ("Pultano.Application", 3),
                ("Pultano.ExeList", 4)]


def register_test_host(journal, serving, busy_ms=0):
    """The test automation server under the host's class names, in process or out of it."""
    folder = os.path.join(drive_c(), "TestHost")
    os.makedirs(folder, exist_ok=True)
    for name in ("lumetra_test_host.dll", "lumetra_test_host_server.exe"):
        shutil.copy(os.path.join(ARGS.test_bin, name), folder)
    lines = ["REGEDIT4", ""]
    for prog_id, number in HOST_CLASSES:
        clsid = "{6A1C0F01-4C1E-4F7A-9B11-2026120800%02X}" % number
        lines += ["[HKEY_CLASSES_ROOT\\%s\\CLSID]" % prog_id, '@="%s"' % clsid, ""]
        lines += ["[-HKEY_CLASSES_ROOT\\CLSID\\%s]" % clsid, ""]
        if serving == "in process":
            lines += ["[HKEY_CLASSES_ROOT\\CLSID\\%s\\InprocServer32]" % clsid,
                      '@="C:\\\\TestHost\\\\lumetra_test_host.dll"', '"ThreadingModel"="Apartment"', ""]
        else:
            lines += ["[HKEY_CLASSES_ROOT\\CLSID\\%s\\LocalServer32]" % clsid,
                      '@="C:\\\\TestHost\\\\lumetra_test_host_server.exe"', ""]
    lines += ["[HKEY_CURRENT_USER\\Software\\Lumetra\\TestHost]",
              '"Journal"="%s"' % windows_path(journal).replace("\\", "\\\\"),
              '"BusyMilliseconds"=dword:%08x' % busy_ms, ""]
    reg = os.path.join(ARGS.work, "test_host.reg")
    with open(reg, "w") as f:
        f.write("\r\n".join(lines))
    subprocess.run(["wine", "regedit", "/S", windows_path(reg)], env=wine_environment(),
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


def case_the_host_over_com():
    for serving, busy_ms in (("in process", 0), ("out of process, busy for 3 s", 3000)):
        scanner = Scanner()
        name = "com_host_" + ("busy" if busy_ms else "in_process")
        register_test_host(os.path.join(ARGS.work, name, "journal.tsv"), serving, busy_ms)
        run = Run(name, extra={"LUMETRA_HOST": ""})
        try:
            run.started_up()
            run.scan(scanner, "%13P100!N!13!%")
            run.scan(scanner, "%23600!400!18!%")
            run.scan(scanner, "%331!2!3!4!%", timeout=30)
            check(scanner.receive(4, 15.0) == b"ACK\r", "%s: no ACK" % serving)
            entries = run.journal()
            check(entries[:4] == ["Pelitrax.Application#1\tVisible=\tTrue",
                                  "Velmora.ExeList#1\tVisible=\tTrue", "Velmora.ExeList#1\tClear",
                                  "Velmora.ExeList#1\tAddLine\tP100;1;N;1;600;400;18;;;13;;1;2;3;4;;;;;"],
                  "%s: the host received %r" % (serving, entries))
            check(run.lines_added() == ["P100;1;N;1;600;400;18;;;13;;1;2;3;4;;;;;"],
                  "%s: the work list got %r" % (serving, run.lines_added()))
        finally:
            run.end()
            scanner.close()


CASES = [value for name, value in sorted(globals().items()) if name.startswith("case_")]


def prepare():
    folder = os.path.join(drive_c(), "Lumetra")
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(ARGS.folder, folder)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--folder", required=True)
    parser.add_argument("--test-bin", required=True)
    parser.add_argument("--scan", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--linux-program")
    parser.add_argument("--only")
    ARGS = parser.parse_args()
    os.makedirs(ARGS.work, exist_ok=True)
    prepare()
    passed = failed = 0
    for case in CASES:
        name = case.__name__[5:]
        if ARGS.only and ARGS.only not in name:
            continue
        started = time.monotonic()
        try:
            case()
            passed += 1
            print("PASS %s (%.1f s)" % (name, time.monotonic() - started), flush=True)
        except Exception as error:  # a case's failure of any kind is reported, the rest run
            failed += 1
            print("FAIL %s: %s" % (name, error), flush=True)
            if not isinstance(error, Failure):
                traceback.print_exc()
            for run in RUNS:
                print("---- the operator log of %s:\n%s" % (run.work, run.log()[-4000:]))
                print("---- its output:\n%s" % read_file(os.path.join(run.work, "output.txt"))
                      .decode("utf-8", "replace")[-2000:])
        RUNS.clear()
    for figure, value in FIGURES.items():
        print("figure: %s: %s ms" % (figure, value))
    print("Windows program under Wine: %d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
