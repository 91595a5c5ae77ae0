#!/usr/bin/env python3
"""The window of the simulated wheel seen through the real accessibility bus
(AT-SPI), as a screen reader sees it: every control that takes the focus has
a name, LED B1 is found by its name and tells its colour, the RGB page is
opened and its "Save Setting" pressed through the Action interface, the
"Success" box appears and the wheel has stored the colours.

Run under a display and a D-Bus session of its own:
    xvfb-run -a dbus-run-session -- python3 window_through_atspi.py PROGRAM
Exit status 77 (skipped) where pyatspi is missing or the bus cannot start."""

import os
import re
import subprocess
import sys
import tempfile
import time

SKIPPED = 77


def skip(why):
    print("SKIP: " + why)
    sys.exit(SKIPPED)


try:
    import pyatspi
except ImportError:
    skip("pyatspi is not installed (Debian: python3-pyatspi)")


def wait_for(what, find, seconds=20):
    """What find() returns once it is not None; fails after `seconds`."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    sys.exit("FAIL: no " + what + " after %d s" % seconds)


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find(root, name, role=None):
    for node in walk(root):
        if node.name == name and (role is None or node.getRoleName() == role):
            return node
    return None


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


def main():
    program = sys.argv[1]
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        desktop.childCount
    except Exception as error:  # the bus did not start: nothing to ask
        skip("the accessibility bus cannot start here: %s" % error)

    state = tempfile.TemporaryDirectory()
    wheel_state = os.path.join(state.name, "wheel.state")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
               VORLA_SIM_STATE=wheel_state)
    window = subprocess.Popen([program], env=env)
    try:
        name = os.path.basename(program)
        app = wait_for("application " + name + " on the bus",
                       lambda: next((a for a in desktop if a is not None and a.name == name), None))

        # The start-up read is done once B1 tells a colour.
        led = wait_for("LED B1 with its colour", lambda: (lambda n: n if n is not None
                       and re.search("#[0-9A-F]{6}", n.description) else None)(find(app, "LED B1")))
        print("LED B1: %s, %s, %r" % (led.getRoleName(), led.name, led.description))
        if led.description != "Colour #007EFF":
            sys.exit("FAIL: LED B1 says %r, the simulated wheel has #007EFF" % led.description)

        focusable = [n for n in walk(app) if n.getState().contains(pyatspi.STATE_FOCUSABLE)]
        unnamed = [n.getRoleName() for n in focusable if not n.name]
        print("focusable controls: %d, without a name: %d" % (len(focusable), len(unnamed)))
        if unnamed or len(focusable) != 31:
            sys.exit("FAIL: unnamed focusable controls: %s" % unnamed)

        rgb = find(app, "RGB")
        press(rgb)
        wait_for("RGB page shown", lambda: True if rgb.getState().contains(pyatspi.STATE_CHECKED) else None)
        save = next(n for n in walk(led.parent) if n.name == "Save Setting")
        press(save)
        box = wait_for("\"Success\" box", lambda: find(app, "Success"))
        print("box: %s %r" % (box.getRoleName(), box.name))
        if find(box, "LED colors saved.") is None:
            sys.exit("FAIL: the box does not say \"LED colors saved.\"")
        if not os.path.exists(wheel_state):
            sys.exit("FAIL: the simulated wheel stored nothing")
        press(find(box, "OK", "push button"))
        wait_for("box closed", lambda: None if find(app, "Success") is not None else True)
        press(find(app, "Close", "push button"))
        window.wait(timeout=10)
        if window.returncode != 0:
            sys.exit("FAIL: the program ended with %d" % window.returncode)
        print("PASS")
    finally:
        if window.poll() is None:
            window.kill()
            window.wait()


if __name__ == "__main__":
    main()
