"""`plan`, `tile` and `untile` across two monitors: Wine in plain mode on a
two-screen Xinerama Xephyr (1920 x 1080 primary at (0, 0), 1280 x 1024 at
(1920, 0)); neither has a taskbar, so each work area is its whole monitor.
Maximised windows are left to the virtual-desktop tests, since plain mode does
not resize them on the X side."""

import pytest

from conftest import Scene
from harness import quilt, untile_file, visible_windows, wait_until_empty
from wine_env import TwoMonitorDesktop, wait_for

HEADER_1 = "Monitor 1 (primary): work area 1920x1080 at (0, 0), %d tiled, %d left alone (no room)\n"
HEADER_2 = "Monitor 2: work area 1280x1024 at (1920, 0), %d tiled, %d left alone (no room)\n"
HINT = "\nRun `quilt untile` to put every window back.\n"


@pytest.fixture(scope="module")
def two_monitors():
    desktop = TwoMonitorDesktop()
    try:
        yield desktop
    finally:
        desktop.close()


@pytest.fixture
def scene2(two_monitors):
    assert not visible_windows(two_monitors), "the desktop is not empty at the start"
    untile_file(two_monitors).unlink(missing_ok=True)
    s = Scene(two_monitors)
    try:
        yield s
    finally:
        s.close()
    wait_until_empty(two_monitors)
    untile_file(two_monitors).unlink(missing_ok=True)


def test_plan_shows_both_monitors_the_empty_one_included(two_monitors, scene2):
    tw = scene2.testwin()
    windows = [tw.open("resizable", "Right %d" % i) for i in range(4)]
    for i, h in enumerate(windows):
        tw.move(h, 2000 + 50 * i, 100 + 50 * i, 640, 480)
    r = quilt(two_monitors, "plan")
    assert (r.code, r.err) == (0, "")
    assert r.out == (
        HEADER_1 % (0, 0) + HEADER_2 % (3, 1)
        + "  quilt-testwin.exe        640x480   at ( 2150,   250)  ->    628x1008  at ( 1928,     8)  Right 3\n"
        + "  quilt-testwin.exe        640x480   at ( 2100,   200)  ->    628x500   at ( 2564,     8)  Right 2\n"
        + "  quilt-testwin.exe        640x480   at ( 2050,   150)  ->    628x500   at ( 2564,   516)  Right 1\n")


def test_tile_and_untile_on_both_monitors(two_monitors, scene2):
    tw = scene2.testwin()
    left = [tw.open("resizable", "Left %d" % i) for i in range(2)]
    right = [tw.open("resizable", "Right %d" % i) for i in range(2)]
    tw.move(right[0], 2000, 100, 640, 480)
    tw.move(right[1], 2100, 200, 500, 400)
    before = {h: tw.rect(h) for h in left + right}

    r = quilt(two_monitors, "tile")
    assert (r.code, r.err) == (0, "")
    line = "  %-22s %-40s ok\n"
    assert r.out == (HEADER_1 % (2, 0) + line % ("quilt-testwin.exe", "Left 1") + line % ("quilt-testwin.exe", "Left 0")
                     + HEADER_2 % (2, 0) + line % ("quilt-testwin.exe", "Right 1")
                     + line % ("quilt-testwin.exe", "Right 0") + HINT)
    assert tw.rect(left[1]) == (8, 8, 956, 1072)
    assert tw.rect(left[0]) == (964, 8, 1912, 1072)
    assert tw.rect(right[1]) == (1928, 8, 2556, 1016)
    assert tw.rect(right[0]) == (2564, 8, 3192, 1016)
    assert len(untile_file(two_monitors).read_text().splitlines()) == 4

    r = quilt(two_monitors, "untile")
    assert (r.code, r.out, r.err) == (0, "Restored 4 window(s); 0 no longer exist; 0 failed.\n", "")
    wait_for(lambda: {h: tw.rect(h) for h in before} == before)
    assert not untile_file(two_monitors).exists()
