"""Quilt's main job, shown for real: a private Wine desktop with a few
windows, `quilt list` and `quilt plan` on it, and a screenshot."""

import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import TestWin, quilt, visible_windows  # noqa: E402
from wine_env import WineDesktop, wait_for  # noqa: E402


def main():
    out_dir = ROOT / "out"
    out_dir.mkdir(exist_ok=True)
    desktop = WineDesktop()
    programs = []
    helper = None
    try:
        helper = TestWin(desktop)
        for title in ["Editor", "Terminal", "Browser"]:
            helper.open("resizable", title)
        for program in ["notepad.exe", "regedit.exe", "winemine.exe"]:
            programs.append(desktop.popen([program]))
        wait_for(lambda: len(visible_windows(desktop)) >= 6, timeout=30)
        for command in ["list", "plan"]:
            r = quilt(desktop, command)
            print("$ quilt %s   (exit code %d)" % (command, r.code))
            print(r.out + r.err)
        time.sleep(0.5)
        shot = out_dir / "desktop.png"
        desktop.screenshot(shot)
        print("Screenshot of the desktop: %s" % shot)
    finally:
        if helper:
            helper.quit()
        for p in programs:
            p.kill()
            p.wait()
        desktop.close()


if __name__ == "__main__":
    main()
