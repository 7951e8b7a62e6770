"""The page served from its folder on localhost and driven in headless Chromium, for the page's
tests and benchmarks."""

import json
import os
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common import utils
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
]


class PageServer:
    """python3 -m http.server on a free port of 127.0.0.1, serving `folder`."""

    def __init__(self, folder):
        self.folder = folder

    def __enter__(self):
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        self.process = subprocess.Popen(
            [sys.executable, "-m", "http.server", str(port), "--bind", "127.0.0.1",
             "--directory", self.folder],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.url = f"http://127.0.0.1:{port}/"
        for _ in range(100):
            try:
                urllib.request.urlopen(self.url, timeout=1).close()
                return self
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("the page server did not start")

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()


class LoopbackService(Service):
    """chromedriver reached at 127.0.0.1 rather than by the name localhost, which a minimal
    system without /etc/hosts cannot resolve."""

    @property
    def service_url(self):
        return f"http://127.0.0.1:{self.port}"

    def is_connectable(self):
        return utils.is_connectable(self.port, "127.0.0.1")


class Browser:
    """A fresh headless Chromium profile as a user's default one is, but for where it saves
    downloads: safe browsing and its download checks on, downloads saved without a question,
    a page's second download let through only after a user's click. Nothing is allowed through
    DevTools, so that a download Chromium would hold stays held (a .crdownload) here too."""

    def __init__(self, flags=()):
        self.profile = tempfile.TemporaryDirectory(prefix="marquee8-chromium-")
        self.downloads = os.path.join(self.profile.name, "downloads")
        os.mkdir(self.downloads)
        self.taken = set()
        default = os.path.join(self.profile.name, "profile", "Default")
        os.makedirs(default)
        with open(os.path.join(default, "Preferences"), "w") as file:
            json.dump({"download": {"default_directory": self.downloads,
                                    "prompt_for_download": False}}, file)
        options = webdriver.ChromeOptions()
        for flag in CHROMIUM_FLAGS:
            options.add_argument(flag)
        options.add_argument(f"--user-data-dir={self.profile.name}/profile")
        options.add_argument("--window-size=800,900")
        for flag in flags:
            options.add_argument(flag)
        self.driver = webdriver.Chrome(service=LoopbackService(), options=options)

    def close(self):
        self.driver.quit()
        self.profile.cleanup()

    def open(self, url):
        """Opens the page and waits for the conversion it shows on arrival."""
        self.driver.get(url)
        self.wait_for(lambda d: d.execute_script("return document.body.dataset.ready"), 30)
        self.settle()

    def element(self, element_id):
        return self.driver.find_element(By.ID, element_id)

    def wait_for(self, condition, timeout=60):
        return WebDriverWait(self.driver, timeout, poll_frequency=0.01).until(condition)

    def settle(self, timeout=60):
        """Waits until no command of the page is under way."""
        self.wait_for(lambda d: d.execute_script("return document.body.dataset.busy") == "0",
                      timeout)

    def take_download(self, length=1, timeout=60):
        """The bytes of the one file the page has downloaded since the last call, once it holds
        at least `length` bytes: Chromium may write a file under its own name as it goes. The
        files are left where they are: Chromium still works on a file once it has its name, and
        fails the download if the file goes then. A held download keeps its temporary name, so
        that this times out."""
        def size(name):  # -1 for a file that Chromium renamed already
            try:
                return os.path.getsize(os.path.join(self.downloads, name))
            except FileNotFoundError:
                return -1

        def finished(_):
            # Chromium writes a hidden file first, then gives it its name.
            names = {n for n in os.listdir(self.downloads) if not n.startswith(".")} - self.taken
            done = names and not any(n.endswith(".crdownload") for n in names) and all(
                size(n) >= length for n in names)
            return names if done else None
        names = self.wait_for(finished, timeout)
        assert len(names) == 1, names
        self.taken |= names
        with open(os.path.join(self.downloads, *names), "rb") as file:
            return file.read()



def requests_from(net_log, origin):
    """The URLs of every request that `origin`'s pages and workers made, from Chromium's own
    log of the network (--log-net-log). The browser's own requests (updates, sign-in) name no
    origin as their initiator."""
    with open(net_log) as file:
        log = json.load(file)
    start_job = log["constants"]["logEventTypes"]["URL_REQUEST_START_JOB"]
    return [event["params"]["url"] for event in log["events"]
            if event["type"] == start_job and event.get("params", {}).get("initiator") == origin]
