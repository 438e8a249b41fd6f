"""The window events a daemon's out-of-context hooks receive under Wine when
the test-window helper raises them: each user action gives exactly the events
Windows raises for it, for the right window, with object and child id 0."""

import pytest

from harness import EventProbe, click, drag, mouse_down, mouse_move, mouse_up, title_bar


@pytest.fixture
def events(wine, scene):
    probe = EventProbe(wine)
    try:
        yield probe
    finally:
        probe.close()


def names(probe, hwnd):
    return [e[0] for e in probe.events() if e[1] == hwnd]


def test_every_event_carries_the_window_and_object_and_child_zero(scene, events):
    win = scene.testwin()
    a = win.open("resizable", "Events A")
    win.focus(a)
    win.close(a)
    events.wait_event("destroy", a)
    assert events.events() == [("show", a, 0, 0), ("foreground", a, 0, 0), ("hide", a, 0, 0),
                               ("destroy", a, 0, 0)]


# Each case: what the window is opened as, what is then done to it, and the
# events that follow, up to and including the closing hide and destroy.
CASES = [
    ("resizable", [], ["show"]),
    ("resizable", ["focus"], ["show", "foreground"]),
    ("maximized", [], ["show", "foreground"]),
    ("minimized", [], ["show", "minimizestart"]),
    ("minimized", ["restore"], ["show", "minimizestart", "minimizeend", "foreground"]),
    ("resizable", ["focus", "minimize", "restore"],
     ["show", "foreground", "minimizestart", "minimizeend", "foreground"]),
    ("resizable", ["focus", "minimize", "minimize", "restore", "restore"],
     ["show", "foreground", "minimizestart", "minimizeend", "foreground"]),
    ("resizable", ["focus", "maximize", "restore"], ["show", "foreground"]),
    ("resizable", ["maximize"], ["show", "foreground"]),
]


@pytest.mark.parametrize("kind,actions,expected", CASES, ids=lambda v: "-".join(v) if isinstance(v, list) else v)
def test_actions_raise_what_windows_raises(scene, events, kind, actions, expected):
    win = scene.testwin()
    h = win.open(kind, "Events")
    for action in actions:
        if action == "focus":
            win.focus(h)
        else:
            win.show(h, action)
    win.close(h)
    # One thread raises them all, so they arrive in order: the destroy is last.
    events.wait_event("destroy", h)
    assert names(events, h) == expected + ["hide", "destroy"]
    assert {e[1] for e in events.events()} == {h}


def a_focused_beside_b(scene, events):
    """Two windows side by side, the left one (a) in the foreground; b's
    events start from here."""
    win = scene.testwin()
    a = win.open("resizable", "Events A")
    b = win.open("resizable", "Events B")
    win.move(b, 1000, 150, 640, 480)
    win.focus(a)
    events.wait_event("foreground", a)
    return win, a, b


def test_clicking_a_window_brings_it_to_the_foreground(wine, scene, events):
    win, a, b = a_focused_beside_b(scene, events)
    click(wine, 1320, 400)
    events.wait_event("foreground", b)
    assert names(events, b) == ["show", "foreground"]
    assert names(events, a) == ["show", "foreground"]


# Where the drag starts on the window (left, top, right, bottom), how far it
# goes, and the window's rectangle afterwards relative to before.
DRAGS = [
    ("title bar", lambda r: ((r[0] + r[2]) // 2, r[1] + 12), (300, 200), (300, 200, 300, 200)),
    ("right border", lambda r: (r[2] - 2, (r[1] + r[3]) // 2), (100, 0), (0, 0, 100, 0)),
    ("bottom border", lambda r: ((r[0] + r[2]) // 2, r[3] - 2), (0, -80), (0, 0, 0, -80)),
]


@pytest.mark.parametrize("where,start,by,change", DRAGS, ids=[d[0] for d in DRAGS])
def test_a_drag_raises_move_size_start_then_end(wine, scene, events, where, start, by, change):
    win = scene.testwin()
    h = win.open("resizable", "Events drag")
    win.focus(h)
    before = win.rect(h)
    after = tuple(v + d for v, d in zip(before, change))
    x, y = start(before)
    mouse_down(wine, x, y)
    mouse_move(wine, x, y, x + by[0], y + by[1])
    # Under way: started, not ended, and the window already follows.
    events.wait_event("movesizestart", h)
    assert win.rect(h) == after
    assert "movesizeend" not in names(events, h)
    mouse_up(wine)
    events.wait_event("movesizeend", h)
    assert names(events, h) == ["show", "foreground", "movesizestart", "movesizeend"]
    assert win.rect(h) == after


def test_dragging_an_inactive_window_activates_it_before_the_move(wine, scene, events):
    win, a, b = a_focused_beside_b(scene, events)
    x, y = title_bar(win.rect(b))
    drag(wine, x, y, x - 200, y + 100)
    events.wait_event("movesizeend", b)
    assert names(events, b) == ["show", "foreground", "movesizestart", "movesizeend"]
    assert win.rect(b) == (800, 250, 1440, 730)
