#!/usr/bin/python3
"""The cost per day as a screen reader finds it: starts the real program on a new logbook
under an X server with the accessibility bridge on, and reads the AT-SPI tree.

Usage: atspi_cost_per_day.py <odomira> <odomira-db>
Run inside a D-Bus session and an X server (dbus-run-session -- xvfb-run -a ...).
Exit 0: the label under "Kosten pro Tag" reads "3,9766 €"; 1: it does not; 77: no AT-SPI here.
"""
import os
import subprocess
import sys
import tempfile
import time

SKIP = 77
EXPECTED = "3,9766 €"  # 250,00 tax and 1201,45 insurance a year, the creator's defaults


def find_application(pyatspi, deadline):
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and (app.name or "").lower() == "odomira":
                return app
        time.sleep(0.5)
    return None


def walk(node, depth=0):
    yield node, depth
    if depth > 40:
        return
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child, depth + 1)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    program, creator = sys.argv[1:]
    try:
        import pyatspi
    except ImportError:
        print("SKIP: pyatspi is not installed (python3-pyatspi)")
        return SKIP

    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([creator, os.path.join(folder, "odomira.mdb")], check=True, stdout=subprocess.DEVNULL)
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                           QT_ACCESSIBILITY="1")
        window = subprocess.Popen([program], cwd=folder, env=environment)
        try:
            app = find_application(pyatspi, time.monotonic() + 60)
            if app is None:
                print("FAIL: the program never appeared in the AT-SPI tree")
                return 1
            # The tree fills as the window shows; look until the frame and its label are there.
            deadline = time.monotonic() + 30
            found = []
            while time.monotonic() < deadline:
                found = []
                for node, _ in walk(app):
                    if node.getRoleName() == "label":
                        parent = node.parent
                        if parent is not None and parent.name == "Kosten pro Tag":
                            found.append(node.name)
                if found:
                    break
                time.sleep(0.5)
            print("labels in the frame \"Kosten pro Tag\":", found)
            if found != [EXPECTED]:
                print("FAIL: expected", [EXPECTED])
                return 1
            print("PASS")
            return 0
        finally:
            window.terminate()
            try:
                window.wait(10)
            except subprocess.TimeoutExpired:
                window.kill()
                window.wait()


if __name__ == "__main__":
    sys.exit(main())
