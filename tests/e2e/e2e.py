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
SEPARATORS = 2513  # a line with nothing after 2024
YEAR_BLOCK = 313  # each later year adds one block to every line
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
                # With a Russian group in the keymap xdotool types Cyrillic
                # by switching the group. Without it, it rebinds a spare key
                # for every letter, and a program that reads the keymap
                # after the binding is undone loses the letter.
                run("setxkbmap", "-layout", "us,ru", env=self.env)
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

    def windows(self, title):
        """The ids of every window with this title."""
        found = []
        for line in self.x("wmctrl", "-l", check=False).splitlines():
            parts = line.split(None, 3)
            if len(parts) == 4 and parts[3] == title:
                found.append(parts[0])
        return found

    def wait_new_window(self, title, known, timeout=30):
        """A window with this title that is none of `known`."""
        end = time.time() + timeout
        while time.time() < end:
            fresh = [w for w in self.windows(title) if w not in known]
            if fresh:
                return fresh[0]
            time.sleep(0.3)
        raise AssertionError("no new window titled %r" % title)

    def wait_gone(self, title, timeout=30):
        end = time.time() + timeout
        while time.time() < end:
            titles = [line.split(None, 3)[3:] for line in
                      self.x("wmctrl", "-l", check=False).splitlines()]
            if [title] not in titles:
                return
            time.sleep(0.3)
        raise AssertionError("the window %r is still there" % title)

    def close_window(self, title):
        # The window manager asks the window to close, as its close box does.
        self.x("wmctrl", "-c", title)
        self.wait_gone(title)

    def size(self, win):
        shell = self.x("xdotool", "getwindowgeometry", "--shell", win)
        values = dict(line.split("=", 1) for line in shell.split())
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def click(self, win, x, y):
        # x, y in the window's own pixels, from its top left corner.
        self.x("xdotool", "mousemove", "--window", win, str(x), str(y), "click", "1")

    def activate(self, title):
        win = self.wait_window(title)
        self.x("xdotool", "windowactivate", "--sync", win)
        return win

    def settled(self, timeout=5):
        """The screen once two grabs in a row are the same: the program has
        painted what its last events asked for (a blinking caret may cost a
        grab or two)."""
        last = None
        end = time.time() + timeout
        while time.time() < end:
            grab = subprocess.run(["import", "-window", "root", "rgb:-"], env=self.env,
                                  capture_output=True).stdout
            if grab and grab == last:
                return
            last = grab

    def screenshot(self, name):
        if KEEP:
            os.makedirs(KEEP, exist_ok=True)
            self.settled()
            self.x("import", "-window", "root", os.path.join(KEEP, name + ".png"), check=False)

    def shown_by(self, pid):
        """The ids of the program's mapped windows, its popups among them."""
        return set(self.x("xdotool", "search", "--onlyvisible", "--pid", str(pid),
                          check=False).split())


def line_of(cells):
    return "".join(c + "|" for c in cells)


def month_column(y, m, s):
    if y < 8:
        return 8 + 265 * y + 22 * (m - 1) + s
    return SEPARATORS + 1 + YEAR_BLOCK * (y - 8) + 22 * (m - 1) + s


def read_table(path, later_years=0):
    """The file's rows (index = column); every line holds 2513 fields and
    one block for each of later_years years after 2024."""
    with open(path, "rb") as f:
        data = f.read().decode("cp1251")
    assert data.endswith("\r\n"), "the file ends with CR LF"
    fields = SEPARATORS + YEAR_BLOCK * later_years
    rows = []
    for line in data[:-2].split("\r\n"):
        assert line.count("|") == fields, "a line holds %d separators" % line.count("|")
        rows.append([""] + line.split("|")[:fields])
    return rows


def write_table(path, rows):
    with open(path, "wb") as f:
        for cells in rows:
            f.write((line_of(cells[1:SEPARATORS + 1]) + "\r\n").encode("cp1251"))


def empty_row(number, name):
    cells = [""] * (SEPARATORS + 1)
    cells[1] = str(number)
    cells[2] = name
    cells[3] = str(number)
    return cells


def prepared_subscribers():
    """30 subscribers with 2019's previous T1 readings filled."""
    rows = []
    for r in range(1, 31):
        cells = empty_row(r, "Абонент %02d Ё. №." % r)
        for m in range(1, 13):
            cells[month_column(2, m, 2)] = str(10000 + r)
        rows.append(cells)
    return rows


def prepare(folder, config, rows, subscriber, year):
    """Writes the database and the settings the program starts with; returns
    the table as read back from the file."""
    db = os.path.join(folder, "Ostrevanka21.spb")
    write_table(db, rows)
    os.makedirs(os.path.join(config, "ostrevanka"), exist_ok=True)
    with open(os.path.join(config, "ostrevanka", "ostrevanka.ini"), "w", encoding="utf-8") as f:
        f.write("[Nastr]\nCmb0=%s\nCmb1=%s\n" % (subscriber, year))
    return read_table(db)


def settings_of(config):
    with open(os.path.join(config, "ostrevanka", "ostrevanka.ini"), encoding="utf-8") as f:
        return f.read()


def assert_cells(before, after, changed):
    """Every cell of the file as it was, but for changed[(row, column)]; rows
    past the prepared ones are compared with empty rows."""
    count = max([len(before)] + [r for r, _ in changed])
    assert len(after) == count, "%d subscribers, not %d" % (len(after), count)
    for r in range(1, count + 1):
        old = before[r - 1] if r <= len(before) else []
        for c in range(1, len(after[r - 1])):
            want = changed.get((r, c), old[c] if c < len(old) else "")
            got = after[r - 1][c]
            assert got == want, "row %d column %d holds %r, not %r" % (r, c, got, want)


def computed_charges(count, year_index, changed):
    # Showing a year computes slot 9 of every subscriber; with no tariffs
    # the charge is "0".
    for r in range(1, count + 1):
        for m in range(1, 13):
            changed.setdefault((r, month_column(year_index, m, 9)), "0")
    return changed


def start(display, folder, config):
    env = dict(display.env, XDG_CONFIG_HOME=config)
    return subprocess.Popen([os.path.join(folder, "ostrevanka")], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def close_main(display, proc):
    display.x("wmctrl", "-c", "Остреванка 2.1")
    proc.wait(timeout=30)
    assert proc.returncode == 0, "the program ended with %s" % proc.returncode


def px(twips):
    return (twips + 7) // 15


def click_main_button(display, win, index):
    """Clicks a button of the main window's bar: 2 is the directory, 4 the
    ledger. The bar is laid out in twips under the menu bar, and the client
    area under the menu bar has a fixed height."""
    _, height = display.size(win)
    menu = height - px(7920)
    left = px(120) + index * (px(630) + px(60))
    display.click(win, left + px(630) // 2, menu + px(15) + px(555) // 2)


# Left and width in twips of the main window's entry cells 0..8.
ENTRY_COLUMNS = [(975, 1035), (1995, 915), (2895, 975), (4695, 915), (5595, 975),
                 (7395, 735), (8115, 735), (8835, 900), (9705, 900)]


def click_main_cell(display, win, month, slot):
    _, height = display.size(win)
    menu = height - px(7920)
    left, width = ENTRY_COLUMNS[slot]
    top = 2745 + 300 * (month - 1)
    display.click(win, px(left) + px(width) // 2, menu + px(top) + px(315) // 2)


def wait_until(condition, what, timeout=15):
    """condition()'s first true value; fails naming `what` after timeout s."""
    end = time.time() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.time() > end:
            raise AssertionError(what)
        time.sleep(0.1)


def wait_for_file(path, check, timeout=15):
    end = time.time() + timeout
    while True:
        rows = read_table(path)
        if check(rows) or time.time() > end:
            return rows
        time.sleep(0.3)


def first_start(display, folder, config):
    proc = start(display, folder, config)
    question = display.wait_window("Создать новый файл бызы?")
    display.x("xdotool", "windowactivate", "--sync", question)
    display.x("xdotool", "key", "Return")  # Да is the default
    display.wait_window("Остреванка 2.1")
    display.screenshot("first-start")
    close_main(display, proc)
    assert "Cmb1=%s" % time.strftime("%Y") in settings_of(config), "a new base opens on this year"
    # One subscriber, empty but for the charges the start-up computed for
    # the shown year (slot 9: "0"); a later year's block of nothing else is
    # left out of the file.
    with open(os.path.join(folder, "Ostrevanka21.spb"), "rb") as f:
        lines = f.read().decode("cp1251").split("\r\n")
    assert len(lines) == 2 and lines[1] == "", "one subscriber"
    separators = lines[0].count("|")
    assert separators == SEPARATORS, "%d separators" % separators
    fields = [""] + lines[0].split("|")[:separators]
    year = int(time.strftime("%Y")) - 2017
    charges = {month_column(year, m, 9) for m in range(1, 13)}
    for c in range(1, len(fields)):
        allowed = {"1"} if c == 1 else {"0"} if c in charges else {""}
        assert fields[c] in allowed, "column %d holds %r" % (c, fields[c])


def typing_and_restart(display, folder, config):
    db = os.path.join(folder, "Ostrevanka21.spb")
    before = prepare(folder, config, prepared_subscribers(), "Абонент 05 Ё. №.", "2019")

    proc = start(display, folder, config)
    display.activate("Остреванка 2.1")
    # Keyboard only: the year and the subscriber selectors come first in
    # the tab order, then January's cells from the date on.
    display.x("xdotool", "key", "--delay", "80", "Tab", "Tab", "Tab")
    display.x("xdotool", "type", "--delay", "60", "10125.5")  # January T1 current
    display.x("xdotool", "key", "Tab", "Tab", "Tab", "Tab")  # to the tariff 1 cell
    display.x("xdotool", "type", "--delay", "60", "3.22")
    display.x("xdotool", "key", "Tab", "Tab")  # to the T1 coefficient
    display.x("xdotool", "type", "--delay", "60", "1")
    display.x("xdotool", "key", "Return")  # leaves it: store and compute
    # The close below reaches the program after the keys, so it needs no
    # wait; the screenshot waits for the paint.
    display.screenshot("typed")
    close_main(display, proc)

    after = read_table(db)
    changed = {(5, month_column(2, 1, 1)): "10125,5",
               (5, month_column(2, 1, 5)): "3,22",
               (5, month_column(2, 1, 7)): "1",
               (5, month_column(2, 1, 9)): "388,01"}
    assert_cells(before, after, computed_charges(30, 2, changed))

    # Restart: the same subscriber and year are kept in the settings and
    # the program opens on them without any question.
    assert "Cmb1=2019" in settings_of(config), settings_of(config)
    proc = start(display, folder, config)
    display.wait_window("Остреванка 2.1")
    display.screenshot("restart")
    close_main(display, proc)
    assert read_table(db) == after, "a restart without edits changes nothing"


def save_button_after_typing(display, folder, config):
    db = os.path.join(folder, "Ostrevanka21.spb")
    before = prepare(folder, config, prepared_subscribers(), "Абонент 05 Ё. №.", "2019")

    proc = start(display, folder, config)
    main = display.activate("Остреванка 2.1")
    # A first reading, tariff and coefficient, left with Return: stored, and
    # the save button is enabled.
    display.x("xdotool", "key", "--delay", "80", "Tab", "Tab", "Tab")
    display.x("xdotool", "type", "--delay", "60", "10125.5")
    display.x("xdotool", "key", "Tab", "Tab", "Tab", "Tab")
    display.x("xdotool", "type", "--delay", "60", "3.22")
    display.x("xdotool", "key", "Tab", "Tab")
    display.x("xdotool", "type", "--delay", "60", "1")
    display.x("xdotool", "key", "Return")
    # A new January reading typed, and "Сохранить" clicked while the cell is
    # still being edited: the file gets the reading and its charge.
    click_main_cell(display, main, 1, 1)
    display.x("xdotool", "key", "ctrl+a")
    display.x("xdotool", "type", "--delay", "60", "10200")
    click_main_button(display, main, 0)
    t1 = (5, month_column(2, 1, 1))
    after = wait_for_file(db, lambda rows: rows[t1[0] - 1][t1[1]] == "10200")
    display.screenshot("saved")
    # (10200 - 10005) kWh at 3,22 with the coefficient 1.
    changed = {t1: "10200",
               (5, month_column(2, 1, 5)): "3,22",
               (5, month_column(2, 1, 7)): "1",
               (5, month_column(2, 1, 9)): "627,9"}
    assert_cells(before, after, computed_charges(30, 2, changed))
    close_main(display, proc)
    assert read_table(db) == after, "closing after the save changes nothing"


def subscriber_list_while_editing(display, folder, config):
    """A reading typed, and the next subscriber picked from the opened list
    while the cell is still being edited: the reading stays with the first,
    and the window moves on to the second."""
    db = os.path.join(folder, "Ostrevanka21.spb")
    before = prepare(folder, config, prepared_subscribers(), "Абонент 05 Ё. №.", "2019")

    proc = start(display, folder, config)
    main = display.activate("Остреванка 2.1")
    click_main_cell(display, main, 1, 1)
    display.x("xdotool", "key", "ctrl+a")
    display.x("xdotool", "type", "--delay", "60", "10200")
    # The subscriber box's arrow; its list opens under it at the shown one.
    _, height = display.size(main)
    menu = height - px(7920)
    shown = display.shown_by(proc.pid)
    display.click(main, px(5310) + px(3495) - 8, menu + px(900) + px(315) // 2)
    wait_until(lambda: display.shown_by(proc.pid) - shown, "the subscriber list did not open")
    display.screenshot("subscriber-list")
    display.x("xdotool", "key", "--delay", "150", "Down", "Return")
    # A click while the list is still open would only close it.
    wait_until(lambda: display.shown_by(proc.pid) == shown, "the subscriber list did not close")
    click_main_button(display, main, 0)
    t1 = (5, month_column(2, 1, 1))
    after = wait_for_file(db, lambda rows: rows[t1[0] - 1][t1[1]] == "10200")
    assert_cells(before, after, computed_charges(30, 2, {t1: "10200"}))
    close_main(display, proc)
    assert "Cmb0=Абонент 06 Ё. №." in settings_of(config), settings_of(config)


def reading_of_2025(display, folder, config):
    """A file with nothing after 2024; a reading typed for January 2025 makes
    every line carry the 2025 block, the older columns where they were."""
    db = os.path.join(folder, "Ostrevanka21.spb")
    before = prepare(folder, config, prepared_subscribers(), "Абонент 05 Ё. №.", "2025")

    proc = start(display, folder, config)
    display.activate("Остреванка 2.1")
    display.x("xdotool", "key", "--delay", "80", "Tab", "Tab", "Tab")
    display.x("xdotool", "type", "--delay", "60", "10125")  # January T1 current
    display.x("xdotool", "key", "Tab", "Tab", "Tab", "Tab")
    display.x("xdotool", "type", "--delay", "60", "3.22")
    display.x("xdotool", "key", "Tab", "Tab")
    display.x("xdotool", "type", "--delay", "60", "1")
    display.x("xdotool", "key", "Return")
    display.screenshot("typed-2025")
    close_main(display, proc)

    after = read_table(db, later_years=1)
    changed = {(5, month_column(8, 1, 1)): "10125",
               (5, month_column(8, 1, 5)): "3,22",
               (5, month_column(8, 1, 7)): "1",
               (5, month_column(8, 1, 9)): "32602,5"}
    assert month_column(8, 1, 1) == 2515
    assert_cells(before, after, computed_charges(30, 8, changed))
    assert "Cmb1=2025" in settings_of(config), settings_of(config)


def directory_round_trip(display, folder, config):
    db = os.path.join(folder, "Ostrevanka21.spb")
    before = prepare(folder, config, prepared_subscribers(), "Абонент 05 Ё. №.", "2019")

    proc = start(display, folder, config)
    main = display.activate("Остреванка 2.1")
    click_main_button(display, main, 2)  # "Справочник": the main window closes
    directory = display.activate("Справочник абоненты")
    display.wait_gone("Остреванка 2.1")
    # The grid takes Tab for itself: click into the search box at the left
    # of the strip under the grid, then Tab past "Найти" and "сброс " to
    # "Добавить".
    _, height = display.size(directory)
    display.click(directory, 60, height - 26)
    display.x("xdotool", "key", "--delay", "80", "Tab", "Tab", "Tab", "space")

    display.activate("Добавление нового абонента")
    # The name box has the focus; Enter goes from box to box, and from the
    # last one to "Добавить", where it adds.
    display.x("xdotool", "type", "--delay", "60", "сидорова а. б.")  # proper case on leaving
    display.x("xdotool", "key", "Return")
    display.x("xdotool", "type", "--delay", "60", "31а")
    display.x("xdotool", "key", "Return", "Return")  # no telephone
    display.x("xdotool", "type", "--delay", "60", "Меркурий 201.5")
    display.x("xdotool", "key", "Return")
    display.x("xdotool", "type", "--delay", "60", " новый  ")  # trimmed when added
    display.x("xdotool", "key", "--delay", "80", "Return", "Return")
    display.screenshot("added")
    # Back in the emptied name box; "Добавить" is disabled again, so five
    # Tabs reach "Занести в базу", which commits, writes the file and closes.
    display.x("xdotool", "key", "--delay", "80", "Tab", "Tab", "Tab", "Tab", "Tab", "space")
    display.wait_gone("Добавление нового абонента")

    name = "Сидорова А. Б."
    new = {(31, 1): "31", (31, 2): name, (31, 3): "31а", (31, 5): "Меркурий 201.5",
           (31, 6): "новый"}
    # The closed main window stored the charges of its year before the
    # directory opened.
    assert_cells(before, read_table(db), computed_charges(30, 2, dict(new)))

    display.screenshot("directory")
    display.close_window("Справочник абоненты")
    # The main window comes back, loaded anew. Choosing the new name in its
    # subscriber list shows the new row: a reading typed there lands in
    # row 31, and subscriber 5, shown before, keeps his.
    display.activate("Остреванка 2.1")
    display.x("xdotool", "key", "Tab", "ctrl+a")
    display.x("xdotool", "type", "--delay", "60", name)
    display.x("xdotool", "key", "--delay", "80", "Return", "Tab", "Tab")
    display.x("xdotool", "type", "--delay", "60", "250")  # January T1 current
    display.x("xdotool", "key", "Return")
    display.screenshot("new-subscriber")
    close_main(display, proc)

    assert "Cmb0=%s" % name in settings_of(config), settings_of(config)
    new[(31, month_column(2, 1, 1))] = "250"
    assert_cells(before, read_table(db), computed_charges(31, 2, new))


def ledger_payment(display, folder, config):
    db = os.path.join(folder, "Ostrevanka21.spb")
    jan = lambda slot: month_column(2, 1, slot)  # January 2019
    feb = lambda slot: month_column(2, 2, slot)
    rows = [empty_row(1, "Иванов И. И."), empty_row(2, "Петров П. П."),
            empty_row(3, "Сидоров С. С.")]
    # Subscriber 1: 60 kWh of T2 at 2,5: a charge of 150.
    rows[0][jan(3)], rows[0][jan(4)], rows[0][jan(6)], rows[0][jan(8)] = "560", "500", "2,5", "1"
    # Subscriber 2: 100 kWh of T1 at 1: a charge of 100, with a debt of 15,5
    # brought in, 10 for the electrician and a prepayment balance of 7.
    rows[1][jan(1)], rows[1][jan(2)], rows[1][jan(5)], rows[1][jan(7)] = "1100", "1000", "1", "1"
    rows[1][jan(10)], rows[1][jan(13)], rows[1][jan(21)] = "15,5", "10", "7"
    before = prepare(folder, config, rows, "Петров П. П.", "2019")

    proc = start(display, folder, config)
    main = display.activate("Остреванка 2.1")
    click_main_button(display, main, 4)  # "Л. счет": writes the file, hides the main window
    ledger = display.activate("Лицевой счет")
    display.wait_gone("Остреванка 2.1")
    # January 2019, one row per subscriber. The grid's columns have fixed
    # widths; column 8 is "Внесено". Clicking a cell of it opens the editor.
    widths = [220, 78, 78, 78, 0, 78, 70, 84, 78, 0, 70, 84, 84, 0]
    grid_left, grid_top, row_height = 8, 58 + 2 * 34, 19
    row = 1  # subscriber 2
    display.click(ledger, grid_left + sum(widths[:8]) + widths[8] // 2,
                  grid_top + row * row_height + row_height // 2)
    display.x("xdotool", "type", "--delay", "60", "150.5")
    # Enter takes the payment and opens the editor on the next row; Esc
    # leaves that one unchanged.
    display.x("xdotool", "key", "--delay", "80", "Return", "Escape")
    display.screenshot("ledger")
    display.close_window("Лицевой счет")  # writes the file
    display.wait_window("Остреванка 2.1")

    # What the ledger stores of January: every loaded cell in its money form,
    # the total due (slot 15), the payment (16), the closing debt (19) or
    # credit (20); February opens with January's closing balance (10, 11)
    # and its prepayment balance (21).
    changed = {
        (1, jan(9)): "150,00", (1, jan(15)): "150,00", (1, jan(19)): "150,00",
        (1, feb(10)): "150,00",
        # 100 + 10 + 15,5 = 125,5 due, 150,5 paid: 25 paid in advance.
        (2, jan(9)): "100,00", (2, jan(10)): "15,50", (2, jan(13)): "10,00",
        (2, jan(15)): "125,50", (2, jan(16)): "150,50", (2, jan(20)): "25,00",
        (2, feb(11)): "25,00", (2, feb(21)): "7",
        (3, jan(9)): "0,00",
    }
    computed_charges(3, 2, changed)
    assert_cells(before, read_table(db), changed)
    close_main(display, proc)
    assert_cells(before, read_table(db), changed)


def statement_document(number, amount, payer, purpose, day):
    return ["СекцияДокумент=Платежное поручение", "Номер=%d" % number, "Дата=" + day,
            "Сумма=" + amount, "ПлательщикСчет=4081781000000000%04d" % number,
            "Плательщик=" + payer, "Плательщик1=" + payer,
            "ПолучательСчет=40703810900000000001", "ДатаПоступило=" + day,
            "Получатель=СНТ \"ОСТРОВ\"", "НазначениеПлатежа=" + purpose, "КонецДокумента"]


def bank_statement(display, folder, config):
    """A bank statement loaded through the main window's menu and the file
    dialog; "Записать в лицевые счета" writes its payments into the ledger of
    the month they came in, and the file holds them."""
    db = os.path.join(folder, "Ostrevanka21.spb")
    year = int(time.strftime("%Y"))  # a year the program offers, whatever the clock
    y = year - 2017
    day = "14.03.%d" % year
    rows = [empty_row(1, "Иванов И. И."), empty_row(2, "Петров П. П."),
            empty_row(3, "Сидоров С. С.")]
    prepare(folder, config, rows, "Иванов И. И.", str(year))
    lines = ["1CClientBankExchange", "ВерсияФормата=1.03", "Кодировка=Windows",
             "ДатаНачала=01.03.%d" % year, "ДатаКонца=31.03.%d" % year,
             "РасчСчет=40703810900000000001"]
    lines += statement_document(1, "1500.00", "ИВАНОВ ИВАН ИВАНОВИЧ",
                                "Оплата электроэнергии уч. 1 за февраль", day)
    lines += statement_document(2, "250.50", "ПЕТРОВ ПЕТР ПЕТРОВИЧ",
                                "Электроэнергия, участок 2", day)
    lines += statement_document(3, "300.00", "КУЗНЕЦОВ КУЗЬМА КУЗЬМИЧ", "Перевод", day)
    lines.append("КонецФайла")
    statement = os.path.join(folder, "statement.txt")
    with open(statement, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1251"))

    proc = start(display, folder, config)
    main = display.activate("Остреванка 2.1")
    # The menu bar: "Справочник" opened by a click, Right to "Инструменты"
    # (its first item active), Up twice past the last item, "Проверка
    # показаний...", to the one above it.
    _, height = display.size(main)
    display.click(main, 20, (height - px(7920)) // 2)
    display.x("xdotool", "key", "--delay", "150", "Right", "Up", "Up", "Return")
    dialog = display.activate("Загрузить выписку банка")
    display.x("xdotool", "type", "--delay", "40", statement)
    display.screenshot("statement-file")
    # A completion list may take the first Return.
    for _ in range(3):
        if display.windows("Платежи из выписки"):
            break
        if display.windows("Загрузить выписку банка"):
            display.x("xdotool", "windowactivate", "--sync", dialog, "key", "Return")
        time.sleep(1)
    display.activate("Платежи из выписки")
    display.screenshot("statement-review")
    display.x("xdotool", "key", "Return")  # "Записать в лицевые счета" is the default
    display.activate("Выписка банка")
    display.x("xdotool", "key", "Return")
    display.wait_gone("Выписка банка")
    close_main(display, proc)

    after = read_table(db, later_years=y - 7)
    paid = lambda row, m: after[row - 1][month_column(y, m, 16)]
    close_credit = lambda row, m: after[row - 1][month_column(y, m, 20)]
    assert paid(1, 3) == "1500,00", paid(1, 3)
    assert paid(2, 3) == "250,50", paid(2, 3)
    assert paid(3, 3) == "", "the payment found nobody: not written"
    # The month cycle has carried the payments on to December.
    assert close_credit(1, 3) == "1500,00" and close_credit(1, 12) == "1500,00"
    assert close_credit(2, 12) == "250,50"
    assert [r[2] for r in after] == ["Иванов И. И.", "Петров П. П.", "Сидоров С. С."]
    assert os.listdir(os.path.join(folder, "backups")), "the day's safety copy came first"
    # The journal beside the database holds the two payments written, so the
    # same statement is never written twice.
    with open(os.path.splitext(db)[0] + ".pay", encoding="utf-8") as f:
        journal = [line.rstrip("\n").split("\t") for line in f]
    assert [(j[3], j[6], j[7], j[8], j[9]) for j in journal] == [
        ("1500,00", "1", "Иванов И. И.", "3", str(year)),
        ("250,50", "2", "Петров П. П.", "3", str(year)),
    ], journal


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def second_program_refused(display, folder, config):
    """Two programs on one database: the second says so, ends and changes
    nothing; the first works on and takes the day's safety copy."""
    db = os.path.join(folder, "Ostrevanka21.spb")
    lock = db + ".lock"
    backups = os.path.join(folder, "backups")
    prepare(folder, config, prepared_subscribers(), "Абонент 05 Ё. №.", "2019")
    original = read_bytes(db)

    first = start(display, folder, config)
    main = display.wait_window("Остреванка 2.1")
    assert os.path.exists(lock), "the running program holds the lock"
    second = start(display, folder, config)
    # The refusal carries the program's title too.
    box = display.wait_new_window("Остреванка 2.1", [main])
    display.screenshot("second-program")
    display.x("xdotool", "windowactivate", "--sync", box)
    display.x("xdotool", "key", "Return")
    second.wait(timeout=30)
    assert second.returncode == 1, "the second program ended with %s" % second.returncode
    assert first.poll() is None, "the first program still runs"
    assert read_bytes(db) == original, "the second program changed the database"
    assert not os.path.exists(backups), "the second program wrote a safety copy"
    assert os.path.exists(lock), "the lock stays with the first program"

    close_main(display, first)
    assert not os.path.exists(lock), "the lock is released at the end"
    copies = os.listdir(backups)
    today = "Ostrevanka21-%s.spb" % time.strftime("%Y-%m-%d")
    assert copies == [today], copies
    assert read_bytes(os.path.join(backups, today)) == original, "the copy is the day's first file"


def stale_lock_taken_over(display, folder, config):
    """A program killed outright leaves its lock behind; the next start takes
    it over without asking."""
    db = os.path.join(folder, "Ostrevanka21.spb")
    lock = db + ".lock"
    prepare(folder, config, prepared_subscribers(), "Абонент 05 Ё. №.", "2019")

    killed = start(display, folder, config)
    display.wait_window("Остреванка 2.1")
    killed.kill()
    killed.wait(timeout=30)
    display.wait_gone("Остреванка 2.1")
    assert os.path.exists(lock), "a killed program leaves its lock"

    proc = start(display, folder, config)
    # The lock is answered before the main window is shown: a question would
    # have come first and kept the window from showing until answered.
    main = display.wait_window("Остреванка 2.1")
    assert display.windows("Остреванка 2.1") == [main], "no refusal, only the main window"
    close_main(display, proc)
    assert not os.path.exists(lock), "the lock is released at the end"


SCENARIOS = (first_start, typing_and_restart, save_button_after_typing,
             subscriber_list_while_editing, reading_of_2025,
             directory_round_trip, ledger_payment, bank_statement, second_program_refused,
             stale_lock_taken_over)


def main():
    display = Display()
    ok = False
    try:
        for scenario in SCENARIOS:
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
    print("%d passed, 0 failed" % len(SCENARIOS) if ok else "")


if __name__ == "__main__":  # the package test borrows Display
    main()
