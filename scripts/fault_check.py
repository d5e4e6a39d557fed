#!/usr/bin/env python3
"""Applies each fault of scripts/faults.txt to a scratch copy of the program,
rebuilds, runs the test suite up to its first failure, and prints which
faults the suite caught and which survived. A failure counts as a catch only
when the same test passes again on the sound code: the original file is put
back, the program rebuilt and that test run alone.

    scripts/fault_check.py [--tree DIR] [--only F01,F02] [--jobs N] [--scratch DIR]

--tree names the source tree whose suite is judged (default: this one); the
faults always come from this tree's faults.txt, so an older suite can be
judged against the same faults. Each job has a scratch copy, build tree,
Wine prefix, X display and wineserver of its own; the first run of each is
the tree's own ./test.sh, which must pass. A fault that does not build, or
whose text is not found exactly once, is reported as such and counts as
neither caught nor survived; so does a fault whose failing test also fails
on the sound code ("unconfirmed"), and one under which a test hits its CTest
timeout or the whole suite hangs for --limit seconds ("timed out"). Takes
about two minutes a fault on two cores.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
DISPLAY_LOCK = threading.Lock()


def parse_faults(path):
    """Faults with their edits: (find, replace) pairs, applied in order."""
    faults, current = [], None
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        header = re.match(r"^(F\d+) (\S+) \| (\S+) \| (.+)$", line)
        if header:
            current = {"id": header[1], "area": header[2], "file": header[3], "what": header[4], "edits": []}
            faults.append(current)
        elif current and line and line[0] in "-+" and line[1:2] in ("", " "):
            side = 0 if line[0] == "-" else 1
            if side == 0 and (not current["edits"] or current["edits"][-1][1]):
                current["edits"].append([[], []])
            current["edits"][-1][side].append(line[2:])
    for fault in faults:
        fault["edits"] = [("\n".join(find).strip(), "\n".join(replace).strip()) for find, replace in fault["edits"]]
    return faults


def run(command, env, cwd=None, log=None, timeout=None):
    if log:
        log.flush()  # what was written before comes before the command's output
    return subprocess.run(command, env=env, cwd=cwd, stdout=log or subprocess.DEVNULL,
                          stderr=subprocess.STDOUT, timeout=timeout, start_new_session=True).returncode


def free_display():
    for number in range(150, 250):
        if not os.path.exists("/tmp/.X%d-lock" % number) and not os.path.exists("/tmp/.X11-unix/X%d" % number):
            return number
    raise RuntimeError("no free X display")


class Job:
    def __init__(self, index, tree, scratch, limit):
        self.index, self.limit = index, limit
        self.src = os.path.join(scratch, "job%d" % index, "src")
        self.build = os.path.join(self.src, "build")
        self.log_path = os.path.join(scratch, "job%d" % index, "log.txt")
        self.started = []
        shutil.rmtree(os.path.dirname(self.src), ignore_errors=True)
        files = subprocess.run(["git", "-C", tree, "ls-files", "-co", "--exclude-standard"],
                               stdout=subprocess.PIPE, check=True).stdout.decode().split("\n")
        for name in filter(None, files):
            if os.path.isfile(os.path.join(tree, name)):
                os.makedirs(os.path.dirname(os.path.join(self.src, name)), exist_ok=True)
                shutil.copy2(os.path.join(tree, name), os.path.join(self.src, name))
        # Faults may draw warnings: the scratch copy builds without -Werror.
        native = os.path.join(self.src, "tests", "native", "CMakeLists.txt")
        if os.path.exists(native):
            with open(native) as f:
                text = f.read().replace(" -Werror", "")
            with open(native, "w") as f:
                f.write(text)
        self.env = dict(os.environ, VORLANE_BUILD=self.build, WINEPREFIX=os.path.join(self.build, "wineprefix"),
                        WINEARCH="win32", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d")
        self.env.pop("DISPLAY", None)

    def prepare(self):
        with open(self.log_path, "ab") as log:
            if run(["./test.sh"], self.env, cwd=self.src, log=log) != 0:
                raise RuntimeError("job %d: the unchanged suite fails; see %s" % (self.index, self.log_path))
            run(["cmake", "-DVORLANE_WERROR=OFF", self.build], self.env, log=log)
        with DISPLAY_LOCK:  # one job at a time picks a display and takes it
            display = free_display()
            self.started.append(subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1024x768x24",
                                                  "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                                 stderr=subprocess.DEVNULL))
            time.sleep(1)
        self.env["DISPLAY"] = ":%d" % display
        run(["wineserver", "-p"], self.env)
        run(["wine", "cmd", "/c", "exit"], self.env)

    def build_trees(self, log):
        for tree in sorted(os.listdir(self.build)):
            path = os.path.join(self.build, tree)
            if tree != "wineprefix" and os.path.isfile(os.path.join(path, "CMakeCache.txt")):
                if run(["cmake", "--build", path, "-j2"], self.env, log=log) != 0:
                    return False
        return run(["cmake", "--build", self.build, "-j2"], self.env, log=log) == 0

    def ctest(self, arguments, log):
        """CTest's return code, or None when it ran past --limit."""
        try:
            done = subprocess.run(["ctest", "-j1"] + arguments, env=self.env, cwd=self.build, stdout=subprocess.PIPE,
                                  stderr=subprocess.STDOUT, timeout=self.limit, start_new_session=True)
        except subprocess.TimeoutExpired:
            run(["wineserver", "-k"], self.env)
            run(["wineserver", "-p"], self.env)
            return None
        log.write(done.stdout)
        self.output = done.stdout
        return done.returncode

    def first_failure(self, log):
        """(name, how) of the first test that fails, ("", "hung") when the
        suite hangs, or None when all pass."""
        if self.ctest(["--stop-on-failure"], log) is None:
            return "", "hung"
        failed = re.search(rb"Test\s+#\d+: (\S+) \.+\**\s*(Failed|Exception|Timeout|Not Run|\*\*\*)", self.output)
        return (failed[1].decode(), failed[2].decode()) if failed else None

    def passes_alone(self, name, log):
        pattern = "^%s$" % re.sub(r"([][.^$*+?(){}|\\])", r"\\\1", name)
        return self.build_trees(log) and self.ctest(["--no-tests=error", "-R", pattern], log) == 0

    def judge(self, fault):
        path = os.path.join(self.src, fault["file"])
        original = open(path, encoding="utf-8").read()
        mutated = original
        for find, replace in fault["edits"]:
            if mutated.count(find) != 1:
                return "text not found once"
            mutated = mutated.replace(find, replace)
        with open(self.log_path, "ab") as log:
            log.write(("\n==== %s %s\n" % (fault["id"], fault["what"])).encode())
            try:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(mutated)
                if not self.build_trees(log):
                    return "did not build"
                failure = self.first_failure(log)
            finally:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original)
            if not failure:
                return "SURVIVED"
            name, how = failure
            if how == "hung":
                return "timed out (the suite hung)"
            if how == "Timeout":
                return "timed out (%s)" % name
            log.write(("==== %s on the sound code\n" % name).encode())
            if self.passes_alone(name, log):
                return "caught by " + name
            return "unconfirmed (%s fails on the sound code too)" % name

    def stop(self):
        run(["wineserver", "-k"], self.env)
        for process in self.started:
            process.terminate()
            process.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tree", default=ROOT)
    parser.add_argument("--only", default="")
    parser.add_argument("--jobs", type=int, default=1)
    parser.add_argument("--limit", type=int, default=600, help="seconds before a suite counts as hung")
    parser.add_argument("--scratch", default=os.path.join(tempfile.gettempdir(), "vorlane-faults"))
    args = parser.parse_args()

    faults = parse_faults(os.path.join(HERE, "faults.txt"))
    if args.only:
        wanted = set(args.only.split(","))
        faults = [f for f in faults if f["id"] in wanted]
    jobs = [Job(i, os.path.abspath(args.tree), args.scratch, args.limit) for i in range(args.jobs)]
    results, lock = {}, threading.Lock()
    queue = list(faults)

    def work(job):
        job.prepare()
        while True:
            with lock:
                if not queue:
                    return
                fault = queue.pop(0)
            started = time.monotonic()
            verdict = job.judge(fault)
            with lock:
                results[fault["id"]] = verdict
                print("%-4s %-8s %-60s %s (%.0f s)" % (fault["id"], fault["area"], fault["what"][:60], verdict,
                                                      time.monotonic() - started), flush=True)

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    threads = [threading.Thread(target=work, args=(job,)) for job in jobs]
    try:
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
    finally:
        for job in jobs:
            job.stop()

    def having(verdict):
        return [f for f in faults if results.get(f["id"], "").startswith(verdict)]

    caught, survived = having("caught"), having("SURVIVED")
    timed_out, unconfirmed = having("timed out"), having("unconfirmed")
    unbuilt = len(faults) - len(caught) - len(survived) - len(timed_out) - len(unconfirmed)
    print("\n%d faults: %d caught, %d survived, %d not judged (%d timed out, %d unconfirmed, %d did not apply or "
          "build)" % (len(faults), len(caught), len(survived), len(faults) - len(caught) - len(survived),
                      len(timed_out), len(unconfirmed), unbuilt))
    for fault in survived + timed_out + unconfirmed:
        verdict = results[fault["id"]].split(" (")[0].lower()
        print("  %s %s %s: %s" % (verdict, fault["id"], fault["area"], fault["what"]))
    return 0 if not survived else 1


if __name__ == "__main__":
    sys.exit(main())
