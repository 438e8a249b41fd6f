"""Every way `quilt run` ends under Wine puts every window back: the end of
the session (before the programs hear of it), a stop asked for while the
tray menu's modal loop runs, and fifty starts and stops in a row with the
launcher, its icon downloads and the tray menu in use."""

import shutil
import signal
import time

import pytest

from harness import (Daemon, Proxy, click_window, daemon_tiles, focus_x_windows_of, local_app_data, untile_file,
                     windows_of_class, xdotool)
from test_launcher import visible_launcher
from test_shortcuts import chord
from test_tray import menu_rect, open_daemon_menu
from wine_env import wait_for


@pytest.fixture
def tiled_pair(wine, scene):
    tw = scene.testwin()
    b = tw.open("resizable", "B")
    a = tw.open("resizable", "A")
    tw.move(b, 300, 200, 700, 500)
    before = {h: tw.rect(h) for h in (a, b)}
    d = Daemon(wine)
    try:
        d.wait_started()
        T = daemon_tiles(wine, tw)
        wait_for(lambda: {tw.rect(a), tw.rect(b)} == {T.left, T.right}, timeout=10)
        yield tw, a, b, d, before, T
    finally:
        if d.proc.poll() is None:
            d.kill()


@pytest.mark.parametrize("how", ["ctrl-c", "win+shift+esc"])
def test_a_stop_asked_for_while_the_tray_menu_is_open_is_not_lost(wine, tiled_pair, how):
    tw, a, b, d, before, T = tiled_pair
    click_window(wine, tw, a)
    open_daemon_menu(wine, tw, T)
    started = time.monotonic()
    if how == "ctrl-c":
        d.proc.send_signal(signal.SIGINT)
    else:
        chord(wine, "super", "shift", "Escape")
    assert d.proc.wait(10) == 0, d.err_lines
    took = time.monotonic() - started
    d.stop()
    assert took < 2.0, took
    assert "Stopped. Restored 2 window(s); 0 no longer exist; 0 failed." in d.out_lines
    assert {h: tw.rect(h) for h in (a, b)} == before
    assert not untile_file(wine).exists()
    wait_for(lambda: menu_rect(tw) is None)


def test_the_end_of_the_session_puts_every_window_back_before_the_programs_hear_of_it(wine, scene):
    # Wine tells one process after another, in the order of their ids, and
    # ends each right after: the window's program must come after the daemon.
    # Ids are reused, so a helper that got a lower one is replaced.
    d = Daemon(wine)
    try:
        d.wait_started()
        probe = scene.testwin()
        daemon_window = wait_for(lambda: next(iter(windows_of_class(probe, "QuiltDaemon")), None))
        daemon_pid = int(probe.ask("pid " + daemon_window).split()[1])
        for _ in range(20):
            tw = scene.testwin()
            a = tw.open("resizable", "A")
            if int(tw.ask("pid " + a).split()[1]) > daemon_pid:
                break
            tw.close(a)
        tw.move(a, 300, 200, 700, 500)
        own = tw.rect(a)
        T = daemon_tiles(wine, tw)
        wait_for(lambda: tw.rect(a) == T.full, timeout=10)
        assert untile_file(wine).exists()
        wine.run(["wineboot", "--end-session"], timeout=60)
        ended = tw.wait_line("endsession " + a, timeout=20)
        assert ended, "the window never heard that the session ends"
        assert tuple(int(v) for v in ended.split()[2:]) == own, (ended, own, T.full)
        assert d.proc.wait(10) == 0, d.err_lines
    finally:
        if d.proc.poll() is None:
            d.kill()
    d.stop()
    stopped = [line for line in d.out_lines if line.startswith("Stopped. ")]
    assert len(stopped) == 1 and stopped[0].startswith("Stopped. Restored 1 window(s); "), d.out_lines
    assert stopped[0].endswith(" 0 failed."), stopped
    assert not untile_file(wine).exists()


def test_fifty_starts_and_stops_with_the_launcher_icons_and_tray_in_use(wine, scene):
    # Web apps whose icons are not cached: every show sends the icon thread
    # into downloads that the proxy holds open across the stop.
    list_file = local_app_data(wine).parent / "Roaming" / "quilt" / "webapps.txt"
    icon_cache = local_app_data(wine) / "quilt" / "icons"
    cache_was_there = icon_cache.exists()
    list_file.parent.mkdir(parents=True, exist_ok=True)
    list_file.write_text("".join("Site %d = https://site%d.example\n" % (i, i) for i in range(8)), encoding="utf-8")
    proxy = Proxy(hold=3)
    tw = scene.testwin()
    a = tw.open("resizable", "A")
    own = tw.rect(a)
    starts = stops = 0
    longest = 0.0
    try:
        for i in range(50):
            d = Daemon(wine, env=proxy.env())
            starts += 1
            try:
                d.wait_started()
                wait_for(lambda: tw.rect(a) != own, timeout=10)
                if i % 5 == 1:
                    extra = tw.open("resizable", "New %d" % i)
                # Chords need the hook, which comes up just after the daemon's
                # window, and a Wine window with the X focus.
                wait_for(lambda: windows_of_class(tw, "QuiltDaemon"))
                click_window(wine, tw, a)
                if i % 2 == 0:
                    xdotool(wine, "key", "super+space")
                    wait_for(lambda: visible_launcher(tw), timeout=10)
                    if i % 4 == 0:
                        focus_x_windows_of(wine, d.proc)
                        xdotool(wine, "key", "Escape")
                if i % 3 == 0:
                    T = daemon_tiles(wine, tw)
                    open_daemon_menu(wine, tw, T)
                started = time.monotonic()
                if i % 2:
                    chord(wine, "super", "shift", "Escape")
                else:
                    d.proc.send_signal(signal.SIGINT)
                code = d.proc.wait(10)
                longest = max(longest, time.monotonic() - started)
                d.stop()
            finally:
                if d.proc.poll() is None:
                    d.kill()
            assert code == 0, (i, code, d.err_lines)
            assert any(line.startswith("Stopped. Restored ") for line in d.out_lines), (i, d.out_lines)
            stops += 1
            assert tw.rect(a) == own, i
            if i % 5 == 1:
                tw.close(extra)
    finally:
        proxy.close()
        shutil.rmtree(list_file.parent, ignore_errors=True)
        if not cache_was_there:  # the held downloads leave the folder they made
            shutil.rmtree(icon_cache, ignore_errors=True)
        print("\nstarts %d, stops %d, longest stop %.2f s" % (starts, stops, longest))
    assert longest < 2.0, longest
    assert not untile_file(wine).exists()
