#!/usr/bin/env python3
"""The simulated wheel's window through the real AT-SPI bus, as a screen reader
meets it: no focusable control without a name, LED B1 found by its name with
its colour, every page chosen through its sidebar tab's action (then that tab
alone checked and selected, and only that page's own controls showing), and
on the RGB page "Save Setting" pressed through its action, the "Success" box
shown and the colours stored. Run as
    xvfb-run -a dbus-run-session -- python3 window_through_atspi.py PROGRAM
Where pyatspi is missing or the bus cannot start: exit status 77 (skipped),
saying why; under CI=true, where scripts/run-tests.sh installed both, a failure."""
import os, subprocess, sys, tempfile, time


def missing(what):
    if os.environ.get("CI") == "true":
        sys.exit("FAIL: %s, and CI=true: scripts/run-tests.sh installs python3-pyatspi and at-spi2-core" % what)
    print("SKIP: " + what)
    sys.exit(77)


try:
    from gi.repository import Gio
except ImportError as error:
    missing("GObject introspection cannot be imported (%s)" % error)
try:
    # libatspi aborts the process where there is no bus: ask D-Bus first.
    Gio.bus_get_sync(Gio.BusType.SESSION).call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                                    None, None, Gio.DBusCallFlags.NONE, 10000)
except Exception as error:
    missing("no accessibility bus here (%s)" % error)
try:
    import pyatspi
except ImportError as error:
    missing("pyatspi cannot be imported (%s)" % error)
desktop = pyatspi.Registry.getDesktop(0)


def wait_for(what, find):
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    sys.exit("FAIL: no " + (what() if callable(what) else what))


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def find(root, name, role="push button"):
    return next((n for n in walk(root) if n.name == name and n.getRoleName() == role), None)


def press(node):
    node.queryAction().doAction(0)


# The sidebar's tabs, and a control each page shows of its own (the INPUTS
# page shows only a picture that says nothing).
PAGES = {"INPUTS": None, "RGB": ("LED B1", "push button"), "PADDLES": ("BITE POINT", "slider"),
         "DEVICE": ("Upgrade", "push button"), "ABOUT": ("Firmware Version:1.0.3", "label")}


def tab(app, page):
    """The sidebar's button for `page`, whatever its role (checked last)."""
    return next(n for n in walk(app) if n.name == page and n.getRoleName() != "label")


def perceived(app):
    """The tabs checked, the tabs selected and the pages whose own control shows."""
    tabs = [tab(app, name) for name in PAGES]
    return ([t.name for t in tabs if t.getState().contains(pyatspi.STATE_CHECKED)],
            [t.name for t in tabs if t.getState().contains(pyatspi.STATE_SELECTED)],
            [name for name, own in PAGES.items() if own and find(app, *own).getState().contains(pyatspi.STATE_SHOWING)])


def chosen(page):
    return ([page], [page], [page] if PAGES[page] else [])


state = tempfile.TemporaryDirectory()
stored = os.path.join(state.name, "wheel.state")
window = subprocess.Popen([sys.argv[1]], env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                                  QT_QPA_PLATFORM="xcb", VORLA_SIM_STATE=stored))
try:
    app = wait_for("program on the bus", lambda: next((a for a in desktop if a and a.name == os.path.basename(sys.argv[1])), None))
    led = wait_for("LED B1 with a colour", lambda: (lambda n: n if n and "#" in n.description else None)(find(app, "LED B1")))
    print("LED B1 says %r" % led.description)
    assert led.description == "Colour #007EFF", "the simulated wheel starts with B1 #007EFF"
    focusable = [n for n in walk(app) if n.getState().contains(pyatspi.STATE_FOCUSABLE)]
    print("%d focusable controls, without a name: %s" % (len(focusable), [n.getRoleName() for n in focusable if not n.name]))
    assert len(focusable) == 31 and all(n.name for n in focusable)
    assert find(app, "The wheel is disconnected. Waiting for it to be plugged in again ...", "alert")

    # Each page as a user perceives it once chosen: its tab alone checked and
    # selected, and of the pages' own controls only its own showing.
    assert perceived(app) == chosen("INPUTS"), perceived(app)
    for page in ["DEVICE", "RGB", "PADDLES", "ABOUT", "INPUTS", "INPUTS", "RGB"]:
        press(tab(app, page))
        wait_for(lambda: "page %s chosen (checked, selected, showing: %s)" % (page, perceived(app)),
                 lambda: perceived(app) == chosen(page))
    assert all(find(app, name, "page tab") for name in PAGES), "the sidebar's buttons are no page tabs"
    press(find(led.parent, "Save Setting"))
    box = wait_for("\"Success\" box", lambda: find(app, "Success", "alert"))
    assert find(box, "LED colors saved.", "label") and os.path.exists(stored)
    press(find(box, "OK"))
    wait_for("box closed", lambda: not find(app, "Success", "alert"))
    press(find(app, "Close"))
    assert window.wait(timeout=10) == 0
    print("PASS")
finally:
    if window.poll() is None:
        window.kill()
