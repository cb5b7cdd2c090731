"""The page in WebKitGTK (the engine family of Safari), driven through
WebKitWebDriver: the same report as pavona-cli, workers included, and the
workflows a clinician relies on. Run under Xvfb; exits 77 when the driver or
the page is missing.

Environment: PAVONA_WEB_BUILD, PAVONA_CLI, PAVONA_TEST_DATA.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

try:
    from selenium import webdriver
    from selenium.webdriver.common.by import By
except ImportError:
    print("python3-selenium is missing; skipped")
    sys.exit(77)

WEB_BUILD = Path(os.environ.get("PAVONA_WEB_BUILD", "build-web")).resolve()
SITE = WEB_BUILD / "site" / "index.html"
CLI = Path(os.environ.get("PAVONA_CLI", "build/pavona-cli")).resolve()
DATA = Path(os.environ.get("PAVONA_TEST_DATA", "tests/data")).resolve()
WORKED = DATA / "worked_example.txt"


def cli(args, file):
    run = subprocess.run([str(CLI), *args, str(file)], capture_output=True, text=True)
    return run.returncode, run.stdout, run.stderr


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = Path(tempfile.mkdtemp(prefix="pavona-webkit-test-"))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def setUp(self):
        options = webdriver.WebKitGTKOptions()
        options.add_argument("--automation")
        self.driver = webdriver.WebKitGTK(options=options)
        self.driver.get(SITE.as_uri())
        self.wait_for("return document.documentElement.dataset.ready === 'true'")

    def tearDown(self):
        self.driver.quit()

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, condition, seconds=60):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if self.js(condition):
                return
            time.sleep(0.1)
        self.fail("waited in vain for: " + condition)

    def enter(self, k, n=None):
        self.driver.find_element(By.ID, "predictors").send_keys(str(k))
        if n is not None:
            self.driver.find_element(By.ID, "controls").send_keys(str(n))

    def paste(self, text):
        self.js("const e = document.getElementById('data-text'); e.value = arguments[0];"
                "e.dispatchEvent(new Event('input'));", text)

    def run_analysis(self, reports):
        self.driver.find_element(By.ID, "continue").click()
        self.wait_for("return document.querySelectorAll('#report .run').length === %d" % reports)

    def test_the_report_is_pavona_clis_from_a_file_and_from_pasted_rows(self):
        status, expected, _ = cli(["--predictors", "1", "--controls", "10"], WORKED)
        self.assertEqual(status, 0)
        self.enter(1, 10)
        self.driver.find_element(By.ID, "data-file").send_keys(str(WORKED))
        self.run_analysis(1)
        self.assertEqual(self.js("return document.getElementById('report').textContent"), expected)
        self.assertIn("-1.7778 on 8 df", self.js("return document.getElementById('key-results').textContent"))
        # Clear Data forgets the file: Continue then asks for data.
        self.driver.find_element(By.ID, "clear-data").click()
        self.assertEqual(self.js("return document.getElementById('data-file').value"), "")
        self.enter(1, 10)
        self.driver.find_element(By.ID, "continue").click()
        self.wait_for("return !document.getElementById('data-message').hidden")
        self.paste(WORKED.read_text())
        self.run_analysis(2)
        top = self.js("const box = document.getElementById('report');"
                      "return [box.scrollTop, box.querySelectorAll('.run')[1].offsetTop];")
        self.assertEqual(top[0], top[1])

    def test_a_series_runs_in_workers_to_pavona_clis_rows(self):
        lines = WORKED.read_text().strip().splitlines()
        series = self.scratch / "series.txt"
        series.write_text("\n".join(lines + ["45 25", "50 x", "52 27"]) + "\n")
        status, expected, _ = cli(["--predictors", "1", "--controls", "10", "--cases", "all", "--csv"], series)
        self.enter(1, 10)
        self.paste(series.read_text())
        self.run_analysis(1)
        self.wait_for("return document.getElementById('series-stop').hidden && "
                      "/\\(\\d+\\)$/.test(document.getElementById('series-heading').textContent)")
        rows = self.js("return [...document.querySelectorAll('#series tbody tr')]"
                       ".map((r) => [...r.cells].map((c) => c.textContent));")
        csv_rows = [line.split(",") for line in expected.strip().splitlines()[1:]]
        self.assertEqual(len(rows), len(csv_rows))
        for shown, full in zip(rows, csv_rows):
            self.assertEqual(shown[0], full[0])
            if full[1]:
                self.assertAlmostEqual(float(shown[1]), float(full[1]), places=4)

    def test_a_refused_cell_of_the_summary_form_has_the_focus(self):
        self.enter(1)
        self.driver.find_element(By.ID, "source-summary").click()
        cells = {"summary-n": "10", "summary-mean-1": "50", "summary-mean-2": "20",
                 "summary-sd-1": "10", "summary-sd-2": "5", "summary-r-2-1": "1.5",
                 "summary-case-1": "40", "summary-case-2": "30"}
        for cell, value in cells.items():
            self.driver.find_element(By.ID, cell).send_keys(value)
        self.driver.find_element(By.ID, "continue").click()
        self.wait_for("return !document.getElementById('summary-message').hidden")
        self.assertEqual(self.js("return document.activeElement.id"), "summary-r-2-1")
        self.assertTrue(self.js("return document.getElementById('summary-message').textContent")
                        .startswith("The correlation between Criterion (Y) and Predictor (X) 1"))


if __name__ == "__main__":
    if not SITE.exists() or not shutil.which("WebKitWebDriver"):
        print("the page or WebKitWebDriver is missing; skipped")
        sys.exit(77)
    unittest.main()
