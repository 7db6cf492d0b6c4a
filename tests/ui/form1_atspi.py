# SPDX-License-Identifier: MIT
"""The calculator as a screen reader sees it, through the desktop's accessibility bus (AT-SPI):
what each control is called, and the report read out of the result pane after "Calculate RF".

Run as: form1_atspi.py <the program>, inside a D-Bus session (which starts the AT-SPI bus and
registry on demand) and on an X server.
"""
import os
import subprocess
import sys
import time
import unittest
import warnings

import pyatspi
from gi.repository import GLib

# pyatspi wraps calls that libatspi has since renamed, and warns at each one.
warnings.filterwarnings("ignore", category=DeprecationWarning)

PROGRAM = sys.argv.pop(1)

# The controls in the order of the tree, with their roles; labels and option buttons, which are
# named by their own captions, are left out.
EXPECTED = [
    ("panel", "Reference Setting"),
    ("text", "Crystal Frequency (Hz)"),
    ("panel", "RF Setting"),
    ("text", "RF Ref low (Hz)"),
    ("text", "RF Ref high (Hz)"),
    ("text", "RF Freq (MHz)"),
    ("text", "RF Max Error (Hz)"),
    ("text", "RF Nr of match"),
    ("panel", "Charge Pump Current"),
    ("panel", "Prescaler"),
    ("panel", "Phase Polarity"),
    ("panel", "3-state"),
    ("panel", "Power"),
    ("push button", "Calculate RF"),
    ("panel", "IF Setting"),
    ("text", "IF Ref low (Hz)"),
    ("text", "IF Ref high (Hz)"),
    ("text", "IF Freq (MHz)"),
    ("text", "IF Max Error (Hz)"),
    ("text", "IF Nr of match"),
    ("panel", "Charge Pump Current"),
    ("panel", "Prescaler"),
    ("panel", "Phase Polarity"),
    ("panel", "3-state"),
    ("panel", "Power"),
    ("push button", "Calculate IF"),
    ("text", "Report"),
    ("panel", "Output FoLD"),
    ("progress bar", "Progress"),
]

FIRST_ROW = "168\t\t 100000 Hz\t1000\t\t 0 Hz        \t0202A2\t003E23\n"


def pump(seconds, until):
    """Handles the bus's events for up to `seconds`, until `until()` holds."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while not until() and time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)
    return until()


def walk(node):
    yield node
    for index in range(node.childCount):
        yield from walk(node.getChildAtIndex(index))


class TestForm1AtSpi(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           QT_QPA_PLATFORM="xcb")
        cls.program = subprocess.Popen([PROGRAM], env=environment)
        desktop = pyatspi.Registry.getDesktop(0)
        name = os.path.basename(PROGRAM)

        def find():
            cls.app = next((app for app in desktop if app is not None and app.name == name),
                           None)
            return cls.app is not None

        if not pump(30, find):
            cls.program.kill()
            raise RuntimeError(f"{name} did not show up on the accessibility bus")
        cls.nodes = list(walk(cls.app))

    @classmethod
    def tearDownClass(cls):
        cls.program.terminate()
        cls.program.wait(10)

    def node(self, role, name):
        return next(n for n in self.nodes if (n.getRoleName(), n.name) == (role, name))

    def test_controls_are_named_by_their_captions(self):
        named = [(n.getRoleName(), n.name) for n in self.nodes
                 if n.getRoleName() in ("panel", "text", "push button", "progress bar")]
        self.assertEqual(named, EXPECTED)
        self.assertEqual([n.getRoleName() for n in self.nodes if n.getRoleName() == "filler"],
                         ["filler"], "only the window itself may be a nameless filler")

    def test_report_is_read_after_a_run(self):
        pane = self.node("text", "Report")
        states = pane.getState()
        self.assertTrue(states.contains(pyatspi.STATE_READ_ONLY))
        self.assertTrue(states.contains(pyatspi.STATE_MULTI_LINE))
        self.assertFalse(states.contains(pyatspi.STATE_EDITABLE))

        inserted = []

        def on_insert(event):
            if event.source.name == "Report":
                inserted.append(event.any_data)

        pyatspi.Registry.registerEventListener(on_insert, "object:text-changed:insert")
        try:
            button = self.node("push button", "Calculate RF").queryAction()
            button.doAction(0)
            reader = pane.queryText()
            self.assertTrue(pump(30, lambda: "Over and Out" in reader.getText(0, -1)),
                            "the report did not reach the pane")
            self.assertTrue(pump(10, lambda: "Over and Out" in "".join(inserted)),
                            "no text-changed event brought the end of the report")
        finally:
            pyatspi.Registry.deregisterEventListener(on_insert, "object:text-changed:insert")

        text = reader.getText(0, -1)
        self.assertEqual(reader.characterCount, len(text))
        self.assertNotIn("\r", text)
        self.assertIn(FIRST_ROW, "".join(inserted))
        row = text.index(FIRST_ROW)
        self.assertEqual(reader.getTextAtOffset(row + 5, pyatspi.TEXT_BOUNDARY_LINE_START),
                         (FIRST_ROW, row, row + len(FIRST_ROW)))

        reader.setCaretOffset(row)
        self.assertEqual(reader.caretOffset, row)
        reader.addSelection(row, row + 3)
        self.assertEqual(reader.getSelection(0), (row, row + 3))


if __name__ == "__main__":
    unittest.main()
