"""The catalogue thread, the web-app file and launching, run by the program's
own code (quilt-probe-apps.exe) against Wine's shell. Browsers and the text
editor are played by quilt-recorder.exe, which writes down how it was started."""

import shutil
import subprocess

import pytest

from wine_env import WIN_BUILD, wait_for

PROBE = WIN_BUILD / "quilt-probe-apps.exe"
RECORDER = WIN_BUILD / "quilt-recorder.exe"
APP_PATHS = r"HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths"

HEADER_START = ("# Quilt web apps. One per line:  Name = https://address\n"
                "# They appear in the launcher (Win+Space) and open as frameless windows.\n"
                "# Lines starting with # are ignored.\n"
                "#\n")


def probe(wine, *commands):
    """Runs the commands in one probe process; returns its output lines."""
    text = "".join(c + "\n" for c in commands)
    r = subprocess.run(["wine", str(PROBE)], env=wine.env, input=text.encode("utf-8"), capture_output=True,
                       timeout=60)
    assert r.returncode == 0, r.stderr
    assert r.stderr == b"", r.stderr
    return r.stdout.decode("utf-8").split("\n")[:-1]


def catalogue(wine):
    lines = probe(wine, "catalogue")
    assert lines[-1] == "end", lines
    return [tuple(line.split("\t")[1:]) for line in lines[:-1]]


def reg(wine, *args):
    return subprocess.run(["wine", "reg", *args], env=wine.env, capture_output=True, timeout=60)


class Registry:
    """Registry changes for one test, undone afterwards: the prefix is shared."""

    def __init__(self, wine):
        self.wine = wine
        self.undo = []

    def set_default(self, key, value):
        before = reg(self.wine, "query", key, "/ve")
        old = None
        if before.returncode == 0:
            old = before.stdout.decode("utf-8", "replace").split("REG_SZ", 1)[1].strip()
        assert reg(self.wine, "add", key, "/ve", "/d", value, "/f").returncode == 0
        self.undo.append((key, old))

    def restore(self):
        for key, old in reversed(self.undo):
            if old is None:
                reg(self.wine, "delete", key, "/f")
            else:
                reg(self.wine, "add", key, "/ve", "/d", old, "/f")


@pytest.fixture
def registry(wine):
    r = Registry(wine)
    try:
        yield r
    finally:
        r.restore()


@pytest.fixture
def list_file(wine):
    """The Linux path of webapps.txt, with its folder removed before and after."""
    (line,) = probe(wine, "path")
    windows_path = line[len("path "):]
    assert windows_path.lower().endswith(r"\appdata\roaming\quilt\webapps.txt"), windows_path
    path = wine.windows_to_unix(windows_path)
    shutil.rmtree(path.parent, ignore_errors=True)
    try:
        yield path
    finally:
        shutil.rmtree(path.parent, ignore_errors=True)


@pytest.fixture
def stand_ins(wine, tmp_path):
    """A folder of recorder copies under the names the code may start."""
    folder = wine.tmp / ("stand-ins-" + tmp_path.name)
    folder.mkdir()
    for name in ("msedge.exe", "chrome.exe", "editor.exe"):
        shutil.copy(RECORDER, folder / name)
    try:
        yield folder
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def recorded(folder, name):
    """The command lines a stand-in was started with, once it has written them."""
    log = folder / (name + ".log")
    return wait_for(lambda: log.exists() and log.read_text(encoding="utf-8").splitlines(), timeout=20)


def test_catalogue_without_an_apps_folder_creates_the_list_file_and_lists_its_web_apps(wine, list_file):
    # Wine's shell has no Apps folder: only the edit entry, and no message.
    assert catalogue(wine) == [("edit", "-", "Edit web apps")]
    text = list_file.read_text(encoding="utf-8")
    lines = text.split("\n")
    assert text.startswith(HEADER_START) and len(lines) == 7 and lines[6] == ""
    assert lines[4].startswith("# Mail = https://") and lines[5].startswith("# Calendar = https://")

    list_file.write_bytes(list_file.read_bytes() + "Caf\u00e9 = https://cafe.example/?a=b\r\nbroken line".encode())
    assert catalogue(wine) == [("web", "https://cafe.example/?a=b", "Caf\u00e9"), ("edit", "-", "Edit web apps")]


def test_edits_rewrite_the_whole_file_in_one_step_and_keep_the_users_lines(wine, list_file):
    assert probe(wine, "append\tMail\thttps://mail.example", "append\tNotes\thttps://notes.example") == ["ok", "ok"]
    assert list_file.read_text(encoding="utf-8").endswith(
        "\nMail = https://mail.example\nNotes = https://notes.example\n")
    with open(list_file, "ab") as f:
        f.write(b"# mine\r\nMail = https://mail.example")
    assert probe(wine, "remove\tMail\thttps://mail.example") == ["ok"]
    text = list_file.read_text(encoding="utf-8")
    assert text.endswith("\nNotes = https://notes.example\n# mine\nMail = https://mail.example\n")
    assert catalogue(wine)[:2] == [("web", "https://notes.example", "Notes"), ("web", "https://mail.example", "Mail")]
    # Nothing but the list itself is left in the folder (no temporary files).
    assert [p.name for p in list_file.parent.iterdir()] == ["webapps.txt"]


def test_a_list_in_a_legacy_code_page_is_left_untouched(wine, list_file):
    list_file.parent.mkdir(parents=True)
    legacy = "Caf\u00e9 = https://cafe.example\r\n".encode("cp1252")
    list_file.write_bytes(legacy)
    (answer,) = probe(wine, "append\tNew\thttps://new.example")
    assert answer.startswith("error 13 ") and "not UTF-8" in answer, answer
    assert list_file.read_bytes() == legacy
    # The catalogue reads no web apps from it and leaves it alone too.
    assert catalogue(wine) == [("edit", "-", "Edit web apps")]
    assert list_file.read_bytes() == legacy


def test_web_app_goes_to_the_fallback_since_wines_https_handler_is_winebrowser(wine, registry, stand_ins):
    (browser,) = probe(wine, "browser")
    assert browser.lower().endswith("\\winebrowser.exe"), browser
    registry.set_default(APP_PATHS + r"\msedge.exe", wine.unix_to_windows(stand_ins / "msedge.exe"))
    address = 'https://search.example/?q="two words"'
    assert probe(wine, "launch\tweb\t%s\tSearch" % address) == ["launched true"]
    (line,) = recorded(stand_ins, "msedge.exe")
    assert line.endswith('msedge.exe" --app="https://search.example/?q=%22two words%22"'), line
    assert not (stand_ins / "chrome.exe.log").exists()


def test_web_app_opens_in_a_chromium_family_default_browser(wine, registry, stand_ins):
    chrome = wine.unix_to_windows(stand_ins / "chrome.exe")
    registry.set_default(r"HKCR\https\shell\open\command", '"%s" "%%1"' % chrome)
    assert probe(wine, "browser", "launch\tweb\thttps://mail.example/inbox\tMail") == [
        "browser " + chrome, "launched true"]
    (line,) = recorded(stand_ins, "chrome.exe")
    assert line == '"%s" --app="https://mail.example/inbox"' % chrome


def test_edit_web_apps_opens_the_list_in_the_text_program(wine, registry, stand_ins, list_file):
    registry.set_default(r"HKCR\.txt", "txtfile")
    editor = wine.unix_to_windows(stand_ins / "editor.exe")
    registry.set_default(r"HKCR\txtfile\shell\open\command", '"%s" "%%1"' % editor)
    # Without a list file the shell has nothing to open.
    assert probe(wine, "launch\tedit\t-\tEdit web apps") == ["launched false"]
    assert not (stand_ins / "editor.exe.log").exists()
    catalogue(wine)  # creates it
    assert probe(wine, "launch\tedit\t-\tEdit web apps") == ["launched true"]
    (line,) = recorded(stand_ins, "editor.exe")
    assert line.lower().endswith(r"\appdata\roaming\quilt\webapps.txt" + '"'), line
