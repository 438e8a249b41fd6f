"""The Win+Space launcher under Wine, with real keys and clicks from the X
side while `quilt run` runs and webapps.txt holds two web apps. Under Wine
the Apps folder yields nothing, so the list is Mail, Notes and "Edit web
apps". Web apps go to the fallback browser, played by quilt-recorder.exe.

The launcher gets an X window of its own, and without an X window manager
nothing gives it the X keyboard focus: each test hands it over after the
show, as a window manager would. The rows shown are counted in screenshots
by the one-pixel outlines of their kind badges."""

import shutil
import subprocess

import pytest

from harness import (Daemon, Proxy, click, click_window, daemon_tiles, focus_x_windows_of, foreground_window,
                     local_app_data, screen_pixels, windows_of_class, work_area, xdotool)
from test_apps import APP_PATHS, RECORDER, Registry, recorded
from wine_env import wait_for

LAUNCHER_CLASS = "QuiltLauncher"
LINE = (53, 59, 72)
SURFACE = (30, 34, 43)
RED, BLUE = (255, 0, 0), (0, 0, 255)
TWO_WEB_APPS = "Mail = https://mail.example\nNotes = https://notes.example\n"


def centred(area, width, height):
    left, top, w, h = area
    x, y = left + (w - width) // 2, top + (h - height) // 2
    return x, y, x + width, y + height


def visible_launcher(tw):
    return next((h for h, shown in windows_of_class(tw, LAUNCHER_CLASS).items() if shown), None)


def rows_shown(wine, rect, path):
    """How many result rows a screenshot shows: the badge of row r sits at
    the right end of the row, half-way down it, 76 + 36 r + 18 pixels below
    the launcher's top at 96 DPI."""
    width, _, raw = screen_pixels(wine, path)
    left, top = rect[0], rect[1]
    rows = 0
    for r in range(6):
        y = top + 94 + 36 * r
        line = raw[(y * width + left + 470) * 3:(y * width + left + 530) * 3]
        if any(tuple(line[i:i + 3]) == LINE for i in range(0, len(line), 3)):
            rows += 1
    return rows


class Session:
    """A daemon with an editor window in front and webapps.txt written
    before it starts; the browser stand-in registered as the fallback."""

    def __init__(self, wine, scene, tmp_path, web_apps=TWO_WEB_APPS, env=None):
        self.wine = wine
        self.tmp_path = tmp_path
        self.shots = 0
        self.list_file = local_app_data(wine).parent / "Roaming" / "quilt" / "webapps.txt"
        self.browsers = wine.tmp / ("browsers-" + tmp_path.name)
        self.registry = Registry(wine)
        self.daemon = None
        try:
            # Whatever fails from here on, the prefix is given back as it was.
            self.list_file.parent.mkdir(parents=True, exist_ok=True)
            self.list_file.write_text(web_apps, encoding="utf-8")
            self.browsers.mkdir()
            shutil.copy(RECORDER, self.browsers / "msedge.exe")
            self.registry.set_default(APP_PATHS + r"\msedge.exe", wine.unix_to_windows(self.browsers / "msedge.exe"))
            self.tw = scene.testwin()
            self.editor = self.tw.open("resizable", "Editor")
            self.daemon = Daemon(wine, env)
            self.daemon.wait_started()
            tiles = daemon_tiles(wine, self.tw)
            wait_for(lambda: self.tw.rect(self.editor) == tiles.full, timeout=10)
            click_window(wine, self.tw, self.editor)
        except BaseException:
            self.close()
            raise

    def close(self):
        try:
            if self.daemon and self.daemon.proc.poll() is None:
                assert self.daemon.stop() == 0, self.daemon.err_lines
        finally:
            if self.daemon:
                self.daemon.kill()
            self.registry.restore()
            shutil.rmtree(self.list_file.parent, ignore_errors=True)
            shutil.rmtree(self.browsers, ignore_errors=True)

    def toggle(self):
        xdotool(self.wine, "key", "super+space")

    def show(self):
        """Win+Space; the launcher's handle and rectangle once it is shown
        with the focus and has the X keyboard focus."""
        self.toggle()
        launcher = wait_for(lambda: visible_launcher(self.tw), timeout=5)
        wait_for(lambda: foreground_window(self.tw) == launcher)
        focus_x_windows_of(self.wine, self.daemon.proc)
        return launcher, self.tw.rect(launcher)

    def rows(self, rect):
        self.shots += 1
        return rows_shown(self.wine, rect, self.tmp_path / ("shot%d.png" % self.shots))

    def wait_rows(self, rect, n):
        wait_for(lambda: self.rows(rect) == n, timeout=5, interval=0.1, message=lambda: self.rows(rect))

    def hidden(self, launcher):
        wait_for(lambda: not windows_of_class(self.tw, LAUNCHER_CLASS)[launcher], timeout=5)

    def browser_starts(self):
        return recorded(self.browsers, "msedge.exe")


@pytest.fixture
def session(wine, scene, tmp_path):
    s = Session(wine, scene, tmp_path)
    try:
        yield s
    finally:
        s.close()


def test_win_space_shows_it_with_the_focus_typing_filters_and_esc_gives_the_focus_back(wine, session):
    launcher, rect = session.show()
    assert rect == centred(work_area(wine), 560, 416)
    session.wait_rows(rect, 3)  # Mail, Notes, Edit web apps
    xdotool(wine, "type", "no")
    session.wait_rows(rect, 1)  # Notes
    xdotool(wine, "key", "BackSpace", "BackSpace", "x", "y", "z")
    session.wait_rows(rect, 0)
    xdotool(wine, "key", "Escape")
    session.hidden(launcher)
    wait_for(lambda: foreground_window(session.tw) == session.editor)
    # A second Win+Space hides it as well, and the box starts empty again.
    click_window(wine, session.tw, session.editor)  # the X focus, lost with the launcher's X window
    launcher, rect = session.show()
    session.wait_rows(rect, 3)
    session.toggle()
    session.hidden(launcher)
    wait_for(lambda: foreground_window(session.tw) == session.editor)
    # Alt+F4 only hides it: the default handling would destroy the window for good.
    click_window(wine, session.tw, session.editor)
    launcher, rect = session.show()
    xdotool(wine, "key", "alt+F4")
    session.hidden(launcher)
    click_window(wine, session.tw, session.editor)
    assert session.show()[0] == launcher
    assert session.daemon.err_lines == []


def test_enter_on_a_web_app_starts_it_as_an_app_window(wine, session):
    launcher, rect = session.show()
    xdotool(wine, "type", "notes")
    session.wait_rows(rect, 1)
    xdotool(wine, "key", "Return")
    session.hidden(launcher)
    (line,) = session.browser_starts()
    assert line.endswith('msedge.exe" --app="https://notes.example"'), line
    assert session.daemon.err_lines == []


def test_the_add_tile_saves_a_typed_address_and_opens_it(wine, session):
    launcher, rect = session.show()
    xdotool(wine, "type", "example.org")
    session.wait_rows(rect, 0)  # the selection is on the first tile now
    xdotool(wine, "key", "Right", "Right", "Return")
    session.hidden(launcher)
    assert session.list_file.read_text(encoding="utf-8") == TWO_WEB_APPS + "example.org = https://example.org\n"
    (line,) = session.browser_starts()
    assert line.endswith('--app="https://example.org"'), line
    assert session.daemon.err_lines == []


def test_delete_on_a_tile_then_enter_removes_its_line(wine, session):
    launcher, rect = session.show()
    xdotool(wine, "key", "Down", "Down", "Down", "Delete")  # past the three rows to the Mail tile
    session.wait_rows(rect, 0)  # the question replaces the rows
    xdotool(wine, "key", "Return")
    wait_for(lambda: session.list_file.read_text(encoding="utf-8") == "Notes = https://notes.example\n")
    session.wait_rows(rect, 2)  # Notes and Edit web apps; the launcher stays open
    assert visible_launcher(session.tw) == launcher
    assert session.daemon.err_lines == []


def test_a_click_outside_hides_it_and_leaves_the_focus_where_it_went(wine, session):
    other = session.tw.open("resizable", "Other")
    tiles = daemon_tiles(wine, session.tw)
    wait_for(lambda: session.tw.rect(other) == tiles.right, timeout=10)
    click_window(wine, session.tw, session.editor)
    launcher, rect = session.show()
    # The top right corner of the other window, well outside the launcher.
    _, top, right, _ = session.tw.rect(other)
    click(wine, right - 40, top + 40)
    session.hidden(launcher)
    wait_for(lambda: foreground_window(session.tw) == other)
    assert session.daemon.err_lines == []


def icon_pixels(shot, left, top, size):
    """The distinct colours inside an icon square, one pixel in from its
    edges: Wine's GDI+ leaves the first column of a 20-pixel square unpainted
    when it scales a 16-pixel icon to it."""
    width, _, raw = shot
    return {tuple(raw[((top + y) * width + left + x) * 3:((top + y) * width + left + x) * 3 + 3])
            for y in range(1, size - 1) for x in range(1, size - 1)}


def test_cached_site_icons_show_in_rows_and_tiles_and_are_not_downloaded(wine, scene, tmp_path):
    icons = local_app_data(wine) / "quilt" / "icons"
    icons.mkdir(parents=True, exist_ok=True)
    for host, colour in (("mail.example", "#ff0000"), ("notes.example", "#0000ff")):
        subprocess.run(["convert", "-size", "16x16", "xc:" + colour, str(icons / (host + ".ico"))], check=True)
    cached = {p.name: (p.read_bytes(), p.stat().st_mtime_ns) for p in icons.iterdir()}
    proxy = Proxy()
    session = None
    try:
        # Wiki's icon is not cached: its download attempt shows that the proxy would see one.
        session = Session(wine, scene, tmp_path, TWO_WEB_APPS + "Wiki = https://wiki.example\n",
                          proxy.env())
        launcher, (left, top, _, _) = session.show()
        # Rows: Mail, Notes, Wiki, Edit web apps; tiles: Mail, Notes, Wiki. Rows
        # have 20-pixel icons at x 34, tiles 32-pixel ones at 44 + 88 i, y 324.
        squares = {"Mail row": (left + 34, top + 84, 20), "Notes row": (left + 34, top + 120, 20),
                   "Wiki row": (left + 34, top + 156, 20), "Mail tile": (left + 44, top + 324, 32),
                   "Notes tile": (left + 132, top + 324, 32), "Wiki tile": (left + 220, top + 324, 32)}
        expected = {"Mail row": {RED}, "Notes row": {BLUE}, "Mail tile": {RED}, "Notes tile": {BLUE}}

        def shown():
            session.shots += 1
            shot = screen_pixels(wine, tmp_path / ("icons%d.png" % session.shots))
            return {name: icon_pixels(shot, *square) for name, square in squares.items()}

        colours = wait_for(lambda: (lambda c: c if all(c[n] == expected[n] for n in expected) else None)(shown()),
                           timeout=10, interval=0.2, message=shown)
        # Until its icon comes, Wiki has a letter tile: a chip with a letter on it.
        for name in ("Wiki row", "Wiki tile"):
            assert SURFACE in colours[name] and not colours[name] & {RED, BLUE}, colours[name]
        wait_for(lambda: any("wiki.example" in line for line in proxy.asked), timeout=20)
        assert not [line for line in proxy.asked if "mail.example" in line or "notes.example" in line], proxy.asked
        assert {p.name: (p.read_bytes(), p.stat().st_mtime_ns) for p in icons.iterdir()} == cached
        assert visible_launcher(session.tw) == launcher
        assert session.daemon.err_lines == []
    finally:
        try:
            if session:
                session.close()
        finally:
            proxy.close()
            shutil.rmtree(icons, ignore_errors=True)
