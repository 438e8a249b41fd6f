"""The launcher's site icons under Wine, with 100 web apps whose icons are
already in the cache folder (%LOCALAPPDATA%\\quilt\\icons), so the first
screen asks for six:
- the launcher's first paint to the repaint with the cached icons (median of
  10, a fresh process each time, since icons stay loaded for the process):
  inside quilt-probe-launcher.exe, from the end of the first WM_PAINT to the
  end of the first one with every icon in; and as a user sees it with a real
  `quilt run`, from the first X pixel of the search box in PALETTE.surface to
  the first tile's icon colour at the centre of its square;
- the daemon's memory with 100 web apps whose icons are all loaded: each
  app's number is typed so that its row is painted, and its icon is waited
  for in the first row; VmRSS before and after, and VmHWM, of the Wine
  process that runs quilt.exe.
Every site is sent to a loopback proxy that serves nothing, so no icon can
come from the network; the proxy's requests are counted.

    /usr/bin/python3 tools/measure_icons.py
"""

import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "tools"))

from harness import (Daemon, Proxy, TestWin, click_window, daemon_tiles, focus_x_windows_of,  # noqa: E402
                     local_app_data, work_area, xdotool)
from measure_launcher import SURFACE, Pixels, visible_launcher  # noqa: E402
from wine_env import WIN_BUILD, WineDesktop, wait_for  # noqa: E402

RUNS = 10
APPS = 100
PROBE = WIN_BUILD / "quilt-probe-launcher.exe"


def colour_of(i):
    return (200, 2 * i, 60)


def write_icons(folder, count):
    """{host}.ico files of 48, 32 and 16 pixels, as sites commonly serve,
    each in its own solid colour."""
    folder.mkdir(parents=True, exist_ok=True)
    for i in range(count):
        subprocess.run(["convert", "-size", "48x48", "xc:#%02x%02x%02x" % colour_of(i), "-define",
                        "icon:auto-resize=48,32,16", str(folder / ("s%03d.example.ico" % i))], check=True)


def status_kib(pid):
    values = {}
    for line in Path("/proc/%d/status" % pid).read_text().splitlines():
        key, _, rest = line.partition(":")
        if key in ("VmRSS", "VmHWM"):
            values[key] = int(rest.split()[0])
    return values


def probe_paints(wine, env):
    r = subprocess.run(["wine", str(PROBE), "icons"], env={**wine.env, **env}, capture_output=True, timeout=120)
    lines = r.stdout.decode().splitlines()
    assert r.returncode == 0, lines
    values = dict(line.split(" ", 1) for line in lines)
    return float(values["first_icon_paint_us"]) / 1000, float(values["all_icons_paint_us"]) / 1000, values["icons"]


def show(wine, tw, editor):
    click_window(wine, tw, editor)
    xdotool(wine, "key", "super+space")
    launcher = wait_for(lambda: visible_launcher(tw))
    return tw.rect(launcher)


def first_paint_to_icons(wine, tw, editor, env):
    """One fresh daemon: ms from the first paint on the X screen to the icon
    there, and whether the first paint had the letter tile there. The pixels
    are read from the moment Win+Space is pressed, where the launcher will
    be: centred on the work area once the daemon's tray has brought up
    Wine's taskbar."""
    daemon = Daemon(wine, env)
    try:
        daemon.wait_started()
        daemon_tiles(wine, tw)
        area_left, area_top, width, height = work_area(wine)
        left, top = area_left + (width - 560) // 2, area_top + (height - 416) // 2
        pixels = Pixels(wine.display)
        box, icon = (left + 300, top + 30), (left + 60, top + 340)
        click_window(wine, tw, editor)
        assert pixels.at(*box) != SURFACE
        xdotool(wine, "key", "super+space")
        first = None
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            now = time.monotonic()
            on_icon = pixels.at(*icon)
            if first is None and pixels.at(*box) == SURFACE:
                first = (now, on_icon != colour_of(0))
            if first and on_icon == colour_of(0):
                return (now - first[0]) * 1000, first[1]
        raise TimeoutError("box %r, icon %r" % (pixels.at(*box), pixels.at(*icon)))
    finally:
        daemon.stop()
        daemon.kill()


def memory_with_all_icons(wine, tw, editor, env):
    daemon = Daemon(wine, env)
    try:
        daemon.wait_started()
        # The start lines come before the keyboard hook is in; waiting for the
        # work area to settle under the taskbar, as the other runs do, gives it time.
        daemon_tiles(wine, tw)
        pixels = Pixels(wine.display)
        left, top, _, _ = show(wine, tw, editor)
        focus_x_windows_of(wine, daemon.proc)
        first_row = (left + 44, top + 94)
        pixels.wait(*first_row, lambda c: c == colour_of(0))
        before = status_kib(daemon.proc.pid)
        started = time.monotonic()
        for i in range(APPS):
            xdotool(wine, "type", "%03d" % i)
            pixels.wait(*first_row, lambda c, i=i: c == colour_of(i))
            xdotool(wine, "key", "BackSpace", "BackSpace", "BackSpace")
        took = time.monotonic() - started
        after = status_kib(daemon.proc.pid)
        cmdline = Path("/proc/%d/cmdline" % daemon.proc.pid).read_bytes().replace(b"\0", b" ").decode()
        return before, after, took, cmdline
    finally:
        daemon.stop()
        daemon.kill()


def main():
    wine = WineDesktop()
    tw = None
    proxy = Proxy()
    env = proxy.env()
    roaming = local_app_data(wine).parent / "Roaming" / "quilt"
    try:
        roaming.mkdir(parents=True, exist_ok=True)
        (roaming / "webapps.txt").write_text(
            "".join("Site %03d = https://s%03d.example\n" % (i, i) for i in range(APPS)), encoding="utf-8")
        write_icons(local_app_data(wine) / "quilt" / "icons", APPS)
        tw = TestWin(wine)
        editor = tw.open("resizable", "Editor")
        probed = [probe_paints(wine, env) for _ in range(RUNS)]
        first_icon = [f for f, _, _ in probed]
        all_icons = [a for _, a, _ in probed]
        print("in the probe, first paint to the paint with the first icon: median %.1f ms (min %.1f, max %.1f); "
              "with all icons (%s): median %.1f ms (min %.1f, max %.1f), %d runs"
              % (statistics.median(first_icon), min(first_icon), max(first_icon), probed[0][2],
                 statistics.median(all_icons), min(all_icons), max(all_icons), len(probed)))

        runs = [first_paint_to_icons(wine, tw, editor, env) for _ in range(RUNS)]
        times = [t for t, _ in runs]
        print("on the X screen, first paint to the cached site icon: median %.1f ms (min %.1f, max %.1f, %d runs; "
              "letter tile seen first in %d)" % (statistics.median(times), min(times), max(times), len(times),
                                                  sum(1 for _, letter in runs if letter)))

        before, after, took, cmdline = memory_with_all_icons(wine, tw, editor, env)
        print("daemon memory (%s): VmRSS %d KiB with the first screen's icons, %d KiB with all %d loaded "
              "(+%d KiB, %.1f KiB an icon); VmHWM %d KiB; %.1f s to show all %d"
              % (cmdline.strip(), before["VmRSS"], after["VmRSS"], APPS, after["VmRSS"] - before["VmRSS"],
                 (after["VmRSS"] - before["VmRSS"]) / (APPS - 6), after["VmHWM"], took, APPS))
        print("requests that reached the proxy: %d" % len(proxy.asked))
    finally:
        proxy.close()
        if tw:
            tw.quit()
        wine.close()


if __name__ == "__main__":
    main()
