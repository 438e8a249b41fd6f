"""The tray icon and its menu under Wine: the icon shows in the virtual
desktop's taskbar, either button opens the menu, the exit item ends the
message loop, a click elsewhere or Esc closes the menu and gives the focus back,
and the icon returns when the taskbar is re-created.

Wine's taskbar shows only while some tray icon exists, so its visibility
tells whether the icon is there. Shell_NotifyIconGetRect is not implemented,
so the icon is found by its colours in a screenshot."""

import subprocess

import pytest

from harness import (TRAYPROBE, ProbeOutput, click, click_window, colour_box, focus_x_windows_of,
                     foreground_window, screen_pixels, wait_for, windows_of_class, xdotool)

CREAM = (248, 244, 227)
LIME = (181, 245, 59)
TASKBAR_BAND = (1400, 1040, 1920, 1080)  # bottom right of the 1920 x 1080 desktop
ELSEWHERE = (1000, 300)  # bare desktop, away from the test window and the menu


def taskbar_shown(tw):
    return any(windows_of_class(tw, "Shell_TrayWnd").values())


def menu_rect(tw):
    """The rectangle of the popup menu on screen, or None."""
    shown = [h for h, visible in windows_of_class(tw, "#32768").items() if visible]
    return tw.rect(shown[0]) if shown else None


def open_daemon_menu(wine, tw, T):
    """Opens a running daemon's tray menu with a click on its icon; the
    daemon's tiles T cover most of the icon (Wine's work area keeps the
    taskbar in), so the click goes to the sliver right of the last tile.
    Returns the icon's box."""
    wait_for(lambda: taskbar_shown(tw))

    def icon():
        shot = screen_pixels(wine, wine.tmp / "daemon-tray.png")
        box = colour_box(shot, {CREAM, LIME}, TASKBAR_BAND)
        return box and colour_box(shot, {LIME}, box) and box

    box = wait_for(icon, timeout=10, interval=0.2)
    left, top, right, bottom = box
    x = max(left, T.full[2] + 1)
    click(wine, x + (right - x) // 2, (top + bottom) // 2)
    wait_for(lambda: menu_rect(tw))
    return box


class TrayProbe:
    def __init__(self, wine, tw):
        self.wine = wine
        self.tw = tw
        self.probe = ProbeOutput(wine.popen([str(TRAYPROBE)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                            stderr=subprocess.PIPE))
        assert self.probe.next(30)[1] == "ready"
        wait_for(lambda: taskbar_shown(tw))
        self.shots = 0

    def icon(self):
        """The icon's box in a screenshot, waited for: the taskbar paints a
        moment after it appears."""
        def find():
            self.shots += 1
            shot = screen_pixels(self.wine, self.wine.tmp / ("tray%d.png" % self.shots))
            box = colour_box(shot, {CREAM, LIME}, TASKBAR_BAND)
            return box and colour_box(shot, {LIME}, box) and box
        return wait_for(find, timeout=10, interval=0.2)

    def open_menu(self, button):
        left, top, right, bottom = self.icon()
        click(self.wine, (left + right) // 2, (top + bottom) // 2, button)
        return wait_for(lambda: menu_rect(self.tw))

    def choose_exit(self, rect):
        # The exit item is the menu's last row.
        left, _, right, bottom = rect
        click(self.wine, (left + right) // 2, bottom - 12)
        assert self.probe.until("quit") == ["quit"]
        assert self.probe.proc.wait(10) == 0
        wait_for(lambda: not taskbar_shown(self.tw))  # the icon was removed

    def close(self):
        if self.probe.proc.poll() is None:
            self.probe.proc.kill()
            self.probe.proc.wait()


@pytest.fixture
def tray(wine, scene):
    tw = scene.testwin()
    probe = TrayProbe(wine, tw)
    try:
        yield probe
    finally:
        probe.close()


def test_icon_shows_and_a_left_click_opens_the_menu_whose_exit_item_quits(tray):
    left, top, right, bottom = tray.icon()
    assert right - left <= 16 and bottom - top <= 16  # the small-icon size, drawn from the resource
    rect = tray.open_menu(1)
    assert rect[2] - rect[0] > 50 and rect[3] - rect[1] > 30, rect  # three rows: title, separator, exit
    tray.choose_exit(rect)


def test_right_click_opens_the_menu_and_a_click_elsewhere_closes_it_and_gives_the_focus_back(wine, tray):
    hwnd = tray.tw.open("resizable", "Had the focus")
    click_window(wine, tray.tw, hwnd)
    tray.open_menu(3)
    assert foreground_window(tray.tw) != hwnd  # the tray window took the foreground for the menu
    click(wine, *ELSEWHERE)
    wait_for(lambda: menu_rect(tray.tw) is None)
    wait_for(lambda: foreground_window(tray.tw) == hwnd)
    assert tray.probe.pending() == [] and tray.probe.proc.poll() is None  # closing is not quitting
    tray.choose_exit(tray.open_menu(1))


def test_esc_closes_the_menu_without_quitting(wine, tray):
    hwnd = tray.tw.open("resizable", "Had the focus")
    click_window(wine, tray.tw, hwnd)
    tray.open_menu(1)
    # The menu is the probe's only visible window.
    focus_x_windows_of(wine, tray.probe.proc)
    xdotool(wine, "key", "Escape")
    wait_for(lambda: menu_rect(tray.tw) is None)
    wait_for(lambda: foreground_window(tray.tw) == hwnd)
    assert tray.probe.pending() == [] and tray.probe.proc.poll() is None
    tray.choose_exit(tray.open_menu(1))


def test_icon_comes_back_when_the_taskbar_is_recreated(tray):
    tray.icon()
    tray_window = [h for h in windows_of_class(tray.tw, "QuiltTray")]
    assert len(tray_window) == 1
    # What a restarting shell does: it forgets every icon, then announces itself.
    assert tray.tw.ask("traydel %s 1" % tray_window[0]) == "traydel 1"
    wait_for(lambda: not taskbar_shown(tray.tw))
    assert tray.tw.ask("broadcast TaskbarCreated") == "posted"
    wait_for(lambda: taskbar_shown(tray.tw))
    tray.icon()
    tray.choose_exit(tray.open_menu(1))
