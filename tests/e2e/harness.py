"""What the end-to-end tests drive: quilt.exe itself, the test-window helper,
and Wine's own programs."""

import os
import queue
import re
import signal
import socketserver
import subprocess
import threading
import time
from dataclasses import dataclass

from wine_env import WIN_BUILD, wait_for

QUILT = WIN_BUILD / "quilt.exe"
TESTWIN = WIN_BUILD / "quilt-testwin.exe"
HOOKPROBE = WIN_BUILD / "quilt-hookprobe.exe"
TRAYPROBE = WIN_BUILD / "quilt-trayprobe.exe"


@dataclass
class Outcome:
    code: int
    out: str
    err: str


def quilt(desktop, *args, timeout=60):
    r = desktop.run([str(QUILT), *args], timeout=timeout)
    return Outcome(r.returncode, r.stdout.decode("utf-8"), r.stderr.decode("utf-8", "replace"))


def quilt_cmdline(desktop, tail, timeout=60):
    """Runs quilt with a command line given to the letter (quotes and all),
    through a batch file, since wine re-quotes its own arguments."""
    bat = desktop.tmp / "run.bat"
    bat.write_bytes(("@" + desktop.unix_to_windows(QUILT) + " " + tail + "\r\n").encode())
    r = desktop.run(["cmd", "/c", desktop.unix_to_windows(bat)], timeout=timeout)
    return Outcome(r.returncode, r.stdout.decode("utf-8"), r.stderr.decode("utf-8", "replace"))


class TestWin:
    """One quilt-testwin.exe process; its windows live as long as it does."""

    def __init__(self, desktop):
        self.proc = desktop.popen([str(TESTWIN)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        assert self._read() == "ready"

    def _read(self):
        line = self.proc.stdout.readline()
        if not line:
            raise RuntimeError("quilt-testwin.exe ended")
        return line.decode("utf-8").rstrip("\n")

    def wait_line(self, prefix, timeout=10):
        """The next line the helper prints unasked that starts with prefix
        (a window's "endsession ..."); None when none comes in time."""
        found = []

        def read():
            try:
                while True:
                    line = self._read()
                    if line.startswith(prefix):
                        found.append(line)
                        return
            except RuntimeError:
                return

        reader = threading.Thread(target=read, daemon=True)
        reader.start()
        reader.join(timeout)
        return found[0] if found else None

    def ask(self, line):
        self.proc.stdin.write((line + "\n").encode("utf-8"))
        self.proc.stdin.flush()
        return self._read()

    def open(self, kind, title="Test window"):
        answer = self.ask("open %s %s" % (kind, title))
        assert answer.startswith("hwnd "), answer
        return answer.split()[1]

    def rect(self, hwnd):
        """GetWindowRect read from this process: (left, top, right, bottom)."""
        parts = self.ask("rect " + hwnd).split()
        return None if parts[1] == "none" else tuple(int(p) for p in parts[1:])

    def state(self, hwnd):
        return dict(kv.split("=") for kv in self.ask("state " + hwnd).split()[1:])

    def close(self, hwnd):
        assert self.ask("close " + hwnd) == "closed"

    def move(self, hwnd, left, top, width, height):
        """SetWindowPos from the window's own process."""
        assert self.ask("move %s %d %d %d %d" % (hwnd, left, top, width, height)) == "moved"

    def lock(self, windows_path):
        """Holds the file open without sharing until this helper quits."""
        answer = self.ask("lock " + windows_path)
        assert answer == "locked", answer

    def is_hung(self, hwnd):
        """IsHungAppWindow, asked from this process."""
        return self.ask("hung " + hwnd) == "hung 1"

    def hang(self, ms):
        """The window thread stops pumping messages for ms milliseconds."""
        assert self.ask("hang %d" % ms) == "hanging"

    def focus(self, hwnd):
        """SetForegroundWindow from the window's own process."""
        assert self.ask("focus " + hwnd) == "focused 1"

    def foreground(self):
        """GetForegroundWindow, as a handle like open's."""
        return self.ask("foreground").split()[1]

    def show(self, hwnd, how):
        """how: minimize, maximize or restore (ShowWindow from the window's own process)."""
        assert self.ask("%s %s" % (how, hwnd)) == "shown"

    def quit(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"quit\n")
                self.proc.stdin.flush()
                self.proc.wait(10)
            except (BrokenPipeError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()


ROW = re.compile(r"^(0x[0-9a-f]+)")


def list_rows(out):
    """The rows of `quilt list` keyed by handle, with the fixed columns cut out."""
    rows = {}
    for line in out.split("\n")[1:]:
        m = ROW.match(line)
        if not m:
            continue
        rows[m.group(1)] = {
            "line": line,
            "decision": line[11:19].rstrip(),
            "reason": line[20:36].rstrip(),
            "inset": line[37:45].rstrip(),
            "exe": line[46:70].rstrip(),
            "class": line[71:99].rstrip(),
            "title": line[100:],
        }
    return rows


def visible_windows(desktop):
    """Visible top-level windows as `quilt list` sees them."""
    return list_rows(quilt(desktop, "list").out)


def wait_until_empty(desktop, timeout=15):
    wait_for(lambda: not visible_windows(desktop), timeout=timeout)


def local_app_data(desktop):
    """The prefix's %LOCALAPPDATA% as a Unix path."""
    users = [p for p in (desktop.prefix / "drive_c" / "users").iterdir() if p.name != "Public"]
    assert len(users) == 1, users
    return users[0] / "AppData" / "Local"


def untile_file(desktop):
    return local_app_data(desktop) / "quilt" / "untile.txt"


def untile_windows_path(desktop):
    """The untile file's path as quilt prints it."""
    return "C:\\users\\%s\\AppData\\Local\\quilt\\untile.txt" % local_app_data(desktop).parents[1].name


class Daemon:
    """A running `quilt run`, with its output collected line by line as it comes."""

    def __init__(self, desktop, env=None):
        """env: variables added to the Wine session's for this process."""
        self.proc = desktop.popen([str(QUILT), "run"], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, env={**desktop.env, **(env or {})})
        self.out_lines = []
        self.err_lines = []
        self.readers = [threading.Thread(target=self._pump, args=(s, d), daemon=True)
                        for s, d in ((self.proc.stdout, self.out_lines), (self.proc.stderr, self.err_lines))]
        for r in self.readers:
            r.start()

    @staticmethod
    def _pump(stream, lines):
        for raw in iter(stream.readline, b""):
            lines.append(raw.decode("utf-8", "replace").rstrip("\n"))

    def retiles(self):
        return [line for line in self.out_lines if line.startswith("Re-tiled: moved ")]

    def wait_started(self, timeout=20):
        wait_for(lambda: any(l.startswith("  Win + Shift + Esc") for l in self.out_lines), timeout=timeout)

    def stop(self, timeout=20):
        """Ctrl+C, as the console would deliver it; returns the exit code. A
        daemon that does not end in time is killed, so that it cannot hold
        the single-instance mutex for the tests after it, and the timeout
        is raised."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGINT)
        try:
            code = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise
        finally:
            for r in self.readers:
                r.join(5)
        return code

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


class Proxy(socketserver.ThreadingTCPServer):
    """An HTTP proxy on the loopback that serves nothing, for a Wine program
    started with http_proxy pointing at it: it notes the first line of every
    request (urlmon sends "CONNECT {host}:443 ..." for https) and closes the
    connection, after `hold` seconds (a download still in flight then).
    Running from the start; close() stops it."""

    daemon_threads = True

    def __init__(self, hold=0):
        self.asked = []
        self.hold = hold
        super().__init__(("127.0.0.1", 0), _ProxyHandler)
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def env(self):
        return {"http_proxy": "http://127.0.0.1:%d" % self.server_address[1]}

    def close(self):
        self.shutdown()
        self.server_close()


class _ProxyHandler(socketserver.StreamRequestHandler):
    def handle(self):
        self.server.asked.append(self.rfile.readline().decode("latin-1").strip())
        time.sleep(self.server.hold)


# --- Keys, clicks, screenshots and probes -------------------------------------


def appearing_to_tiled(tw, count=20, pause=0.0, watched=False):
    """Seconds from opening each of `count` windows to the running daemon's
    first move of it. Only a few stay open at a time, so that each new one
    fits; `pause` is left between two windows. Timed here, a sample also holds
    the helper's making of the window and the round trips of asking where it
    is; `watched`, it is the helper's own time from the window's ShowWindow to
    its first move."""
    samples = []
    opened = []
    for i in range(count):
        started = time.monotonic()
        if watched:
            h = tw.ask("appear Appearing %d" % i).split()[1]
            line = tw.wait_line("tiled " + h, timeout=15)
            assert line and line.split()[2] != "none", line
            samples.append(float(line.split()[2]) / 1000)
        else:
            h = tw.open("resizable", "Appearing %d" % i)
            first = tw.rect(h)
            wait_for(lambda: tw.rect(h) != first, timeout=10, interval=0.002)
            samples.append(time.monotonic() - started)
        opened.append(h)
        if len(opened) > 2:
            tw.close(opened.pop(0))
        time.sleep(pause)
    for h in opened:
        tw.close(h)
    return samples


def start_keylog(tw, hwnd):
    assert tw.ask("keylog " + hwnd) == "logging"


def logged_keys(tw):
    """The key messages the logged window got since the last call, as
    "down:0x25"-style tokens."""
    return tw.ask("keys").split()[1:]


def windows_of_class(tw, class_name):
    """Top-level windows of a class: {hwnd: visible}."""
    return {h: v == "1" for h, v in (w.split("=") for w in tw.ask("windows " + class_name).split()[1:])}


def foreground_window(tw):
    return tw.ask("foreground").split()[1]


def xdotool(desktop, *args):
    """Sends input from the X side, as a user's keyboard and mouse would."""
    subprocess.run(["xdotool", *[str(a) for a in args]], env=desktop.env, check=True, stdout=subprocess.DEVNULL,
                   timeout=30)


def click(desktop, x, y, button=1):
    xdotool(desktop, "mousemove", str(x), str(y), "click", str(button))


def click_window(desktop, tw, hwnd):
    """Clicks the middle of a window; in virtual-desktop mode this is also what
    makes keys from the X side reach Wine at all."""
    left, top, right, bottom = tw.rect(hwnd)
    click(desktop, (left + right) // 2, (top + bottom) // 2)
    wait_for(lambda: foreground_window(tw) == hwnd)


def screen_pixels(desktop, path):
    """A screenshot of the whole display: (width, height, RGB bytes)."""
    desktop.screenshot(path)
    size = subprocess.run(["identify", "-format", "%w %h", str(path)], check=True,
                          capture_output=True).stdout.split()
    raw = subprocess.run(["convert", str(path), "rgb:-"], check=True, capture_output=True).stdout
    return int(size[0]), int(size[1]), raw


def colour_box(shot, colours, region):
    """The bounding box (left, top, right, bottom) of the pixels of exactly
    these colours inside region (left, top, right, bottom), or None."""
    width, _, raw = shot
    left, top, right, bottom = region
    xs, ys = [], []
    for y in range(top, bottom):
        row = raw[(y * width + left) * 3:(y * width + right) * 3]
        for i in range(0, len(row), 3):
            if tuple(row[i:i + 3]) in colours:
                xs.append(left + i // 3)
                ys.append(y)
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if xs else None


class ProbeOutput:
    """The lines a probe writes, collected on a thread with their arrival
    times, so a test can wait for one without blocking on the pipe."""

    def __init__(self, proc):
        self.proc = proc
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for raw in self.proc.stdout:
            self.lines.put((time.monotonic(), raw.decode("utf-8").rstrip("\n")))

    def next(self, timeout=10):
        """(arrival time, line) of the next line."""
        try:
            return self.lines.get(timeout=timeout)
        except queue.Empty:
            raise TimeoutError("no line from the probe within %.1f s" % timeout) from None

    def until(self, last, timeout=10):
        """Every line up to and including the first one equal to last."""
        seen = []
        deadline = time.monotonic() + timeout
        while not seen or seen[-1] != last:
            seen.append(self.next(max(0.0, deadline - time.monotonic()))[1])
        return seen

    def pending(self):
        out = []
        while not self.lines.empty():
            out.append(self.lines.get()[1])
        return out

    def end(self, timeout=10):
        """Closes the probe's input (its signal to stop) and returns its exit code."""
        if self.proc.poll() is None:
            try:
                self.proc.stdin.close()
            except BrokenPipeError:
                pass
            try:
                return self.proc.wait(timeout)
            except subprocess.TimeoutExpired:
                self.proc.kill()
        return self.proc.wait()


def focus_x_windows_of(desktop, proc):
    """Gives the X keyboard focus to the visible X window of a Wine process.
    No X window manager runs, so a popup that opens (a menu) does not get the
    X focus by itself, and keys from the X side would go to the window that
    had it. Wine names each X window with its process's pid."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)], env=desktop.env,
                           capture_output=True).stdout.split()
    assert len(found) == 1, found
    xdotool(desktop, "windowfocus", "--sync", found[0].decode())


# --- Where tiles go on the primary monitor ------------------------------------


@dataclass
class Tiles:
    """GetWindowRect rectangles (left, top, right, bottom) of the tiles of one
    or two windows in a work area, with the 8-pixel gaps."""
    full: tuple
    left: tuple
    right: tuple


def work_area(desktop):
    """The primary monitor's work area (left, top, width, height) as quilt reads it."""
    m = re.search(r"work area (\d+)x(\d+) at \((-?\d+), (-?\d+)\)", quilt(desktop, "plan").out)
    width, height, left, top = map(int, m.groups())
    return left, top, width, height


def halves(rect):
    """The two tiles that a split makes of a tile (left, top, right, bottom):
    side by side when it is at least as wide as it is tall, else one over
    the other, with the 8-pixel gap between them."""
    left, top, right, bottom = rect
    if right - left >= bottom - top:
        first = (right - left - 8) * 500 // 1000
        return (left, top, left + first, bottom), (left + first + 8, top, right, bottom)
    first = (bottom - top - 8) * 500 // 1000
    return (left, top, right, top + first), (left, top + first + 8, right, bottom)


def tiles_in(area):
    left, top, width, height = area
    full = (left + 8, top + 8, left + width - 8, top + height - 8)
    return Tiles(full, *halves(full))


def daemon_tiles(desktop, tw):
    """The tiles while a daemon runs: its tray icon brings up Wine's taskbar,
    which a moment later takes its height off the work area."""
    taskbar = wait_for(lambda: next((h for h, shown in windows_of_class(tw, "Shell_TrayWnd").items() if shown),
                                    None))
    taskbar_top = tw.rect(taskbar)[1]

    def settled_area():
        area = work_area(desktop)
        return area if area[1] + area[3] <= taskbar_top else None

    return tiles_in(wait_for(settled_area, timeout=15, interval=0.2))


# Mouse and keyboard through the X server, as a user would press them: Wine
# sees them as real input. Coordinates are the virtual desktop's, which
# starts at the X screen's origin.

def mouse_down(desktop, x, y):
    xdotool(desktop, "mousemove", x, y, "mousedown", 1)


def mouse_move(desktop, x0, y0, x1, y1, steps=10):
    """Moves in steps, paced so that a drag's modal loop sees each one."""
    args = []
    for i in range(1, steps + 1):
        args += ["mousemove", x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps, "sleep", "0.02"]
    xdotool(desktop, *args)


def mouse_up(desktop):
    xdotool(desktop, "mouseup", 1)


def drag(desktop, x0, y0, x1, y1, steps=10):
    """Presses the left button at (x0, y0), moves to (x1, y1) and releases."""
    mouse_down(desktop, x0, y0)
    mouse_move(desktop, x0, y0, x1, y1, steps)
    mouse_up(desktop)


def keys(desktop, *names):
    """Presses and releases each X key name, e.g. keys(wine, "super+ctrl+Right")."""
    xdotool(desktop, "key", *names)


def release_keys(desktop):
    """Lets go of every modifier, so that nothing stays held for the next test."""
    xdotool(desktop, "keyup", "Super_L", "Super_R", "Control_L", "Control_R", "Shift_L", "Shift_R", "Alt_L",
            "Alt_R")


def title_bar(rect):
    """A point on the title bar of a window with rectangle (left, top, right, bottom)."""
    return (rect[0] + rect[2]) // 2, rect[1] + 12


class LineProbe:
    """A helper process that prints one line per observation; a thread
    collects the lines so that a test can wait for them."""

    def __init__(self, desktop, exe):
        self.proc = desktop.popen([str(exe)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        self.lines = []
        self._lock = threading.Lock()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        wait_for(lambda: self.seen("ready") or self.proc.poll() is not None, timeout=60)
        assert self.lines[:1] == ["ready"], self.lines

    def _read(self):
        for raw in self.proc.stdout:
            with self._lock:
                self.lines.append(raw.decode("utf-8").rstrip("\r\n"))

    def seen(self, line):
        with self._lock:
            return line in self.lines

    def take(self):
        """The lines after "ready" so far, which are then forgotten."""
        with self._lock:
            taken, self.lines = self.lines[1:], self.lines[:1]
            return taken

    def snapshot(self):
        with self._lock:
            return list(self.lines[1:])

    def close(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.close()
                self.proc.wait(10)
            except (BrokenPipeError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()


EVENT_PROBE = WIN_BUILD / "quilt-eventprobe.exe"
EVENT_NAMES = {0x0003: "foreground", 0x000A: "movesizestart", 0x000B: "movesizeend", 0x0016: "minimizestart",
               0x0017: "minimizeend", 0x8001: "destroy", 0x8002: "show", 0x8003: "hide", 0x8017: "cloaked",
               0x8018: "uncloaked"}
EVENT_LINE = re.compile(r"^event 0x([0-9a-f]+) hwnd (0x[0-9a-f]+) object (-?\d+) child (-?\d+) latency_ms (\d+)$")


class EventProbe(LineProbe):
    """quilt-eventprobe.exe: the window events the daemon's hooks receive."""

    def __init__(self, desktop):
        super().__init__(desktop, EVENT_PROBE)

    def events(self):
        """Every event so far as (name, hwnd, object, child)."""
        out = []
        for line in self.snapshot():
            m = EVENT_LINE.match(line)
            assert m, line
            code = int(m.group(1), 16)
            out.append((EVENT_NAMES.get(code, hex(code)), m.group(2), int(m.group(3)), int(m.group(4))))
        return out

    def wait_event(self, name, hwnd, timeout=10):
        """Waits until the event has been seen for the window."""
        wait_for(lambda: any(e[0] == name and e[1] == hwnd for e in self.events()), timeout=timeout)


KEY_PROBE = WIN_BUILD / "quilt-keyprobe.exe"
KEY_LINE = re.compile(r"^key 0x([0-9a-f]+) (down|up) flags 0x([0-9a-f]+)$")


class KeyProbe(LineProbe):
    """quilt-keyprobe.exe: the key events a low-level keyboard hook sees."""

    def __init__(self, desktop):
        super().__init__(desktop, KEY_PROBE)

    def keys(self):
        """Every key event so far as (vk, "down" or "up", flags)."""
        out = []
        for line in self.snapshot():
            m = KEY_LINE.match(line)
            assert m, line
            out.append((int(m.group(1), 16), m.group(2), int(m.group(3), 16)))
        return out
