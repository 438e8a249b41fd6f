"""Measures a running `quilt run` under Wine: the time from a window
appearing to its being tiled (median of 20), the daemon's CPU time over
60 idle seconds with 10 windows open, and its peak memory.

    /usr/bin/python3 tools/measure_daemon.py [--idle-seconds 60]
"""

import argparse
import os
import statistics
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import Daemon, TestWin, appearing_to_tiled  # noqa: E402
from wine_env import WineDesktop  # noqa: E402


def cpu_seconds(pid):
    fields = Path("/proc/%d/stat" % pid).read_text().rsplit(")", 1)[1].split()
    ticks = os.sysconf("SC_CLK_TCK")
    return (int(fields[11]) + int(fields[12])) / ticks  # utime + stime


def peak_memory_kib(pid):
    for line in Path("/proc/%d/status" % pid).read_text().splitlines():
        if line.startswith("VmHWM:"):
            return int(line.split()[1])
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--idle-seconds", type=float, default=60)
    args = parser.parse_args()
    wine = WineDesktop()
    helpers = []
    try:
        tw = TestWin(wine)
        helpers.append(tw)
        daemon = Daemon(wine)
        daemon.wait_started()

        # Appearance to tiled: each new window goes next to the focused one.
        samples = appearing_to_tiled(tw)
        print("window appearing to tiled: median %.0f ms, min %.0f, max %.0f (20 windows)"
              % (statistics.median(samples) * 1000, min(samples) * 1000, max(samples) * 1000))

        # Ten windows, then nothing happens.
        for i in range(10):
            tw2 = TestWin(wine)
            helpers.append(tw2)
            tw2.open("resizable", "Idle %d" % i)
        time.sleep(4)
        pid = daemon.proc.pid
        before = cpu_seconds(pid)
        lines_before = len(daemon.retiles())
        time.sleep(args.idle_seconds)
        used = cpu_seconds(pid) - before
        print("idle with 10 windows: %.2f s of CPU over %.0f s (%.2f %%), %d re-tile lines"
              % (used, args.idle_seconds, 100 * used / args.idle_seconds, len(daemon.retiles()) - lines_before))
        print("peak memory (VmHWM of the daemon process): %d KiB" % peak_memory_kib(pid))
        print("daemon exit code: %d" % daemon.stop())
    finally:
        for h in helpers:
            h.quit()
        wine.close()


if __name__ == "__main__":
    main()
