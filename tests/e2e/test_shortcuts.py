"""Real key chords from the X side while `quilt run` runs: the layout follows,
the focused program never sees the chord, and Win+Shift+Esc stops the daemon."""

import statistics
import subprocess
import time

import pytest

from harness import (Daemon, click_window, daemon_tiles, foreground_window, logged_keys, start_keylog,
                     untile_file, xdotool)
from wine_env import wait_for

SCREEN = (0, 0, 1920, 1080)


def chord(wine, *keys):
    """Presses the keys in order and lets them go in reverse, as fingers do."""
    args = []
    for k in keys:
        args += ["keydown", k]
    for k in reversed(keys):
        args += ["keyup", k]
    xdotool(wine, *args)


@pytest.fixture
def tiled_pair(wine, scene):
    """A | B tiled by a running daemon, A focused."""
    tw = scene.testwin()
    b = tw.open("resizable", "B")
    a = tw.open("resizable", "A")
    before = {h: tw.rect(h) for h in (a, b)}
    d = Daemon(wine)
    try:
        d.wait_started()
        T = daemon_tiles(wine, tw)
        wait_for(lambda: tw.rect(a) == T.left and tw.rect(b) == T.right, timeout=10)
        click_window(wine, tw, a)
        yield tw, a, b, d, before, T
    finally:
        # A test that stopped the daemon itself has checked how it ended.
        code = d.stop() if d.proc.poll() is None else 0
    assert code == 0, d.err_lines


def test_chords_move_focus_swap_resize_and_toggle_full_screen(wine, tiled_pair):
    tw, a, b, d, _, T = tiled_pair
    start_keylog(tw, a)
    chord(wine, "super", "Right")
    wait_for(lambda: foreground_window(tw) == b)
    # The window that had the focus saw the Windows key, but not the arrow.
    assert not any(k.endswith(":0x27") for k in logged_keys(tw))

    chord(wine, "super", "shift", "Left")  # B swaps with A and keeps the focus
    wait_for(lambda: tw.rect(b) == T.left and tw.rect(a) == T.right)
    assert foreground_window(tw) == b

    for _ in range(3):
        chord(wine, "super", "equal")  # the divider moves right by 52 per mille each time
    wait_for(lambda: tw.rect(b) == (8, 8, 1251, T.full[3]) and tw.rect(a) == (1259, 8, 1912, T.full[3]))

    chord(wine, "super", "f")
    wait_for(lambda: tw.rect(b) == SCREEN)
    assert tw.rect(a) == (1259, 8, 1912, T.full[3])
    chord(wine, "super", "f")
    wait_for(lambda: tw.rect(b) == (8, 8, 1251, T.full[3]))
    assert d.err_lines == []


def test_win_w_closes_and_win_shift_esc_stops_with_every_window_back(wine, tiled_pair):
    tw, a, b, d, before, T = tiled_pair
    chord(wine, "super", "Right")
    wait_for(lambda: foreground_window(tw) == b)
    chord(wine, "super", "w")
    wait_for(lambda: tw.rect(b) is None)
    wait_for(lambda: tw.rect(a) == T.full)

    chord(wine, "super", "shift", "Escape")
    assert d.proc.wait(10) == 0
    d.stop()
    assert "Stopped. Restored 1 window(s); 1 no longer exist; 0 failed." in d.out_lines
    assert tw.rect(a) == before[a]
    assert not untile_file(wine).exists()


def test_keys_that_are_not_shortcuts_reach_the_program(wine, tiled_pair):
    tw, a, b, d, _, T = tiled_pair
    start_keylog(tw, a)
    chord(wine, "shift", "Left")
    chord(wine, "super", "b")
    seen = []
    wait_for(lambda: seen.extend(logged_keys(tw)) or "down:0x42" in seen)
    assert "down:0x25" in seen  # Shift+Left
    assert tw.rect(a) == T.left and tw.rect(b) == T.right


def test_terminal_and_browser_report_what_is_missing(wine, tiled_pair):
    tw, a, b, d, _, T = tiled_pair
    chord(wine, "super", "Return")
    wait_for(lambda: "Could not open Windows Terminal (wt.exe)." in d.err_lines)
    # This prefix's https handler is Wine's own browser launcher; without one there is no browser.
    subprocess.run(["wine", "reg", "delete", r"HKCR\https\shell\open\command", "/f"], env=wine.env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wine", "reg", "delete", r"HKCU\Software\Classes\https\shell\open\command", "/f"],
                   env=wine.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    chord(wine, "super", "shift", "b")
    wait_for(lambda: len(d.err_lines) == 2)
    assert d.err_lines == ["Could not open Windows Terminal (wt.exe).", "Could not find the default browser."]


def test_time_from_chord_to_windows_moved(wine, tiled_pair):
    tw, a, b, d, _, T = tiled_pair
    samples = []
    for i in range(20):
        # A keeps the focus and goes right, then left again.
        target = (T.right, T.left) if i % 2 == 0 else (T.left, T.right)
        started = time.monotonic()
        chord(wine, "super", "shift", "Right" if i % 2 == 0 else "Left")
        wait_for(lambda: (tw.rect(a), tw.rect(b)) == target, interval=0.002)
        samples.append(time.monotonic() - started)
    print("\nchord to windows moved, median of 20: %.1f ms (min %.1f, max %.1f)"
          % (statistics.median(samples) * 1000, min(samples) * 1000, max(samples) * 1000))


def test_a_shortcut_works_while_the_tray_menu_is_open_and_its_exit_item_stops_the_daemon(wine, tiled_pair):
    from harness import click
    from test_tray import menu_rect, open_daemon_menu, taskbar_shown

    tw, a, b, d, before, T = tiled_pair
    left, top, right, bottom = open_daemon_menu(wine, tw, T)
    # The menu's modal loop drops messages posted to the thread: the chord
    # must still reach the daemon.
    chord(wine, "super", "shift", "Right")
    wait_for(lambda: tw.rect(a) == T.right and tw.rect(b) == T.left)
    if menu_rect(tw) is None:  # whether the chord's keys close the menu is the menu's business
        click(wine, max(left, T.full[2] + 1) + (right - max(left, T.full[2] + 1)) // 2, (top + bottom) // 2)
    m_left, _, m_right, m_bottom = wait_for(lambda: menu_rect(tw))
    click(wine, (m_left + m_right) // 2, m_bottom - 12)  # "Exit and mouse around", the last row
    assert d.proc.wait(10) == 0
    d.stop()
    assert "Stopped. Restored 2 window(s); 0 no longer exist; 0 failed." in d.out_lines
    assert {h: tw.rect(h) for h in (a, b)} == before
    wait_for(lambda: not taskbar_shown(tw))
