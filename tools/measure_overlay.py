"""The shortcut list under Wine: the time from the 600 ms hold timer firing
to the panel's pixels on the screen (median of 10) and the CPU time of one
paint, both from quilt-probe-overlay.exe, which runs the daemon's own overlay
code; then, with a real `quilt run` and a held Windows key, screenshots of the
panel at 96 and 144 DPI.

    /usr/bin/python3 tools/measure_overlay.py [--shots DIR]
"""

import argparse
import statistics
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import Daemon, TestWin, click_window, windows_of_class, xdotool  # noqa: E402
from test_overlay import OVERLAY_CLASS, HighDpiDesktop  # noqa: E402
from wine_env import WIN_BUILD, WineDesktop, wait_for  # noqa: E402

PROBE = WIN_BUILD / "quilt-probe-overlay.exe"


def measure(desktop):
    proc = desktop.popen([str(PROBE)], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL)
    out, _ = proc.communicate(timeout=120)
    lines = out.decode().split("\n")
    assert lines[0] == "ready" and proc.returncode == 0, lines
    shown = [float(line.split()[1]) for line in lines if line.startswith("shown ")]
    values = dict(line.split() for line in lines if line.startswith("paint_"))
    print("hold timer fired to pixels on screen: median %.1f ms (min %.1f, max %.1f, %d runs)"
          % (statistics.median(shown), min(shown), max(shown), len(shown)))
    print("one paint: %s us CPU, %s us wall (mean of 200)" % (values["paint_cpu_us"], values["paint_wall_us"]))


def screenshot(desktop, path):
    tw = TestWin(desktop)
    daemon = Daemon(desktop)
    try:
        daemon.wait_started()
        click_window(desktop, tw, tw.open("resizable", "Editor"))
        xdotool(desktop, "keydown", "super")
        overlay = wait_for(lambda: next((h for h, v in windows_of_class(tw, OVERLAY_CLASS).items() if v), None))
        left, top, right, bottom = tw.rect(overlay)
        full = path.with_suffix(".full.png")
        desktop.screenshot(full)
        subprocess.run(["convert", str(full), "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top),
                        "+repage", str(path)], check=True)
        full.unlink()
        print("saved", path)
    finally:
        xdotool(desktop, "keyup", "super")
        daemon.stop()
        tw.quit()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--shots", type=Path, help="folder for overlay-96.png and overlay-144.png")
    args = parser.parse_args()
    desktop = WineDesktop()
    try:
        measure(desktop)
        if args.shots:
            screenshot(desktop, args.shots / "overlay-96.png")
    finally:
        desktop.close()
    if args.shots:
        desktop = HighDpiDesktop()
        try:
            screenshot(desktop, args.shots / "overlay-144.png")
        finally:
            desktop.close()


if __name__ == "__main__":
    main()
