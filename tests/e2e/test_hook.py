"""The keyboard hook under Wine: real key chords sent from the X side reach
the hook thread, which posts the right message to its main thread and keeps
the chord's keys away from the focused window, while every other key goes
through untouched."""

import subprocess

import pytest

from harness import (HOOKPROBE, ProbeOutput, click_window, start_keylog, logged_keys, wait_for,
                     xdotool)

# A chord no case uses: its "shortcut 208" marks the end of a case's lines,
# and the F12 after it the end of a case's keys in the window.
FENCE = ["keydown", "super", "keydown", "shift", "keydown", "8", "keyup", "8", "keyup", "shift", "keyup", "super"]
FENCE_LINES = ["win 1", "win 0", "shortcut 208"]
FENCE_END = ["down:0x7b", "up:0x7b"]


def press(*keys):
    """keydown each key in order, then keyup in reverse: the usual way of
    holding modifiers around a key."""
    seq = []
    for k in keys:
        seq += ["keydown", k]
    for k in reversed(keys):
        seq += ["keyup", k]
    return seq


class Keyboard:
    """A focused test window with its keys logged and the hook probe running."""

    def __init__(self, wine, scene):
        self.wine = wine
        self.tw = scene.testwin()
        self.hwnd = self.tw.open("resizable", "Keys")
        self.keys = []  # logged keys not yet handed out
        click_window(wine, self.tw, self.hwnd)
        self.probe = ProbeOutput(wine.popen([str(HOOKPROBE)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                            stderr=subprocess.DEVNULL))
        assert self.probe.next(30)[1] == "ready"
        # The thread is started before the hook is in place: tap the Windows
        # key until the hook reports it.
        def hook_answers():
            xdotool(wine, *press("super"))
            return "win 1" in self.probe.pending()
        start_keylog(self.tw, self.hwnd)
        wait_for(hook_answers, timeout=15, interval=0.2)
        self.sync()

    def sync(self):
        """Sends the fence and returns (probe lines, window keys) of everything before it."""
        xdotool(self.wine, *FENCE, "key", "F12")
        lines = self.probe.until("shortcut 208")
        assert self.probe.next()[1] == "win 0"  # the fence's Windows key going up
        assert lines[-3:] == FENCE_LINES, lines
        keys = wait_for(self.keys_so_far, timeout=10)
        # The fence reaches the window as the Windows key, Shift, the dummy
        # key and F12; cut from its Windows key on.
        cut = len(keys) - 1 - keys[::-1].index("down:0x5b")
        return lines[:-3], keys[:cut]

    def keys_so_far(self):
        """The logged keys up to the fence's F12, once it has arrived."""
        self.keys += logged_keys(self.tw)
        if self.keys[-2:] != FENCE_END:
            return None
        keys, self.keys = self.keys, []
        return keys

    def set_overlay(self, visible):
        """What the main thread does while the shortcut list shows."""
        line = "overlay %d" % visible
        self.probe.proc.stdin.write((line + "\n").encode())
        self.probe.proc.stdin.flush()
        assert self.probe.until(line) == [line]

    def chord(self, *xdotool_args):
        xdotool(self.wine, *xdotool_args)
        return self.sync()


@pytest.fixture
def keyboard(wine, scene):
    kb = Keyboard(wine, scene)
    try:
        yield kb
    finally:
        code = kb.probe.end()
    assert code == 0


def shortcut(code):
    return ["win 1", "win 0", "shortcut %d" % code, "win 0"]


WIN_USED = ["win 1", "win 0", "win 0"]  # the Windows key pressed, used with a key, let go

# name, xdotool arguments, lines the probe must print, the key's virtual-key
# code, whether the window sees that key
CASES = [
    ("Win+Left", press("super", "Left"), shortcut(3), 0x25, False),
    ("Win+Up", press("super", "Up"), shortcut(4), 0x26, False),
    ("Win+Right", press("super", "Right"), shortcut(5), 0x27, False),
    ("Win+Down", press("super", "Down"), shortcut(6), 0x28, False),
    ("Win+Shift+Left", press("super", "shift", "Left"), shortcut(7), 0x25, False),
    ("Win+Shift+Up", press("super", "shift", "Up"), shortcut(8), 0x26, False),
    ("Win+Shift+Right", press("super", "shift", "Right"), shortcut(9), 0x27, False),
    ("Win+Shift+Down", press("super", "shift", "Down"), shortcut(10), 0x28, False),
    ("Win+-", press("super", "minus"), shortcut(13), 0xBD, False),
    ("Win+=", press("super", "equal"), shortcut(14), 0xBB, False),
    ("Win+Shift+-", press("super", "shift", "minus"), shortcut(15), 0xBD, False),
    ("Win+Shift+=", press("super", "shift", "equal"), shortcut(16), 0xBB, False),
    ("Win+F", press("super", "f"), shortcut(1), 0x46, False),
    ("Win+Shift+F", press("super", "shift", "f"), shortcut(1), 0x46, False),
    ("Win+W", press("super", "w"), shortcut(12), 0x57, False),
    ("Win+Space", press("super", "space"), shortcut(2), 0x20, False),
    ("Win+Enter", press("super", "Return"), shortcut(11), 0x0D, False),
    ("Win+Shift+B", press("super", "shift", "b"), shortcut(0), 0x42, False),
    ("Win+1", press("super", "1"), shortcut(101), 0x31, False),
    ("Win+9", press("super", "9"), shortcut(109), 0x39, False),
    ("Win+Shift+1", press("super", "shift", "1"), shortcut(201), 0x31, False),
    ("Win+Shift+9", press("super", "shift", "9"), shortcut(209), 0x39, False),
    # What the system keeps.
    ("Win+B", press("super", "b"), WIN_USED, 0x42, True),
    ("Win+Esc", press("super", "Escape"), WIN_USED, 0x1B, True),
    ("Win+Ctrl+Left", press("super", "ctrl", "Left"), WIN_USED, 0x25, True),
    ("Win+Alt+Left", press("super", "alt", "Left"), WIN_USED, 0x25, True),
    ("Win+0", press("super", "0"), WIN_USED, 0x30, True),
    ("Shift+Left", press("shift", "Left"), [], 0x25, True),
    ("Left", press("Left"), [], 0x25, True),
    ("keypad 1", ["key", "KP_1"], [], 0x61, True),
    ("Win+keypad 1", press("super", "KP_1"), WIN_USED, 0x61, True),
]


def test_every_chord_posts_its_code_and_is_kept_from_the_window_and_others_pass(keyboard):
    failures = []
    for name, args, lines, vk, window_sees in CASES:
        got_lines, keys = keyboard.chord(*args)
        seen = any(k.endswith(":0x%02x" % vk) for k in keys)
        if got_lines != lines or seen != window_sees:
            failures.append("%s: posted %s, window got %s" % (name, got_lines, keys))
    assert not failures, "\n".join(failures)


def test_windows_key_let_go_first_still_swallows_the_release(keyboard):
    # xdotool's "super+Left" lets go of the Windows key before the arrow.
    for args, lines, vk in [
        (["key", "super+Left"], shortcut(3), 0x25),
        (["keydown", "super", "keydown", "f", "keyup", "super", "keyup", "f"], shortcut(1), 0x46),
    ]:
        got_lines, keys = keyboard.chord(*args)
        assert got_lines == lines
        assert not any(k.endswith(":0x%02x" % vk) for k in keys), keys


def held(*keys, seconds="1"):
    seq = []
    for k in keys:
        seq += ["keydown", k]
    seq += ["sleep", seconds]
    for k in reversed(keys):
        seq += ["keyup", k]
    return seq


def test_auto_repeat_repeats_arrows_and_resizing_only(keyboard):
    lines, keys = keyboard.chord(*held("super", "Right"))
    assert lines[:2] == ["win 1", "win 0"] and lines[-1] == "win 0"
    repeats = lines[2:-1]
    assert len(repeats) >= 3 and set(repeats) == {"shortcut 5"}, lines  # the key did repeat
    assert not any(k.endswith(":0x27") for k in keys)

    lines, _ = keyboard.chord(*held("super", "equal"))
    assert lines.count("shortcut 14") >= 3

    lines, keys = keyboard.chord(*held("super", "f"))
    assert lines == shortcut(1)
    assert not any(k.endswith(":0x46") for k in keys)


def test_win_shift_esc_quits_once_even_when_held(keyboard):
    lines, keys = keyboard.chord(*held("super", "shift", "Escape"))
    assert lines == ["win 1", "win 0", "stop", "win 0"]
    assert not any(k.endswith(":0x1b") for k in keys)


def test_windows_key_release_after_the_overlay_showed_is_replaced_by_an_injected_one(keyboard):
    # The shell must see a key between the Windows key's press and release,
    # or it opens the Start menu: the dummy key goes in, then an injected
    # release, and the real release is swallowed, so exactly one arrives.
    keyboard.set_overlay(True)
    lines, keys = keyboard.chord(*press("super"))
    assert lines == ["win 1", "win 0"]
    assert keys == ["down:0x5b", "down:0xe8", "up:0xe8", "up:0x5b"]

    keyboard.set_overlay(False)
    lines, keys = keyboard.chord(*press("super"))
    assert lines == ["win 1", "win 0"]
    assert keys == ["down:0x5b", "up:0x5b"]
