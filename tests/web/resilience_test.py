"""The page against what once froze or stopped it: a result of millions of characters, stored
settings and fonts it cannot use, a storm of clicks on Start, and a page published without its
converter.

Usage: resilience_test.py PAGE_FOLDER MARQUEE8"""

import base64
import json
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, PageServer  # noqa: E402
from reference import as_shown, written  # noqa: E402
from selenium.webdriver.support.ui import Select, WebDriverWait  # noqa: E402

PAGE, MARQUEE8 = map(os.path.abspath, sys.argv[1:3])
PCF_GZ = "/usr/share/fonts/X11/misc/5x8.pcf.gz"
# The most characters the output box may lay out at once: a few screens' worth.
LAID_OUT_AT_MOST = 20000
# Counts, in the page, the requests it sends its worker by operation.
COUNT_REQUESTS = """
  window.requests = {};
  const post = Worker.prototype.postMessage;
  Worker.prototype.postMessage = function (message, ...rest) {
    window.requests[message.op] = (window.requests[message.op] ?? 0) + 1;
    return post.call(this, message, ...rest);
  };"""


class PageCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = PageServer(PAGE).__enter__()
        cls.browser = Browser()
        cls.driver = cls.browser.driver
        cls.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                   {"source": COUNT_REQUESTS})
        cls.driver.execute_cdp_cmd("Browser.grantPermissions", {
            "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"],
            "origin": cls.server.url.rstrip("/")})
        cls.browser.open(cls.server.url + "index.html")

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        cls.server.__exit__(None, None, None)

    def script(self, code, *args):
        return self.driver.execute_script(code, *args)

    def paste(self, element_id, text):
        self.script("document.getElementById(arguments[0]).value = arguments[1];", element_id, text)

    def click(self, element_id):
        self.browser.element(element_id).click()
        self.browser.settle()

    def message(self):
        element = self.browser.element("message")
        return element.text if element.is_displayed() else None

    def reload_with(self, stored):
        """Reloads the page with localStorage holding `stored` (key: text) and nothing else."""
        self.script("localStorage.clear();"
                    "for (const [key, value] of Object.entries(arguments[0]))"
                    "  localStorage.setItem(key, value);", stored)
        self.browser.open(self.server.url + "index.html")
        self.browser.settle(20)


class LongResult(PageCase):
    def test_a_long_result_is_laid_out_in_part_and_copied_and_downloaded_whole(self):
        big_array = "byte a[]={" + "127, 8, 8, 8, 127, 0, " * 300000 + "};\n"
        # (what is converted, the format, the command line's arguments for it)
        cases = [
            ("text", "Hello world, " * 8000, "classic", []),
            ("text", "0123456789" * 3000, "raw", []),
            ("text", "Grüße 中文 😀 " * 4000, "c", ["--hex"]),
            ("array", big_array, "progmem", ["--decode"]),
            # It crosses to the worker in parts of 2**20 UTF-16 units: one ends inside the pair
            # of an emoji.
            ("array", "// " + "😀" * 600000 + "\n" + big_array, "c", ["--decode"]),
        ]
        for kind, text, output_format, args in cases:
            with self.subTest(kind=kind, length=len(text), format=output_format):
                Select(self.browser.element("format")).select_by_value(output_format)
                self.browser.settle()
                if self.browser.element("hex").is_selected() != ("--hex" in args):
                    self.click("hex")
                if kind == "text":
                    self.paste("txtinput", text)
                    self.click("Command1")
                    expected, _ = written(MARQUEE8, "--format=" + output_format, *args, "--", text)
                else:
                    self.paste("arrayText", text)
                    self.click("showArray")
                    with tempfile.NamedTemporaryFile("w", suffix=".h", encoding="utf-8") as file:
                        file.write(text)
                        file.flush()
                        expected, _ = written(MARQUEE8, "--format=" + output_format, *args,
                                              file.name)
                self.assertIsNone(self.message())
                shown = as_shown(expected, output_format)
                self.assertGreater(len(shown), 100000)
                self.assertEqual(self.script("return document.getElementById('txtoutput').value"),
                                 shown)
                # What the box lays out: a text area its whole value, other elements their text.
                laid_out = self.script("""
                    const box = document.getElementById('txtoutput');
                    return (box instanceof HTMLTextAreaElement ? box.value : box.textContent)
                      .length;""")
                self.assertLessEqual(laid_out, LAID_OUT_AT_MOST)

                self.click("copy")
                self.assertIn("copied", self.browser.element("status").text)
                self.assertEqual(self.driver.execute_async_script(
                    "navigator.clipboard.readText().then(arguments[0]);"), shown)
                # A browser saves a file only just after the click: the page prepares a long
                # result's file as it shows it.
                self.browser.wait_for(lambda d: d.execute_script(
                    "return document.getElementById('download').dataset.prepared") == "true")
                self.click("download")
                self.assertEqual(self.browser.take_download(len(expected)), expected)
                self.assertIn(f"{len(expected):,} bytes", self.browser.element("status").text)
        self.paste("arrayText", "")
        Select(self.browser.element("format")).select_by_value("classic")
        self.browser.settle()

    def test_scrolling_shows_every_row_of_the_result(self):
        text = "0123456789" * 400
        self.paste("txtinput", text)
        self.click("Command1")
        rows = self.script("""
            const box = document.getElementById('txtoutput');
            const rows = [];
            for (let top = 0; ; top += box.clientHeight / 2) {
              box.scrollTop = top;
              box.draw();
              rows.push(box.querySelector('pre').textContent.split('\\n'));
              if (box.scrollTop + box.clientHeight >= box.scrollHeight) return rows;
            }""")
        # Each screen overlaps the last by half: put them back together without the overlap.
        joined = rows[0]
        for screen in rows[1:]:
            overlap = next(n for n in range(min(len(screen), len(joined)), -1, -1)
                           if joined[len(joined) - n:] == screen[:n])
            joined += screen[overlap:]
        expected, _ = written(MARQUEE8, "--", text)
        self.assertEqual("".join(joined), as_shown(expected, "classic").replace("\n", ""))


class StoredState(PageCase):
    def tearDown(self):
        self.reload_with({})

    def state(self):
        return self.script("""
            const v = (id) => document.getElementById(id);
            return [v('format').value, v('hex').checked, v('leadIn').value, v('size').value,
                    v('arrayName').value];""")

    def test_stored_settings_the_page_cannot_take_are_left_at_their_classic_values(self):
        classic = ["classic", False, "8", "", "a"]
        cases = [
            ('{"format":"progmem","brightness":9}', ["progmem", False, "8", "", "a"]),
            ('{"format":"pdf","leadIn":3}', ["classic", False, "3", "", "a"]),
            ('{"hex":"yes","leadIn":70000,"size":0}', classic),
            ('{"leadIn":2.5,"size":11,"arrayName":5}', ["classic", False, "8", "11", "a"]),
            ('{"__proto__":{"format":"c"},"constructor":1}', classic),
            ('[1, 2]', classic), ('null', classic), ('"text"', classic), ('{', classic),
        ]
        for stored, shown in cases:
            with self.subTest(stored=stored):
                self.reload_with({"marquee8.settings": stored})
                # Ready, and the arrival's conversion went through with what was taken.
                self.assertIn("columns", self.browser.element("status").text)
                self.assertEqual(self.state(), shown)
                self.assertIsNone(self.message())

    def test_a_stored_font_that_cannot_be_used_is_dropped_with_a_message(self):
        with open(PCF_GZ, "rb") as file:
            pcf = base64.b64encode(file.read()).decode()
        junk = base64.b64encode(bytes(range(256))).decode()
        # (what is stored, the font in use after the reload, the message's start or None)
        cases = [
            ({"name": "..", "data": "eA=="}, "Built-in LED font",
             "The font kept from your last visit '..' was dropped: "),
            ({"name": "junk.ttf", "data": junk}, "Built-in LED font",
             "The font kept from your last visit 'junk.ttf' was dropped: "),
            ({"name": "half.ttf", "data": "!!"}, "Built-in LED font",
             "The font kept from your last visit 'half.ttf' was dropped: "),
            ({"data": pcf}, "Built-in LED font", "The font kept from your last visit was dropped: "),
            ("{", "Built-in LED font", "The font kept from your last visit was dropped: "),
            ({"name": "5x8.pcf.gz", "data": pcf}, "5x8.pcf.gz", None),
        ]
        for stored, font, message in cases:
            with self.subTest(stored=str(stored)[:40]):
                text = stored if isinstance(stored, str) else json.dumps(stored)
                self.reload_with({"marquee8.font": text})
                self.assertEqual(self.browser.element("fontName").text, font)
                said = self.message()
                if message is None:
                    self.assertIsNone(said)
                    self.assertEqual(self.script("return localStorage.getItem('marquee8.font')"),
                                     text)
                else:
                    self.assertTrue(said.startswith(message), said)
                    self.assertNotIn("/fonts", said)
                    self.assertIsNone(self.script("return localStorage.getItem('marquee8.font')"))


class ClickStorm(PageCase):
    def test_only_the_newest_of_many_starts_is_converted_and_shown(self):
        text = "Marquee 8 - 825710 OPEN 24/7, all welcome! " * 2400
        self.script("""
            window.requests = {};
            const input = document.getElementById('txtinput');
            for (let i = 0; i < 60; ++i) {
              input.value = arguments[0] + i;
              document.getElementById('Command1').click();
            }""", text)
        self.browser.settle()
        # The first went before the others came; of those only the last is worth running.
        self.assertEqual(self.script("return window.requests.start"), 2)
        expected, _ = written(MARQUEE8, "--", text + "59")
        self.assertEqual(self.script("return document.getElementById('txtoutput').value"),
                         as_shown(expected, "classic"))


class MissingModule(unittest.TestCase):
    def test_a_page_published_without_its_module_says_so(self):
        # A phone's worker fetches the module itself; a wide screen's page does.
        with tempfile.TemporaryDirectory() as folder:
            page = shutil.copytree(PAGE, os.path.join(folder, "page"),
                                   ignore=shutil.ignore_patterns("marquee8.wasm"))
            with PageServer(page) as server:
                for size in ("1280,800", "390,844"):
                    with self.subTest(size=size):
                        browser = Browser(flags=[f"--window-size={size}"])
                        try:
                            browser.driver.get(server.url + "index.html")
                            message = WebDriverWait(browser.driver, 30).until(
                                lambda d: d.find_element("id", "message").text)
                            self.assertEqual(message, "The converter could not be loaded: "
                                             "marquee8.wasm: 404 File not found")
                        finally:
                            browser.close()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)

