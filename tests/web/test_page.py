# SPDX-License-Identifier: MIT
"""The one-file page in headless Chromium, offline from disk: the reports it writes, its error
boxes, a box edited during a run, both WebAssembly builds, what the result pane does with the
user's clicks, keys, wheel and drags, phones, tablets and a zoomed screen, the contrast of its
controls, and what an accessibility audit says.

Run as: test_page.py <lmx2330a-calc-test.html> [unittest options]
The test page: one test sets its report-size cap through the test page's hook.
"""
import sys
import time
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from page_driver import FOOTER, HERE, SCENARIOS, SPARSE_MATCHES, Page, expected_report

PAGE_FILE = sys.argv.pop(1)
CORES = ("plain", "simd")
# Nearly three hundred thousand dividers, every one a match (max error 1e9) with its row listed:
# N from 4097 to 120000 splits for the 64/65 prescaler with A <= B and B <= 2047.
EVERY_ROW = ({"Text8": "6.72e6", "Text6": "56", "Text7": "1640", "Text9": "1e9"}, ["Option4"])
# Phones and a tablet (overlay scroll bars), a 1024-px screen at 200 % zoom and a narrow window.
VIEWS = [(320, 640, 3, True), (360, 740, 3, True), (390, 844, 3, True), (844, 390, 3, True),
         (768, 1024, 2, True), (512, 384, 2, False), (600, 900, 1, False)]
OVERFLOW_MESSAGE = ("N-counter overflow (B-reg > 2047), Increase Ref low or change Prescaler to "
                    "64! ")


# The rows wholly in the result pane's view, top to bottom: each one's text (TABs and all, as
# assistive technology reads it) and a point at its left end.
ROWS_IN_VIEW = """(() => { const pane = document.getElementById('RichTextBox1');
    const view = pane.getBoundingClientRect();
    return [...pane.querySelectorAll('.row')].map(row => [row, row.getBoundingClientRect()])
        .filter(([, r]) => r.top >= view.top && r.bottom <= view.top + pane.clientHeight)
        .sort(([, a], [, b]) => a.top - b.top)
        .map(([row, r]) => [row.textContent, view.left + 6, (r.top + r.bottom) / 2]); })()"""


# The rows wholly in the result pane's view, top to bottom: each cell's left, and where the text
# of each cell before a TAB ends; and the text of the first row's cells that show.
CELLS_IN_VIEW = """(() => { const pane = document.getElementById('RichTextBox1');
    const view = pane.getBoundingClientRect();
    const range = document.createRange();
    return [...pane.querySelectorAll('.row')].map(row => [row, row.getBoundingClientRect()])
        .filter(([, r]) => r.top >= view.top && r.bottom <= view.top + pane.clientHeight)
        .sort(([, a], [, b]) => a.top - b.top).map(([row]) => [...row.children].map(cell => {
            range.selectNodeContents(cell.firstChild);
            return [cell.getBoundingClientRect().left, range.getBoundingClientRect().right,
                cell.lastChild.textContent === '\\t']; })); })()"""
FIRST_ROW_SHOWN = """[...document.querySelectorAll('#RichTextBox1 .cell')].filter(cell => {
    const r = cell.getBoundingClientRect(), view = pane.getBoundingClientRect();
    return r.top < view.top + 5 && r.right > view.left && r.left < view.right;
}).map(cell => cell.textContent).join('')"""
# The controls a finger operates, each box, button, option (marker and caption) and the pane,
# with their places; and the text sizes of boxes, captions and the report.
TARGETS = """return [...document.querySelectorAll('#Form1 input[type=text], #Form1 button, '
    + '#Form1 .option, #RichTextBox1')].map(e => [e.id, e.getBoundingClientRect().toJSON()])"""
TEXT_SIZES = """const size = (selector) => Math.min(...[...document.querySelectorAll(selector)]
    .map(e => parseFloat(getComputedStyle(e).fontSize)));
return [size('#Form1 input[type=text], .label, .option label, legend'), size('.row')]"""
SELECTED = ["Option1", "Option3", "Option6", "Option8", "Option9", "Option11", "Option21",
            "Option23", "Option24", "Option27", "Option29"]
MOVED = ["Option2", "Option4", "Option5", "Option7", "Option10", "Option12", "Option20",
         "Option22", "Option25", "Option26", "Option28"]
# CDP's modifier bits, and the keys' Windows codes.
ALT, CTRL, META, SHIFT = 1, 2, 4, 8
KEY_CODES = {"ArrowLeft": 37, "ArrowUp": 38, "ArrowRight": 39, "ArrowDown": 40}


def overlap(a, b):
    return (a["left"] < b["right"] and b["left"] < a["right"] and a["top"] < b["bottom"]
            and b["top"] < a["bottom"])


def rows(pane):
    """The report's rows of dividers, split into their columns."""
    return [line.split("\t") for line in pane.split("\r\n") if line.count("\t") == 7]


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.page = Page(PAGE_FILE)

    @classmethod
    def tearDownClass(cls):
        cls.page.close()

    def test_start_up_reports_are_the_desktops_on_both_cores(self):
        for core in CORES:
            for button, report in (("Command1", "default_rf_report.txt"),
                                   ("Command2", "default_if_report.txt")):
                with self.subTest(core=core, report=report):
                    self.page.open(core).finish(button)
                    self.assertEqual(self.page.pane_text(), expected_report(report))
        # Ctrl+A in the pane selects what the desktop pane copies: its lines joined by LF.
        self.page.element("RichTextBox1").send_keys(Keys.CONTROL, "a")
        self.assertEqual(self.page.js("return lmx2330a.selectedText()"),
                         expected_report("default_if_report.txt").replace("\r\n", "\n"))

    def test_a_german_browser_reads_german_numbers(self):
        with Page(PAGE_FILE, language="de-DE") as german:
            german.open().set_up({"Text5": "16.800.000", "Text6": "12.500"})
            self.assertEqual(german.finish(), [])
            header, rows_and_footer = german.pane_text().split("\r\n", 1)
        self.assertEqual(header, "Xtal = 16.800.000 Hz    Freq = 100e6 Hz    Ref low = 12.500 Hz"
                                 "    Ref high = 100000 Hz    ")
        self.assertEqual(rows_and_footer,
                         expected_report("default_rf_report.txt").split("\r\n", 1)[1])

    def test_focus_starts_in_the_pane_and_follows_the_windows_tab_order(self):
        self.page.open()
        expected = (["RichTextBox1", "Text5", "Text6", "Text7", "Text8"]
                    + [f"Option{i}" for i in range(1, 20)] + ["Text9", "Text10", "Text11", "Text12"]
                    + [f"Option{i}" for i in range(20, 30)]
                    + ["Text13", "Text14", "Text15", "Command1", "Command2"])
        self.assertEqual(self.page.js("return [...document.querySelectorAll("
                                      "'#Form1 input, #Form1 button, #Form1 [tabindex]')]"
                                      ".map(e => e.id)"), expected)
        self.assertEqual(self.page.js("return document.activeElement.id"), "RichTextBox1")

    def tab_stops(self):
        """The ids Tab takes the focus to, from where it is round to there again."""
        start, stops = self.page.js("return document.activeElement.id"), []
        while not stops or stops[-1] != start and len(stops) < 60:
            ActionChains(self.page.driver).send_keys(Keys.TAB).perform()
            stops.append(self.page.js("return document.activeElement.id"))
        return stops

    def test_tab_enters_option_groups_at_their_selection_and_space_runs_again(self):
        self.page.open()
        self.assertEqual([i for i in self.tab_stops() if i.startswith("Option")], SELECTED)
        for option in SELECTED:  # the arrow keys move the selection within the group
            self.page.js("document.getElementById(arguments[0]).focus()", option)
            ActionChains(self.page.driver).send_keys(Keys.ARROW_DOWN).perform()
        self.assertEqual(self.page.js("return [...document.querySelectorAll(':checked')]"
                                      ".map(e => e.id)"), sorted(MOVED, key=lambda i: int(i[6:])))
        self.page.element("RichTextBox1").click()
        self.assertEqual([i for i in self.tab_stops() if i.startswith("Option")], MOVED)
        # Space on a start button runs; the focus is back on it at the end, and Space runs again.
        self.page.js("document.getElementById('Command1').focus()")
        for frequency in ("100e6", "99e6"):
            self.page.js("const box = document.getElementById('Text8'); box.value = arguments[0];"
                         "box.dispatchEvent(new Event('input'))", frequency)
            ActionChains(self.page.driver).send_keys(Keys.SPACE).perform()
            self.assertEqual(self.page.settle(), [])
            self.assertIn(f"Freq = {frequency} Hz", self.page.pane_text())
            self.assertEqual(self.page.js("return document.activeElement.id"), "Command1")

    def emulate(self, command, **params):
        self.page.driver.execute_cdp_cmd("Emulation." + command, params)

    def touch(self, selector, until="click", hold=0.0):
        """A finger on an element's middle for `hold` s; returns once the element has `until`."""
        x, y = self.page.js("const part = document.querySelector(arguments[0]);"
                            "part.scrollIntoView({block: 'center'}); part.touched = !arguments[1];"
                            "part.addEventListener(arguments[1], () => { part.touched = true; });"
                            "const box = part.getBoundingClientRect();"
                            "return [box.x + box.width / 2, box.y + box.height / 2]",
                            selector, until)
        for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
            self.page.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                             {"type": kind, "touchPoints": points})
            time.sleep(hold)
        self.page.wait_for(f"document.querySelector('{selector}').touched", 10)

    def test_every_view_shows_the_whole_window_and_works_by_tap(self):
        self.addCleanup(self.emulate, "clearDeviceMetricsOverride")
        self.addCleanup(self.emulate, "setTouchEmulationEnabled", enabled=False)
        self.emulate("setTouchEmulationEnabled", enabled=True)
        for width, height, scale, mobile in VIEWS:
            with self.subTest(width=width, height=height):
                self.emulate("setDeviceMetricsOverride", width=width, height=height,
                             deviceScaleFactor=scale, mobile=mobile)
                self.assertEqual(self.page.open().js(
                    "const page = document.documentElement;"
                    "return [page.scrollWidth - page.clientWidth, [...page.querySelectorAll("
                    "'#Form1 .control')].filter(c => c.getBoundingClientRect().left < 0"
                    " || c.getBoundingClientRect().right > innerWidth).map(c => c.id)]"), [0, []])
                self.touch("#Command1")
                self.page.settle()
                self.assertEqual(self.page.pane_text(), expected_report("default_rf_report.txt"))
                self.touch("#Text8")
                for keys in ((Keys.CONTROL, "a"), ("99e6",)):
                    self.page.driver.switch_to.active_element.send_keys(*keys)
                self.touch("#Command1")
                self.page.settle()
                self.assertIn("Freq = 99e6 Hz", self.page.pane_text())
        # A long press opens the pane's menu, Select All selects all; a tap puts the caret back.
        self.touch("#RichTextBox1", None, hold=0.7)
        self.touch("[data-command=selectAll]")
        self.assertEqual(self.page.js("return lmx2330a.selectedText()"),
                         self.page.pane_text().replace("\r\n", "\n"))
        self.touch("#RichTextBox1", "mouseup")
        self.assertEqual(self.page.js("return lmx2330a.selectedText()"), "")

    def finger(self, x, y, hold):
        for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
            self.page.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                             {"type": kind, "touchPoints": points})
            time.sleep(hold)

    def test_a_phone_gets_targets_for_a_finger_a_long_press_copy_and_its_box_in_view(self):
        self.addCleanup(self.emulate, "clearDeviceMetricsOverride")
        self.addCleanup(self.emulate, "setTouchEmulationEnabled", enabled=False)
        self.emulate("setTouchEmulationEnabled", enabled=True)
        self.emulate("setDeviceMetricsOverride", width=390, height=844, deviceScaleFactor=3,
                     mobile=True)
        targets = self.page.open().js(TARGETS)
        self.assertEqual(len(targets), 11 + 29 + 2 + 1)
        for i, (name, box) in enumerate(targets):
            self.assertGreaterEqual(min(box["width"], box["height"]), 44, name)
            self.assertEqual([other for other, place in targets[i + 1:] if overlap(box, place)],
                             [], name)
        boxes_and_captions, report = self.page.js(TEXT_SIZES)
        self.assertGreaterEqual(boxes_and_captions, 16)
        self.assertGreaterEqual(report, 13)

        # A finger held on a word selects it, and the menu's Copy copies it.
        self.touch("#Command1")
        self.page.settle()
        self.page.js("document.getElementById('RichTextBox1').scrollIntoView();"
                     "navigator.clipboard.writeText = async (text) => { window.copied = text; }")
        text, x, y = self.page.js("return " + ROWS_IN_VIEW)[2]
        self.finger(x + 2, y, 0.8)
        self.assertEqual(self.page.js("return lmx2330a.selectedText()"), text.split("\t")[0])
        self.touch("[data-command=copy]")
        self.assertEqual(self.page.js("return window.copied"), text.split("\t")[0])

        # A keyboard takes half the view: the focused box comes into what is left of it.
        self.touch("#Text13")
        self.emulate("setDeviceMetricsOverride", width=390, height=422, deviceScaleFactor=3,
                     mobile=True)
        self.page.wait_for("(() => { const box = document.activeElement.getBoundingClientRect();"
                           " return document.activeElement.id === 'Text13' && box.top >= 0"
                           " && box.bottom <= visualViewport.height; })()", 10)

    def test_controls_stand_out_from_the_window_in_both_schemes(self):
        self.addCleanup(self.emulate, "setEmulatedMedia", features=[])
        script = (HERE / "contrast.js").read_text(encoding="utf-8")
        for scheme in ("light", "dark"):
            with self.subTest(scheme=scheme):
                self.emulate("setEmulatedMedia",
                             features=[{"name": "prefers-color-scheme", "value": scheme}])
                png = self.page.open().driver.execute_cdp_cmd("Page.captureScreenshot", {})
                contrasts = self.page.driver.execute_async_script(
                    script + "partContrasts(arguments[0]).then(arguments[1])", png["data"])
                for part, ratio in contrasts.items():
                    self.assertGreaterEqual(ratio, 3, part)

    def test_cores_agree_on_a_sweep_full_of_matches(self):
        fields, options = EVERY_ROW
        panes = {}
        for core in CORES:
            self.page.open(core).set_up(fields, options)
            self.assertEqual(self.page.finish(), [])
            panes[core] = self.page.pane_text()
        self.assertEqual(len(rows(panes["plain"])), int(self.page.value("Text10")))
        self.assertGreater(len(rows(panes["plain"])), 280_000)
        self.assertTrue(panes["plain"] == panes["simd"], "the two cores wrote different reports")

    def test_workers_write_the_report_the_page_writes_alone(self):
        # Matches found in the workers' parts, then the widest sweep, whose overflow a worker
        # finds; the first also with a worker that ends without a word during the run, whose
        # parts the page sweeps itself once it has waited long enough.
        for fields, ended in ((SPARSE_MATCHES, True), (SCENARIOS["S5"][0], False)):
            results = {}
            for workers in ("0", "2", "2, one ended")[:3 if ended else 2]:
                self.page.open("simd", workers[0]).set_up(fields)
                self.page.wait_for(f"lmx2330a.workers().ready == {workers[0]}")
                if workers.endswith("ended"):
                    self.page.js("document.getElementById('Command1').addEventListener("
                                 "'click', () => setTimeout(() => lmx2330a.endWorker(0), 20))")
                results[workers] = (self.page.finish(), self.page.value("Text10"),
                                    self.page.pane_text())
                self.assertEqual(self.page.js("return lmx2330a.workers().partsSwept > 0"),
                                 workers != "0", fields)
                time.sleep(0.05)  # the answers to parts after the stop
                self.assertEqual(self.page.js("return lmx2330a.workers().busy"), 0,
                                 "a worker still sweeps after the run")
            for workers, result in results.items():
                self.assertTrue(result == results["0"], (fields, workers))
            self.assertGreater(len(rows(results["0"][2])), 0)

    def test_box_edited_while_workers_sweep_counts_from_the_next_stop(self):
        # Two billion dividers with no match, swept on the workers while the page handles its
        # events; a max error typed meanwhile makes every divider a match from the stretch's stop
        # on. From the first inexact row to the report's cap, no divider is left out or tried
        # twice.
        self.page.open("simd", 2).set_up({"Text5": "2147483647", "Text8": "1e5", "Text6": "1"})
        self.page.wait_for("lmx2330a.workers().ready == 2")
        self.page.js("lmx2330a.setLargestReport(1 << 20)")
        self.page.js("""setTimeout(() => {
            const maxError = document.getElementById('Text9');
            maxError.value = '1e12';
            maxError.dispatchEvent(new Event('input', {bubbles: true}));
        }, 300);""")
        self.assertEqual(len(self.page.finish()), 1)  # the report's cap
        self.assertGreater(self.page.js("return lmx2330a.workers().partsSwept"), 0)
        listed = rows(self.page.pane_text())
        first = next(i for i, columns in enumerate(listed) if columns[5] != " 0 Hz        ")
        dividers = [int(columns[0]) for columns in listed[first:]]
        self.assertGreater(len(dividers), 10000)
        self.assertEqual(dividers, list(range(dividers[0], dividers[0] + len(dividers))))

    def test_overflow_box_comes_once_and_the_footer_after_it(self):
        self.page.open().set_up({"Text8": "2.5e9"})
        self.page.run()
        self.assertTrue(self.page.box_open())
        self.assertEqual(self.page.element("ErrorBoxTitle").text, "PLL register ERROR")
        self.assertEqual(self.page.js("return document.getElementById('ErrorBoxText').textContent"),
                         OVERFLOW_MESSAGE)
        self.assertTrue(self.page.js("return lmx2330a.running"), "the run waits for the box")
        self.assertNotIn("Over and Out", self.page.pane_text())
        self.page.close_box()
        self.page.wait_for("!lmx2330a.running")
        self.assertFalse(self.page.box_open())
        pane = self.page.pane_text()
        self.assertIn("441\t\t 38095.2 Hz\t65625\t", pane)
        self.assertTrue(pane.endswith(FOOTER), pane[-200:])
        self.assertEqual(self.page.value("Text10"), "14")
        self.assertTrue(self.page.element("Command1").is_enabled())

    def test_unreadable_box_gives_its_error_box_and_the_report_is_closed(self):
        cases = [("Text7", "abc", 'Ref high (Hz) : "abc" is not a number'),
                 ("Text5", "", 'Crystal Frequency (Hz) : "" is not a number'),
                 ("Text8", "1e999", 'Freq (MHz) : "1e999" is too large')]
        for box, text, message in cases:
            with self.subTest(box=box, text=text):
                self.page.open().set_up({box: text})
                self.assertEqual(self.page.finish(), [message])
                self.assertEqual(rows(self.page.pane_text()), [])
                self.assertTrue(self.page.pane_text().endswith(FOOTER))
                self.assertEqual(self.page.value("Text10"), "0")

    def test_report_beyond_the_cap_stops_with_the_desktops_box(self):
        self.page.open().js("lmx2330a.setLargestReport(3 << 20)")
        self.page.set_up(*EVERY_ROW)
        self.assertEqual(self.page.finish(), [
            "The report has grown beyond 3 MiB, more than this window keeps: the sweep stops "
            "here. Narrow the band between Ref low and Ref high, or lower Max Error."])
        pane = self.page.pane_text()
        self.assertTrue(3 << 20 < len(pane) < (3 << 20) + 1000 and pane.endswith(FOOTER))

    def test_box_edited_during_a_long_run_counts_from_the_next_divider(self):
        # Every divider a match and listed. Once twenty thousand are, the max error goes to 0,
        # as a user would type it while the page yields: from the next divider on, only the
        # exact matches are listed.
        fields, options = EVERY_ROW
        self.page.open().set_up(fields, options)
        self.page.js("""
            const count = document.getElementById('Text10');
            const maxError = document.getElementById('Text9');
            const timer = setInterval(() => {
                if (Number(count.value) < 20000) return;
                clearInterval(timer);
                maxError.value = '0';
                maxError.dispatchEvent(new Event('input', {bubbles: true}));
            }, 1);""")
        self.assertEqual(self.page.finish(), [])
        self.assertEqual(self.page.value("Text9"), "0")
        listed = rows(self.page.pane_text())
        self.assertEqual(int(self.page.value("Text10")), len(listed))
        dividers = [int(columns[0]) for columns in listed]
        exact = [columns[5] == " 0 Hz        " for columns in listed]
        edit = len(exact) - exact[::-1].index(False)  # the first row after the last inexact one
        self.assertGreaterEqual(edit, 20000, "the edit was read before it was made")
        self.assertEqual(dividers[:edit], list(range(10243, 10243 + edit)),
                         "a divider went unlisted")
        self.assertTrue(all(exact[edit:]))
        self.assertGreater(len(dividers) - edit, 1000, "the edit was read late or not at all")
        self.assertTrue(self.page.pane_text().endswith(FOOTER))

    def test_pane_takes_clicks_keys_wheel_and_drags_as_its_model_says(self):
        page = self.page
        count = "Number(document.getElementById('Text10').value)"

        def act(method, **params):  # real input, as the browser gets it from the user
            page.driver.execute_cdp_cmd("Input.dispatch" + method, params)

        def mouse(kind, row, clicks=1):
            act("MouseEvent", type="mouse" + kind, x=row[1], y=row[2], button="left",
                buttons=0 if kind == "Released" else 1, clickCount=clicks)

        def selected_over(first, last):  # drags from one row to another: what it copies
            mouse("Pressed", first)
            mouse("Moved", last)
            mouse("Released", last)
            return page.js("return lmx2330a.selectedText()").split("\n")

        page.open().finish()
        row = page.js("return " + ROWS_IN_VIEW)[3]
        for clicks in (1, 2, 3):  # a triple-click takes the line with its LF
            mouse("Pressed", row, clicks)
            mouse("Released", row, clicks)
        self.assertEqual(page.js("return lmx2330a.selectedText()"), row[0] + "\n")
        page.element("RichTextBox1").send_keys(Keys.CONTROL, Keys.HOME, Keys.NULL, Keys.PAGE_DOWN)
        view = page.js("return " + ROWS_IN_VIEW)
        lines = page.pane_text().split("\r\n")
        self.assertIn(lines.index(view[0][0]), range(len(view) - 1, len(view) + 2))

        fields, options = EVERY_ROW  # with ten times the rows: a run of several seconds
        page.set_up({**fields, "Text5": "168e6"}, options)
        page.element("Command1").click()
        page.wait_for(count + " > 20000")
        following = page.js("return " + ROWS_IN_VIEW)
        act("MouseEvent", type="mouseWheel", x=following[5][1], y=following[5][2], deltaX=0,
            deltaY=-300)
        page.wait_for(f"{ROWS_IN_VIEW}[0][0] != {following[0][0]!r}", 60)
        held = page.js("return " + ROWS_IN_VIEW)
        page.wait_for(f"{count} > {page.js('return ' + count) + 20000}")
        self.assertEqual(page.js("return " + ROWS_IN_VIEW), held, "the view left the user's row")
        self.assertEqual(selected_over(held[1], held[4]), [r[0] for r in held[1:4]] + [""])
        for kind in ("rawKeyDown", "keyUp"):  # Ctrl+End: the view follows the end again
            act("KeyEvent", type=kind, key="End", code="End", windowsVirtualKeyCode=35,
                modifiers=2)
        page.wait_for(f"{ROWS_IN_VIEW}[0][0] != {held[0][0]!r}", 60)
        self.assertTrue(page.js("return lmx2330a.running"), "the run ended before the checks")
        self.assertEqual(page.settle(), [])
        view = page.js("return " + ROWS_IN_VIEW)
        self.assertEqual(selected_over(view[2], view[5]), [r[0] for r in view[2:5]] + [""])

    def after_frames(self, action, result):
        """Does `action` to the pane, and gives `result` two frames later."""
        return self.page.driver.execute_async_script(f"""
            const done = arguments[arguments.length - 1];
            const pane = document.getElementById('RichTextBox1');
            {action};
            requestAnimationFrame(() => requestAnimationFrame(() => done({result})));""")

    def test_columns_line_up_in_view_and_long_lines_draw_where_the_view_stands(self):
        # Seven hex digits in some rows' R words and six in others: every column of the rows in
        # view starts at one x, within a pixel, and no cell touches the next.
        page = self.page
        page.open().set_up({"Text5": "2147483647", "Text6": "400", "Text7": "440",
                            "Text8": "1e6", "Text9": "1e9"}, ["Option4"])
        self.assertEqual(page.finish(), [])
        for top in (0, 100_000, 1e9):
            rows = self.after_frames(f"pane.scrollTop = {top}", CELLS_IN_VIEW)
            self.assertGreater(len(rows), 10)
            for above, below in zip(rows, rows[1:]):
                self.assertTrue(all(abs(a[0] - b[0]) <= 1 for a, b in zip(above, below)), below)
            for cells in rows:  # a cell with text before a TAB ends 2 px before the next starts
                self.assertTrue(all(b[0] - a[1] >= 2 for a, b in zip(cells, cells[1:])
                                    if a[2] and a[1] > a[0]), cells)

        # Four boxes of a megabyte each come back in the header: drawn where the view stands, a
        # piece at a time, to its end.
        page.open().js("""for (const id of ['Text5', 'Text6', 'Text7', 'Text8']) {
            const box = document.getElementById(id);
            box.value = id + '=' + '0123456789'.repeat(1 << 17);
            box.dispatchEvent(new Event('input', {bubbles: true})); }""")
        self.assertEqual(len(page.finish()), 1)  # the crystal cannot be read
        header = page.pane_text().split("\r\n")[0]
        for where in ("pane.scrollWidth / 2", "pane.scrollWidth"):
            shown = self.after_frames("pane.scrollLeft = " + where, FIRST_ROW_SHOWN)
            self.assertIn(len(shown), range(20, 20_000))  # a piece: no more than a browser draws
            self.assertIn(shown, header)
        self.assertTrue(shown.rstrip().endswith("Hz"))

    def test_pane_keys_follow_the_platforms_map_and_a_held_drag_scrolls_on(self):
        driver = self.page.driver
        agent = driver.execute_script("return navigator.userAgent")
        self.addCleanup(self.emulate, "setUserAgentOverride", userAgent=agent)
        selected = "return lmx2330a.selectedText()"

        def keys(*strokes):
            for key, modifiers in strokes:
                for kind in ("rawKeyDown", "keyUp"):
                    driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
                        "type": kind, "key": key, "code": key, "modifiers": modifiers,
                        "windowsVirtualKeyCode": KEY_CODES[key]})

        def mouse(kind, x, y):
            driver.execute_cdp_cmd("Input.dispatchMouseEvent", {
                "type": kind, "x": x, "y": y, "button": "left",
                "buttons": 0 if kind == "mouseReleased" else 1, "clickCount": 1})

        for platform, word, line_end, text_end in (("Linux x86_64", CTRL, None, None),
                                                   ("MacIntel", ALT, META, META)):
            with self.subTest(platform=platform):
                self.emulate("setUserAgentOverride", userAgent=agent, platform=platform)
                self.page.open().finish()
                text, x, y = self.page.js("return " + ROWS_IN_VIEW)[3]
                mouse("mousePressed", x - 3, y)
                mouse("mouseReleased", x - 3, y)
                keys(("ArrowRight", word | SHIFT))  # to the end of the first word
                self.assertEqual(self.page.js(selected), text.split("\t")[0])
                if line_end is None:
                    continue
                # Cmd+Right and Cmd+Left go to the line's ends, Cmd+Down and Up to the text's.
                keys(("ArrowRight", line_end), ("ArrowLeft", line_end | SHIFT))
                self.assertEqual(self.page.js(selected), text)
                keys(("ArrowDown", text_end), ("ArrowUp", text_end | SHIFT))
                self.assertEqual(self.page.js(selected),
                                 self.page.pane_text().replace("\r\n", "\n"))

        # A drag held still below the pane goes on scrolling, and selecting, on its own.
        self.page.js("document.getElementById('RichTextBox1').scrollTop = 0")
        text, x, y = self.page.js("return " + ROWS_IN_VIEW)[0]
        bottom = self.page.js("return document.getElementById('RichTextBox1')"
                              ".getBoundingClientRect().bottom")
        mouse("mousePressed", x, y)
        mouse("mouseMoved", x, bottom + 30)
        shown = [self.page.js("return " + ROWS_IN_VIEW)[0][0]]
        for _ in range(2):
            time.sleep(0.3)
            shown.append(self.page.js("return " + ROWS_IN_VIEW)[0][0])
        mouse("mouseReleased", x, bottom + 30)
        lines = self.page.pane_text().split("\r\n")
        self.assertLess(lines.index(shown[0]), lines.index(shown[1]))
        self.assertLess(lines.index(shown[1]), lines.index(shown[2]))
        following = lines[lines.index(text) + 1]
        self.assertTrue(self.page.js(selected).startswith(text + "\n" + following))

    def audit(self):
        self.page.js((HERE / "axe.min.js").read_text(encoding="utf-8"))
        violations = self.page.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            axe.run(document).then(r => done(r.violations.map(v => `${v.id} (${v.impact}): ` +
                `${v.help}: ${v.nodes.map(n => n.target.join(' ')).join(', ')}`)),
                e => done([String(e)]));""")
        if violations:
            self.fail("axe-core found:\n" + "\n".join(violations))

    def test_accessibility_audit_finds_no_violations(self):
        self.page.open().finish()
        self.audit()  # with a report in the pane
        self.page.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
            "features": [{"name": "prefers-color-scheme", "value": "dark"}]})
        self.audit()  # in dark mode too, contrast included
        self.page.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})
        self.page.set_up({"Text7": "abc"})
        self.page.run()
        self.assertTrue(self.page.box_open())
        self.audit()  # with the error box up
        self.page.close_box()

if __name__ == "__main__":
    unittest.main(verbosity=2)
