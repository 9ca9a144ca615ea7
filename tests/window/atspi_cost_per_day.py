#!/usr/bin/python3
# The cost per day as a screen reader finds it: starts the real program on a new logbook under an
# X server with the accessibility bridge on and reads the AT-SPI tree. Run inside
# dbus-run-session -- xvfb-run -a: atspi_cost_per_day.py <odomira> <odomira-db>
# Exit 0: the label in the frame "Kosten pro Tag" reads "3,9766 €"; 1: it does not; 77: no AT-SPI.
import os
import subprocess
import sys
import tempfile
import time

EXPECTED = "3,9766 €"  # 250,00 tax and 1201,45 insurance a year, the creator's defaults


def children(node):
    return [child for child in map(node.getChildAtIndex, range(node.childCount)) if child is not None]


def nodes(node, depth=0):
    yield node
    for child in children(node) if depth < 40 else []:
        yield from nodes(child, depth + 1)


def labels_in_frame(pyatspi):
    for app in children(pyatspi.Registry.getDesktop(0)):
        if (app.name or "").lower() == "odomira":
            return [node.name for node in nodes(app) if node.getRoleName() == "label"
                    and node.parent is not None and node.parent.name == "Kosten pro Tag"]
    return []


def main(program, creator):
    try:
        import pyatspi
    except ImportError:
        print("SKIP: pyatspi is not installed (python3-pyatspi)")
        return 77
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([creator, os.path.join(folder, "odomira.mdb")], check=True, stdout=subprocess.DEVNULL)
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                           QT_ACCESSIBILITY="1")
        window = subprocess.Popen([program], cwd=folder, env=environment)
        try:
            # The tree fills as the window shows; look until the frame and its label are there.
            deadline = time.monotonic() + 90
            while not (found := labels_in_frame(pyatspi)) and time.monotonic() < deadline:
                time.sleep(0.5)
            print("labels in the frame \"Kosten pro Tag\":", found)
            return 0 if found == [EXPECTED] else 1
        finally:
            window.terminate()
            try:
                window.wait(10)
            except subprocess.TimeoutExpired:
                window.kill()
                window.wait()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
