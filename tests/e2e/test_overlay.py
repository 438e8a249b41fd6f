"""The shortcut list under Wine, with real keys from the X side while `quilt
run` runs: holding the Windows key alone shows the panel centred on the work
area, letting go hides it, the focused window keeps the focus, and using the
key as a modifier shows nothing. Wine draws layered windows without blending
in Xvfb, so the panel's colours can be checked pixel by pixel."""

import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pytest

from conftest import Scene
from harness import (Daemon, click_window, colour_box, daemon_tiles, foreground_window, screen_pixels,
                     visible_windows, wait_until_empty, windows_of_class, work_area, xdotool)
from wine_env import WineDesktop, ensure_template, start_xvfb, wait_for

OVERLAY_CLASS = "QuiltShortcutOverlay"
BACKGROUND = (17, 19, 24)
SURFACE = (30, 34, 43)
SEPARATOR = (38, 42, 51)
LOGO_DARK = (34, 41, 35)
ACCENT = (181, 245, 59)

# Pixels of the panel at 96 DPI, relative to its top-left corner: away from
# anti-aliased edges, so that each has exactly its colour.
PIXELS_96 = [
    ((10, 10), BACKGROUND),
    ((29, 39), LOGO_DARK),  # the logo's square, left of its tall tile
    ((46, 44), ACCENT),  # the logo's lower right tile
    ((200, 63), SEPARATOR),  # one pixel high, half-way down the header gap
    ((200, 64), BACKGROUND),
    ((528, 119), SURFACE),  # inside the first row's last key cap, right of its label
    ((550, 716), BACKGROUND),
]


def visible_overlay(tw):
    return next((h for h, shown in windows_of_class(tw, OVERLAY_CLASS).items() if shown), None)


def centred(area, width, height):
    left, top, w, h = area
    x, y = left + (w - width) // 2, top + (h - height) // 2
    return x, y, x + width, y + height


def hold_windows_key(wine, tw):
    """Presses the Windows key and waits for the panel; returns its rectangle."""
    xdotool(wine, "keydown", "super")
    overlay = wait_for(lambda: visible_overlay(tw), timeout=5)
    return overlay, tw.rect(overlay)


def release_windows_key(wine, tw, overlay):
    xdotool(wine, "keyup", "super")
    wait_for(lambda: not windows_of_class(tw, OVERLAY_CLASS)[overlay], timeout=2)


@pytest.fixture
def focused_daemon(wine, scene):
    """A running daemon with one tiled window in front, the work area settled."""
    tw = scene.testwin()
    a = tw.open("resizable", "A")
    d = Daemon(wine)
    try:
        d.wait_started()
        tiles = daemon_tiles(wine, tw)
        wait_for(lambda: tw.rect(a) == tiles.full, timeout=10)
        click_window(wine, tw, a)
        yield tw, a, d
    finally:
        xdotool(wine, "keyup", "super")
        if d.proc.poll() is None:
            assert d.stop() == 0, d.err_lines
        d.kill()


def test_holding_the_windows_key_shows_the_list_and_letting_go_hides_it(wine, focused_daemon, tmp_path):
    tw, a, d = focused_daemon
    overlay, rect = hold_windows_key(wine, tw)
    assert rect == centred(work_area(wine), 560, 726)
    shot = screen_pixels(wine, tmp_path / "shown.png")
    left, top, right, bottom = rect
    # The panel's background fills exactly its rectangle: no blending, no frame.
    assert colour_box(shot, {BACKGROUND}, (left - 20, top - 20, right + 20, bottom + 20)) == rect
    width, _, raw = shot
    wrong = []
    for (x, y), colour in PIXELS_96:
        i = ((top + y) * width + left + x) * 3
        if tuple(raw[i:i + 3]) != colour:
            wrong.append(((x, y), tuple(raw[i:i + 3]), colour))
    assert not wrong, wrong
    assert foreground_window(tw) == a

    release_windows_key(wine, tw, overlay)
    shot = screen_pixels(wine, tmp_path / "hidden.png")
    assert colour_box(shot, {BACKGROUND, LOGO_DARK, ACCENT}, rect) is None
    assert foreground_window(tw) == a
    assert d.err_lines == []


def test_the_windows_key_used_with_another_key_shows_nothing(wine, focused_daemon):
    tw, _, d = focused_daemon
    xdotool(wine, "keydown", "super", "key", "Left")
    # Held well past the 600 ms that would show the list on its own.
    deadline = time.monotonic() + 1.2
    while time.monotonic() < deadline:
        assert visible_overlay(tw) is None
    xdotool(wine, "keyup", "super")
    assert visible_overlay(tw) is None
    assert d.err_lines == []


class HighDpiDesktop(WineDesktop):
    """A 2560 x 1440 virtual desktop in a prefix set to 144 DPI (LogPixels),
    large enough for the panel's 1089 pixels."""

    def __init__(self):
        template = ensure_template()
        self.started = []
        self.tmp = Path(tempfile.mkdtemp(prefix="quilt-e2e-144-"))
        self.prefix = self.tmp / "prefix"
        subprocess.run(["cp", "-a", str(template), str(self.prefix)], check=True)
        # Edited as text before any Wine process reads the settings.
        for name in ("user.reg", "system.reg"):
            reg = self.prefix / name
            text = reg.read_text().replace('"LogPixels"=dword:00000060', '"LogPixels"=dword:00000090')
            reg.write_text(text.replace('"quilt"="1920x1080"', '"quilt"="2560x1440"'))
        self.xvfb, self.display = start_xvfb("2560x1440x24")
        self.start_wine()


@pytest.fixture(scope="module")
def high_dpi():
    desktop = HighDpiDesktop()
    yield desktop
    desktop.close()


def test_at_144_dpi_the_panel_is_840_by_1089(high_dpi, tmp_path):
    scene = Scene(high_dpi)
    d = None
    try:
        tw = scene.testwin()
        a = tw.open("resizable", "A")
        d = Daemon(high_dpi)
        d.wait_started()
        tiles = daemon_tiles(high_dpi, tw)
        wait_for(lambda: tw.rect(a) == tiles.full, timeout=10)
        click_window(high_dpi, tw, a)
        overlay, rect = hold_windows_key(high_dpi, tw)
        assert rect == centred(work_area(high_dpi), 840, 1089)
        shot = screen_pixels(high_dpi, tmp_path / "shown-144.png")
        assert colour_box(shot, {BACKGROUND}, (rect[0] - 20, rect[1] - 20, rect[2] + 20, rect[3] + 20)) == rect
        # The separator stays one pixel high: 75 + 144 * 26 / 192 = 94.
        width, _, raw = shot
        row = [tuple(raw[((rect[1] + y) * width + rect[0] + 300) * 3:][:3]) for y in (93, 94, 95)]
        assert row == [BACKGROUND, SEPARATOR, BACKGROUND]
        release_windows_key(high_dpi, tw, overlay)
        assert foreground_window(tw) == a
        assert d.stop() == 0
        assert d.err_lines == []
    finally:
        xdotool(high_dpi, "keyup", "super")
        if d:
            d.kill()
        scene.close()
        wait_until_empty(high_dpi)
