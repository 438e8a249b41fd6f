import pytest

from harness import TestWin, visible_windows, wait_until_empty
from wine_env import WineDesktop


@pytest.fixture(scope="session")
def wine():
    desktop = WineDesktop()
    yield desktop
    desktop.close()


class Scene:
    """What one test opened, so that it is closed again whatever happens."""

    def __init__(self, wine):
        self.wine = wine
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
        for helper in self.helpers:
            helper.quit()
        for proc in self.programs:
            if proc.poll() is None:
                proc.kill()
                proc.wait()


@pytest.fixture
def scene(wine):
    """A known desktop: no windows before the test, none left after it."""
    assert not visible_windows(wine), "the desktop is not empty at the start"
    s = Scene(wine)
    yield s
    s.close()
    wait_until_empty(wine)
