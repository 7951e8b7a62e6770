"""What the marquee8 program writes, as the page's tests compare the page with it."""

import os
import subprocess
import tempfile


def written(marquee8, *args, stdin=None):
    """What marquee8 writes with -o, and what it says on standard error."""
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "out")
        run = subprocess.run([marquee8, "-o", out, *args], capture_output=True, input=stdin)
        assert run.returncode == 0, run.stderr
        with open(out, "rb") as file:
            return file.read(), run.stderr.decode()


def as_shown(output, output_format):
    """The output box's text for what marquee8 writes: the final line break dropped, raw bytes
    in hex, and CR LF read as one line break, as every HTML text area holds it."""
    if output_format == "raw":
        return " ".join(f"{byte:02x}" for byte in output)
    text = output.decode("ascii")
    text = text[:-2] if text.endswith("\r\n") else text[:-1]
    return text.replace("\r\n", "\n")
