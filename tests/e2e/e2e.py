#!/usr/bin/env python3
"""Drives the real program under Xvfb with a small window manager and checks
the files it leaves. Usage: e2e.py PATH_TO_EXECUTABLE"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

EXE = sys.argv[1]
SEPARATORS = 2513
KEEP = os.environ.get("E2E_ARTIFACTS")  # a folder for screenshots on failure


def run(*args, env=None, check=True):
    return subprocess.run(args, env=env, check=check, capture_output=True, text=True)


class Display:
    def __init__(self):
        self.xvfb = self.wm = None
        self.log = tempfile.TemporaryFile()  # what the server and the manager say
        # A server and its window manager; a start that fails is tried again
        # with a fresh server.
        problems = []
        for _ in range(5):
            if self._start():
                return
            self.log.seek(0)
            problems.append("Xvfb %s, openbox %s: %s" % (
                self.xvfb.poll(), self.wm.poll(),
                self.log.read().decode(errors="replace").strip()[-600:]))
            self.close()
            time.sleep(0.5)
        raise AssertionError("the window manager did not start:\n" + "\n".join(problems))

    def _start(self):
        # A display number nobody holds; the server is ready once its socket
        # is there.
        number = next(str(n) for n in range(90, 400)
                      if not os.path.exists("/tmp/.X%d-lock" % n)
                      and not os.path.exists("/tmp/.X11-unix/X%d" % n))
        self.xvfb = subprocess.Popen(
            ["Xvfb", ":" + number, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=self.log)
        end = time.time() + 15
        while not os.path.exists("/tmp/.X11-unix/X" + number):
            if time.time() > end or self.xvfb.poll() is not None:
                self.wm = subprocess.Popen(["true"])
                return False
            time.sleep(0.1)
        self.env = dict(os.environ, DISPLAY=":" + number, QT_QPA_PLATFORM="xcb")
        self.wm = subprocess.Popen(["openbox"], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=self.log)
        end = time.time() + 15
        while time.time() < end and self.wm.poll() is None and self.xvfb.poll() is None:
            if run("wmctrl", "-m", env=self.env, check=False).returncode == 0:
                return True
            time.sleep(0.2)
        if self.wm.poll() is None:
            self.wm.kill()
        return False

    def close(self):
        for p in (self.wm, self.xvfb):
            if p and p.poll() is None:
                p.terminate()
                p.wait()

    def x(self, *args, check=True):
        return run(*args, env=self.env, check=check).stdout

    def wait_window(self, title, timeout=30):
        end = time.time() + timeout
        seen = ""
        while time.time() < end:
            seen = self.x("wmctrl", "-l", check=False)
            for line in seen.splitlines():
                parts = line.split(None, 3)
                if len(parts) == 4 and parts[3] == title:
                    return parts[0]
            time.sleep(0.3)
        names = self.x("xdotool", "search", "--name", ".", "getwindowname", "%@", check=False)
        raise AssertionError("no window titled %r among:\n%s\nX windows:\n%s" % (title, seen, names))

    def screenshot(self, name):
        if KEEP:
            os.makedirs(KEEP, exist_ok=True)
            self.x("import", "-window", "root", os.path.join(KEEP, name + ".png"), check=False)


def line_of(cells):
    return "".join(c + "|" for c in cells)


def month_column(y, m, s):
    return 8 + 265 * y + 22 * (m - 1) + s


def read_table(path):
    with open(path, "rb") as f:
        data = f.read().decode("cp1251")
    assert data.endswith("\r\n"), "the file ends with CR LF"
    rows = []
    for line in data[:-2].split("\r\n"):
        assert line.count("|") == SEPARATORS, "a line holds %d separators" % line.count("|")
        rows.append([""] + line.split("|")[:SEPARATORS])  # index = column
    return rows


def write_table(path, rows):
    with open(path, "wb") as f:
        for cells in rows:
            f.write((line_of(cells[1:SEPARATORS + 1]) + "\r\n").encode("cp1251"))


def start(display, folder, config):
    env = dict(display.env, XDG_CONFIG_HOME=config)
    return subprocess.Popen([os.path.join(folder, "ostrevanka")], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def close_main(display, proc):
    display.x("wmctrl", "-c", "Остреванка 2.1")
    proc.wait(timeout=30)
    assert proc.returncode == 0, "the program ended with %s" % proc.returncode


def first_start(display, folder, config):
    proc = start(display, folder, config)
    question = display.wait_window("Создать новый файл бызы?")
    display.x("xdotool", "windowactivate", "--sync", question)
    display.x("xdotool", "key", "Return")  # Да is the default
    display.wait_window("Остреванка 2.1")
    display.screenshot("first-start")
    close_main(display, proc)
    # One subscriber, empty but for the charges the start-up computed for
    # the shown year 2017 (slot 9: "0").
    rows = read_table(os.path.join(folder, "Ostrevanka21.spb"))
    assert len(rows) == 1, "one subscriber"
    charges = {month_column(0, m, 9) for m in range(1, 13)}
    for c in range(1, SEPARATORS + 1):
        want = "1" if c == 1 else "0" if c in charges else ""
        assert rows[0][c] == want, "column %d holds %r" % (c, rows[0][c])


def typing_and_restart(display, folder, config):
    db = os.path.join(folder, "Ostrevanka21.spb")
    rows = []
    for r in range(1, 31):
        cells = [""] * (SEPARATORS + 1)
        cells[1] = str(r)
        cells[2] = "Абонент %02d Ё. №." % r
        cells[3] = str(r)
        for m in range(1, 13):
            cells[month_column(2, m, 2)] = str(10000 + r)
        rows.append(cells)
    write_table(db, rows)
    os.makedirs(os.path.join(config, "ostrevanka"), exist_ok=True)
    with open(os.path.join(config, "ostrevanka", "ostrevanka.ini"), "w", encoding="utf-8") as f:
        f.write("[Nastr]\nCmb0=Абонент 05 Ё. №.\nCmb1=2019\n")
    before = read_table(db)

    proc = start(display, folder, config)
    win = display.wait_window("Остреванка 2.1")
    display.x("xdotool", "windowactivate", "--sync", win)
    # Keyboard only: the year and the subscriber selectors come first in
    # the tab order, then January's cells from the date on.
    display.x("xdotool", "key", "--delay", "80", "Tab", "Tab", "Tab")
    display.x("xdotool", "type", "--delay", "60", "10125.5")  # January T1 current
    display.x("xdotool", "key", "Tab", "Tab", "Tab", "Tab")  # to the tariff 1 cell
    display.x("xdotool", "type", "--delay", "60", "3.22")
    display.x("xdotool", "key", "Tab", "Tab")  # to the T1 coefficient
    display.x("xdotool", "type", "--delay", "60", "1")
    display.x("xdotool", "key", "Return")  # leaves it: store and compute
    time.sleep(0.5)
    display.screenshot("typed")
    close_main(display, proc)

    after = read_table(db)
    assert len(after) == 30, "30 subscribers"
    changed = {(5, month_column(2, 1, 1)): "10125,5",
               (5, month_column(2, 1, 5)): "3,22",
               (5, month_column(2, 1, 7)): "1",
               (5, month_column(2, 1, 9)): "388,01"}
    for r in range(1, 31):
        for m in range(1, 13):
            changed.setdefault((r, month_column(2, m, 9)), "0")
    for r in range(1, 31):
        for c in range(1, SEPARATORS + 1):
            want = changed.get((r, c), before[r - 1][c])
            got = after[r - 1][c]
            assert got == want, "row %d column %d holds %r, not %r" % (r, c, got, want)

    # Restart: the same subscriber and year are kept in the settings and
    # the program opens on them without any question.
    with open(os.path.join(config, "ostrevanka", "ostrevanka.ini"), encoding="utf-8") as f:
        settings = f.read()
    assert "Cmb1=2019" in settings, settings
    proc = start(display, folder, config)
    display.wait_window("Остреванка 2.1")
    display.screenshot("restart")
    close_main(display, proc)
    assert read_table(db) == after, "a restart without edits changes nothing"


def main():
    display = Display()
    ok = False
    try:
        for scenario in (first_start, typing_and_restart):
            with tempfile.TemporaryDirectory() as folder, tempfile.TemporaryDirectory() as config:
                shutil.copy(EXE, os.path.join(folder, "ostrevanka"))
                scenario(display, folder, config)
                print("PASS   :", scenario.__name__)
        ok = True
    except Exception:
        display.screenshot("failure")
        raise
    finally:
        display.close()
    print("2 passed, 0 failed" if ok else "")


main()
