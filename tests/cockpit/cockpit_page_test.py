#!/usr/bin/python3
"""The Vardo Cockpit page in headless Chromium against a real cockpit-ws on loopback.

cockpit-ws runs with --local-session=cockpit-bridge inside a private trial root
(TELLVARA_ROOT) with the stand-in service under the local supervisor; the page's
vardoctl is the built one. Usage: cockpit_page_test.py BIN_DIR PAGE_DIR [--screenshot PNG]
"""
import json
import os
import pwd
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support import expected_conditions
from selenium.webdriver.support.ui import Select, WebDriverWait

COCKPIT_WS = "/usr/lib/cockpit/cockpit-ws"
WAIT_SECONDS = 30

BIN_DIR = PAGE_DIR = SCREENSHOT = None


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Trial:
    """A private root, the page installed as the user's Cockpit package, cockpit-ws serving it."""

    def __init__(self, user=None):
        self.root = tempfile.mkdtemp(prefix="vardo-cockpit-")
        os.chmod(self.root, 0o755)
        home = os.path.join(self.root, "home")
        data = os.path.join(home, ".local", "share")
        os.makedirs(os.path.join(data, "cockpit"))
        os.symlink(os.path.abspath(PAGE_DIR), os.path.join(data, "cockpit", "vardo"))
        self.env = dict(os.environ, TELLVARA_ROOT=os.path.join(self.root, "system"), HOME=home,
                        XDG_DATA_HOME=data, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_RUNTIME_DIR=os.path.join(self.root, "run"), TMPDIR=self.root,
                        TELLVARA_SERVICE_MANAGER="local", TELLVARA_MACHINE_NAME="localhost",
                        PATH=os.path.abspath(BIN_DIR) + os.pathsep + os.environ["PATH"])
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        os.makedirs(self.env["TELLVARA_ROOT"])
        self.run_vardoctl("trial")
        self.run_vardoctl("service", "install-local")
        self.service_port = free_port()
        self.vardoctl("settings", "set", "TcpIPPort=%d" % self.service_port)
        self.port = free_port()
        as_user = []
        if user is not None:
            shutil.chown(self.env["XDG_RUNTIME_DIR"], user)
            as_user = ["setpriv", "--reuid=" + user, "--regid=" + str(pwd.getpwnam(user).pw_gid), "--clear-groups"]
        self.ws = subprocess.Popen(as_user + [COCKPIT_WS, "--no-tls", "--local-session=cockpit-bridge", "--address", "127.0.0.1",
                                    "--port", str(self.port)], env=self.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                break
            except OSError:
                if time.monotonic() > deadline or self.ws.poll() is not None:
                    raise RuntimeError("cockpit-ws did not start")
                time.sleep(0.1)

    def run_vardoctl(self, *args):
        run = subprocess.run(["vardoctl"] + list(args), env=self.env, capture_output=True, text=True,
                             timeout=WAIT_SECONDS)
        if run.returncode != 0:
            raise RuntimeError("vardoctl %s: %s" % (" ".join(args), run.stderr))
        return run.stdout

    def vardoctl(self, *args):
        return json.loads(self.run_vardoctl("--json", *args))

    def close(self):
        try:
            subprocess.run(["vardoctl", "service", "stop"], env=self.env, capture_output=True, timeout=WAIT_SECONDS)
        finally:
            self.ws.terminate()
            self.ws.wait(timeout=WAIT_SECONDS)
            shutil.rmtree(self.root, ignore_errors=True)


def chromium():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=1100,800", "--lang=sv"):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class CockpitPage(unittest.TestCase):
    user = None

    @classmethod
    def setUpClass(cls):
        cls.trial = Trial(cls.user)
        cls.browser = chromium()
        cls.browser.set_page_load_timeout(WAIT_SECONDS)

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.trial.close()

    def setUp(self):
        self.browser.get("http://127.0.0.1:%d/cockpit/@localhost/vardo/index.html" % self.trial.port)
        self.until(lambda b: b.find_element(By.TAG_NAME, "body").get_attribute("data-loaded") == "true")

    def until(self, condition):
        return WebDriverWait(self.browser, WAIT_SECONDS, poll_frequency=0.1).until(condition)

    def element(self, id):
        return self.browser.find_element(By.ID, id)

    def type_into(self, id, text):
        field = self.element(id)
        field.clear()
        field.send_keys(text)

    def message(self):
        self.until(lambda b: self.element("message").is_displayed())
        return self.element("message").text

    def test_the_port_is_saved_and_a_port_out_of_range_is_refused(self):
        self.type_into("TcpIPPort", "70000")
        self.element("spara").click()
        self.assertIn("mellan 1 och 65535", self.message())
        self.assertEqual(self.trial.vardoctl("settings", "show")["TcpIPPort"], self.trial.service_port)

        self.type_into("CheckPatientTime", "5:45")
        self.type_into("TcpIPPort", "8123")
        self.type_into("CheckPatientTime", "25:00")
        self.element("spara").click()
        self.until(lambda b: "HH:MM" in self.element("message").text)
        self.type_into("CheckPatientTime", "06:30")
        self.element("spara").click()
        self.until(lambda b: "sparade" in self.element("message").text)
        stored = self.trial.vardoctl("settings", "show")
        self.assertEqual(stored["TcpIPPort"], 8123)
        self.assertEqual(stored["CheckPatientTime"], "06:30")

        self.type_into("TcpIPPort", "9000")
        self.element("angra").click()
        self.until(lambda b: self.element("TcpIPPort").get_attribute("value") == "8123")
        self.trial.vardoctl("settings", "set", "TcpIPPort=%d" % self.trial.service_port)

    def test_an_organisation_is_added_from_the_sample_database_and_deleted(self):
        self.element("org-add").click()
        self.until(lambda b: self.element("org-form").is_displayed())
        Select(self.element("org-datalink")).select_by_visible_text("Exempelpraktik.udl")
        self.element("org-open").click()
        self.until(lambda b: len(Select(self.element("org-orgnr")).options) == 3)
        Select(self.element("org-orgnr")).select_by_visible_text("556000-0019")
        certificates = Select(self.element("org-cert"))
        self.assertGreater(len(certificates.options), 0)
        certificate = certificates.options[0].text
        certificates.select_by_index(0)
        self.element("org-checkpasis").click()
        self.element("org-save").click()
        self.until(lambda b: len(b.find_elements(By.CSS_SELECTOR, "#org-list li")) == 1)
        stored = self.trial.vardoctl("org", "show", "1")
        self.assertEqual(stored["OrganisationsNr"], "556000-0019")
        self.assertEqual(stored["CheckPasis"], "1")
        self.assertEqual(stored["DefaultVardoCertificate"], certificate.split(" ")[1])
        self.assertTrue(stored["DefaultDataProvider"].endswith("/Exempelpraktik.udl"))

        if SCREENSHOT:
            self.browser.execute_script("window.scrollTo(0, 0)")
            self.browser.save_screenshot(SCREENSHOT)

        self.browser.find_element(By.CSS_SELECTOR, "#org-list li").click()
        self.element("org-delete").click()
        self.until(expected_conditions.alert_is_present()).accept()
        self.until(lambda b: len(b.find_elements(By.CSS_SELECTOR, "#org-list li")) == 0)
        self.assertEqual(self.trial.vardoctl("org", "list"), [])

    def test_the_service_starts_and_stops_and_answers_with_its_version(self):
        self.until(lambda b: self.element("service-state").text == "SERVICE_STOPPED")
        self.element("service-start").click()
        self.until(lambda b: self.element("service-state").text == "SERVICE_RUNNING")
        self.element("version-refresh").click()
        self.until(lambda b: self.element("version").text != "")
        self.assertEqual(self.element("version").text, self.trial.vardoctl("probe", "version")["version"])
        self.element("logdir-refresh").click()
        self.until(lambda b: self.element("logdir").text != "")
        self.element("service-stop").click()
        self.until(lambda b: self.element("service-state").text == "SERVICE_STOPPED")


@unittest.skipUnless(os.geteuid() == 0, "needs root to run Cockpit as another user")
class CockpitPageOutsideTheGroup(CockpitPage):
    """The same page for an account outside "tellvara": it reads, and says how to get the right."""
    user = "nobody"

    # The tests of the administrator's page are not repeated here.
    test_the_port_is_saved_and_a_port_out_of_range_is_refused = None
    test_an_organisation_is_added_from_the_sample_database_and_deleted = None
    test_the_service_starts_and_stops_and_answers_with_its_version = None

    def test_the_settings_are_shown_read_only_with_the_adduser_hint(self):
        self.until(lambda b: self.element("rights").is_displayed())
        self.assertIn("adduser nobody tellvara", self.element("rights").text)
        self.assertEqual(self.element("TcpIPPort").get_attribute("value"), str(self.trial.service_port))
        for id in ("TcpIPPort", "CheckPatientTime", "spara", "org-add", "org-delete", "service-start", "service-stop"):
            self.assertFalse(self.element(id).is_enabled(), id)
        self.until(lambda b: self.element("service-state").text == "SERVICE_STOPPED")

    def test_a_write_sent_anyway_is_refused_by_the_system_with_the_reason(self):
        self.until(lambda b: self.element("rights").is_displayed())
        self.browser.execute_script("document.getElementById('spara').disabled = false;"
                                    "document.getElementById('TcpIPPort').disabled = false;")
        self.type_into("TcpIPPort", "8124")
        self.element("spara").click()
        self.until(lambda b: "adduser" in self.element("message").text)
        self.assertIn("error", self.element("message").get_attribute("class"))
        self.assertEqual(self.trial.vardoctl("settings", "show")["TcpIPPort"], self.trial.service_port)


if __name__ == "__main__":
    arguments = sys.argv[1:]
    if "--screenshot" in arguments:
        at = arguments.index("--screenshot")
        SCREENSHOT = os.path.abspath(arguments[at + 1])
        del arguments[at:at + 2]
    BIN_DIR, PAGE_DIR = arguments[:2]
    unittest.main(argv=[sys.argv[0]] + arguments[2:], verbosity=2)
