#!/usr/bin/python3
"""The page audited as a user's browser would judge it, against the targets: Lighthouse 12
(mobile and desktop) performance at least 95 and accessibility, best practices and SEO 100;
axe-core 4 with no violations; Chromium finds it installable.
Lighthouse and axe-core come from npm into build/web-audit the first time.
Run: bench/web_audit.py [PAGE_FOLDER]   (default: build/web/page; scripts/build-web makes it)"""

import json
import os
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
from browser import CHROMIUM_FLAGS, Browser, PageServer  # noqa: E402

PAGE = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "web", "page")
TOOLS = os.path.join(ROOT, "build", "web-audit")
MODULES = os.path.join(TOOLS, "node_modules")
TARGETS = {"performance": 95, "accessibility": 100, "best-practices": 100, "seo": 100}

verdicts = []


def report(what, figure, target, ok):
    verdicts.append(ok)
    print(f"{what:<44} {figure:<20} target {target:<8} {'ok' if ok else 'OVER TARGET'}")


def install():
    if not os.path.isdir(os.path.join(MODULES, "lighthouse")):
        os.makedirs(TOOLS, exist_ok=True)
        subprocess.run(["npm", "install", "--no-audit", "--no-fund", "--prefix", TOOLS,
                        "lighthouse@12", "axe-core@4"], check=True, stdout=subprocess.DEVNULL)


def lighthouse(url, form):
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "report.json")
        subprocess.run(
            [os.path.join(MODULES, ".bin", "lighthouse"), url, "--quiet", "--output=json",
             f"--output-path={out}", "--chrome-flags=" + " ".join(CHROMIUM_FLAGS),
             "--only-categories=" + ",".join(TARGETS)] +
            (["--preset=desktop"] if form == "desktop" else []),
            check=True, env={**os.environ, "CHROME_PATH": "/usr/bin/chromium"})
        with open(out) as file:
            categories = json.load(file)["categories"]
    for name, target in TARGETS.items():
        score = round(categories[name]["score"] * 100)
        report(f"Lighthouse {form}, {name}", str(score), f">= {target}", score >= target)


def axe_and_installable(url):
    with open(os.path.join(MODULES, "axe-core", "axe.min.js")) as file:
        axe = file.read()
    browser = Browser()
    try:
        browser.open(url)
        browser.driver.execute_script(axe)
        violations = browser.driver.execute_async_script(
            "axe.run().then((r) => arguments[0](r.violations.map((v) => v.id + ': ' + v.help)))")
        report("axe-core violations", str(len(violations)), "0", not violations)
        for violation in violations:
            print("  " + violation)
        browser.driver.execute_async_script(
            "navigator.serviceWorker.ready.then(() => arguments[0]())")
        errors = browser.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})
        problems = [e["errorId"] for e in errors.get("installabilityErrors", [])]
        report("installable (Chromium)", ", ".join(problems) or "yes", "yes", not problems)
    finally:
        browser.close()


def main():
    install()
    with PageServer(PAGE) as server:
        url = server.url + "index.html"
        for form in ("mobile", "desktop"):
            lighthouse(url, form)
        axe_and_installable(url)
    return 0 if all(verdicts) else 1


if __name__ == "__main__":
    sys.exit(main())
