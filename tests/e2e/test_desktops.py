"""Going to and sending windows to virtual desktops, run with the real
Windows calls under Wine: the desktop list comes from the registry values the
shell keeps, the switch is the shell's own shortcut pressed with SendInput,
seen here by a low-level keyboard hook in another process."""

import time

import pytest

from harness import EventProbe, KeyProbe, LineProbe, keys, release_keys, xdotool
from wine_env import WIN_BUILD, wait_for

KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\VirtualDesktops"
DESKTOP_PROBE = WIN_BUILD / "quilt-probe-desktops.exe"
READ_FAILED = "err Could not read the list of virtual desktops from Windows."

ID = ["%02x" % b * 16 for b in (0x11, 0x22, 0x33)]  # three desktop ids of 16 bytes

# Virtual-key codes, and the low-level hook's flags: extended, injected, up.
LWIN, CTRL, LSHIFT, RIGHT, LEFT, D, UNASSIGNED = 0x5B, 0x11, 0xA0, 0x27, 0x25, 0x44, 0xE8
EXT, INJ, UP = 0x01, 0x10, 0x80


def down(vk, flags=0):
    return (vk, "down", flags | INJ)


def up(vk, flags=0):
    return (vk, "up", flags | INJ | UP)


def press(vk, flags=0):
    return [down(vk, flags), up(vk, flags)]


def switch(*middle):
    return [down(LWIN, EXT), down(CTRL), *middle, up(CTRL), up(LWIN, EXT)]


# What the test presses itself after each command: once its own Shift press
# has reached the hook, so has everything the command injected before it.
SENTINEL = [(LSHIFT, "down", 0), (LSHIFT, "up", UP)]


def set_value(wine, name, hex_bytes):
    """Writes a REG_BINARY value, or deletes it when hex_bytes is None."""
    if hex_bytes is None:
        wine.run(["reg", "delete", KEY, "/v", name, "/f"])
    else:
        r = wine.run(["reg", "add", KEY, "/v", name, "/t", "REG_BINARY", "/d", hex_bytes, "/f"])
        assert r.returncode == 0, r


def set_desktops(wine, ids, current):
    set_value(wine, "VirtualDesktopIDs", ids)
    set_value(wine, "CurrentVirtualDesktop", current)


class DesktopProbe(LineProbe):
    """quilt-probe-desktops.exe: go_to_desktop and send_to_desktop."""

    def __init__(self, wine):
        super().__init__(wine, DESKTOP_PROBE)

    def start(self, command):
        self.proc.stdin.write((command + "\n").encode())
        self.proc.stdin.flush()

    def finish(self, timeout=10):
        """(lines before "done", milliseconds the call took)."""
        wait_for(lambda: any(line.startswith("done ") for line in self.snapshot()), timeout=timeout)
        lines = self.take()
        return lines[:-1], int(lines[-1].split()[1])

    def run(self, command):
        self.start(command)
        return self.finish()


@pytest.fixture
def probes(wine, scene):
    """The two probes, and a window in the foreground: without one, Wine's
    virtual desktop does not take the test's own key presses."""
    try:
        key_probe = KeyProbe(wine)
        desktop_probe = DesktopProbe(wine)
        win = scene.testwin()
        h = win.open("resizable", "Foreground window")
        win.focus(h)
        yield key_probe, desktop_probe, win, h
    finally:
        # The scene kills whichever probe did not end here.
        release_keys(wine)


def keys_seen(wine, key_probe):
    """Every key event the hook saw since the last call, the sentinel cut off."""
    keys(wine, "shift")
    wait_for(lambda: key_probe.keys()[-2:] == SENTINEL)
    seen = key_probe.keys()
    key_probe.take()
    return seen[:-2]


THREE = "".join(ID)

GO_CASES = [
    # (desktop ids, current, command, what goes to stderr, keys injected)
    (THREE, ID[0], "go 3", [], switch(*press(RIGHT, EXT), *press(RIGHT, EXT))),
    (THREE, ID[2], "go 1", [], switch(*press(LEFT, EXT), *press(LEFT, EXT))),
    (THREE, ID[1], "go 2", [], []),
    (THREE, ID[0], "go 9", [], switch(*press(D))),
    (THREE, ID[0], "go 4", [], switch(*press(D))),
    (ID[0], ID[0], "go 2", [], switch(*press(D))),
    # Missing, malformed or disagreeing values: nothing is pressed.
    (None, None, "go 2", [READ_FAILED], []),
    (THREE, None, "go 2", [READ_FAILED], []),
    (None, ID[0], "go 2", [READ_FAILED], []),
    (THREE + "44", ID[0], "go 2", [READ_FAILED], []),
    (THREE, ID[0][:16], "go 2", [READ_FAILED], []),
    (THREE, "55" * 16, "go 2", [READ_FAILED], []),
    (THREE, ID[0], "send 9", ["err There are only 3 desktops. Go to a new one first, then send windows to it."], []),
    (None, None, "send 2", [READ_FAILED], []),
]


@pytest.mark.parametrize("ids,current,command,errors,injected", GO_CASES)
def test_switches_with_exactly_the_shells_shortcut(wine, probes, ids, current, command, errors, injected):
    key_probe, desktop_probe, _, _ = probes
    set_desktops(wine, ids, current)
    out, _ = desktop_probe.run(command)
    assert out == errors
    assert keys_seen(wine, key_probe) == injected


def test_a_held_shift_is_let_go_and_a_held_windows_key_kept(wine, probes):
    key_probe, desktop_probe, _, _ = probes
    set_desktops(wine, THREE, ID[1])
    # Held through the X server, as the user holding them would.
    xdotool(wine, "keydown", "Super_L", "Shift_L")
    try:
        wait_for(lambda: key_probe.keys() == [(LWIN, "down", EXT), (LSHIFT, "down", 0)])
        key_probe.take()
        out, _ = desktop_probe.run("go 3")
    finally:
        xdotool(wine, "keyup", "Super_L", "Shift_L")
    assert out == []
    assert keys_seen(wine, key_probe) == [up(LSHIFT), down(CTRL), *press(RIGHT, EXT), up(CTRL),
                                          (LWIN, "up", EXT | UP), (LSHIFT, "up", UP)]




def test_send_hides_the_window_until_the_shell_reports_the_target(wine, probes):
    key_probe, desktop_probe, win, h = probes
    set_desktops(wine, THREE, ID[0])
    events = EventProbe(wine)
    try:
        desktop_probe.start("send 2")
        wait_for(lambda: win.state(h)["visible"] == "0")
        set_value(wine, "CurrentVirtualDesktop", ID[1])
        rewritten = time.monotonic()
        out, took_ms = desktop_probe.finish()
        after_rewrite = time.monotonic() - rewritten
        assert out == []
        assert took_ms < 2500, took_ms
        assert after_rewrite < 1.0, after_rewrite
        assert win.state(h)["visible"] == "1"
        assert win.foreground() == h
        assert keys_seen(wine, key_probe) == switch(*press(RIGHT, EXT)) + press(UNASSIGNED)
        # Hidden and shown from another process, the window still raises its
        # events, as a daemon that sends it will hear them.
        events.wait_event("foreground", h)
        assert [e[0] for e in events.events() if e[1] == h] == ["hide", "show", "foreground"]
    finally:
        events.close()


def test_send_gives_up_waiting_after_three_seconds_and_shows_the_window(wine, probes):
    key_probe, desktop_probe, win, h = probes
    set_desktops(wine, THREE, ID[0])
    desktop_probe.start("send 3")
    wait_for(lambda: win.state(h)["visible"] == "0")
    out, took_ms = desktop_probe.finish()
    assert out == []
    assert 3000 <= took_ms < 3600, took_ms
    assert win.state(h)["visible"] == "1"
    assert win.foreground() == h
    assert keys_seen(wine, key_probe) == switch(*press(RIGHT, EXT), *press(RIGHT, EXT)) + press(UNASSIGNED)


def test_send_to_the_current_desktop_leaves_the_window_alone(wine, probes):
    key_probe, desktop_probe, win, h = probes
    set_desktops(wine, THREE, ID[0])
    out, _ = desktop_probe.run("send 1")
    assert out == []
    assert win.state(h)["visible"] == "1"
    assert keys_seen(wine, key_probe) == []
