"""`quilt list`, the usage text and the exit codes, on a real Wine desktop."""

import pytest

from harness import list_rows, quilt, quilt_cmdline
from wine_env import wait_for

USAGE_LAST = "`list` and `plan` are read-only. See SPEC.md for the roadmap.\n"


def is_usage(out):
    lines = out.split("\n")
    return (len(lines) == 13 and lines[0].startswith("quilt - ") and lines[2] == "Usage:"
            and out.endswith(USAGE_LAST))


@pytest.mark.parametrize("args", [[], ["Tile"], ["LIST"], ["tile2"], ["--help"], ["bogus", "list"], [""]])
def test_unusable_command_word_prints_usage_with_code_2(wine, args):
    r = quilt(wine, *args)
    assert r.code == 2
    assert is_usage(r.out), r.out
    assert r.err == ""


@pytest.mark.parametrize("tail", ['"list"', "list extra words", 'list "extra words"', '""list""'])
def test_command_line_is_split_the_windows_way(wine, tail):
    r = quilt_cmdline(wine, tail)
    assert r.code == 0, r.out + r.err
    assert "visible top-level windows:" in r.out


def test_quoted_capital_word_is_still_usage(wine):
    r = quilt_cmdline(wine, '"List"')
    assert r.code == 2 and is_usage(r.out)


def test_empty_desktop_lists_only_the_summary(wine, scene):
    r = quilt(wine, "list")
    assert r.code == 0
    header = ("HWND       DECISION REASON           INSET    EXE                      CLASS"
              "                        TITLE\n")
    assert r.out == header + "\n0 visible top-level windows: 0 tile, 0 float, 0 ignored\n"


TITLE_60 = "Sixty characters exactly: " + "x" * 34
TITLE_61 = "Sixty-one characters long " + "y" * 35
ACCENTS = "Caf\u00e9 cr\u00e8me br\u00fbl\u00e9e \u00c5ngstr\u00f6m"
CJK_EMOJI = "\u6f22\u5b57\u304b\u306a \U0001F600 \u0645\u0631\u062d\u0628\u0627"


def test_every_kind_of_window_is_classified_column_by_column(wine, scene):
    tw = scene.testwin()
    expected = {}  # hwnd -> (decision, reason, title as printed)
    for kind, title, decision, reason in [
        ("resizable", "Plain resizable", "tile", ""),
        ("fixed", "Fixed size", "float", "not resizable"),
        ("owned", "Owned by the first", "ignore", "owned"),
        ("tool", "A tool window", "ignore", "tool window"),
        ("noactivate", "No activation", "ignore", "no-activate"),
        ("untitled", "", "ignore", "no title"),
        ("minimized", "Minimised", "ignore", "minimized"),
        ("maximized", "Maximised", "tile", ""),
        ("resizable", TITLE_60, "tile", ""),
        ("resizable", TITLE_61, "tile", ""),
        ("resizable", ACCENTS, "tile", ""),
        ("resizable", CJK_EMOJI, "tile", ""),
    ]:
        hwnd = tw.open(kind, title)
        expected[hwnd] = (decision, reason, title)
    expected_titles = {TITLE_61: TITLE_61[:57] + "..."}

    r = quilt(wine, "list")
    assert r.code == 0 and r.err == ""
    rows = list_rows(r.out)
    assert set(rows) == set(expected), r.out
    for hwnd, (decision, reason, title) in expected.items():
        row = rows[hwnd]
        assert row["line"].startswith(hwnd.ljust(10) + " "), row["line"]
        assert row["decision"] == decision, row["line"]
        assert row["reason"] == reason, row["line"]
        assert row["inset"] == "0/0/0"  # Wine has no compositor frame
        assert row["exe"] == "quilt-testwin.exe"
        assert row["class"] == "QuiltTestWindow"
        assert row["title"] == expected_titles.get(title, title), row["line"]
    assert r.out.endswith("\n\n12 visible top-level windows: 6 tile, 1 float, 5 ignored\n")


def test_rows_follow_the_z_order_topmost_first(wine, scene):
    tw = scene.testwin()
    first = tw.open("resizable", "First")
    second = tw.open("resizable", "Second")
    order = list(list_rows(quilt(wine, "list").out))
    assert order.index(second) < order.index(first)


def test_wines_own_programs_are_classified_too(wine, scene):
    scene.program("notepad.exe")
    scene.program("winemine.exe")
    scene.program("regedit.exe")

    def all_three():
        rows = list_rows(quilt(wine, "list").out).values()
        by_exe = {row["exe"].lower(): row for row in rows}
        return by_exe if {"notepad.exe", "winemine.exe", "regedit.exe"} <= set(by_exe) else None

    by_exe = wait_for(all_three, timeout=20)
    assert (by_exe["notepad.exe"]["decision"], by_exe["notepad.exe"]["reason"]) == ("ignore", "ignored app")
    assert (by_exe["winemine.exe"]["decision"], by_exe["winemine.exe"]["reason"]) == ("float", "not resizable")
    assert (by_exe["regedit.exe"]["decision"], by_exe["regedit.exe"]["reason"]) == ("tile", "")
    assert by_exe["regedit.exe"]["title"] == "Registry Editor"


def test_list_moves_nothing(wine, scene):
    tw = scene.testwin()
    hwnds = [tw.open("resizable", "Still %d" % i) for i in range(3)] + [tw.open("maximized", "Still max")]
    before = {h: (tw.rect(h), tw.state(h)) for h in hwnds}
    assert quilt(wine, "list").code == 0
    assert {h: (tw.rect(h), tw.state(h)) for h in hwnds} == before
