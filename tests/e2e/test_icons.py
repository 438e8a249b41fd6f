"""The icon loaders and the icon thread, run by the program's own code
(quilt-probe-icons.exe) under Wine. Wine cannot fetch https from the loopback,
so the probe sends each "https://{host}/favicon.ico" to a plain http server
started here on 127.0.0.1, at "/{host}/favicon.ico"; the rest is the real code:
urlmon's download, the cache folder, GDI+ decoding and the shell's COM."""

import http.server
import shutil
import subprocess
import threading

import pytest

from wine_env import WIN_BUILD

PROBE = WIN_BUILD / "quilt-probe-icons.exe"

HTML = b"<!doctype html><html><body>Not an icon</body></html>"
RED, BLUE = "ffff0000", "ff0000ff"
TRANSPARENT = "00000000"


class Sites(http.server.ThreadingHTTPServer):
    """Serves `pages` (path -> (content type, bytes)), 404 for the rest, and
    notes every path asked for."""

    def __init__(self):
        self.pages = {}
        self.asked = []
        self.lock = threading.Lock()
        super().__init__(("127.0.0.1", 0), SiteHandler)

    def take_asked(self):
        with self.lock:
            asked, self.asked = self.asked, []
        return asked


class SiteHandler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with self.server.lock:
            self.server.asked.append(self.path)
        page = self.server.pages.get(self.path)
        if page is None:
            self.send_error(404)
            return
        kind, body = page
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


@pytest.fixture
def sites():
    server = Sites()
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield server
    finally:
        server.shutdown()
        server.server_close()
        thread.join(10)


def probe(wine, sites, *commands):
    """Runs the commands in one probe process; returns its output lines."""
    text = "".join(c + "\n" for c in commands)
    r = subprocess.run(["wine", str(PROBE), str(sites.server_address[1])], env=wine.env,
                       input=text.encode("utf-8"), capture_output=True, timeout=120)
    assert r.returncode == 0, r.stderr
    return r.stdout.decode("utf-8").split("\n")[:-1]


@pytest.fixture
def cache(wine, sites):
    """The Linux path of the icon cache folder, removed before and after."""
    (line,) = probe(wine, sites, "cache")
    windows_path = line[len("cache "):]
    assert windows_path.lower().endswith(r"\appdata\local\quilt\icons"), windows_path
    path = wine.windows_to_unix(windows_path)
    shutil.rmtree(path, ignore_errors=True)
    yield path
    shutil.rmtree(path, ignore_errors=True)


def image(tmp_path, name, size, colour):
    """A real image file made by ImageMagick, as its bytes."""
    path = tmp_path / name
    subprocess.run(["convert", "-size", "%dx%d" % (size, size), "xc:" + colour, str(path)], check=True)
    return path.read_bytes()


def test_site_icons_are_downloaded_once_and_then_read_from_the_cache(wine, sites, cache, tmp_path):
    ico = image(tmp_path, "red.ico", 16, "#ff0000")
    png = image(tmp_path, "blue.png", 24, "#0000ff")
    assert ico[:4] == b"\0\0\1\0" and png[:4] == b"\x89PNG"
    sites.pages = {
        "/example.com/favicon.ico": ("image/x-icon", ico),
        "/png.example/favicon.ico": ("image/png", png),
        "/www.html.example/favicon.ico": ("text/html", HTML),
        "/html.example/favicon.ico": ("image/x-icon", ico),
        "/example.co.uk/favicon.ico": ("image/x-icon", ico),
    }
    hosts = ["example.com", "png.example", "www.html.example", "mail.example.co.uk", "missing.example"]

    lines = probe(wine, sites, *("site\t" + h for h in hosts))

    assert lines == [
        "download https://example.com/favicon.ico",
        "site found 16 16 " + RED,
        "download https://png.example/favicon.ico",
        "site found 24 24 " + BLUE,
        # The HTML page is saved, fails to decode, is deleted; the next name is tried.
        "download https://www.html.example/favicon.ico",
        "download https://html.example/favicon.ico",
        "site found 16 16 " + RED,
        # "co" before a two-letter label: the registrable domain has three labels.
        "download https://mail.example.co.uk/favicon.ico",
        "download https://example.co.uk/favicon.ico",
        "site found 16 16 " + RED,
        "download https://missing.example/favicon.ico",
        "site none",
    ]
    assert sites.take_asked() == ["/example.com/favicon.ico", "/png.example/favicon.ico",
                                  "/www.html.example/favicon.ico", "/html.example/favicon.ico",
                                  "/mail.example.co.uk/favicon.ico", "/example.co.uk/favicon.ico",
                                  "/missing.example/favicon.ico"]
    # Each file holds exactly what its site served, whatever the format.
    files = {p.name: p.read_bytes() for p in cache.iterdir()}
    assert files == {"example.com.ico": ico, "png.example.ico": png, "html.example.ico": ico,
                     "example.co.uk.ico": ico}

    # A later run: every icon from its file, and not one request to a site.
    lines = probe(wine, sites, "site\texample.com", "site\tpng.example", "site\thtml.example", "site\texample.co.uk")
    assert lines == ["site found 16 16 " + RED, "site found 24 24 " + BLUE, "site found 16 16 " + RED,
                     "site found 16 16 " + RED]
    assert sites.take_asked() == []

    # A cached file that stopped decoding is deleted, and fetched again next time.
    (cache / "example.com.ico").write_bytes(HTML)
    assert probe(wine, sites, "site\texample.com") == ["site none"]
    assert not (cache / "example.com.ico").exists() and sites.take_asked() == []
    assert probe(wine, sites, "site\texample.com") == ["download https://example.com/favicon.ico",
                                                        "site found 16 16 " + RED]


def test_the_icon_thread_answers_each_request_through_the_window(wine, sites, cache, tmp_path):
    sites.pages = {"/example.com/favicon.ico": ("image/x-icon", image(tmp_path, "red.ico", 16, "#ff0000"))}
    keys = ["site:example.com", "site:missing.example", "app:Quilt.Probe!App"]
    lines = probe(wine, sites, "thread\t" + "\t".join(keys))
    assert lines[-1] == "end", lines
    results = {line.split()[1]: line.split()[2] for line in lines if line.startswith("result ")}
    assert len([line for line in lines if line.startswith("result ")]) == 3, lines
    assert results["site:example.com"] == "found" and results["site:missing.example"] == "none"
    # Wine's image factory answers every item; only that an answer came matters here.
    assert "app:Quilt.Probe!App" in results
    assert sorted(sites.take_asked()) == ["/example.com/favicon.ico", "/missing.example/favicon.ico"]


def test_the_app_loader_takes_the_first_picture_else_the_last_outline_right_way_up(wine, sites):
    # Each case gives the bitmaps at 64, 48 and 32 pixels: a solid picture (red
    # above blue) with its rows bottom-up or top-down in memory, a bare
    # outline, or none.
    cases = [
        (("solid-bu", "none", "none"), "dib found 64 64 %s %s" % (RED, BLUE)),
        (("solid-td", "none", "none"), "dib found 64 64 %s %s" % (RED, BLUE)),
        (("outline-td", "solid-td", "none"), "dib found 48 48 %s %s" % (RED, BLUE)),
        (("none", "solid-bu", "none"), "dib found 48 48 %s %s" % (RED, BLUE)),
        (("outline-bu", "outline-td", "solid-bu"), "dib found 32 32 %s %s" % (RED, BLUE)),
        (("outline-bu", "outline-bu", "outline-td"), "dib found 32 32 %s %s" % (TRANSPARENT, TRANSPARENT)),
        (("none", "outline-bu", "none"), "dib found 48 48 %s %s" % (TRANSPARENT, TRANSPARENT)),
        (("none", "none", "none"), "dib none"),
    ]
    lines = probe(wine, sites, *("dib\t" + "\t".join(bitmaps) for bitmaps, _ in cases),
                  "shell\tC:\\no\\such\\program.exe")
    assert lines == [expected for _, expected in cases] + ["shell none"]
