# SPDX-License-Identifier: MIT
"""The one-file page in headless Chromium, driven as a user drives it: through Debian's
chromium-driver and python3-selenium, offline, from disk. The browser tests and the bench share
it. Run with Debian's Python (/usr/bin/python3), which has Selenium.
"""
import os
import pathlib
import shutil
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.wait import WebDriverWait

HERE = pathlib.Path(__file__).resolve().parent
TEST_DATA = HERE.parent / "data"

# Headless, as root in a container, and with nothing that would reach the network.
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-dev-shm-usage", "--window-size=1024,768",
]

# The settings of the benchmarks' sweeps (bench/scenarios.h), as boxes to type into and option
# buttons to pick; S1 is the start-up settings.
SCENARIOS = {
    "S1": ({}, []),
    "S2": ({"Text8": "1000", "Text6": "1"}, []),
    "S3": ({"Text8": "1e6", "Text6": "168", "Text9": "1e9"}, ["Option4"]),
    "S4": ({"Text8": "1e6", "Text6": "17", "Text9": "1e9"}, ["Option4"]),
    "S5": ({"Text5": "2147483647", "Text6": "1"}, []),
}

# A match every 1.68 million dividers, a hundred of them: the stretches between matches are long
# enough for the page's workers, and one of them finds each match.
SPARSE_MATCHES = {"Text5": "168000000", "Text8": "100", "Text6": "1"}

FOOTER = "Over and Out...\r\n"


def expected_report(name):
    return (TEST_DATA / name).read_bytes().decode("latin-1")


class Page:
    """One Chromium, or one WebKit on the X server it is given, with the page open in it."""

    def __init__(self, page_file, run_timeout=300, language=None, webkit=False):
        self.url = pathlib.Path(page_file).resolve().as_uri()
        self.run_timeout = run_timeout
        self.profile = tempfile.mkdtemp(prefix="pll-chromium-")
        if webkit:  # WebKitWebDriver's own browser, WebKitGTK's MiniBrowser
            self.driver = webdriver.WebKitGTK(executable_path="WebKitWebDriver")
            return
        options = webdriver.ChromeOptions()
        options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
        for flag in CHROMIUM_FLAGS + ["--user-data-dir=" + self.profile]:
            options.add_argument(flag)
        if language:  # the browser's language, which the page takes its number format from
            options.add_experimental_option("prefs", {"intl.accept_languages": language})
        service = Service(shutil.which("chromedriver") or "/usr/bin/chromedriver",
                          log_path=os.devnull)
        self.driver = webdriver.Chrome(service=service, options=options)
        self.driver.set_script_timeout(run_timeout)

    def close(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, condition, timeout=None):
        """Waits until the script expression `condition` is true in the page."""
        WebDriverWait(self.driver, timeout or self.run_timeout, poll_frequency=0.02).until(
            lambda d: d.execute_script("return !!(" + condition + ")"),
            "the page never came to: " + condition)

    def open(self, core=None, workers=None):
        """Opens the page, on the given core and with that many workers where given."""
        query = "&".join(f"{name}={value}" for name, value in (("core", core), ("workers", workers))
                         if value is not None)
        self.driver.get(self.url + ("?" + query if query else ""))
        self.wait_for("window.lmx2330a && lmx2330a.ready && document.body.dataset.ready == '1'", 60)
        if core:
            assert self.js("return lmx2330a.core") == core, "the page ignored ?core=" + core
        return self

    def element(self, element_id):
        return self.driver.find_element(By.ID, element_id)

    def type(self, box_id, text):
        """Replaces a box's text as a user does: select all, then type over it."""
        box = self.element(box_id)
        box.click()
        box.send_keys(Keys.CONTROL, "a")
        box.send_keys(text if text else Keys.BACKSPACE)
        assert box.get_attribute("value") == text, box_id + " did not take " + repr(text)

    def set_up(self, fields, options=()):
        for box_id, text in fields.items():
            self.type(box_id, text)
        for option_id in options:
            self.element(option_id).click()

    def box_open(self):
        return self.js("return document.getElementById('ErrorBox').open")

    def run(self, button="Command1"):
        """Clicks a Calculate button; returns when the run has ended or its error box is up."""
        self.element(button).click()
        self.wait_for("!lmx2330a.running || document.getElementById('ErrorBox').open")

    def close_box(self):
        self.element("ErrorBoxOk").click()
        self.wait_for("!document.getElementById('ErrorBox').open")

    def finish(self, button="Command1"):
        """Runs to the end, closing every error box on the way; returns their texts."""
        self.element(button).click()
        return self.settle()

    def settle(self):
        """Waits for the run under way to end, closing every error box on the way; returns
        their texts."""
        boxes = []
        self.wait_for("!lmx2330a.running || document.getElementById('ErrorBox').open")
        while self.box_open():
            boxes.append(self.js("return document.getElementById('ErrorBoxText').textContent"))
            self.close_box()
            self.wait_for("!lmx2330a.running || document.getElementById('ErrorBox').open")
        return boxes

    def pane_text(self):
        return self.js("return lmx2330a.paneText()")

    def value(self, box_id):
        return self.element(box_id).get_attribute("value")
