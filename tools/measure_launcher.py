"""The launcher under Wine, with a real `quilt run` and webapps.txt holding
two web apps:
- Win+Space to the launcher's pixels on the screen (median of 10): the
  clock starts before xdotool presses the chord and stops when a pixel of the
  search box reads PALETTE.surface on the X server;
- one keystroke to the repainted result list (median of 20): "n" hides the
  second row (only Notes matches) and Backspace brings it back; the clock
  stops when that row's badge outline pixel has changed;
- the CPU time of one full paint, from quilt-probe-launcher.exe.
Pixels are read with XGetImage through libX11, a fraction of a millisecond a
read. With --shot PATH, a screenshot of the launcher is saved there.

    /usr/bin/python3 tools/measure_launcher.py [--shot docs/launcher.png]
"""

import argparse
import ctypes
import ctypes.util
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import (Daemon, TestWin, click_window, daemon_tiles, focus_x_windows_of, foreground_window,  # noqa: E402
                     local_app_data, windows_of_class, xdotool)
from wine_env import WIN_BUILD, WineDesktop, wait_for  # noqa: E402

SURFACE = (30, 34, 43)
LINE = (53, 59, 72)
PROBE = WIN_BUILD / "quilt-probe-launcher.exe"


class Pixels:
    """Single pixels of the X screen, read straight from the server."""

    def __init__(self, display):
        self.x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XGetImage.restype = ctypes.c_void_p
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                     ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XGetPixel.restype = ctypes.c_ulong
        self.x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.x.XDestroyImage.argtypes = [ctypes.c_void_p]
        self.display = self.x.XOpenDisplay(display.encode())
        assert self.display, "cannot open " + display
        self.root = self.x.XDefaultRootWindow(self.display)

    def at(self, px, py):
        image = self.x.XGetImage(self.display, self.root, px, py, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
        value = self.x.XGetPixel(image, 0, 0)
        self.x.XDestroyImage(image)
        return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF

    def wait(self, px, py, condition, timeout=5.0):
        deadline = time.monotonic() + timeout
        while not condition(self.at(px, py)):
            if time.monotonic() > deadline:
                raise TimeoutError("pixel (%d, %d) stayed %r" % (px, py, self.at(px, py)))
        return time.monotonic()


def visible_launcher(tw):
    return next((h for h, shown in windows_of_class(tw, "QuiltLauncher").items() if shown), None)


def measure(wine, tw, editor, daemon, shot):
    pixels = Pixels(wine.display)
    click_window(wine, tw, editor)
    xdotool(wine, "key", "super+space")
    launcher = wait_for(lambda: visible_launcher(tw))
    left, top, right, bottom = tw.rect(launcher)
    box = (left + 300, top + 30)  # inside the search box, right of the placeholder
    wait_for(lambda: pixels.at(*box) == SURFACE)
    if shot:
        full = shot.with_suffix(".full.png")
        wine.screenshot(full)
        subprocess.run(["convert", str(full), "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top),
                        "+repage", str(shot)], check=True)
        full.unlink()
        print("saved", shot)
    # The second row's badge: the first pixel of the outline's colour half-way down the row.
    row_y = top + 76 + 36 + 18
    badge = next((left + x, row_y) for x in range(460, 530) if pixels.at(left + x, row_y) == LINE)
    focus_x_windows_of(wine, daemon.proc)
    xdotool(wine, "key", "Escape")
    wait_for(lambda: not visible_launcher(tw))

    shown = []
    for _ in range(10):
        click_window(wine, tw, editor)
        pixels.wait(*box, lambda c: c != SURFACE)
        start = time.monotonic()
        xdotool(wine, "key", "super+space")
        shown.append((pixels.wait(*box, lambda c: c == SURFACE) - start) * 1000)
        wait_for(lambda: foreground_window(tw) == launcher)
        focus_x_windows_of(wine, daemon.proc)
        xdotool(wine, "key", "Escape")
        wait_for(lambda: not visible_launcher(tw))

    click_window(wine, tw, editor)
    xdotool(wine, "key", "super+space")
    wait_for(lambda: foreground_window(tw) == launcher)
    focus_x_windows_of(wine, daemon.proc)
    pixels.wait(*badge, lambda c: c == LINE)
    typed = []
    for i in range(20):
        start = time.monotonic()
        if i % 2 == 0:
            xdotool(wine, "key", "n")
            typed.append((pixels.wait(*badge, lambda c: c != LINE) - start) * 1000)
        else:
            xdotool(wine, "key", "BackSpace")
            typed.append((pixels.wait(*badge, lambda c: c == LINE) - start) * 1000)
    xdotool(wine, "key", "Escape")

    alone = []
    for _ in range(10):
        start = time.monotonic()
        subprocess.run(["xdotool", "getmouselocation"], env=wine.env, capture_output=True, check=True)
        alone.append((time.monotonic() - start) * 1000)

    print("Win+Space to pixels on screen: median %.1f ms (min %.1f, max %.1f, %d runs)"
          % (statistics.median(shown), min(shown), max(shown), len(shown)))
    print("keystroke to repainted list:   median %.1f ms (min %.1f, max %.1f, %d runs)"
          % (statistics.median(typed), min(typed), max(typed), len(typed)))
    print("xdotool starting and exiting alone: median %.1f ms (included above)" % statistics.median(alone))


def measure_paint(wine):
    r = wine.run([str(PROBE)], timeout=120)
    lines = r.stdout.decode().split()
    assert r.returncode == 0, r.stdout
    values = dict(zip(lines[::2], lines[1::2]))
    print("one full paint under Wine: %s us CPU, %s us wall (mean of 200)"
          % (values["paint_cpu_us"], values["paint_wall_us"]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--shot", type=Path, help="where to save a screenshot of the launcher")
    args = parser.parse_args()
    wine = WineDesktop()
    tw = None
    daemon = None
    list_file = local_app_data(wine).parent / "Roaming" / "quilt" / "webapps.txt"
    try:
        list_file.parent.mkdir(parents=True, exist_ok=True)
        list_file.write_text("Mail = https://mail.google.com\nNotes = https://notes.example\n", encoding="utf-8")
        tw = TestWin(wine)
        editor = tw.open("resizable", "Editor")
        daemon = Daemon(wine)
        daemon.wait_started()
        daemon_tiles(wine, tw)
        measure(wine, tw, editor, daemon, args.shot)
        daemon.stop()
        measure_paint(wine)
    finally:
        if daemon:
            daemon.kill()
        if tw:
            tw.quit()
        wine.close()


if __name__ == "__main__":
    main()
