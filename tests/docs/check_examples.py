#!/usr/bin/python3
"""Runs the shell examples of the documentation against a built marquee8 and compares what they
print with what the documentation shows.

  check_examples.py MARQUEE8 FILE.md|SOURCE_DIR...

A SOURCE_DIR stands for its README.md and every .md file under its docs/.

An example is a ```console block: each line starting with "$ " is a command (a line ending in a
backslash goes on to the next, which may start with the shell's "> "), and the lines up to the next command are what it prints,
standard output and standard error together, CR LF shown as LF. A block's commands run one
after another in one bash, in a fresh folder of their own, with this marquee8 first on the
PATH, so a block can write a file and read it back. Blocks of other kinds (```sh, ```c) are
instructions or results that no command here produces, and are left alone.

Every picture a file shows (![...](path)) must exist too."""

import os
import re
import subprocess
import sys
import tempfile

MARK = "@@marquee8-doc-example@@"
PICTURE = re.compile(r"!\[[^\]]*\]\(([^)\s]+)\)")


class Example:
    def __init__(self, path, line):
        self.path, self.line = path, line
        self.commands = []  # [line, command, expected lines]


def examples_in(path):
    """The console blocks of one Markdown file."""
    found, example, command_open = [], None, False
    with open(path, encoding="utf-8") as file:
        for number, line in enumerate(file, 1):
            line = line.rstrip("\n")
            if example is None:
                if line.strip() == "```console":
                    example = Example(path, number)
                continue
            if line.strip() == "```":
                found.append(example)
                example = None
            elif command_open:
                example.commands[-1][1] += "\n" + line.removeprefix("> ")
                command_open = line.endswith("\\")
            elif line.startswith("$ "):
                example.commands.append([number, line[2:], []])
                command_open = line.endswith("\\")
            elif example.commands:
                example.commands[-1][2].append(line)
            else:
                raise SystemExit(f"{path}:{number}: output before any command in a console block")
    if example is not None:
        raise SystemExit(f"{path}:{example.line}: console block never closed")
    return found


def run(example, bin_dir):
    """What each command of one example printed."""
    script = "exec 2>&1\n" + "".join(
        f"printf '%s\\n' '{MARK}'\n{command}\n" for _, command, _ in example.commands)
    with tempfile.TemporaryDirectory(prefix="marquee8-doc-") as folder:
        env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"], HOME=folder,
                   LC_ALL="C.UTF-8", XDG_CONFIG_HOME=os.path.join(folder, ".config"))
        result = subprocess.run(["bash", "-c", script], cwd=folder, env=env, timeout=120,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
    text = result.stdout.decode("utf-8", "backslashreplace").replace("\r\n", "\n")
    printed = text.split(MARK + "\n")[1:]
    return [part.rstrip("\n") for part in printed]


def markdown_files(arguments):
    for argument in arguments:
        if not os.path.isdir(argument):
            yield argument
            continue
        yield os.path.join(argument, "README.md")
        for folder, _, names in sorted(os.walk(os.path.join(argument, "docs"))):
            yield from (os.path.join(folder, name) for name in sorted(names) if name.endswith(".md"))


def main():
    if len(sys.argv) < 3:
        raise SystemExit("usage: check_examples.py MARQUEE8 FILE.md|SOURCE_DIR...")
    marquee8 = os.path.realpath(sys.argv[1])
    failures, commands, wrong = 0, 0, 0
    with tempfile.TemporaryDirectory(prefix="marquee8-doc-bin-") as bin_dir:
        os.symlink(marquee8, os.path.join(bin_dir, "marquee8"))
        for path in markdown_files(sys.argv[2:]):
            with open(path, encoding="utf-8") as file:
                for picture in PICTURE.findall(file.read()):
                    if "://" not in picture and not os.path.exists(
                            os.path.join(os.path.dirname(path), picture)):
                        print(f"FAIL {path}: shows a picture that is not there: {picture}")
                        failures += 1
            for example in examples_in(path):
                printed = run(example, bin_dir)
                for index, (line, command, expected) in enumerate(example.commands):
                    commands += 1
                    got = printed[index] if index < len(printed) else "(never ran)"
                    if got != "\n".join(expected).rstrip("\n"):
                        failures += 1
                        wrong += 1
                        print(f"FAIL {path}:{line}: $ {command}\n--- the documentation shows\n"
                              + "\n".join(expected) + "\n--- it prints\n" + got + "\n")
    if commands == 0:
        raise SystemExit("no console examples found")
    print(f"{commands - wrong} passed, {wrong} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
