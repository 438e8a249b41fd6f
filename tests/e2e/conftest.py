import pytest

from harness import TestWin, visible_windows, wait_until_empty
from wine_env import WineDesktop


@pytest.fixture(scope="session")
def wine():
    desktop = WineDesktop()
    try:
        yield desktop
    finally:
        desktop.close()


class Scene:
    """What one test opened, so that it is closed again whatever happens."""

    def __init__(self, wine):
        self.wine = wine
        self.first = len(wine.started)  # processes started before this scene are not its own
        self.helpers = []
        self.programs = []

    def testwin(self):
        helper = TestWin(self.wine)
        self.helpers.append(helper)
        return helper

    def program(self, *args):
        proc = self.wine.popen(list(args))
        self.programs.append(proc)
        return proc

    def close(self):
        """Lets the helpers quit (their windows go with them), then kills
        whatever the test started that still runs: programs, probes, daemons."""
        try:
            for helper in self.helpers:
                helper.quit()
        finally:
            self.wine.kill_started(self.first)


@pytest.fixture
def scene(wine):
    """A known desktop: no windows before the test, none left after it."""
    assert not visible_windows(wine), "the desktop is not empty at the start"
    s = Scene(wine)
    try:
        yield s
    finally:
        s.close()
    wait_until_empty(wine)
