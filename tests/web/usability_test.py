"""The page as a newcomer meets it: Enter converts, a field in error is marked and its stale
output too, a wrong file is named as the user knows it, the layout reflows from a phone to a
wide screen, the preview runs only when it is seen and wanted, and the page works offline after
one visit.

Usage: usability_test.py PAGE_FOLDER MARQUEE8"""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, PageServer  # noqa: E402
from reference import as_shown, written  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

PAGE, MARQUEE8 = map(os.path.abspath, sys.argv[1:3])


class PageCase(unittest.TestCase):
    def setUp(self):
        self.server = PageServer(PAGE).__enter__()
        self.browser = Browser()
        self.driver = self.browser.driver
        self.browser.open(self.server.url + "index.html")

    def tearDown(self):
        self.browser.close()
        self.server.__exit__(None, None, None)

    def script(self, code, *args):
        return self.driver.execute_script(code, *args)

    def type_into(self, element_id, text, *keys):
        element = self.browser.element(element_id)
        element.send_keys(Keys.CONTROL, "a")
        element.send_keys(Keys.DELETE)
        element.send_keys(text, *keys)
        self.browser.settle()

    def output(self):
        return self.script("return document.getElementById('txtoutput').value")

    def message(self):
        element = self.browser.element("message")
        return element.text if element.is_displayed() else None


class Entering(PageCase):
    def test_enter_in_the_text_box_converts(self):
        self.type_into("txtinput", "Hi there", Keys.ENTER)
        self.assertEqual(self.output(), as_shown(written(MARQUEE8, "Hi there")[0], "classic"))

    def test_the_field_in_error_and_the_stale_output_are_marked_until_put_right(self):
        junk = os.path.join(tempfile.mkdtemp(), "holiday.jpg")
        with open(junk, "wb") as file:
            file.write(b"\xff\xd8\xff\xe0" + bytes(range(256)) * 8)
        # (the field, what is typed or given, the field marked, words the message must hold)
        cases = [
            ("leadOut", "", "leadOut", "a whole number from 0 to 65535 columns, not ''"),
            ("leadIn", "70000", "leadIn", "0 to 65535 columns: '70000' is out of range"),
            ("arrayName", "int", "arrayName", "the array name 'int'"),
            ("lengthName", "a", "lengthName", "both 'a'"),
            ("size", "65", "size", "1 to 64 pixels: '65' is out of range"),
            ("fontFile", junk, "fontFile", "'holiday.jpg'"),
        ]
        before = self.output()
        for field, given, marked, words in cases:
            with self.subTest(field=field, given=given):
                if field == "fontFile":
                    self.browser.element(field).send_keys(given)
                    self.browser.settle()
                else:
                    self.type_into(field, given, Keys.TAB)
                said = self.message()
                self.assertIn(words, said)
                self.assertNotIn("/fonts", said)
                self.assertEqual(self.browser.element(marked).get_attribute("aria-invalid"),
                                 "true")
                self.assertEqual(self.script(
                    "return document.getElementById('txtoutput').dataset.stale"), "true")
                self.assertEqual(self.output(), before)
                self.browser.element("copy").click()
                self.browser.settle()
                self.assertIn("not copied", self.browser.element("status").text)
                # Put right: the mark and the message go.
                if field != "fontFile":
                    self.type_into(field, {"leadOut": "0", "leadIn": "8", "arrayName": "a",
                                           "lengthName": "slen", "size": ""}[field], Keys.TAB)
                else:
                    self.browser.element("Command1").click()
                    self.browser.settle()
                self.assertIsNone(self.message())
                self.assertEqual(self.script("return document.querySelectorAll("
                                             "'[aria-invalid], [data-stale]').length"), 0)


class Layout(PageCase):
    def test_nothing_is_cut_off_or_scrolls_sideways_from_a_phone_to_a_wide_screen(self):
        # CSS pixels: a 320-pixel phone, 1280 at 400 % zoom, a 390 phone, 1280 at 200 %, wide.
        for width, height in [(320, 640), (390, 844), (640, 400), (1280, 800), (1920, 1080)]:
            with self.subTest(width=width):
                self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
                outside = self.script("""
                    const width = document.documentElement.clientWidth;
                    // The drawn text scrolls sideways in its own box.
                    const inBox = (e) => e.parentElement.closest('#picBox');
                    const out = [...document.querySelectorAll('body *')].filter((e) => {
                      if (inBox(e)) return false;
                      const box = e.getBoundingClientRect();
                      return box.width && (box.left < 0 || box.right > width + 0.5);
                    }).map((e) => e.id || e.tagName);
                    if (document.documentElement.scrollWidth > width) out.push('page');
                    return out;""")
                self.assertEqual(outside, [])
                # The array wraps between its numbers, never inside one.
                rows = self.script("return document.querySelector('#txtoutput > pre')"
                                   ".textContent").split("\n")
                self.assertEqual([(a, b) for a, b in zip(rows, rows[1:])
                                  if a[-1:].isalnum() and b[:1].isalnum() or b[:1] == " "], [])
                # Not shrunk to fit: at least a CSS pixel for each of its pixels.
                self.assertGreaterEqual(self.script(
                    "return document.getElementById('pic').clientHeight"), 29)


class Preview(PageCase):
    def running(self, expected):
        self.browser.wait_for(lambda d: d.execute_script(
            "return document.getElementById('led').dataset.running") == expected, 10)

    def test_the_preview_runs_only_while_it_is_seen_and_wanted(self):
        self.running("true")
        self.browser.element("pause").click()
        self.running("false")
        self.browser.element("pause").click()
        self.running("true")
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 800, "height": 300, "deviceScaleFactor": 1, "mobile": False})
        self.script("window.scrollTo(0, document.body.scrollHeight)")
        self.running("false")
        self.script("document.getElementById('led').scrollIntoView()")
        self.running("true")

    def test_under_reduced_motion_the_preview_waits_for_the_user(self):
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
            "features": [{"name": "prefers-reduced-motion", "value": "reduce"}]})
        self.browser.open(self.server.url + "index.html")
        self.assertTrue(self.browser.element("pause").is_selected())
        self.running("false")
        self.browser.element("pause").click()
        self.running("true")


class Offline(PageCase):
    def test_after_one_visit_the_page_converts_with_the_server_gone(self):
        self.driver.execute_async_script(
            "navigator.serviceWorker.ready.then(() => arguments[0]())")
        self.server.__exit__(None, None, None)
        self.browser.open(self.server.url + "index.html")
        self.type_into("txtinput", "offline ok", Keys.ENTER)
        self.browser.element("download").click()
        expected = written(MARQUEE8, "offline ok")[0]
        self.assertEqual(self.browser.take_download(len(expected)), expected)
        self.server = PageServer(PAGE).__enter__()  # for tearDown


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)
