#!/usr/bin/python3
"""Measures the built Vorlane.exe under Wine and prints a report (Markdown).

Run by scripts/benchmark.sh, which builds everything and starts the X display
and the wineserver; the figures are reported, never judged pass or fail.
Each figure is the median of several runs.

Environment: as for the end-to-end tests (DISPLAY, WINEPREFIX, VORLANE_EXE,
VORLANE_PROBE), plus VORLANE_MINIMAL (the minimal one-window program),
VORLANE_DIALOG_FLOOR (the fair floor: the same manifest, one dialog and the
same five controls), VORLANE_UPDATE_TIMING (the in-process timing program)
and VORLANE_BENCH_WORK
(a folder for the runs' files). VORLANE_BENCH_RUNS sets the runs per figure
(default 9); VORLANE_BENCH_SESSION the Updates of the long session (10000).
"""

import ctypes
import datetime
import os
import platform
import shutil
import statistics
import struct
import subprocess
import sys
import threading
import time

import desktop  # noqa: E402  (probe, pointer, drops)

RUNS = int(os.environ.get("VORLANE_BENCH_RUNS", "9"))
SESSION_UPDATES = int(os.environ.get("VORLANE_BENCH_SESSION", "10000"))
WORK = os.environ["VORLANE_BENCH_WORK"]
MINIMAL = os.environ["VORLANE_MINIMAL"]
MINIMAL_WINDOW = "Minimal"
FLOOR = os.environ["VORLANE_DIALOG_FLOOR"]
FLOOR_WINDOW = "Floor"
IDLE_SECONDS = 10
BIG_CATALOGUE_BYTES = 100 * 1024 * 1024
RECORD_LINE = b"X,-,-,Yes,ID04711,No,Artist , Album , Track..\r\n"
AWAY_FROM_BUTTONS = (900, 700)  # where the pointer waits during idle measurements

report_lines = []


def say(line=""):
    print(line, flush=True)
    report_lines.append(line)


def median(values):
    return statistics.median(values)


def percentile_90(values):
    return statistics.quantiles(values, n=10)[8] if len(values) >= 10 else max(values)


def fresh_folder(name):
    folder = os.path.join(WORK, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


def wine_path(path):
    return subprocess.run(["winepath", "-w", path], stdout=subprocess.PIPE, check=True).stdout.decode().strip()


def probe_in(folder, *args, timeout=600):
    """The probe run with the given current directory; its stdout text."""
    with open(os.path.join(folder, "probe-output.txt"), "wb+") as out:
        status = subprocess.run(["wine", os.environ["VORLANE_PROBE"], *[str(a) for a in args]], cwd=folder,
                                stdout=out, stderr=subprocess.PIPE, timeout=timeout).returncode
        out.seek(0)
        text = out.read().decode()
    if status != 0:
        raise RuntimeError("probe %s failed" % " ".join(str(a) for a in args))
    return text


# ---------------------------------------------------------------------------
# Processes: CPU time, wake-ups, memory


def task_ids(pid):
    return os.listdir("/proc/%d/task" % pid)


def cpu_ns(pid):
    """CPU time of all the process's threads, in nanoseconds."""
    total = 0
    for task in task_ids(pid):
        with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
            total += int(f.read().split()[0])
    return total


def switches(pid):
    """Voluntary context switches of all threads: each is a wake-up after a wait."""
    total = 0
    for task in task_ids(pid):
        with open("/proc/%d/task/%s/status" % (pid, task)) as f:
            for line in f:
                if line.startswith("voluntary_ctxt_switches:"):
                    total += int(line.split()[1])
    return total


def private_kb(pid):
    values = {}
    with open("/proc/%d/smaps_rollup" % pid) as f:
        for line in f:
            parts = line.split()
            if len(parts) == 3 and parts[2] == "kB":
                values[parts[0].rstrip(":")] = int(parts[1])
    return values.get("Private_Clean", 0) + values.get("Private_Dirty", 0)


def our_wineserver():
    prefix = os.environ["WINEPREFIX"]
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            if not os.readlink("/proc/%s/exe" % entry).startswith("/usr/lib/wine/wineserver"):
                continue
            with open("/proc/%s/environ" % entry, "rb") as f:
                if ("WINEPREFIX=" + prefix).encode() in f.read().split(b"\0"):
                    return int(entry)
        except OSError:
            continue
    raise RuntimeError("no wineserver of " + prefix)


class Running:
    """A program started under Wine in a fresh folder; ended at the close."""

    def __init__(self, exe, window, folder):
        self.folder = folder
        self.process = subprocess.Popen(["wine", exe], cwd=folder, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        desktop.wait_shown(window)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.process.kill()
        self.process.wait()
        time.sleep(0.5)


class Pointer:
    """Releases the left mouse button through the X test extension from this
    process, so that the time taken with it is the release's time to within
    an X round trip (xdotool would add its own start-up)."""

    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtest = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtest.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("cannot open the X display")

    def release(self):
        self.xtest.XTestFakeButtonEvent(self.display, 1, 0, 0)
        released = time.time()
        self.x11.XSync(self.display, 0)  # the server has the release when this returns
        return released

    def close(self):
        self.x11.XCloseDisplay(self.display)


def open_dialog():
    desktop.click_control(desktop.MAIN, desktop.ADD)
    desktop.wait_shown(desktop.DIALOG)


def focus_add_button():
    """Tab from the log box, which has the focus at the start, to the Add
    button: no caret blinks then."""
    desktop.move_to(desktop.background_point())  # keys reach Wine only with the pointer over its window
    desktop.xdotool("key", "Tab")
    if desktop.probe("focus", desktop.MAIN).strip() != str(desktop.ADD).encode():
        raise RuntimeError("the focus did not move to the Add button")


# ---------------------------------------------------------------------------
# Measurements


def machine():
    cpu = "unknown CPU"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        memory_gb = int(f.readline().split()[1]) / 1024 / 1024
    wine = subprocess.run(["wine", "--version"], stdout=subprocess.PIPE).stdout.decode().strip()
    filesystem = subprocess.run(["findmnt", "-n", "-o", "FSTYPE", "-T", WORK],
                                stdout=subprocess.PIPE).stdout.decode().strip()
    say("Measured %s on %s, %d CPUs, %.0f GB; Linux %s; %s; Xvfb 1024x768x24, no window manager; "
        "catalogues on %s. Load average at the start: %s. Each figure is the median of %d runs unless said."
        % (datetime.datetime.now().strftime("%Y-%m-%d %H:%M"), cpu, os.cpu_count(), memory_gb, platform.release(),
           wine, filesystem, " ".join(open("/proc/loadavg").read().split()[:3]), RUNS))
    say()


def sizes():
    say("Size: Vorlane.exe %d bytes (%.0f KB); the minimal program %d bytes; the fair floor %d bytes."
        % (os.path.getsize(os.environ["VORLANE_EXE"]), os.path.getsize(os.environ["VORLANE_EXE"]) / 1024,
           os.path.getsize(MINIMAL), os.path.getsize(FLOOR)))
    say()


def startup():
    folder = fresh_folder("startup")
    programs = [("Vorlane.exe", wine_path(os.environ["VORLANE_EXE"]), desktop.MAIN),
                ("minimal program", wine_path(MINIMAL), MINIMAL_WINDOW),
                ("fair floor", wine_path(FLOOR), FLOOR_WINDOW)]
    for _, exe, window in programs:  # warm the file cache; not counted
        probe_in(folder, "start-time", exe, window)
    times = {name: [] for name, _, _ in programs}
    for _ in range(RUNS):
        for name, exe, window in programs:  # taken in turns, so a busy moment hits both
            times[name].append(float(probe_in(folder, "start-time", exe, window)))
            time.sleep(0.3)
    vorlane, minimal, floor = (median(times[name]) for name, _, _ in programs)
    say("Start to the main window shown (process creation to the window visible, timed inside Wine): "
        "Vorlane.exe %.0f ms, the minimal program %.0f ms (%.2f times), the fair floor %.0f ms (%.2f times). "
        "Runs: %s." % (vorlane, minimal, vorlane / minimal, floor, vorlane / floor,
                       " / ".join(" ".join("%.0f" % t for t in times[name]) for name, _, _ in programs)))
    say()


def drop_to_dialog():
    folder = fresh_folder("drop")
    latencies = []
    pointer = Pointer()
    with Running(os.environ["VORLANE_EXE"], desktop.MAIN, folder):
        target = desktop.background_point()
        for run in range(RUNS + 1):
            song = os.path.join(folder, "Artist %d - Album - Track.mp3" % run)
            open(song, "wb").close()
            watcher = subprocess.Popen(["wine", os.environ["VORLANE_PROBE"], "watch", desktop.DIALOG, "30000"],
                                       stdout=subprocess.PIPE)
            if watcher.stdout.readline().strip() != b"watching":
                raise RuntimeError("the watcher did not start")
            released = desktop.drop([song], target, release=pointer.release)
            shown = float(watcher.stdout.readline())
            watcher.wait()
            if run > 0:  # the first drop warms up; not counted
                latencies.append(1000 * (shown - released))
            desktop.click_control(desktop.DIALOG, desktop.SEL_EXIT)
            desktop.wait_gone(desktop.DIALOG)
    pointer.close()
    say("Drop to the \"Add Items\" dialog shown (the mouse button released over the main window to the dialog "
        "visible): %.0f ms (runs: %s ms). The drop itself goes X11 drag source -> Wine's XDND handling -> "
        "WM_DROPFILES." % (median(latencies), " ".join("%.0f" % t for t in latencies)))
    say()


class CloseWatch:
    """Notes the system clock's time of every close of the named file after
    writing (inotify IN_CLOSE_WRITE), read as it happens by a thread that
    waits on nothing else. The program flushes the catalogue before it closes
    it, so a close marks the record on disk. inotify merges two identical
    events that wait unread, so a close may go unseen."""

    IN_CLOSE_WRITE = 0x8
    WAKE_NAME = ".close-watch-end"

    def __init__(self, folder, name):
        libc = ctypes.CDLL("libc.so.6", use_errno=True)
        self.folder = folder
        self.fd = libc.inotify_init1(0)
        if self.fd < 0 or libc.inotify_add_watch(self.fd, folder.encode(), self.IN_CLOSE_WRITE) < 0:
            raise OSError(ctypes.get_errno(), "inotify on " + folder)
        self.name = name.encode()
        self.times = []
        self.thread = threading.Thread(target=self._read)
        self.thread.start()

    def _read(self):
        while True:
            data = os.read(self.fd, 65536)
            now = time.time()
            offset = 0
            while offset + 16 <= len(data):
                _, mask, _, length = struct.unpack_from("iIII", data, offset)
                name = data[offset + 16:offset + 16 + length].rstrip(b"\0")
                if name == self.WAKE_NAME.encode():
                    return
                if name == self.name and mask & self.IN_CLOSE_WRITE:
                    self.times.append(now)
                offset += 16 + length

    def close(self):
        wake = os.path.join(self.folder, self.WAKE_NAME)
        open(wake, "w").close()  # a close of our own ends the reading thread
        self.thread.join()
        os.close(self.fd)
        os.remove(wake)


def time_updates(folder, count):
    """Clicks Update of the open dialog `count` times, one after the other.
    For each click: milliseconds from the click to the record on disk (the
    catalogue's close after the flush; None when that close went unseen) and
    to the handler's return (after the log box rebuild as well)."""
    watch = CloseWatch(folder, "Vorlane.csv")
    try:
        out = probe_in(folder, "time-command", desktop.DIALOG, desktop.UPDATE, count, "Vorlane.csv", timeout=7200)
        time.sleep(0.2)
    finally:
        watch.close()
    clicks = [tuple(float(v) for v in line.split()) for line in out.splitlines()]
    with open(os.path.join(folder, "update-times.txt"), "w") as f:  # the raw data, for a closer look
        f.write("".join("click %.6f %.6f\n" % c for c in clicks) + "".join("close %.6f\n" % t for t in watch.times))
    result = []
    closes = iter(sorted(watch.times))
    closed = next(closes, None)
    for sent, answered in clicks:
        while closed is not None and closed < sent:
            closed = next(closes, None)
        # The close is seen by another thread, a little after it happened.
        if closed is not None and closed <= answered + 0.005:
            result.append((1000 * (closed - sent), 1000 * (answered - sent)))
            closed = next(closes, None)
        else:
            result.append((None, 1000 * (answered - sent)))
    return result


def updates():
    first = []
    for run in range(RUNS):
        folder = fresh_folder("first-record")
        with Running(os.environ["VORLANE_EXE"], desktop.MAIN, folder):
            open_dialog()
            first.extend(time_updates(folder, 1))
    folder = fresh_folder("session")
    with Running(os.environ["VORLANE_EXE"], desktop.MAIN, folder):
        open_dialog()
        started = time.monotonic()
        session = time_updates(folder, SESSION_UPDATES + RUNS)
        session_seconds = time.monotonic() - started
    folder = fresh_folder("big-catalogue")
    with open(os.path.join(folder, "Vorlane.csv"), "wb") as f:
        f.write(desktop.HEADER + RECORD_LINE * (BIG_CATALOGUE_BYTES // len(RECORD_LINE)))
    with Running(os.environ["VORLANE_EXE"], desktop.MAIN, folder):
        open_dialog()
        big = time_updates(folder, RUNS)

    def row(case, samples):
        seen = [s[0] for s in samples if s[0] is not None]
        unseen = "" if len(seen) == len(samples) else " (%d of %d closes seen)" % (len(seen), len(samples))
        say("| %s | %.1f ms%s | %.1f ms |" % (case, median(seen), unseen, median(s[1] for s in samples)))

    say("Update: the click (WM_COMMAND of the Update button, sent by the probe from another process) to the "
        "record on disk, that is to the catalogue's close after its flush (seen by inotify on the Linux side), "
        "and to the handler's return, which comes after the log box rebuild that follows the write:")
    say()
    say("| Case | to the record on disk | whole Update, log box included |")
    say("|---|---|---|")
    row("first record of a session, new catalogue (%d sessions)" % RUNS, first)
    for start in (2, 1000, 5000):
        if start + RUNS <= SESSION_UPDATES:
            row("records %d to %d of one session" % (start, start + RUNS - 1), session[start - 1:start - 1 + RUNS])
    row("records %d to %d of one session" % (SESSION_UPDATES + 1, SESSION_UPDATES + RUNS), session[SESSION_UPDATES:])
    row("100 MB catalogue on disk, records 1 to %d of a session" % RUNS, big)
    say()
    blocks = [session[i:i + 1000] for i in range(0, SESSION_UPDATES, 1000)]
    on_disk = [[s[0] for s in block if s[0] is not None] for block in blocks]
    say("Over the session, block by block of 1,000 Updates, the median time to the record on disk stayed between "
        "%.1f and %.1f ms (90th percentiles %.1f to %.1f ms), while the median whole Update went from %.0f to %.0f "
        "ms. The session of %d Updates took %.0f s in all."
        % (min(median(b) for b in on_disk), max(median(b) for b in on_disk),
           min(percentile_90(b) for b in on_disk), max(percentile_90(b) for b in on_disk),
           median(s[1] for s in blocks[0]), median(s[1] for s in blocks[-1]), len(session), session_seconds))
    say()


def update_parts():
    folder = fresh_folder("parts")
    with open(os.path.join(folder, "big.csv"), "wb") as f:
        f.write(desktop.HEADER + RECORD_LINE * (BIG_CATALOGUE_BYTES // len(RECORD_LINE)))
    out = subprocess.run(["wine", os.environ["VORLANE_UPDATE_TIMING"], wine_path(folder), str(max(RUNS, 5))],
                         stdout=subprocess.PIPE, check=True, timeout=1800).stdout.decode()
    parts = {}
    for line in out.splitlines():
        name, *values = line.split()
        parts[name] = [float(v) if name.endswith("_share") else float(v) / 1000 for v in values]
    say("The Update's parts, timed inside one process with the program's own functions (median ms):")
    say()
    say("| Part | new catalogue | 100 MB catalogue |")
    say("|---|---|---|")
    say("| append: open, one write, flush, close | %.2f | %.2f |"
        % (parts["append_first_record"][0], parts["append_100mb"][0]))
    say("| of which the flush (the same steps by hand, run by run) | %.2f (%.0f%%) | %.2f (%.0f%%) |"
        % (parts["flush_first_record"][0], parts["flush_first_record_share"][0], parts["flush_100mb"][0],
           parts["flush_100mb_share"][0]))
    say()
    say("| Log box brought up to date | 1 entry | 1,000 entries | 10,000 entries |")
    say("|---|---|---|---|")
    for name, key in (("the new entry inserted at the top (ShowEntryLog)", "log_insert"),
                      ("the repaint after it", "log_paint"), ("the whole text set instead", "log_set")):
        say("| %s | %.1f | %.1f | %.1f |" % (name, parts[key + "_1"][0], parts[key + "_1000"][0],
                                             parts[key + "_10000"][0]))
    say()


def idle(name, exe, window, prepare):
    """CPU and wake-ups over IDLE_SECONDS of the program and of wineserver,
    and the program's private memory; medians over runs."""
    server = our_wineserver()
    program_ms, server_ms, wakeups, memory = [], [], [], []
    for _ in range(3):
        folder = fresh_folder("idle")
        with Running(exe, window, folder) as running:
            prepare()
            desktop.move_to(AWAY_FROM_BUTTONS)
            time.sleep(2)
            pid = running.process.pid
            before = (cpu_ns(pid), cpu_ns(server), switches(pid))
            time.sleep(IDLE_SECONDS)
            after = (cpu_ns(pid), cpu_ns(server), switches(pid))
            program_ms.append((after[0] - before[0]) / 1e6)
            server_ms.append((after[1] - before[1]) / 1e6)
            wakeups.append((after[2] - before[2]) / IDLE_SECONDS)
            memory.append(private_kb(pid))
    say("| %s | %.1f ms | %.1f ms | %.1f | %.0f KB |"
        % (name, median(program_ms), median(server_ms), median(wakeups), median(memory)))


def idle_and_memory():
    say("Idle: CPU time used over %d s with the pointer away from the picture button, by the program "
        "and by wineserver, the program's wake-ups per second (voluntary context switches of all its threads), "
        "and its private memory (Private_Clean + Private_Dirty of /proc/PID/smaps_rollup); medians of 3 runs:"
        % IDLE_SECONDS)
    say()
    say("| Program | CPU, program | CPU, wineserver | wake-ups/s | private memory |")
    say("|---|---|---|---|---|")
    idle("minimal program, its window", MINIMAL, MINIMAL_WINDOW, lambda: None)
    idle("fair floor: the manifest, a dialog, five controls", FLOOR, FLOOR_WINDOW, lambda: None)
    idle("Vorlane.exe, main window (focus in the log box)", os.environ["VORLANE_EXE"], desktop.MAIN, lambda: None)
    idle("Vorlane.exe, main window, focus on Add", os.environ["VORLANE_EXE"], desktop.MAIN, focus_add_button)
    idle("Vorlane.exe, main window and \"Add Items\"", os.environ["VORLANE_EXE"], desktop.MAIN, open_dialog)
    say()


def main():
    os.makedirs(WORK, exist_ok=True)
    machine()
    sizes()
    startup()
    drop_to_dialog()
    idle_and_memory()
    update_parts()
    updates()
    with open(os.path.join(WORK, "benchmark.md"), "w") as f:
        f.write("\n".join(report_lines) + "\n")
    print("Report written to " + os.path.join(WORK, "benchmark.md"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
