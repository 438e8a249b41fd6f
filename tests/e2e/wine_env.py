"""A private Wine desktop for the end-to-end tests: its own Xvfb display, a
copy of a template prefix in Wine's virtual-desktop mode, and a persistent
wineserver. Everything started here is stopped by pid; nothing else is touched."""

import os
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
WIN_BUILD = Path(os.environ.get("QUILT_WIN_BUILD", ROOT / "build" / "win"))
TEMPLATE = Path(os.environ.get("QUILT_WINE_TEMPLATE", Path.home() / ".cache" / "quilt" / "wine-template"))
DESKTOP_SIZE = "1920x1080"

BASE_ENV = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
    "LANG": "C.UTF-8",
    "LC_ALL": "C.UTF-8",
}


def start_xvfb(size="1920x1080x24"):
    """Starts Xvfb on a display number it picks itself; returns (process, ':N')."""
    read_fd, write_fd = os.pipe()
    proc = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", size, "-nolisten", "tcp"],
        pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as f:
        number = f.readline().strip()
    if not number:
        proc.kill()
        raise RuntimeError("Xvfb did not start")
    return proc, ":" + number


def start_xephyr(host_display, screens):
    """Starts Xephyr inside host_display with one Xinerama screen per size in
    screens, on a display number it picks itself; returns (process, ':N')."""
    read_fd, write_fd = os.pipe()
    args = ["Xephyr", "-displayfd", str(write_fd), "+xinerama", "-nolisten", "tcp"]
    for size in screens:
        args += ["-screen", size]
    env = dict(os.environ, DISPLAY=host_display)
    proc = subprocess.Popen(args, pass_fds=(write_fd,), env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as f:
        number = f.readline().strip()
    if not number:
        proc.kill()
        raise RuntimeError("Xephyr did not start")
    return proc, ":" + number


def stop(proc, timeout=5):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(timeout)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def wine_env(prefix, display):
    env = dict(os.environ)
    env.update(BASE_ENV)
    env["WINEPREFIX"] = str(prefix)
    env["DISPLAY"] = display
    return env


def reg_add(env, key, name, value, kind="REG_SZ"):
    subprocess.run(["wine", "reg", "add", key, "/v", name, "/t", kind, "/d", value, "/f"], env=env,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def ensure_template():
    """Builds the template prefix once per machine (about 10 s), in
    virtual-desktop mode, under a lock so that parallel runs share it."""
    if (TEMPLATE / "system.reg").exists() and (TEMPLATE / ".quilt-ready").exists():
        return TEMPLATE
    TEMPLATE.parent.mkdir(parents=True, exist_ok=True)
    lock = TEMPLATE.parent / "template.lock"
    import fcntl
    with open(lock, "w") as lock_file:
        fcntl.flock(lock_file, fcntl.LOCK_EX)
        if (TEMPLATE / ".quilt-ready").exists():
            return TEMPLATE
        shutil.rmtree(TEMPLATE, ignore_errors=True)
        xvfb, display = start_xvfb()
        try:
            env = wine_env(TEMPLATE, display)
            subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            reg_add(env, r"HKCU\Software\Wine\Explorer", "Desktop", "quilt")
            reg_add(env, r"HKCU\Software\Wine\Explorer\Desktops", "quilt", DESKTOP_SIZE)
            subprocess.run(["wineserver", "-w"], env=env, check=True)
        finally:
            stop(xvfb)
        (TEMPLATE / ".quilt-ready").write_text("ok\n")
    return TEMPLATE


class WineDesktop:
    """One running Wine session on a private X display."""

    def __init__(self):
        template = ensure_template()
        self.started = []  # every process popen started, so that none outlives its test
        self.tmp = Path(tempfile.mkdtemp(prefix="quilt-e2e-"))
        self.prefix = self.tmp / "prefix"
        subprocess.run(["cp", "-a", str(template), str(self.prefix)], check=True)
        self.xvfb, self.display = start_xvfb()
        self.start_wine()

    def start_wine(self):
        self.env = wine_env(self.prefix, self.display)
        self.wineserver = subprocess.Popen(["wineserver", "-p", "-f"], env=self.env,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The first program of a session starts Wine's services, which inherit
        # its standard streams and would hold a test's pipes open for ever.
        subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True, timeout=120)

    def stop_wine(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        try:
            self.wineserver.wait(10)
        except subprocess.TimeoutExpired:
            self.wineserver.kill()

    def close(self):
        try:
            self.kill_started()
            self.stop_wine()
        finally:
            stop(self.xvfb)
            shutil.rmtree(self.tmp, ignore_errors=True)

    def run(self, args, timeout=60, **kwargs):
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        return subprocess.run(["wine", *args], env=self.env, capture_output=True, timeout=timeout, **kwargs)

    def popen(self, args, **kwargs):
        """Starts a Wine program. It is on the list of started processes
        before the caller can wait on it, so a test that fails while waiting
        still has it killed (kill_started)."""
        kwargs.setdefault("env", self.env)
        proc = subprocess.Popen(["wine", *args], **kwargs)
        self.started.append(proc)
        return proc

    def kill_started(self, since=0):
        """Kills every process that popen started after the first `since`
        and that still runs, and forgets them."""
        for proc in self.started[since:]:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
        del self.started[since:]

    def unix_to_windows(self, path):
        return "Z:" + str(path).replace("/", "\\")

    def windows_to_unix(self, path):
        """The Linux path of a path on the prefix's C: drive."""
        assert path[:3].upper() == "C:\\", path
        return self.prefix / "drive_c" / path[3:].replace("\\", "/")

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)], check=True)


def wait_for(predicate, timeout=10.0, interval=0.05, message=None):
    """Polls until predicate() returns a true value, which it returns.
    message(), when given, tells in the timeout error what was seen instead."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            seen = "; seen: %r" % (message(),) if message else ""
            raise TimeoutError("condition not met within %.1f s%s" % (timeout, seen))
        time.sleep(interval)


class TwoMonitorDesktop(WineDesktop):
    """Wine in plain mode (no virtual desktop) on a Xephyr server with two
    Xinerama screens, shown inside an Xvfb. Wine then reports a 1920 x 1080
    primary monitor at (0, 0) and a 1280 x 1024 one at (1920, 0). Plain mode
    has quirks: a maximised window is not resized on the X side, and hiding or
    destroying a window stalls for about 2 s."""

    def __init__(self):
        template = ensure_template()
        self.started = []
        self.tmp = Path(tempfile.mkdtemp(prefix="quilt-e2e-2mon-"))
        self.prefix = self.tmp / "prefix"
        subprocess.run(["cp", "-a", str(template), str(self.prefix)], check=True)
        # Edited as text before any Wine process runs: once explorer has
        # started with a virtual desktop, the setting no longer matters.
        user_reg = self.prefix / "user.reg"
        lines = [line for line in user_reg.read_text().split("\n") if line != '"Desktop"="quilt"']
        lines += ["", "[Software\\\\Wine\\\\X11 Driver] 1700000000", '"Decorated"="N"', '"UseXRandR"="N"', ""]
        user_reg.write_text("\n".join(lines))
        self.xvfb, host = start_xvfb("3400x1200x24")
        self.xephyr, self.display = start_xephyr(host, ["1920x1080", "1280x1024"])
        self.start_wine()

    def close(self):
        try:
            self.kill_started()
            self.stop_wine()
        finally:
            stop(self.xephyr)
            stop(self.xvfb)
            shutil.rmtree(self.tmp, ignore_errors=True)
