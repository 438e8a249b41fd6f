"""What Quilt costs beside a bare enumeration of the desktop, under Wine.

quilt-bareenum.exe makes exactly the per-window calls a snapshot needs and
keeps nothing. Every figure is a ratio to it measured in the same run, on
the same desktop, so that the machine's speed and load cancel out:

- `quilt list` against one bare enumeration, each as a program of its own,
  at 10, 50 and 200 windows (at most 50 per process): CPU of the program
  plus the window server's share (least of --runs runs, taking turns), and
  the same with the cost of starting an empty program taken off both;
- the daemon's CPU per periodic pass (every 3 s) against one bare
  enumeration, at 20 and 100 windows, in process CPU and with the window
  server's share; and its idle CPU in per cent of one core;
- window shown to window tiled: median of 20, timed from the test (asking
  for a window to seeing it moved: this holds the helper's making the window
  and the round trips of asking where it is) and as the window saw it (its
  ShowWindow to its first move, watched in its own process);
- the daemon's pass after an event, from its start to its last move (the
  part of the latency that is not the debounce), with 20 windows open: median
  of 20 passes after a window opened and 20 after it closed. It is timed by
  quilt-probe-pass.exe from the same build as each quilt.exe.

    /usr/bin/python3 tools/measure_enumeration.py [--quilt PATH]... [--idle-seconds 60] [--runs 15] [--only list|daemon|latency|pass]

Each --quilt (default build/win/quilt.exe) is measured in turn in the same
Wine session, so an older build can be set beside the new one.
"""

import argparse
import os
import resource
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import harness  # noqa: E402
from harness import Daemon, TestWin, appearing_to_tiled  # noqa: E402
from wine_env import WIN_BUILD, WineDesktop  # noqa: E402

BARE = WIN_BUILD / "quilt-bareenum.exe"
PERIODIC_S = 3.0
PER_PROCESS = 50


def proc_cpu(pid):
    """CPU seconds of every thread of a running process, to the nanosecond
    (the clock ticks of /proc/PID/stat are too coarse for a 3-second pass)."""
    total = 0
    for task in Path("/proc/%d/task" % pid).iterdir():
        try:
            total += int((task / "schedstat").read_text().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that just ended
    return total / 1e9


def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


class Windows:
    """Test windows, at most PER_PROCESS to a helper process."""

    def __init__(self, wine):
        self.wine = wine
        self.helpers = []
        self.count = 0

    def grow_to(self, n):
        while self.count < n:
            if not self.helpers or self.count % PER_PROCESS == 0:
                self.helpers.append(TestWin(self.wine))
            self.helpers[-1].open("resizable", "Window %d" % self.count)
            self.count += 1

    def close(self):
        for h in self.helpers:
            h.quit()
        self.helpers = []
        self.count = 0


def run_once(wine, args):
    """(wall seconds, program CPU, window-server CPU) of one program run."""
    server, own = proc_cpu(wine.wineserver.pid), children_cpu()
    started = time.monotonic()
    r = wine.run(args, timeout=120)
    wall = time.monotonic() - started
    assert r.returncode == 0, r
    return wall, children_cpu() - own, proc_cpu(wine.wineserver.pid) - server


def least_runs(wine, programs, runs):
    """For each program, its cheapest of `runs` runs, the programs taking
    turns: (wall, program CPU, window-server CPU). On a busy machine other
    work only ever adds to a run, so the least is the nearest to its cost."""
    samples = {key: [] for key in programs}
    for _ in range(runs):
        for key, args in programs.items():
            samples[key].append(run_once(wine, args))
    return {key: min(got, key=lambda s: s[1] + s[2]) for key, got in samples.items()}


def measure_list(wine, quilts, runs):
    print("== quilt list against one bare enumeration, each a program of its own (least of %d runs)" % runs)
    windows = Windows(wine)
    try:
        for n in (10, 50, 200):
            windows.grow_to(n)
            time.sleep(1)
            programs = {"empty": [str(BARE), "none"], "bare": [str(BARE)]}
            programs.update({label: [str(exe), "list"] for label, exe in quilts})
            got = least_runs(wine, programs, runs)
            empty, bare = got["empty"], got["bare"]
            empty_cost, bare_cost = empty[1] + empty[2], bare[1] + bare[2]
            print("%d windows: bare %.0f ms CPU (%.0f ms of it the window server), an empty program %.0f ms"
                  % (n, bare_cost * 1000, bare[2] * 1000, empty_cost * 1000))
            for label, _ in quilts:
                cost = got[label][1] + got[label][2]
                print("  %s: list %.0f ms CPU, %.2f of the bare enumeration; %.2f without the start-up;"
                      " wall %.2f of it"
                      % (label, cost * 1000, cost / bare_cost,
                         (cost - empty_cost) / max(bare_cost - empty_cost, 1e-9), got[label][0] / bare[0]))
    finally:
        windows.close()


def server_rate(wine, seconds):
    """The window server's CPU per second with nothing but the test windows running."""
    before = proc_cpu(wine.wineserver.pid)
    time.sleep(seconds)
    return (proc_cpu(wine.wineserver.pid) - before) / seconds


def bare_loop_cost(wine, background, seconds=1.0):
    """(process CPU, window-server CPU) of one bare enumeration, from a loop
    of them that lasts about `seconds`."""
    proc = wine.popen([str(BARE), "loop"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                      stderr=subprocess.DEVNULL)
    try:
        assert proc.stdout.readline().strip() == b"ready"
        proc.stdin.write(b"enum 2\n")  # the first calls of a program cost more
        proc.stdin.flush()
        proc.stdout.readline()
        own, server, started = proc_cpu(proc.pid), proc_cpu(wine.wineserver.pid), time.monotonic()
        count = 0
        while time.monotonic() - started < seconds:
            proc.stdin.write(b"enum 5\n")
            proc.stdin.flush()
            line = proc.stdout.readline().decode().split()
            count += 5
        wall = time.monotonic() - started
        own = proc_cpu(proc.pid) - own
        server = proc_cpu(wine.wineserver.pid) - server - background * wall
        return own / count, server / count, int(line[1])
    finally:
        proc.stdin.close()
        proc.wait(30)


def measure_daemon(wine, quilts, idle_seconds):
    print("== the daemon's periodic pass against one bare enumeration, and idle CPU over %.0f s" % idle_seconds)
    for n in (20, 100):
        windows = Windows(wine)
        try:
            windows.grow_to(n)
            time.sleep(2)
            background = server_rate(wine, idle_seconds / 2)
            bare_own, bare_server, visible = bare_loop_cost(wine, background)
            print("%d windows (%d visible): one bare enumeration %.2f ms CPU + %.2f ms of the window server"
                  " (its own load, %.3f %% of a core, taken off every figure)"
                  % (n, visible, bare_own * 1000, bare_server * 1000, 100 * background))
            for label, exe in quilts:
                harness.QUILT = exe
                daemon = Daemon(wine)
                try:
                    daemon.wait_started()
                    time.sleep(2 * PERIODIC_S + 2)  # tiled, then settled, then quiet
                    own, server = proc_cpu(daemon.proc.pid), proc_cpu(wine.wineserver.pid)
                    time.sleep(idle_seconds)
                    own = proc_cpu(daemon.proc.pid) - own
                    server = proc_cpu(wine.wineserver.pid) - server - background * idle_seconds
                finally:
                    daemon.stop()
                passes = idle_seconds / PERIODIC_S
                # The window server's share of a pass can be smaller than the
                # swings of its own background load: then it counts as none.
                server = max(server, 0.0)
                print("  %s: per periodic pass %.2f ms + %.2f ms of the window server: %.2f of a bare"
                      " enumeration in process CPU, %.2f with the window server; idle %.3f %% of a core"
                      " (%.3f %% with the window server)"
                      % (label, own / passes * 1000, server / passes * 1000, own / passes / bare_own,
                         (own + server) / passes / (bare_own + bare_server), 100 * own / idle_seconds,
                         100 * (own + server) / idle_seconds))
        finally:
            windows.close()


def measure_latency(wine, quilts):
    print("== window shown to window tiled (20 windows)")
    for label, exe in quilts:
        harness.QUILT = exe
        tw = TestWin(wine)
        daemon = Daemon(wine)
        try:
            daemon.wait_started()
            time.sleep(1)
            for watched in (False, True):
                samples = appearing_to_tiled(tw, pause=0.2, watched=watched)
                print("  %s: %s: median %.0f ms, min %.0f, max %.0f"
                      % (label, "from its ShowWindow, as the window saw it" if watched else
                         "from asking for a window to seeing it moved", statistics.median(samples) * 1000,
                         min(samples) * 1000, max(samples) * 1000))
        finally:
            daemon.stop()
            tw.quit()


def timed_pass(probe):
    probe.stdin.write(b"pass\n")
    probe.stdin.flush()
    while True:
        line = probe.stdout.readline().decode()
        assert line, "the pass probe ended"
        if line.startswith("pass "):
            return int(line.split()[1]) / 1e6


def measure_pass(wine, quilts, count=20):
    print("== the daemon's pass after an event, start to last move (20 windows open; median of %d)" % count)
    windows = Windows(wine)
    try:
        windows.grow_to(20)
        tw = TestWin(wine)
        for label, exe in quilts:
            probe_exe = Path(exe).parent / "quilt-probe-pass.exe"
            if not probe_exe.exists():
                print("  %s: no quilt-probe-pass.exe beside it" % label)
                continue
            probe = wine.popen([str(probe_exe)], stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            try:
                for _ in range(3):  # tiled, settled, quiet
                    timed_pass(probe)
                    time.sleep(0.3)
                opened, closed = [], []
                for i in range(count):
                    h = tw.open("resizable", "Appearing %d" % i)
                    time.sleep(0.1)
                    opened.append(timed_pass(probe))
                    time.sleep(0.2)
                    timed_pass(probe)  # the moved windows settle
                    tw.close(h)
                    time.sleep(0.1)
                    closed.append(timed_pass(probe))
                    time.sleep(0.2)
                    timed_pass(probe)
                print("  %s: after a window opened %.1f ms (min %.1f), after one closed %.1f ms (min %.1f)"
                      % (label, statistics.median(opened) * 1000, min(opened) * 1000,
                         statistics.median(closed) * 1000, min(closed) * 1000))
            finally:
                probe.stdin.close()
                probe.wait(30)
        tw.quit()
    finally:
        windows.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--quilt", action="append", type=Path)
    parser.add_argument("--idle-seconds", type=float, default=60)
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--only", choices=["list", "daemon", "latency", "pass"])
    args = parser.parse_args()
    quilts = [(str(q), q.resolve()) for q in (args.quilt or [WIN_BUILD / "quilt.exe"])]
    print("load average at start: %s" % " ".join("%.2f" % v for v in os.getloadavg()))
    wine = WineDesktop()
    try:
        if args.only in (None, "latency"):
            measure_latency(wine, quilts)
        if args.only in (None, "pass"):
            measure_pass(wine, quilts)
        if args.only in (None, "list"):
            measure_list(wine, quilts, args.runs)
        if args.only in (None, "daemon"):
            measure_daemon(wine, quilts, args.idle_seconds)
    finally:
        wine.close()
    print("load average at end: %s" % " ".join("%.2f" % v for v in os.getloadavg()))


if __name__ == "__main__":
    main()
