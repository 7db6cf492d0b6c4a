# SPDX-License-Identifier: MIT
"""The page in WebKit, Safari's engine, offline from disk, writes the start-up RF and IF reports
on both WebAssembly cores, a long sweep on its workers as on its own thread, and every caption
fits its control (WebKit draws text wider than the others).
Run as: xvfb-run -a test_webkit.py <lmx2330a-calc.html>
"""
import sys
import unittest

from page_driver import SPARSE_MATCHES, Page, expected_report

PAGE_FILE = sys.argv.pop(1)
# The captions whose text runs into the box they name, or out of their option or button.
RUN_ON = """const text = document.createRange();
return [...document.querySelectorAll('.label, .option, button')].filter(e => {
    text.selectNodeContents(e);
    return e.classList.contains('label')
        ? e.getBoundingClientRect().left + text.getBoundingClientRect().width
            >= e.nextElementSibling.getBoundingClientRect().left
        : e.scrollWidth > e.clientWidth; }).map(e => e.id)"""


class WebKitTest(unittest.TestCase):
    def test_start_up_reports_are_the_desktops_on_both_cores(self):
        with Page(PAGE_FILE, webkit=True) as page:
            for core in ("plain", "simd"):
                for button, report in (("Command1", "default_rf_report.txt"),
                                       ("Command2", "default_if_report.txt")):
                    with self.subTest(core=core, report=report):
                        page.open(core).finish(button)
                        self.assertEqual(page.pane_text(), expected_report(report))
            self.assertEqual(page.js(RUN_ON), [])
            reports = {}
            for workers in ("0", "2"):
                page.open("simd", workers).set_up(SPARSE_MATCHES)
                page.wait_for(f"lmx2330a.workers().ready == {workers}")
                self.assertEqual(page.finish(), [])
                reports[workers] = page.pane_text()
                self.assertEqual(page.js("return lmx2330a.workers().partsSwept > 0"), workers != "0")
            self.assertTrue(reports["0"] == reports["2"], "the workers changed the report")


if __name__ == "__main__":
    unittest.main(verbosity=2, warnings="ignore")  # Selenium's own, on its WebKitGTK driver
