#!/usr/bin/python3
"""The page's size and speed in headless Chromium from a local server, against the targets:
everything it loads at most 1.5 MB gzipped, interactive within 1 s, 1,000 characters shown
within 50 ms and 100,000 within 1 s (converted in the page's worker), and the longest task
the page's own thread ran meanwhile.
Run: bench/web_figures.py [PAGE_FOLDER]   (default: build/web/page; scripts/build-web makes it)"""

import gzip
import json
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Browser, PageServer  # noqa: E402

PAGE = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "build", "web", "page")
TEXT = "Marquee 8 - 825710 OPEN 24/7, all welcome! "
RUNS = 11

verdicts = []


def report(what, figure, target, ok):
    verdicts.append(ok)
    print(f"{what:<44} {figure:<34} target {target:<10} {'ok' if ok else 'OVER TARGET'}")


def size():
    total = 0
    for name in sorted(os.listdir(PAGE)):
        with open(os.path.join(PAGE, name), "rb") as file:
            total += len(gzip.compress(file.read(), 9))
    report("page, module and scripts (gzip -9)", f"{total / 1e6:.3f} MB", "<= 1.5 MB",
           total <= 1.5e6)


def interactive(server):
    times = []
    for _ in range(5):
        browser = Browser()
        try:
            browser.open(server.url + "index.html")
            times.append(browser.driver.execute_script(
                "return performance.getEntriesByName('marquee8-ready')[0].startTime"))
        finally:
            browser.close()
    median = statistics.median(times)
    report("interactive (navigation to worker ready)",
           f"median {median:.0f} ms, max {max(times):.0f} ms (5 fresh)", "<= 1000 ms",
           median <= 1000)


def conversion(browser, length, target_ms):
    text = (TEXT * (length // len(TEXT) + 1))[:length]
    browser.driver.execute_script(
        "window.longest = 0;"
        "new PerformanceObserver((list) => { for (const task of list.getEntries())"
        "  window.longest = Math.max(window.longest, task.duration); })"
        ".observe({ type: 'longtask' });", json.dumps(text))
    times = []
    for run in range(RUNS):
        # Each run a text of its own, so that the output box really changes.
        browser.driver.execute_script(
            "document.getElementById('txtinput').value = JSON.parse(arguments[0]);",
            json.dumps(text[:-1] + "0123456789"[run % 10]))
        # From the click to the first frame painted with the output in place.
        times.append(browser.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            const body = document.body;
            const start = performance.now();
            const painted = () => requestAnimationFrame(() => setTimeout(
                () => done(performance.now() - start)));
            const observer = new MutationObserver(() => {
              if (body.dataset.busy === '0') { observer.disconnect(); painted(); }
            });
            observer.observe(body, { attributes: true, attributeFilter: ['data-busy'] });
            document.getElementById('Command1').click();"""))
    longest = browser.driver.execute_script("return window.longest")
    median = statistics.median(times)
    report(f"{length:,} characters, click to output painted",
           f"median {median:.1f} ms, max {max(times):.1f} ms ({RUNS} runs)", f"<= {target_ms} ms",
           median <= target_ms)
    # The conversion runs in the worker; what the page's own thread still does is take the
    # result and lay out the output box's text. Told, not judged: the page answers again after
    # it, within the time above.
    print(f"{length:,} characters, longest main-thread task".ljust(45) + f"{longest:.0f} ms")


def main():
    size()
    with PageServer(PAGE) as server:
        interactive(server)
        browser = Browser()
        try:
            browser.open(server.url + "index.html")
            conversion(browser, 1000, 50)
            conversion(browser, 100000, 1000)
        finally:
            browser.close()
    return 0 if all(verdicts) else 1


if __name__ == "__main__":
    sys.exit(main())
