"""`plan`, `tile` and `untile` against real windows on Wine's virtual desktop
(one 1920 x 1080 monitor without a taskbar, so the work area is the whole
screen). Rectangles are read back with GetWindowRect by the helper process,
not by quilt; Wine draws no separate frame, so frame and window rectangle are
the same thing here."""

import subprocess
import time

import pytest

from harness import quilt, untile_file, untile_windows_path
from wine_env import wait_for

HINT = "\nRun `quilt untile` to put every window back.\n"
# Where a fresh layout puts the 1st, 2nd, ... window of a chain on 1920 x 1080,
# as (left, top, width, height); the third depends on whether a fourth follows.
TILES_3 = [(8, 8, 948, 1064), (964, 8, 948, 528), (964, 544, 948, 528)]


def header(tiled, left_alone=0):
    return ("Monitor 1 (primary): work area 1920x1080 at (0, 0), %d tiled, %d left alone (no room)\n"
            % (tiled, left_alone))


def ltrb(rect):
    left, top, width, height = rect
    return (left, top, left + width, top + height)


def tile_line(title, status):
    return "  %-22s %-40s %s\n" % ("quilt-testwin.exe", title, status)


@pytest.fixture(autouse=True)
def no_untile_file(wine):
    """Each test starts and ends without saved positions."""
    path = untile_file(wine)
    path.unlink(missing_ok=True)
    try:
        yield path
    finally:
        subprocess.run(["chattr", "-i", str(path.parent)], stderr=subprocess.DEVNULL)
        path.unlink(missing_ok=True)


def test_plan_prints_each_windows_tile_and_moves_nothing(wine, scene, no_untile_file):
    tw = scene.testwin()
    windows = [tw.open("resizable", "Plan %d" % i) for i in range(3)]
    tw.move(windows[0], -30, 700, 500, 400)
    tw.open("fixed", "Not resizable")
    before = {h: tw.rect(h) for h in windows}
    r = quilt(wine, "plan")
    assert (r.code, r.err) == (0, "")
    assert r.out == (
        header(3)
        + "  quilt-testwin.exe        640x480   at (  200,   150)  ->    948x1064  at (    8,     8)  Plan 2\n"
        + "  quilt-testwin.exe        640x480   at (  200,   150)  ->    948x528   at (  964,     8)  Plan 1\n"
        + "  quilt-testwin.exe        500x400   at (  -30,   700)  ->    948x528   at (  964,   544)  Plan 0\n")
    assert {h: tw.rect(h) for h in windows} == before
    assert not no_untile_file.exists()


def test_tile_puts_frames_on_their_tiles_and_untile_puts_them_back(wine, scene, no_untile_file):
    tw = scene.testwin()
    first = tw.open("resizable", "First")
    tw.move(first, 100, 120, 700, 500)
    second = tw.open("resizable", "Second")
    maxed = tw.open("maximized", "Maximised")
    assert tw.state(maxed)["zoomed"] == "1"
    order = [maxed, second, first]
    before = {h: tw.rect(h) for h in order}

    r = quilt(wine, "tile")
    assert (r.code, r.err) == (0, "")
    assert r.out == (header(3) + tile_line("Maximised", "ok") + tile_line("Second", "ok")
                     + tile_line("First", "ok") + HINT)
    for h, tile in zip(order, TILES_3):
        assert tw.rect(h) == ltrb(tile)
    assert tw.state(maxed)["zoomed"] == "0"
    saved = no_untile_file.read_text().splitlines()
    assert [line.split()[2] for line in saved] == ["3", "1", "1"]  # show states
    assert saved[2].split()[3:] == ["100", "120", "800", "620"]

    r = quilt(wine, "untile")
    assert (r.code, r.out, r.err) == (0, "Restored 3 window(s); 0 no longer exist; 0 failed.\n", "")
    wait_for(lambda: {h: tw.rect(h) for h in order} == before)
    assert tw.state(maxed)["zoomed"] == "1"
    assert not no_untile_file.exists()

    r = quilt(wine, "untile")
    assert (r.code, r.out, r.err) == (0, "Nothing to restore.\n", "")


def test_window_that_cannot_shrink_into_its_tile_differs_and_is_counted(wine, scene, no_untile_file):
    tw = scene.testwin()
    roomy = tw.open("resizable", "Roomy")
    stubborn = tw.open("resizable-min:900x700", "Stubborn")
    newest = tw.open("resizable", "Newest")
    before = {h: tw.rect(h) for h in (roomy, stubborn, newest)}
    assert before[stubborn] == (200, 150, 1100, 850)

    r = quilt(wine, "tile")
    assert (r.code, r.err) == (0, "")
    assert r.out == (header(3) + tile_line("Newest", "ok")
                     + tile_line("Stubborn", "DIFFERS: wanted 948x528 at (964, 8), got 948x700 at (964, 8)")
                     + tile_line("Roomy", "ok") + HINT
                     + "1 window(s) did not end up where asked; see above.\n")
    assert tw.rect(stubborn) == (964, 8, 1912, 708)

    r = quilt(wine, "untile")
    assert (r.code, r.out) == (0, "Restored 3 window(s); 0 no longer exist; 0 failed.\n")
    wait_for(lambda: {h: tw.rect(h) for h in before} == before)


def test_windows_closed_after_tile_are_counted_as_gone(wine, scene, no_untile_file):
    tw = scene.testwin()
    windows = [tw.open("resizable", "Window %d" % i) for i in range(3)]
    assert quilt(wine, "tile").code == 0
    tw.close(windows[1])
    r = quilt(wine, "untile")
    assert (r.code, r.out, r.err) == (0, "Restored 2 window(s); 1 no longer exist; 0 failed.\n", "")
    assert tw.rect(windows[0]) == tw.rect(windows[2]) == (200, 150, 840, 630)
    assert not no_untile_file.exists()


def test_nothing_tileable_writes_nothing(wine, scene, no_untile_file):
    tw = scene.testwin()
    fixed = tw.open("fixed", "Fixed size")
    tw.open("tool", "A tool window")
    r = quilt(wine, "tile")
    assert (r.code, r.out, r.err) == (0, "No windows to tile.\n", "")
    assert not no_untile_file.exists()
    assert tw.rect(fixed) == (200, 150, 840, 630)
    r = quilt(wine, "untile")
    assert (r.code, r.out, r.err) == (0, "Nothing to restore.\n", "")


def leftovers(folder):
    return sorted(p.name for p in folder.iterdir() if p.name != "untile.txt")


def test_locked_untile_file_stops_tile_before_any_move_and_untile_reports_it(wine, scene, no_untile_file):
    no_untile_file.parent.mkdir(parents=True, exist_ok=True)
    no_untile_file.write_text("1 2 1 0 0 10 10\n")
    tw = scene.testwin()
    windows = [tw.open("resizable", "Locked %d" % i) for i in range(2)]
    tw.lock(untile_windows_path(wine))

    # A file that cannot be read is never replaced: its positions would be lost.
    r = quilt(wine, "tile")
    assert r.code == 1
    assert r.out == ""
    assert r.err == ("Could not read the saved window positions in %s: Sharing violation. (os error 32)\n"
                     "Nothing was moved.\n" % untile_windows_path(wine))
    assert [tw.rect(h) for h in windows] == [(200, 150, 840, 630)] * 2
    assert no_untile_file.read_text() == "1 2 1 0 0 10 10\n"
    assert leftovers(no_untile_file.parent) == []

    r = quilt(wine, "untile")
    assert (r.code, r.out) == (1, "")
    assert r.err == "Could not read %s: Sharing violation. (os error 32)\n" % untile_windows_path(wine)
    assert no_untile_file.read_text() == "1 2 1 0 0 10 10\n"


def test_unwritable_folder_stops_tile_before_any_move(wine, scene, no_untile_file):
    folder = no_untile_file.parent
    folder.mkdir(parents=True, exist_ok=True)
    no_untile_file.write_text("1 2 1 0 0 10 10\n")
    subprocess.run(["chattr", "+i", str(folder)], check=True)
    tw = scene.testwin()
    window = tw.open("resizable", "Unwritable")
    r = quilt(wine, "tile")
    assert (r.code, r.out) == (1, "")
    assert r.err == ("Could not save window positions to %s: Access denied. (os error 5)\nNothing was moved.\n"
                     % untile_windows_path(wine))
    assert tw.rect(window) == (200, 150, 840, 630)
    assert no_untile_file.read_text() == "1 2 1 0 0 10 10\n"
    assert leftovers(folder) == []


def test_hung_window_is_reported_and_left_untouched(wine, scene, no_untile_file):
    frozen_helper = scene.testwin()
    frozen = frozen_helper.open("resizable", "Frozen")
    tw = scene.testwin()
    lively = tw.open("resizable", "Lively")
    # Windows calls a window hung once its thread has not asked for messages for 5 s.
    frozen_helper.hang(11000)
    wait_for(lambda: tw.is_hung(frozen), timeout=12, interval=0.2)

    r = quilt(wine, "tile")
    assert (r.code, r.err) == (0, "")
    assert r.out == (header(2) + tile_line("Lively", "ok")
                     + tile_line("Frozen", "FAILED: the window is not responding") + HINT
                     + "1 window(s) did not end up where asked; see above.\n")
    assert tw.rect(lively) == ltrb(TILES_3[0])

    # Nothing asked the hung window anything, so there is nothing of it to put back.
    r = quilt(wine, "untile")
    assert (r.code, r.out, r.err) == (0, "Restored 1 window(s); 0 no longer exist; 0 failed.\n", "")
    assert tw.rect(lively) == (200, 150, 840, 630)
    assert not no_untile_file.exists()
    wait_for(lambda: not tw.is_hung(frozen), timeout=20, interval=0.2)
    assert tw.rect(frozen) == (200, 150, 840, 630)


def test_a_window_that_stops_answering_holds_up_tile_for_a_second_at_most(wine, scene, no_untile_file):
    frozen_helper = scene.testwin()
    frozen = frozen_helper.open("resizable", "Frozen")
    tw = scene.testwin()
    lively = tw.open("resizable", "Lively")
    before = {h: tw.rect(h) for h in (frozen, lively)}
    # Not hung yet in Wine's eyes, which takes 5 s without messages: until
    # then anything that waits for the window waits until it answers.
    frozen_helper.hang(6000)
    started = time.monotonic()
    r = quilt(wine, "tile")
    assert time.monotonic() - started < 3
    assert (r.code, r.err) == (0, "")
    assert r.out == (header(2) + tile_line("Lively", "ok")
                     + tile_line("Frozen", "FAILED: the window is not responding") + HINT
                     + "1 window(s) did not end up where asked; see above.\n")
    assert tw.rect(lively) == ltrb(TILES_3[0])

    # Once it answers it carries out the move it was asked for, and untile
    # puts both back.
    wait_for(lambda: tw.rect(frozen) == ltrb((964, 8, 948, 1064)), timeout=15, interval=0.2)
    r = quilt(wine, "untile")
    assert (r.code, r.out, r.err) == (0, "Restored 2 window(s); 0 no longer exist; 0 failed.\n", "")
    wait_for(lambda: {h: tw.rect(h) for h in before} == before)
    assert not no_untile_file.exists()


def test_a_damaged_line_in_the_untile_file_costs_no_window_its_place(wine, scene, no_untile_file):
    tw = scene.testwin()
    first = tw.open("resizable", "First")
    tw.move(first, 100, 120, 700, 500)
    second = tw.open("resizable", "Second")
    before = {h: tw.rect(h) for h in (first, second)}
    assert quilt(wine, "tile").code == 0
    with open(no_untile_file, "ab") as f:
        f.write(b"12 34 1 \xff\xfe 0 10 10\n")
    r = quilt(wine, "tile")
    assert (r.code, r.err) == (0, "")
    r = quilt(wine, "untile")
    assert (r.code, r.out, r.err) == (0, "Restored 2 window(s); 0 no longer exist; 0 failed.\n", "")
    wait_for(lambda: {h: tw.rect(h) for h in before} == before)
