#!/usr/bin/python3
"""What a screen reader finds in the main window, read over AT-SPI.

Run on a session bus of its own (dbus-run-session); starts an X server of its own (Xvfb, on a display
it picks itself, so that parallel runs never meet), then Orvella from a program folder of its own with one
reminder in the shown month, and reads the month grid the way a screen reader does. Arguments: the
orvella and orvella-cli executables.
"""

import calendar
import datetime
import os
import shutil
import subprocess
import sys
import tempfile
import time

pyatspi = None  # imported once the X server is up

ATTEMPTS = 150  # of 0.2 s: the program under the sanitizers starts slowly


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_for(what, find):
    for _ in range(ATTEMPTS):
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    fail("no " + what)


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find_application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Orvella":
            return app
    return None


def find_month_table(app):
    for node in descendants(app):
        if node.getRole() == pyatspi.ROLE_TABLE:
            return node
    return None


def screen_reader_view(table):
    """The grid's header names, day cell names and the selected cell's name."""
    headers, days, selected = [], [], []
    for i in range(table.childCount):
        cell = table.getChildAtIndex(i)
        role = cell.getRole()
        if role == pyatspi.ROLE_TABLE_COLUMN_HEADER:
            headers.append(cell.name)
        elif role == pyatspi.ROLE_TABLE_CELL and cell.name:
            days.append(cell.name)
            if cell.getState().contains(pyatspi.STATE_SELECTED):
                selected.append(cell.name)
    return headers, days, selected


def month_names(year, month, marked_day):
    names = []
    for day in range(1, calendar.monthrange(year, month)[1] + 1):
        date = datetime.date(year, month, day)
        name = "%s %d %s %d" % (calendar.day_name[date.weekday()], day, calendar.month_name[month], year)
        names.append(name + (", reminders" if day == marked_day else ""))
    return names


def start_x_server():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                              pass_fds=(write,), stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        display = f.readline().strip()
    if not display:
        fail("the X server did not start")
    os.environ["DISPLAY"] = ":" + display
    return server


def main():
    global pyatspi
    orvella, cli = sys.argv[1], sys.argv[2]
    folder = tempfile.mkdtemp(prefix="orvella-atspi-")
    program = None
    x_server = start_x_server()
    import pyatspi as atspi
    pyatspi = atspi
    try:
        # The executable's folder is the program folder: a copy of its own, with one calendar.
        shutil.copy(orvella, folder)
        with open(os.path.join(folder, "CalUsers.DAT"), "wb") as f:
            f.write(b"Ann\r\n")
        today = datetime.date.today()
        marked = 1 if today.day != 1 else 2
        subprocess.run([cli, "--folder", folder, "set", today.replace(day=marked).isoformat(), "Dentist"],
                       check=True)

        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        program = subprocess.Popen([os.path.join(folder, os.path.basename(orvella))], env=env)
        app = wait_for("Orvella on the accessibility bus", find_application)
        table = wait_for("month grid", lambda: find_month_table(app))

        expected_title = "%s %d" % (calendar.month_name[today.month], today.year)
        wait_for("grid named " + expected_title, lambda: table if table.name == expected_title else None)
        headers, days, selected = screen_reader_view(table)
        # The main window starts its weeks on Sunday.
        if headers != ["Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"]:
            fail("header cells read %r" % headers)
        expected = month_names(today.year, today.month, marked)
        if days != expected:
            fail("day cells read %r, expected %r" % (days, expected))
        today_name = expected[today.day - 1]
        if selected != [today_name]:
            fail("selected cells %r, expected today, %r" % (selected, today_name))

        # Pressing another day selects it, and the screen reader hears of it.
        other = 3 if today.day != 3 else 4
        table.getChildAtIndex(7 + days.index(expected[other - 1]) + first_offset(table)).queryAction().doAction(0)
        wait_for("the pressed day selected",
                 lambda: True if screen_reader_view(table)[2] == [expected[other - 1]] else None)

        # Every control in sight has a name, the glyph-only buttons too.
        controls = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_CHECK_BOX)
        nameless = [n.getRoleName() for n in descendants(app)
                    if n.getRole() in controls and n.getState().contains(pyatspi.STATE_SHOWING) and not n.name]
        if nameless:
            fail("controls without a name: %r" % nameless)

        # The next month: the grid and every cell get their new names (no reminder there).
        buttons = [n for n in descendants(app) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == "Next month"]
        if len(buttons) != 1:
            fail("%d buttons named Next month" % len(buttons))
        buttons[0].queryAction().doAction(0)
        year, month = (today.year + 1, 1) if today.month == 12 else (today.year, today.month + 1)
        next_title = "%s %d" % (calendar.month_name[month], year)
        wait_for("the grid showing " + next_title, lambda: True if table.name == next_title else None)
        if screen_reader_view(table)[1] != month_names(year, month, 0):
            fail("in %s the day cells read %r" % (next_title, screen_reader_view(table)[1]))
        print("PASS: %d days of %s, %s selected, then %s" % (len(days), expected_title, expected[other - 1],
                                                            next_title))
    finally:
        if program is not None:
            program.terminate()
            try:
                program.wait(timeout=20)
            except subprocess.TimeoutExpired:
                program.kill()
        shutil.rmtree(folder, ignore_errors=True)
        x_server.terminate()
        x_server.wait()


def first_offset(table):
    """Child index of the 1st among the day cells (the empty cells before it)."""
    for i in range(7, table.childCount):
        if table.getChildAtIndex(i).name:
            return i - 7
    fail("no day cells")


if __name__ == "__main__":
    main()
