"""The page in headless Chromium, used as a person would, against the marquee8 program: the same
bytes for every text, format, option and font, the LED preview, every bad input, no request
outside the page's folder and settings that persist.

Usage: page_test.py PAGE_FOLDER MARQUEE8 FONT_DIR"""

import json
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, PageServer, requests_from  # noqa: E402
from reference import as_shown, written  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402
from selenium.webdriver.support.ui import Select  # noqa: E402

PAGE, MARQUEE8, FONT_DIR = map(os.path.abspath, sys.argv[1:4])
PCF_GZ = "/usr/share/fonts/X11/misc/5x8.pcf.gz"
TTF = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
BDF = os.path.join(FONT_DIR, "marquee8-led.bdf")

TEXTS = [
    # ASCII
    "825710", "Hello, World!", "A", "", " ", "The quick brown fox jumps over the lazy dog 0123456789",
    "~!@#$%^&*()_+{}|:\"<>?", "`-=[]\\;',./", "-o starts like an option",
    # Latin-1
    "Grüße", "café crème", "¿Qué? ¡Sí!", "Ångström ©®±µ¶", "ÿ þ ß æ ø",
    # CJK
    "中文", "請輸入您要顯示的數字", "日本語テキスト", "한국어",
    # emoji, outside the BMP
    "😀", "I ❤ LEDs 🚀", "👍🏽 family 👨\u200d👩\u200d👧",
    # control characters
    "a\tb", "\x01\x02\x1b", "x\x7fy", "\u0085next line",
    # long
    "0123456789" * 100, "Lorem ipsum " * 400, "中文ABC😀" * 300,
    # past what an Uno's flash can hold: the status warns as the command line does
    "W" * 5400,
]

# Page settings, each also as the command line's options.
CLASSIC = {"format": "classic", "hex": False, "msbTop": False, "art": False, "leadIn": "8",
           "leadOut": "0", "arrayName": "a", "lengthName": "slen", "size": "",
           "spacing": "cell", "offset": "0", "inputMsbTop": False}
VARIANTS = [
    {},
    {"hex": True},
    {"msbTop": True, "leadIn": "0", "leadOut": "32"},
    {"format": "progmem", "arrayName": "frame", "lengthName": "frame_len", "art": True},
    {"format": "c", "hex": True, "msbTop": True},
    {"format": "micropython"},
    {"format": "micropython", "art": True, "hex": True, "leadIn": "3"},
    {"format": "raw"},
    {"format": "raw", "msbTop": True, "leadOut": "5"},
    {"art": True, "spacing": "font", "offset": "1"},
    {"format": "progmem", "offset": "-1", "spacing": "font"},
    {"format": "c", "leadIn": "16", "arrayName": "text_columns", "lengthName": "last"},
]
FONTS = [("builtin", ""), (PCF_GZ, ""), (TTF, ""), (BDF, ""), (TTF, "7")]


def options(settings, font):
    args = ["--format=" + settings["format"]]
    args += [flag for key, flag in (("hex", "--hex"), ("msbTop", "--msb-top"), ("art", "--art"))
             if settings[key]]
    args += ["--lead-in=" + settings["leadIn"], "--lead-out=" + settings["leadOut"],
             "--name=" + settings["arrayName"], "--length-name=" + settings["lengthName"],
             "--spacing=" + settings["spacing"], "--offset=" + settings["offset"]]
    path, size = font
    args += ["--font=" + path] + (["--size=" + size] if size else [])
    return args


def marquee8(*args):
    return written(MARQUEE8, *args)


def marquee8_error(*args):
    run = subprocess.run([MARQUEE8, *args], capture_output=True, stdin=subprocess.DEVNULL)
    assert run.returncode != 0
    return run.stderr.decode().splitlines()[0].removeprefix("marquee8: ")


def typed(text):
    """Whether chromedriver can type `text` key by key: the BMP only, no keys that move focus
    or edit, and short enough to type in a moment."""
    return len(text) <= 80 and all(
        " " <= c <= "\uffff" and c not in "\x7f\x85" and not "\ud800" <= c <= "\udfff"
        for c in text)


class PageCase(unittest.TestCase):
    flags = ()

    @classmethod
    def setUpClass(cls):
        cls.server = PageServer(PAGE).__enter__()
        cls.browser = Browser(flags=cls.flags)
        cls.browser.open(cls.server.url + "index.html")
        cls.font = ("builtin", "")

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        cls.server.__exit__(None, None, None)

    # ---- a person's actions ----

    def set_control(self, key, value):
        element = self.browser.element(key)
        if isinstance(value, bool):
            if element.is_selected() != value:
                element.click()
        elif element.tag_name == "select":
            Select(element).select_by_value(value)
        elif element.get_attribute("value") != value:
            element.send_keys(Keys.CONTROL, "a")
            element.send_keys(Keys.DELETE)
            element.send_keys(value, Keys.TAB)

    def choose(self, settings):
        for key, value in settings.items():
            self.set_control(key, value)
        self.browser.settle()

    def choose_font(self, font):
        if font == self.font:
            return
        path, size = font
        if path == "builtin":
            self.browser.element("builtinFont").click()
        elif path != self.font[0]:
            self.browser.element("fontFile").send_keys(path)
        self.browser.settle()
        self.set_control("size", size)
        self.browser.settle()
        type(self).font = font

    def enter(self, element_id, text):
        element = self.browser.element(element_id)
        if typed(text):
            element.send_keys(Keys.CONTROL, "a")
            element.send_keys(Keys.DELETE)
            if text:
                element.send_keys(text)
        else:  # pasted; as JSON, which carries even a lone surrogate
            self.browser.driver.execute_script(
                "arguments[0].value = JSON.parse(arguments[1]);"
                "arguments[0].dispatchEvent(new Event('input', {bubbles: true}));",
                element, json.dumps(text))

    def click(self, element_id):
        self.browser.element(element_id).click()
        self.browser.settle()

    def output_box(self):
        return self.browser.driver.execute_script("return document.getElementById('txtoutput').value")

    def message(self):
        element = self.browser.element("message")
        return element.text if element.is_displayed() else None

    def download(self, length):
        self.click("download")
        return self.browser.take_download(length)


class SameBytes(PageCase):
    def test_every_text_format_option_and_font_as_marquee8_writes_it(self):
        cases = 0
        for round_ in range(4):
            for i, text in enumerate(TEXTS):
                n = round_ * len(TEXTS) + i
                settings = {**CLASSIC, **VARIANTS[n % len(VARIANTS)]}
                font = FONTS[(n // 3) % len(FONTS)]
                with self.subTest(text=text[:40], settings=settings, font=font):
                    self.choose(settings)
                    self.choose_font(font)
                    self.enter("txtinput", text)
                    self.click("Command1")
                    self.assertIsNone(self.message())
                    expected, warnings = marquee8(*options(settings, font), "--", text)
                    self.assertEqual(self.download(len(expected)), expected)
                    self.assertEqual(self.output_box(), as_shown(expected, settings["format"]))
                    # The same warning, but for the remedy: each front end names its own
                    # control for it.
                    for line in warnings.splitlines():
                        self.assertIn(line.removeprefix("marquee8: warning: ").split("; --")[0],
                                      self.browser.element("status").text)
                    cases += 1
        self.assertGreaterEqual(cases, 100)
        print(f"same bytes: {cases} texts, {len(VARIANTS)} settings, {len(FONTS)} fonts",
              file=sys.stderr)

    def test_an_array_read_back_as_marquee8_decode_writes_it(self):
        # Each array read in its own bit order (inputMsbTop) and written in the one chosen.
        arrays = [
            (marquee8("825710")[0], {"format": "progmem"}),
            (marquee8("--hex", "--format=c", "Hi")[0], {"format": "micropython", "hex": True}),
            (marquee8("--msb-top", "--lead-out=4", "ok")[0], {"inputMsbTop": True}),
            (marquee8("--msb-top", "Hi")[0], {"inputMsbTop": True, "msbTop": True}),
            (marquee8("--msb-top", "--format=micropython", "Ab")[0],
             {"inputMsbTop": True, "format": "raw"}),
            (marquee8("825710")[0], {"msbTop": True, "format": "c", "hex": True}),
            (b"byte x[] = {B101, 0x1F, 7, 0b11};\nint n = 3;\n", {"format": "raw"}),
            (b"byte x[] = {B101, 0x1F, 7, 0b11};\nint n = 3;\n",
             {"format": "progmem", "inputMsbTop": True, "msbTop": True}),
            (b"frame = bytearray((1, 2, 0o17, 255))\n", {"art": True, "leadIn": "0"}),
            (b"frame = bytearray((1, 2, 0o17, 128))\n",
             {"art": True, "inputMsbTop": True, "format": "micropython"}),
            (b"// hand-written\nconst uint8_t f[3] PROGMEM = {1, 2, 3};\n",
             {"format": "c", "arrayName": "g", "lengthName": "m"}),
        ]
        self.choose_font(("builtin", ""))
        with tempfile.TemporaryDirectory() as folder:
            for i, (array, variant) in enumerate(arrays):
                settings = {**CLASSIC, **variant}
                with self.subTest(array=array[:40], settings=variant):
                    self.choose(settings)
                    path = os.path.join(folder, f"array{i}.h")
                    with open(path, "wb") as file:
                        file.write(array)
                    # An array is drawn already: only the output's options apply.
                    drawing = ("--lead", "--spacing", "--offset", "--font", "--size")
                    args = [a for a in options(settings, ("builtin", ""))
                            if not a.startswith(drawing)]
                    if settings["inputMsbTop"]:
                        args.append("--input-msb-top")
                    expected, _ = marquee8("--decode", *args, path)
                    if i % 2:
                        self.browser.element("arrayFile").send_keys(path)
                        self.browser.settle()
                    else:
                        self.enter("arrayText", array.decode())
                        self.click("showArray")
                    self.assertIsNone(self.message())
                    self.assertEqual(self.download(len(expected)), expected)
                    self.assertEqual(self.output_box(), as_shown(expected, settings["format"]))
        self.choose(CLASSIC)


class OnAPhone(PageCase):
    # A phone's page has its worker fetch and compile the converter.
    flags = ("--window-size=390,844",)

    def test_a_phones_page_converts_as_marquee8(self):
        self.assertFalse(self.browser.driver.execute_script(
            "return matchMedia('(min-width: 48em)').matches"))
        for text in TEXTS[:3]:
            with self.subTest(text=text):
                self.enter("txtinput", text)
                self.click("Command1")
                expected = marquee8(*options(CLASSIC, ("builtin", "")), "--", text)[0]
                self.assertEqual(self.output_box(), as_shown(expected, "classic"))


class Preview(PageCase):
    def led_columns(self):
        """The LED columns in view as values, bit 0 the top LED: read from the strip's pixels
        where its place in the window puts them."""
        return self.browser.driver.execute_script("""
            const box = document.getElementById('led'), strip = box.firstElementChild;
            const pitch = 7, shown = Math.floor(585 / pitch), values = [];
            const cssPitch = strip.offsetWidth / (strip.width / pitch);
            const moved = -new DOMMatrix(getComputedStyle(strip).transform).m41;
            const from = Math.round(moved / cssPitch);
            const pixels = strip.getContext('2d').getImageData(0, 0, strip.width, strip.height);
            for (let k = from; k < from + shown; ++k) {
              let value = 0;
              for (let row = 0; row < 8; ++row) {
                const x = k * pitch + 3, y = row * pitch + 4;
                if (pixels.data[(y * strip.width + x) * 4] > 200) value |= 1 << row;
              }
              values.push(value);
            }
            return values;""")

    def test_the_strip_scrolls_the_arrays_columns(self):
        self.choose({**CLASSIC, "leadOut": "3"})
        self.enter("txtinput", "825710")
        self.click("Command1")
        # Where the compositor has moved the strip to.
        snapshot = "return getComputedStyle(document.getElementById('led').firstElementChild)" \
                   ".transform"
        first = self.browser.driver.execute_script(snapshot)
        time.sleep(0.3)
        self.assertNotEqual(self.browser.driver.execute_script(snapshot), first)

        self.browser.element("pause").click()
        shown = self.led_columns()
        text = marquee8("--lead-out=3", "825710")[0].decode()
        array = [int(v) for v in re.search(r"\{(.*)\}", text).group(1).split(",")]
        rotations = [[array[(s + k) % len(array)] for k in range(len(shown))]
                     for s in range(len(array))]
        self.assertIn(shown, rotations)
        paused = self.browser.driver.execute_script(snapshot)
        time.sleep(0.3)
        self.assertEqual(self.browser.driver.execute_script(snapshot), paused)
        self.browser.element("pause").click()


class BadInput(PageCase):
    def test_each_bad_input_is_told_and_the_output_stays(self):
        junk = os.path.join(tempfile.mkdtemp(), "not-a-font.ttf")
        with open(junk, "wb") as file:
            file.write(bytes(range(256)) * 4)
        unreadable = "byte a[]={1,2\n"
        unreadable_file = os.path.join(os.path.dirname(junk), "unreadable.h")
        with open(unreadable_file, "w") as file:
            file.write(unreadable)
        # (what the person has set, what they do then, the message's start, what marquee8 says
        # about the same or None)
        cases = [
            ({}, {"text": "\ud800A"}, "The text cannot be converted: ", None),
            ({}, {"arrayName": "int"}, "The output settings cannot be used: ",
             marquee8_error("--name=int", "x")),
            ({}, {"lengthName": "a"}, "The output settings cannot be used: ",
             marquee8_error("--length-name=a", "x")),
            ({}, {"arrayName": "2nd"}, "The output settings cannot be used: ",
             marquee8_error("--name=2nd", "x")),
            ({"format": "raw"}, {"art": True}, "The output settings cannot be used: ",
             marquee8_error("--format=raw", "--art", "x")),
            ({}, {"leadIn": "70000"}, "The output settings cannot be used: ",
             "0 to 65535 columns"),
            ({}, {"leadOut": "-1"}, "The output settings cannot be used: ", None),
            ({}, {"size": "65"}, "The font cannot be used: ", None),
            ({}, {"font": junk}, "The font cannot be used: ",
             # the reason after the file's name: the page names its own copy of the file
             marquee8_error("--font=" + junk, "x").split(f"'{junk}' ", 1)[-1]),
            ({"font": PCF_GZ}, {"size": "12"}, "The font cannot be used: ",
             marquee8_error("--font=" + PCF_GZ, "--size=12", "x").removeprefix(f"'{PCF_GZ}' ")),
            ({}, {"array": unreadable}, "The array cannot be read: ",
             marquee8_error("--decode", unreadable_file)),
        ]
        for setup, action, start, says in cases:
            with self.subTest(action=action):
                self.choose_font(("builtin", ""))
                self.choose(CLASSIC)
                self.enter("txtinput", "825710")
                self.click("Command1")
                if "font" in setup:
                    self.choose_font((setup.pop("font"), ""))
                self.choose(setup)
                before = (self.output_box(), self.browser.element("status").text)
                if "text" in action:
                    self.enter("txtinput", action["text"])
                    self.click("Command1")
                elif "array" in action:
                    self.enter("arrayText", action["array"])
                    self.click("showArray")
                elif "font" in action:
                    self.browser.element("fontFile").send_keys(action["font"])
                    self.browser.settle()
                else:
                    self.choose(action)
                message = self.message()
                self.assertIsNotNone(message)
                self.assertTrue(message.startswith(start), message)
                if says is not None:
                    self.assertIn(says, message)
                self.assertEqual((self.output_box(), self.browser.element("status").text), before)


    def test_a_number_the_core_refuses_is_worded_as_the_command_line_words_it(self):
        # (field, the option it is on the command line, what the page calls it, a bad value)
        cases = [
            ("leadIn", "--lead-in", "the lead-in", "70000"),
            ("leadIn", "--lead-in", "the lead-in", "-1"),
            ("leadIn", "--lead-in", "the lead-in", "1.5"),
            ("leadOut", "--lead-out", "the lead-out", "65536"),
            ("leadOut", "--lead-out", "the lead-out", ""),
            ("size", "--size", "the size", "0"),
            ("size", "--size", "the size", "65"),
            ("size", "--size", "the size", "2.5"),
            ("offset", "--offset", "the offset", "33"),
            ("offset", "--offset", "the offset", "-33"),
            ("offset", "--offset", "the offset", ""),
            # What a browser's number field would give as '' or take in part: typed as it is.
            ("size", "--size", "the size", "1e"),
            ("leadIn", "--lead-in", "the lead-in", "1e5"),
            ("size", "--size", "the size", "0x10"),
            ("offset", "--offset", "the offset", "12abc"),
            ("size", "--size", "the size", " "),
            ("leadOut", "--lead-out", "the lead-out", "+"),
            ("size", "--size", "the size", "1.5"),
        ]
        font_fields = ("size", "offset")
        self.choose_font(("builtin", ""))
        for field, option, name, value in cases:
            with self.subTest(field=field, value=value):
                self.choose(CLASSIC)
                self.enter("txtinput", "825710")
                self.click("Command1")
                self.choose({field: value})
                said = marquee8_error(f"{option}={value}", "x")
                start = ("The font cannot be used: " if field in font_fields
                         else "The output settings cannot be used: ")
                self.assertEqual(self.message().split(" The output below")[0],
                                 start + said.replace(f"option '{option}'", name))
                self.assertEqual(self.browser.element(field).get_attribute("aria-invalid"),
                                 "true")
                # The field tells the range the core takes.
                takes = self.browser.element(field).get_attribute("title")
                high = int(takes.split()[2])
                out_of_range = marquee8_error(f"{option}={high + 1}", "x")
                self.assertIn(f"needs {takes}: ", out_of_range)
        self.choose(CLASSIC)


class Requests(PageCase):
    def test_no_request_leaves_the_pages_folder(self):
        net_log = os.path.join(tempfile.mkdtemp(), "net-log.json")
        browser = Browser([f"--log-net-log={net_log}"])
        try:
            browser.open(self.server.url + "index.html")
            browser.element("fontFile").send_keys(TTF)
            browser.settle()
            browser.element("Command1").click()
            browser.settle()
            browser.element("download").click()
            browser.take_download()
        finally:
            browser.close()
        urls = requests_from(net_log, self.server.url.rstrip("/"))
        self.assertIn(self.server.url + "marquee8.js", urls)  # the worker's requests too
        for url in urls:
            self.assertTrue(url.startswith(self.server.url), url)


class Storage(PageCase):
    def test_settings_persist_and_a_first_visit_shows_the_classic_state(self):
        def state():
            return self.browser.driver.execute_script("""
                const v = (id) => document.getElementById(id);
                return [v('format').value, v('hex').checked, v('leadIn').value,
                        v('arrayName').value, v('txtinput').value, v('txtoutput').value];""")
        # A visit shows the classic text converted with the settings in force.
        classic = ["classic", False, "8", "a", "825710",
                   as_shown(marquee8("825710")[0], "classic")]
        self.browser.open(self.server.url + "index.html")
        self.assertEqual(state(), classic)
        self.choose({"format": "micropython", "hex": True, "leadIn": "2", "arrayName": "msg"})
        self.browser.open(self.server.url + "index.html")
        kept = marquee8("--format=micropython", "--hex", "--lead-in=2", "--name=msg", "825710")[0]
        self.assertEqual(state(), ["micropython", True, "2", "msg", "825710",
                                   as_shown(kept, "micropython")])
        fresh = Browser()
        try:
            fresh.open(self.server.url + "index.html")
            self.assertEqual(fresh.driver.execute_script("""
                const v = (id) => document.getElementById(id);
                return [v('format').value, v('hex').checked, v('leadIn').value,
                        v('arrayName').value, v('txtinput').value, v('txtoutput').value];"""),
                classic)
        finally:
            fresh.close()
        self.choose(CLASSIC)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[4:], verbosity=2)
