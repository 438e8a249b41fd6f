"""`quilt run` on a real Wine desktop: live tiling, a second instance, the
periodic pass, and the stop that puts every window back."""

import time

import pytest

from harness import Daemon, daemon_tiles, halves, quilt, untile_file
from wine_env import wait_for

ONE_MOVED = "Re-tiled: moved 1 window(s)."


@pytest.fixture
def daemon(wine, scene):
    started = []

    def start():
        d = Daemon(wine)
        started.append(d)
        d.wait_started()
        return d

    codes = []
    try:
        yield start
    finally:
        # Every daemon is stopped (or killed) before anything is checked.
        for d in started:
            if d.proc.poll() is None:
                codes.append((d.stop(), d.err_lines))
    for code, err in codes:
        assert code == 0, err
    # Every daemon put its windows back and removed its file.
    assert not untile_file(wine).exists()


def settle_by_closing(tw, gone, neighbour, its_tile):
    """Closes `gone`, whose tile `neighbour` then takes back, and waits for
    that. The pass that moves the neighbour also notes where every other
    window came to rest, which no pass shows by itself."""
    tw.close(gone)
    wait_for(lambda: tw.rect(neighbour) == its_tile, timeout=5)


def test_first_pass_tiles_and_ctrl_c_puts_every_window_back(wine, scene, daemon):
    tw = scene.testwin()
    a = tw.open("resizable", "A")
    b = tw.open("resizable", "B")
    tw.move(b, 300, 200, 700, 500)
    before = {h: tw.rect(h) for h in (a, b)}
    d = daemon()
    T = daemon_tiles(wine, tw)
    wait_for(lambda: {tw.rect(a), tw.rect(b)} == {T.left, T.right}, timeout=10)
    assert d.stop() == 0
    assert "Stopped. Restored 2 window(s); 0 no longer exist; 0 failed." in d.out_lines
    assert d.err_lines == []
    assert {h: tw.rect(h) for h in (a, b)} == before


def test_a_second_instance_is_refused_without_touching_windows(wine, scene, daemon):
    tw = scene.testwin()
    a = tw.open("resizable", "A")
    d = daemon()
    T = daemon_tiles(wine, tw)
    wait_for(lambda: tw.rect(a) == T.full, timeout=10)
    tw.move(a, 100, 100, 500, 400)  # somebody moves it; only the daemon may put it back
    second = quilt(wine, "run")
    assert second.code == 1
    assert second.err == "Quilt is already running.\n"
    assert second.out == ""
    assert d.proc.poll() is None


def test_periodic_pass_tiles_wines_own_programs_and_closing_gives_space_back(wine, scene, daemon):
    tw = scene.testwin()
    a = tw.open("resizable", "A")
    d = daemon()
    T = daemon_tiles(wine, tw)
    wait_for(lambda: tw.rect(a) == T.full, timeout=10)
    scene.program("regedit.exe")
    started = time.monotonic()
    wait_for(lambda: tw.rect(a) == T.left, timeout=8)
    assert time.monotonic() - started < 4.5  # one periodic pass, 3 s apart
    for proc in scene.programs:
        proc.kill()
        proc.wait()
    wait_for(lambda: tw.rect(a) == T.full, timeout=8)
    assert d.stop() == 0
    assert any(line.startswith("Stopped. Restored ") for line in d.out_lines)


def test_minimising_removes_a_window_and_restoring_brings_it_back(wine, scene, daemon):
    tw = scene.testwin()
    b = tw.open("resizable", "B")
    a = tw.open("resizable", "A")
    daemon()
    T = daemon_tiles(wine, tw)
    wait_for(lambda: tw.rect(a) == T.left and tw.rect(b) == T.right, timeout=10)
    tw.show(a, "minimize")
    wait_for(lambda: tw.rect(b) == T.full, timeout=2)  # the minimise event, not the periodic pass
    tw.show(a, "restore")
    wait_for(lambda: {tw.rect(a), tw.rect(b)} == {T.left, T.right}, timeout=2)


def test_a_new_window_is_tiled_next_to_the_focused_one_at_once(wine, scene, daemon):
    tw = scene.testwin()
    x = tw.open("resizable", "X")
    b = tw.open("resizable", "B")
    a = tw.open("resizable", "A")
    daemon()
    T = daemon_tiles(wine, tw)
    wait_for(lambda: [tw.rect(h) for h in (a, b, x)] == [T.left, *halves(T.right)], timeout=10)
    settle_by_closing(tw, x, b, T.right)
    # Wine's taskbar may have taken the foreground. A pass that finds A in
    # front makes it the focused tiled window; A moved aside and put back
    # shows that such a pass ran.
    tw.move(a, 300, 200, 700, 500)
    tw.focus(a)
    wait_for(lambda: tw.foreground() == a)
    wait_for(lambda: tw.rect(a) == T.left, timeout=5)
    started = time.monotonic()
    c = tw.open("resizable", "C")
    # A's tile is taller than wide: C takes its lower half.
    upper, lower = halves(T.left)
    wait_for(lambda: tw.rect(c) == lower, timeout=2, interval=0.01)
    assert time.monotonic() - started < 0.5
    assert tw.rect(a) == upper
    assert tw.rect(b) == T.right


def test_a_window_dragged_onto_a_tile_takes_half_of_it(wine, scene, daemon):
    from harness import drag, mouse_down, mouse_move, mouse_up, title_bar
    tw = scene.testwin()
    c = tw.open("resizable", "C")
    b = tw.open("resizable", "B")
    a = tw.open("resizable", "A")
    d = daemon()
    T = daemon_tiles(wine, tw)
    wait_for(lambda: [tw.rect(h) for h in (a, b, c)] == [T.left, *halves(T.right)], timeout=10)
    settle_by_closing(tw, c, b, T.right)
    settled = len(d.retiles())

    # Released in the outer gap, where no tile is: nothing changes, and A goes back.
    x0, y0 = title_bar(tw.rect(a))
    drag(wine, x0, y0, 3, 300)
    wait_for(lambda: tw.rect(a) == T.left, timeout=5)
    assert tw.rect(b) == T.right

    # Held over B and not yet released: the daemon leaves the window where the
    # user has it. B, moved aside meanwhile, coming back shows that a pass ran.
    # The press is away from where the last drag began: a second press there
    # this soon would be a double-click, which maximises the window.
    x0, y0 = title_bar(tw.rect(a))
    x0 -= 100
    mouse_down(wine, x0, y0)
    mouse_move(wine, x0, y0, x0 + 800, y0 + 600)
    tw.move(b, 300, 200, 700, 500)
    wait_for(lambda: tw.rect(b) == T.right, timeout=5)
    assert tw.rect(a) not in (T.left, T.right)
    # Let go on the right half. With A out of the tree B covers the whole
    # monitor, a wide tile, so A goes to the right of it.
    mouse_up(wine)
    wait_for(lambda: tw.rect(a) == T.right and tw.rect(b) == T.left, timeout=3)
    assert len(d.retiles()) > settled


def test_a_pass_moves_only_the_window_out_of_place(wine, scene, daemon):
    tw = scene.testwin()
    x, c, b, a = (tw.open("resizable", title) for title in ("X", "C", "B", "A"))
    d = daemon()
    T = daemon_tiles(wine, tw)
    b_tile, lower = halves(T.right)
    tiles = {a: T.left, b: b_tile, c: lower}
    wait_for(lambda: [tw.rect(h) for h in (a, b, c, x)] == [T.left, b_tile, *halves(lower)], timeout=10)
    settle_by_closing(tw, x, c, lower)
    # Its line comes through the pipe just after the move, behind every line before it.
    wait_for(lambda: d.retiles()[-1:] == [ONE_MOVED])
    before = len(d.retiles())
    # Each window in turn is moved aside by its own program. The pass that a
    # change of focus brings puts back that one alone: the others, settled or
    # just put back the pass before, stay where they are.
    for moved, focused in ((a, b), (b, c), (c, a)):
        tw.move(moved, 300, 200, 700, 500)
        tw.focus(focused)
        wait_for(lambda: tw.rect(moved) == tiles[moved], timeout=5)
        assert all(tw.rect(h) == tile for h, tile in tiles.items())
    wait_for(lambda: len(d.retiles()) == before + 3)
    assert d.retiles()[before:] == [ONE_MOVED] * 3


def test_a_hung_window_blocks_neither_a_pass_nor_the_stop(wine, scene, daemon):
    stuck = scene.testwin()
    frozen = stuck.open("resizable", "Frozen")
    probe = scene.testwin()
    a = probe.open("resizable", "A")
    d = daemon()
    T = daemon_tiles(wine, probe)
    # Windows (and Wine) call a window hung only after 5 s without messages;
    # a move in those 5 s waits for it like any SetWindowPos. So the window
    # hangs only once both windows are in their tiles, when nothing needs moving.
    wait_for(lambda: {probe.rect(a), probe.rect(frozen)} == {T.left, T.right}, timeout=10)
    stuck.hang(15000)
    wait_for(lambda: probe.is_hung(frozen), timeout=10)  # Wine calls a window hung after 5 s
    probe.close(a)
    b = probe.open("resizable", "B")
    # Passes still run: B takes A's place although Frozen cannot be asked anything.
    wait_for(lambda: probe.rect(b) in (T.left, T.right), timeout=8, message=lambda: (probe.rect(b), T, d.out_lines[-2:], d.err_lines))
    started = time.monotonic()
    assert d.stop() == 1
    assert time.monotonic() - started < 3
    assert "Could not restore window %s: the window is not responding" % frozen in d.err_lines, d.err_lines
    assert "Stopped. Restored 1 window(s); 1 no longer exist; 1 failed." in d.out_lines, (d.out_lines[-3:], d.err_lines)
    # The saved positions stay on disk, so the job can be finished once the window answers again.
    assert untile_file(wine).exists()
    wait_for(lambda: not probe.is_hung(frozen), timeout=20)
    r = quilt(wine, "untile")
    assert (r.code, r.out) == (0, "Restored 2 window(s); 1 no longer exist; 0 failed.\n")


def test_a_window_that_stops_answering_holds_up_no_pass_shortcut_or_stop(wine, scene, daemon):
    from harness import click_window, foreground_window, xdotool
    stuck = scene.testwin()
    frozen = stuck.open("resizable", "Frozen")
    tw = scene.testwin()
    a = tw.open("resizable", "A")
    before = {h: tw.rect(h) for h in (frozen, a)}
    d = daemon()
    T = daemon_tiles(wine, tw)
    wait_for(lambda: {tw.rect(a), tw.rect(frozen)} == {T.left, T.right}, timeout=10)
    frozen_tile = tw.rect(frozen)
    stuck.focus(frozen)
    wait_for(lambda: tw.foreground() == frozen)
    # Not hung yet in Wine's eyes (that takes 5 s), so nothing tells the
    # daemon not to wait for it; the pass that the new window brings moves it.
    stuck.hang(8000)
    b = tw.open("resizable", "B")
    upper, lower = halves(frozen_tile)
    wait_for(lambda: tw.rect(b) == lower, timeout=3, interval=0.02)
    before[b] = (200, 150, 840, 630)

    click_window(wine, tw, b)
    toward_a = "Left" if tw.rect(a)[0] < tw.rect(b)[0] else "Right"
    xdotool(wine, "keydown", "super", "keydown", toward_a, "keyup", toward_a, "keyup", "super")
    wait_for(lambda: foreground_window(tw) == a, timeout=3, interval=0.02)

    started = time.monotonic()
    assert d.stop() == 1
    assert time.monotonic() - started < 3
    assert "Could not restore window %s: the window is not responding" % frozen in d.err_lines, d.err_lines
    assert "Stopped. Restored 2 window(s); 0 no longer exist; 1 failed." in d.out_lines, d.out_lines[-3:]
    assert untile_file(wine).exists()

    # Once it answers it does what it was asked, in order; a later untile
    # finds every window back and removes the file.
    wait_for(lambda: tw.rect(frozen) == before[frozen], timeout=15, interval=0.2)
    r = quilt(wine, "untile")
    assert (r.code, r.out, r.err) == (0, "Restored 3 window(s); 0 no longer exist; 0 failed.\n", "")
    assert {h: tw.rect(h) for h in before} == before
