# SPDX-License-Identifier: MIT
"""The page in headless Firefox ESR, offline from disk, writes the start-up RF report, and a long
sweep on its workers as on its own thread. Debian has
no WebDriver for Firefox, but Firefox speaks WebDriver BiDi itself: this is a small client of it
over Debian's python3-websocket.

Run as: test_firefox.py <lmx2330a-calc.html>
"""
import itertools
import json
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import websocket

from page_driver import SPARSE_MATCHES, expected_report

PAGE_FILE = sys.argv.pop(1)

# Puts each text into its box as typing would, by the boxes' ids.
TYPE_INTO_BOXES = """Object.entries(%s).forEach(([id, text]) => {
    const box = document.getElementById(id);
    box.value = text;
    box.dispatchEvent(new Event('input', {bubbles: true}));
})"""

# Nothing that would reach the network at start-up.
PREFERENCES = """
user_pref("app.update.disabledForTesting", true);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("services.settings.server", "data:,");
"""


class Firefox:
    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="pll-firefox-")
        pathlib.Path(self.profile, "user.js").write_text(PREFERENCES)
        log = pathlib.Path(self.profile, "stderr.log")
        with log.open("w") as stderr:
            self.process = subprocess.Popen(
                ["firefox-esr", "--headless", "--remote-debugging-port=0", "--profile",
                 self.profile], stdout=subprocess.DEVNULL, stderr=stderr)
        address = None
        deadline = time.monotonic() + 60
        while not address and time.monotonic() < deadline and self.process.poll() is None:
            time.sleep(0.1)
            address = re.search(r"WebDriver BiDi listening on (ws://\S+)", log.read_text())
        try:
            if not address:
                raise RuntimeError("Firefox opened no WebDriver BiDi port: " + log.read_text())
            # Firefox turns away a connection that names an origin.
            self.socket = websocket.create_connection(address.group(1) + "/session",
                                                      timeout=120, suppress_origin=True)
        except Exception:
            self.stop()
            raise
        self.ids = itertools.count(1)
        self.call("session.new", capabilities={})
        self.context = self.call("browsingContext.getTree")["contexts"][0]["context"]

    def call(self, method, **params):
        command_id = next(self.ids)
        self.socket.send(json.dumps({"id": command_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == command_id:
                if message.get("type") == "error":
                    raise RuntimeError(method + ": " + message.get("message", str(message)))
                return message["result"]

    def evaluate(self, expression):
        result = self.call("script.evaluate", expression=expression, awaitPromise=True,
                           target={"context": self.context})
        if result["type"] == "exception":
            raise RuntimeError(result["exceptionDetails"]["text"])
        return result["result"].get("value")

    def wait_for(self, expression, timeout=120):
        deadline = time.monotonic() + timeout
        while not self.evaluate("!!(" + expression + ")"):
            if time.monotonic() > deadline:
                raise TimeoutError("the page never came to: " + expression)
            time.sleep(0.05)

    def close(self):
        try:
            self.call("session.end")
        except (RuntimeError, websocket.WebSocketException):
            pass
        self.socket.close()
        self.stop()

    def stop(self):
        self.process.terminate()
        self.process.wait(30)
        shutil.rmtree(self.profile, ignore_errors=True)


class FirefoxTest(unittest.TestCase):
    def test_start_up_rf_report_and_a_sweep_on_workers(self):
        firefox = Firefox()
        try:
            url = pathlib.Path(PAGE_FILE).resolve().as_uri()
            firefox.call("browsingContext.navigate", context=firefox.context, wait="complete",
                         url=url)
            firefox.wait_for("window.lmx2330a && lmx2330a.ready")
            firefox.evaluate("document.getElementById('Command1').click()")
            firefox.wait_for("!lmx2330a.running && lmx2330a.paneText().length > 0")
            self.assertEqual(firefox.evaluate("lmx2330a.paneText()"),
                             expected_report("default_rf_report.txt"))

            reports = {}
            for workers in ("0", "2"):
                firefox.call("browsingContext.navigate", context=firefox.context,
                             wait="complete", url=url + "?workers=" + workers)
                firefox.wait_for("window.lmx2330a && lmx2330a.ready"
                                 f" && lmx2330a.workers().ready == {workers}")
                firefox.evaluate(TYPE_INTO_BOXES % json.dumps(SPARSE_MATCHES))
                firefox.evaluate("document.getElementById('Command1').click()")
                firefox.wait_for("!lmx2330a.running")
                reports[workers] = firefox.evaluate("lmx2330a.paneText()")
                self.assertEqual(firefox.evaluate("lmx2330a.workers().partsSwept > 0"),
                                 workers != "0")
            self.assertIn("Over and Out", reports["0"])
            self.assertTrue(reports["0"] == reports["2"], "the workers changed the report")
        finally:
            firefox.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
