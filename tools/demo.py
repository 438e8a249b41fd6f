"""Quilt's main job, shown for real: a private Wine desktop with a few
windows; `quilt list` and `quilt plan` on it; then `quilt run` tiles it live,
a new window joins the layout, and Ctrl+C puts every window back. Screenshots
of the desktop before, while tiled and after go to out/."""

import signal
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import Daemon, TestWin, quilt, visible_windows  # noqa: E402
from wine_env import WineDesktop, wait_for  # noqa: E402


def main():
    out_dir = ROOT / "out"
    out_dir.mkdir(exist_ok=True)
    desktop = WineDesktop()
    programs = []
    helper = None
    try:
        helper = TestWin(desktop)
        for title in ["Editor", "Terminal"]:
            helper.open("resizable", title)
        for program in ["notepad.exe", "regedit.exe", "winemine.exe"]:
            programs.append(desktop.popen([program]))
        wait_for(lambda: len(visible_windows(desktop)) >= 5, timeout=30)
        time.sleep(0.5)
        desktop.screenshot(out_dir / "1-before.png")
        for command in ["list", "plan"]:
            r = quilt(desktop, command)
            print("$ quilt %s   (exit code %d)" % (command, r.code))
            print(r.out + r.err)

        print("$ quilt run")
        daemon = Daemon(desktop)
        daemon.wait_started()
        browser = helper.open("resizable", "Browser")
        first = helper.rect(browser)
        wait_for(lambda: helper.rect(browser) != first, timeout=10)
        time.sleep(3.5)  # one periodic pass more: every window where it belongs
        desktop.screenshot(out_dir / "2-tiled.png")
        daemon.proc.send_signal(signal.SIGINT)
        code = daemon.stop()
        print("\n".join(line for line in daemon.out_lines if not line.startswith("  ")))
        print("\n".join(daemon.err_lines))
        print("(quilt run ended with exit code %d)\n" % code)
        time.sleep(0.5)
        desktop.screenshot(out_dir / "3-after.png")
        print("Screenshots of the desktop: %s" % ", ".join(
            str(out_dir / n) for n in ["1-before.png", "2-tiled.png", "3-after.png"]))
    finally:
        if helper:
            helper.quit()
        for p in programs:
            p.kill()
            p.wait()
        desktop.close()


if __name__ == "__main__":
    main()
