"""The page's Board section in headless Chromium, sending to the receiver sketch on a simulated
Uno, and setting up simulated boards that hold nothing but their genuine bootloader. A stand-in for navigator.serial, put in before the page loads, only carries bytes and the
DTR/RTS levels between the page and the board's pseudo-terminal through a small HTTP bridge;
it knows nothing of the protocol, so the page's own code does all of it. What the board stores
is then read with the command line, and compared with what the command line writes. For the
wiring wizard the receiver drives a simulated chain of MAX7219 modules whose LEDs the test reads
and answers from, as a person in front of the board would.

Usage: board_test.py PAGE_FOLDER MARQUEE8 RECEIVER_SIM RECEIVER_ELF BOARD_SIM [TEST...]"""

import os
import select
import subprocess
import sys
import tempfile
import termios
import threading
import tty
import unittest
from contextlib import contextmanager, nullcontext
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from selenium.webdriver.common.by import By

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, PageServer  # noqa: E402
from reference import as_shown, written  # noqa: E402

PAGE, MARQUEE8, RECEIVER_SIM, RECEIVER_ELF, BOARD_SIM = map(os.path.abspath, sys.argv[1:6])

# navigator.serial with one port, granted when the page asks for it, whose bytes and signals
# go to the bridge at BRIDGE. A page may open it, read, write, set signals and close it.
STAND_IN = r"""
(() => {
  const bridge = 'BRIDGE';
  const post = (what, body) => fetch(bridge + what, { method: 'POST', body });
  class Port {
    async open({ baudRate }) {
      await post('open', String(baudRate));
      this.readable = (await fetch(bridge + 'read')).body;
      this.writable = new WritableStream({ write: (chunk) => post('write', chunk).then(() => {}) });
    }
    setSignals(signals) { return post('signals', JSON.stringify(signals)).then(() => {}); }
    async close() {
      this.readable = this.writable = null;
      await post('close', '');
    }
    getInfo() { return {}; }
  }
  const port = new Port();
  let granted = false;
  const serial = {
    getPorts: async () => (granted ? [port] : []),
    requestPort: async () => { granted = true; return port; },
    addEventListener() {},
    removeEventListener() {},
  };
  Object.defineProperty(Navigator.prototype, 'serial', { get: () => serial, configurable: true });
})();
"""
NO_WEB_SERIAL = "delete Navigator.prototype.serial;"
# Keeps, in window.wokenEarly, how often the page asked the core to go on before the time the
# core gave and with nothing new for it: neither bytes, nor an answer, nor a Cancel it was not
# given already.
WAKES = r"""
window.wokenEarly = 0;
window.Worker = class extends Worker {
  constructor(url) {
    super(url);
    this.addEventListener('message', (event) => { this.wake = event.data.result.wake; });
  }
  postMessage(message) {
    const { op, arrived, now, control } = message;
    if (op === 'begin') this.cancelled = false;
    const news = op !== 'advance' || arrived.length || control.answer !== null ||
      (control.cancel && !this.cancelled);
    if (!news && now < this.wake - 2) window.wokenEarly++;
    if (op === 'advance') this.cancelled ||= control.cancel;
    super.postMessage(message);
  }
};
"""


class Bridge:
    """Carries bytes between HTTP requests and the pseudo-terminal at `path`, raw, as they
    come: POST open, write (the bytes), signals and close; GET read streams what arrives, as it
    arrives, until the port is closed."""

    def __init__(self):
        self.path = None
        self.fd = None
        self.arrived = bytearray()
        self.lock = threading.Condition()
        self.levels = []  # the DTR and RTS levels the page set, in order
        # While set, the wire carries nothing back to the page, as a cable that failed: a
        # test's way to hold a task where it is.
        self.dead = False
        bridge = self

        class Handler(BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def answer(self, body=b""):
                self.send_response(200)
                self.send_header("Access-Control-Allow-Origin", "*")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def do_GET(self):
                self.send_response(200)
                self.send_header("Access-Control-Allow-Origin", "*")
                self.end_headers()
                self.wfile.flush()
                try:
                    for data in bridge.stream():
                        self.wfile.write(data)
                        self.wfile.flush()
                except OSError:
                    pass  # the page cancelled its reader

            def do_POST(self):
                body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
                getattr(bridge, self.path.strip("/"))(body)
                self.answer()

        self.server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def open(self, baud):
        with self.lock:
            self.fd = os.open(self.path, os.O_RDWR | os.O_NOCTTY)
            tty.setraw(self.fd)
            # At the page's speed, which a simulated bootloader board checks as a UART would.
            attributes = termios.tcgetattr(self.fd)
            attributes[4] = attributes[5] = getattr(termios, f"B{int(baud)}")
            termios.tcsetattr(self.fd, termios.TCSANOW, attributes)
            self.arrived.clear()
        threading.Thread(target=self.pump, args=(self.fd,), daemon=True).start()

    def pump(self, fd):
        while True:
            with self.lock:
                if self.fd != fd:
                    return
            if select.select([fd], [], [], 0.01)[0]:
                with self.lock:
                    if self.fd != fd:
                        return
                    data = os.read(fd, 4096)
                    if not self.dead:
                        self.arrived += data
                        self.lock.notify_all()

    def stream(self):
        with self.lock:
            fd = self.fd
        while True:
            with self.lock:
                self.lock.wait_for(lambda: self.arrived or self.fd != fd, 0.05)
                if self.fd != fd:
                    return
                data = bytes(self.arrived)
                self.arrived.clear()
            if data:
                yield data

    def write(self, data):
        os.write(self.fd, data)

    def signals(self, data):
        self.levels.append(data.decode())

    def close(self, _):
        with self.lock:
            fd, self.fd = self.fd, None
            self.lock.notify_all()
        os.close(fd)

    def shut(self):
        self.server.shutdown()
        self.server.server_close()


def cli(*args):
    return subprocess.run([MARQUEE8, *args], capture_output=True, check=False)


def simulated(command):
    """Starts a simulated board; the process and its port. simavr names its pseudo-terminal
    first; the program's own line is the path alone."""
    board = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
    return board, next(line.strip() for line in board.stdout if line.startswith("/"))


def stored_on(port, output_format="raw"):
    """What marquee8 --receive writes for the message the receiver on `port` stores."""
    return written(MARQUEE8, f"--receive={port}", "-f", output_format)[0]


class BoardCase(unittest.TestCase):
    stand_in = STAND_IN

    @classmethod
    def setUpClass(cls):
        cls.board, cls.port = simulated([RECEIVER_SIM, RECEIVER_ELF])
        cls.bridge = Bridge()
        cls.bridge.path = cls.port
        cls.server = PageServer(PAGE).__enter__()
        cls.browser = Browser()
        cls.browser.driver.execute_cdp_cmd(
            "Page.addScriptToEvaluateOnNewDocument",
            {"source": cls.stand_in.replace("BRIDGE", cls.bridge.url)})
        cls.browser.open(cls.server.url + "index.html")

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        cls.server.__exit__(None, None, None)
        cls.bridge.shut()
        cls.board.terminate()
        cls.board.wait()

    def show(self, text):
        self.browser.driver.execute_script(
            "const box = document.getElementById('txtinput'); box.value = arguments[0];", text)
        self.browser.element("Command1").click()
        self.browser.settle()

    def status(self):
        return self.browser.element("boardStatus").text

    def board_command(self, button, ends, timeout=60):
        """Clicks `button` and waits until the Board section's status starts with one of
        `ends`; the status."""
        self.browser.element(button).click()
        self.browser.wait_for(lambda _: self.status().startswith(ends), timeout)
        self.browser.settle()
        return self.status()

    def cancel_under_way(self, button, ends):
        """Clicks `button` and Cancel once its bar has moved, then waits for a status starting
        with one of `ends`; the status. The wire carries nothing back meanwhile, so that the
        task is held where it was, whatever the page's pace, until it would give up."""
        try:
            self.browser.element(button).click()
            self.browser.wait_for(lambda d: d.execute_script(
                "return document.getElementById('boardProgress').value") > 0)
            self.bridge.dead = True
            self.browser.element("boardCancel").click()
            self.browser.wait_for(lambda _: self.status().startswith(ends))
            self.browser.settle()
        finally:
            self.bridge.dead = False
        return self.status()

    def set_up(self, option):
        """Chooses the board `option` names and sets it up; the status."""
        self.browser.driver.execute_script(
            "document.getElementById('boardModel').value = arguments[0];", option)
        return self.board_command("boardSetUp", ("Set up:", "Set up failed", "Set up cancelled"))

    @contextmanager
    def factory_board(self, option):
        """A board of `option`'s kind with nothing but its bootloader, on the page's port."""
        board, port = simulated([BOARD_SIM, option])
        self.bridge.path = port
        try:
            yield port
        finally:
            board.terminate()
            board.wait()


class SendAndReadBack(BoardCase):
    stand_in = STAND_IN + WAKES

    def test_the_board_stores_the_command_lines_columns_and_read_back_shows_them(self):
        for text in ["825710", "Grüße, 中文 😀", "Hello, World! " * 4]:
            with self.subTest(text=text):
                self.show(text)
                columns = written(MARQUEE8, "-f", "raw", text)[0]
                status = self.board_command("boardSend", ("Sent", "Send failed"))
                self.assertEqual(status, f"Sent: sent {len(columns)} columns to the serial port "
                                 "(Arduino Uno, capacity 500 columns), verified")
                self.assertEqual(stored_on(self.port), columns)
                self.show("other")  # Read back, not the text, fills the box
                self.board_command("boardRead", ("Read back:", "Read back failed"))
                self.assertEqual(self.browser.driver.execute_script(
                    "return document.getElementById('txtoutput').value"),
                    as_shown(stored_on(self.port, "classic"), "classic"))

    def test_cancel_during_a_send_leaves_the_old_message(self):
        self.show("OLD")
        self.board_command("boardSend", ("Sent", "Send failed"))
        old = stored_on(self.port)
        self.show("a message of several chunks, the last written a second after the first")
        self.assertEqual(self.cancel_under_way("boardSend", ("Send", "Sent")),
                         "Send cancelled: the board keeps its previous message")
        self.assertEqual(stored_on(self.port), old)

    def test_a_cancel_once_the_board_stores_is_passed_on_once_and_the_send_completes(self):
        # A Cancel that lands as the board starts to store (its button not yet off) is too late
        # to stop the send; the page must then wait for the board, not ask the core again and again.
        text = "a message long enough that the board takes most of a second to store it"
        self.show(text)
        self.browser.driver.execute_script("window.wokenEarly = 0;")
        self.browser.element("boardSend").click()
        self.browser.driver.execute_async_script("""
          const done = arguments[0];
          const cancel = document.getElementById('boardCancel');
          const bar = document.getElementById('boardProgress');
          (function late() {
            if (bar.value > 0 && cancel.disabled) {
              cancel.disabled = false;
              cancel.click();
              done();
            } else setTimeout(late, 1);
          })();""")
        self.browser.wait_for(lambda _: self.status().startswith(("Sent", "Send ")))
        self.browser.settle()
        self.assertTrue(self.status().startswith("Sent: "), self.status())
        self.assertEqual(stored_on(self.port), written(MARQUEE8, "-f", "raw", text)[0])
        self.assertEqual(self.browser.driver.execute_script("return window.wokenEarly"), 0)


    def test_the_board_chosen_is_the_one_chosen_on_the_next_visit(self):
        for kind, kept in [("mega", "mega"), ("nano-old", "nano-old"), ("no-such-board", "uno")]:
            with self.subTest(kind=kind):
                self.browser.driver.execute_script(
                    "localStorage.setItem('marquee8.board', 'uno');"
                    "const chosen = document.getElementById('boardModel');"
                    "chosen.value = arguments[0];"
                    "if (chosen.value) chosen.dispatchEvent(new Event('change'));"
                    "else localStorage.setItem('marquee8.board', arguments[0]);", kind)
                self.browser.open(self.server.url + "index.html")
                self.assertEqual(self.browser.element("boardModel").get_attribute("value"), kept)


class SilentBoard(BoardCase):
    def test_a_board_that_never_answers_is_told_in_the_cores_words(self):
        master, slave = os.openpty()
        try:
            silent = os.ttyname(slave)
            self.bridge.path = silent
            self.show("HI")
            status = self.board_command("boardSend", "Send failed")
            words = cli(f"--send={silent}", "HI").stderr.decode().strip()
            self.assertEqual(status, "Send failed: " + words.removeprefix("marquee8: ")
                             .replace(silent, "the serial port"))
        finally:
            os.close(master)
            os.close(slave)


def set_up_words(name):
    return (f"Set up: the receiver is on the {name} on the serial port, written and read back. "
            "Next: press Start, then Send.")


class SetUpAndSend(BoardCase):
    def test_a_blank_board_is_set_up_takes_a_send_and_keeps_its_message_over_another(self):
        for option, name in [("uno", "Arduino Uno"), ("nano-old", "Arduino Nano (old bootloader)"),
                             ("mega", "Arduino Mega 2560")]:
            with self.subTest(board=option), self.factory_board(option) as port:
                self.assertEqual(self.set_up(option), set_up_words(name))
                self.assertEqual(self.browser.driver.execute_script(
                    "return document.activeElement.id"), "boardSend")
                self.show("Grüße 825710")
                columns = written(MARQUEE8, "-f", "raw", "Grüße 825710")[0]
                self.assertTrue(self.board_command("boardSend", ("Sent", "Send failed"))
                                .startswith(f"Sent: sent {len(columns)} columns"))
                self.assertEqual(stored_on(port), columns)
                self.assertEqual(self.set_up(option), set_up_words(name))
                self.assertEqual(stored_on(port), columns)

    def test_cancel_mid_write_then_another_set_up_mends_the_board_and_keeps_its_message(self):
        with self.factory_board("uno") as port:
            self.set_up("uno")
            self.show("OLD")
            self.assertTrue(self.board_command("boardSend", ("Sent", "Send failed"))
                            .startswith("Sent: "), self.status())
            old = stored_on(port)
            self.assertEqual(self.cancel_under_way("boardSetUp", "Set up "),
                             "Set up cancelled: the board may hold only part of the receiver: "
                             "set it up again before sending")
            self.assertEqual(self.set_up("uno"), set_up_words("Arduino Uno"))
            self.assertEqual(stored_on(port), old)


class SetUpFailures(BoardCase):
    def test_a_board_whose_bootloader_never_answers_is_told_in_the_cores_words(self):
        # (what is plugged in: a factory board of this kind, or the receiver alone; the choice)
        for plugged, chosen in [(None, "uno"), ("uno", "mega"), ("nano-old", "nano")]:
            with self.subTest(plugged=plugged, chosen=chosen):
                with (self.factory_board(plugged) if plugged else nullcontext(self.port)) as port:
                    self.bridge.path = port
                    status = self.set_up(chosen)
                    words = cli(f"--install-receiver={port}", f"--board={chosen}").stderr
                    last = words.decode().strip().splitlines()[-1]
                    self.assertEqual(status, "Set up failed: " + last.removeprefix("marquee8: ")
                                     .replace(port, "the serial port"))
                    if plugged:  # and the board is left for the right choice to set up
                        self.assertTrue(self.set_up(plugged).startswith("Set up: "))


def modules_of(frame):
    """The 8x8 pictures of a chain's modules, left to right."""
    return [[row[at:at + 8] for row in frame] for at in range(0, len(frame[0]), 8)]


def upright_frames(columns, modules):
    """Every picture of `columns` (bit 0 the top LED) scrolling left to right across the chain."""
    return {tuple("".join("#" if columns[(step + x) % len(columns)] >> row & 1 else "."
                          for x in range(8 * modules)) for row in range(8))
            for step in range(len(columns))}


WIRING_ENDS = ("Wiring:", "Wiring failed", "Wiring cancelled")


class Wiring(BoardCase):
    @contextmanager
    def chain(self, wiring, end, modules):
        """The receiver on a chain of `modules` modules of `wiring`, its first at `end`, told it
        drives that many as FC16 modules at the right: the page's port. Yields the port."""
        with tempfile.TemporaryDirectory() as folder:
            self.leds_file = os.path.join(folder, "leds")
            board, port = simulated([RECEIVER_SIM, RECEIVER_ELF,
                                     f"--chain={wiring},{end},{modules}", f"--leds={self.leds_file}"])
            self.bridge.path = port
            self.browser.driver.execute_script(
                "document.getElementById('boardModules').value = arguments[0];", str(modules))
            try:
                yield port
            finally:
                board.terminate()
                board.wait()

    def leds(self):
        """What the chain's LEDs show now, top row first; [] before the first picture."""
        try:
            with open(self.leds_file) as file:
                return file.read().split()
        except FileNotFoundError:
            return []

    def pick(self, matches):
        """Waits until the page asks, and one of its pictures `matches` (pictures, LEDs); clicks
        it."""
        picked = []

        def found(driver):
            offered = driver.execute_script(
                "return [...document.querySelectorAll('#boardPictures button:enabled')]"
                ".map((button) => button.dataset.rows.split('\\n'))")
            shown = self.leds()
            picked[:] = [at for at, rows in enumerate(offered) if shown and matches(rows, shown)]
            return len(picked) == 1
        self.browser.wait_for(found, 30)
        self.browser.driver.find_elements(
            By.CSS_SELECTOR, "#boardPictures button:enabled")[picked[0]].click()

    def test_the_answers_to_what_the_leds_show_make_a_send_scroll_upright(self):
        for wiring, end, modules in [(2, "right", 4), (5, "left", 2), (7, "right", 1)]:
            with self.subTest(wiring=wiring, end=end, modules=modules), \
                    self.chain(wiring, end, modules) as port:
                self.browser.element("boardWiring").click()
                # The lit module is the only one not dark, at either end.
                self.pick(lambda rows, shown: [m for m in modules_of(shown) if "#" in "".join(m)]
                          == [rows])
                if modules > 1:
                    self.pick(lambda rows, shown: rows == shown)
                self.browser.wait_for(lambda _: self.status().startswith(WIRING_ENDS), 30)
                self.browser.settle()
                self.assertFalse(self.browser.element("boardQuestion").is_displayed())
                self.assertEqual(self.browser.driver.execute_script(
                    "return document.activeElement.id"), "boardSend")
                kept = cli(f"--configure={port}", f"--modules={modules}").stdout.decode()
                self.assertEqual(self.status(), "Wiring: " + kept.strip().removeprefix(
                    "marquee8: ").replace(port, "the serial port") + ". Next: press Send.")
                self.assertIn(f"DR{wiring >> 2}CR{wiring >> 1 & 1}RR{wiring & 1}", kept)
                self.assertIn(f"the first at the {end}", kept)

                self.show("825710")
                self.assertTrue(self.board_command("boardSend", ("Sent", "Send failed"))
                                .startswith("Sent: "), self.status())
                upright = upright_frames(written(MARQUEE8, "-f", "raw", "825710")[0], modules)
                seen = set()
                self.browser.wait_for(lambda _: tuple(self.leds()) in upright and (
                    seen.add(tuple(self.leds())) or len(seen) >= 5), 30)

    def test_cancel_at_the_question_leaves_the_layout_it_had(self):
        with self.chain(0, "left", 4) as port:
            self.browser.element("boardWiring").click()
            self.browser.wait_for(lambda d: d.find_elements(
                By.CSS_SELECTOR, "#boardPictures button:enabled"), 30)
            self.assertEqual(len(self.browser.driver.find_elements(
                By.CSS_SELECTOR, "#boardPictures button[aria-label='Picture 8']")), 1)
            self.browser.element("boardCancel").click()
            self.browser.wait_for(lambda _: self.status().startswith(WIRING_ENDS), 30)
            self.browser.settle()
            self.assertEqual(self.status(),
                             "Wiring cancelled: the board keeps its wiring as it was")
            self.assertIn("is set to FC16 (DR1CR0RR0), 4 modules, the first at the right",
                          cli(f"--configure={port}", "--modules=4").stdout.decode())


class NoWebSerial(BoardCase):
    stand_in = NO_WEB_SERIAL

    def test_one_line_says_what_is_needed_and_the_page_converts(self):
        needs = self.browser.element("boardNeeds")
        self.assertTrue(needs.is_displayed())
        self.assertIn("Chrome or Edge", needs.text)
        self.assertFalse(self.browser.element("boardControls").is_displayed())
        self.assertFalse(self.browser.element("boardSetUp").is_enabled())
        self.assertFalse(self.browser.element("boardWiring").is_enabled())
        self.show("HI")
        self.assertEqual(self.browser.driver.execute_script(
            "return document.getElementById('txtoutput').value"),
            as_shown(written(MARQUEE8, "HI")[0], "classic"))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[6:]], verbosity=2)
