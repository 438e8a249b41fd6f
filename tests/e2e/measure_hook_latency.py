"""Times a key chord from the X side to the hook probe's main thread under
Wine: xdotool presses Win+Right and the clock stops when the probe prints
the MSG_SHORTCUT it received. Prints the median of 20 runs and, for
comparison, the median time xdotool itself takes to start and exit.

    /usr/bin/python3 tests/e2e/measure_hook_latency.py
"""

import statistics
import subprocess
import time

from harness import HOOKPROBE, ProbeOutput, TestWin, click_window, wait_for, xdotool
from wine_env import WineDesktop

RUNS = 20


def main():
    wine = WineDesktop()
    tw = None
    probe = None
    try:
        tw = TestWin(wine)
        click_window(wine, tw, tw.open("resizable", "Latency"))
        probe = ProbeOutput(wine.popen([str(HOOKPROBE)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL))
        assert probe.next(30)[1] == "ready"

        def hook_answers():
            xdotool(wine, "keydown", "super", "keyup", "super")
            return "win 1" in probe.pending()
        wait_for(hook_answers, timeout=15, interval=0.2)

        chord = []
        for _ in range(RUNS):
            probe.pending()
            start = time.monotonic()
            xdotool(wine, "keydown", "super", "keydown", "Right")
            while True:
                arrived, line = probe.next()
                if line == "shortcut 5":
                    break
            chord.append((arrived - start) * 1000)
            xdotool(wine, "keyup", "Right", "keyup", "super")
            probe.until("win 0")  # the Windows key's release

        alone = []
        for _ in range(RUNS):
            start = time.monotonic()
            subprocess.run(["xdotool", "getmouselocation"], env=wine.env, capture_output=True, check=True)
            alone.append((time.monotonic() - start) * 1000)

        print("chord to MSG_SHORTCUT on the main thread: median %.1f ms (min %.1f, max %.1f, %d runs)"
              % (statistics.median(chord), min(chord), max(chord), RUNS))
        print("xdotool starting and exiting alone:      median %.1f ms" % statistics.median(alone))
    finally:
        if probe:
            probe.end()
        if tw:
            tw.quit()
        wine.close()


if __name__ == "__main__":
    main()
