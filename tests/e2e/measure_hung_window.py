"""Times the daemon while a window stops answering just before a pass that
must move it, under Wine. The daemon runs inside quilt-probe-daemon.exe,
which reports the longest time its main loop spent on one message. Prints
that, and how long the new window, a shortcut and the stop took.

    /usr/bin/python3 tests/e2e/measure_hung_window.py [--hang-ms 10000]
"""

import argparse
import subprocess
import time

from harness import (WIN_BUILD, ProbeOutput, TestWin, click_window, daemon_tiles, foreground_window, wait_for,
                     xdotool)
from wine_env import WineDesktop

DAEMON_PROBE = WIN_BUILD / "quilt-probe-daemon.exe"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--hang-ms", type=int, default=10000)
    args = parser.parse_args()
    wine = WineDesktop()
    helpers = []
    try:
        stuck = TestWin(wine)
        helpers.append(stuck)
        frozen = stuck.open("resizable", "Frozen")
        tw = TestWin(wine)
        helpers.append(tw)
        a = tw.open("resizable", "A")
        probe = ProbeOutput(wine.popen([str(DAEMON_PROBE)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL))
        T = daemon_tiles(wine, tw)
        wait_for(lambda: {tw.rect(a), tw.rect(frozen)} == {T.left, T.right}, timeout=15)
        stuck.focus(frozen)
        wait_for(lambda: tw.foreground() == frozen)

        stuck.hang(args.hang_ms)
        hung_at = time.monotonic()
        b = tw.open("resizable", "B")  # goes next to Frozen, whose tile then changes
        wait_for(lambda: tw.rect(b) not in (None, (200, 150, 840, 630)), timeout=30, interval=0.01)
        tiled = time.monotonic() - hung_at

        click_window(wine, tw, b)
        toward_a = "Left" if tw.rect(a)[0] < tw.rect(b)[0] else "Right"
        started = time.monotonic()
        xdotool(wine, "keydown", "super", "keydown", toward_a, "keyup", toward_a, "keyup", "super")
        wait_for(lambda: foreground_window(tw) == a, timeout=30, interval=0.01)
        shortcut = time.monotonic() - started

        started = time.monotonic()
        probe.proc.stdin.write(b"stop\n")
        probe.proc.stdin.flush()
        probe.proc.wait(60)
        stopped = time.monotonic() - started
        report = "no report"
        while not report.startswith("longest busy"):
            report = probe.next(10)[1]
        print("window hung for %d ms from just before the pass" % args.hang_ms)
        print("new window tiled %.0f ms after the hang began" % (tiled * 1000))
        print("shortcut answered in %.0f ms" % (shortcut * 1000))
        print("stop took %.0f ms (exit code %d)" % (stopped * 1000, probe.proc.returncode))
        print("daemon main loop: " + report)
    finally:
        for h in helpers:
            h.quit()
        wine.close()


if __name__ == "__main__":
    main()
