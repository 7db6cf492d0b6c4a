# SPDX-License-Identifier: MIT
"""The page in WebKit, the engine of Safari, offline from disk: WebKitGTK's MiniBrowser driven
through Debian's WebKitWebDriver and Selenium, on an X server of its own, writes the start-up RF
and IF reports on both WebAssembly cores.

Run as: xvfb-run -a test_webkit.py <lmx2330a-calc.html>
"""
import glob
import pathlib
import sys
import unittest

from selenium import webdriver
from selenium.webdriver.common.by import By
from selenium.webdriver.support.wait import WebDriverWait

from page_driver import expected_report

PAGE_FILE = sys.argv.pop(1)


class WebKitTest(unittest.TestCase):
    def test_start_up_reports_are_the_desktops_on_both_cores(self):
        options = webdriver.WebKitGTKOptions()
        options.binary_location = glob.glob("/usr/lib/*/webkit2gtk-4.1/MiniBrowser")[0]
        options.add_argument("--automation")
        driver = webdriver.WebKitGTK(executable_path="WebKitWebDriver", options=options)
        self.addCleanup(driver.quit)
        wait = WebDriverWait(driver, 120, poll_frequency=0.05)
        for core in ("plain", "simd"):
            for button, report in (("Command1", "default_rf_report.txt"),
                                   ("Command2", "default_if_report.txt")):
                with self.subTest(core=core, report=report):
                    driver.get(pathlib.Path(PAGE_FILE).resolve().as_uri() + "?core=" + core)
                    wait.until(lambda d: d.execute_script("return !!window.lmx2330a?.ready"))
                    self.assertEqual(driver.execute_script("return lmx2330a.core"), core)
                    driver.find_element(By.ID, button).click()
                    wait.until(lambda d: d.execute_script(
                        "return !lmx2330a.running && lmx2330a.paneText().endsWith('Out...\\r\\n')"))
                    self.assertEqual(driver.execute_script("return lmx2330a.paneText()"),
                                     expected_report(report))


if __name__ == "__main__":
    unittest.main(verbosity=2)
