#!/usr/bin/env python3
"""The orvel prompt on a pseudo-terminal: line editing, history recalled
within a session and in the next one, and Tab completion of command names.

usage: line_editor_pty.py path/to/orvel (built with the line editor)"""
import os
import pty
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

ORVEL = sys.argv[1]
LEFT, UP = b"\x1b[D", b"\x1b[A"


class Session:
    def __init__(self, home, args=(), prompt=rb"% $"):
        self.prompt_pattern = prompt
        env = dict(os.environ, HOME=home, TERM="xterm")
        env.pop("EDITRC", None)
        self.master, slave = pty.openpty()
        self.proc = subprocess.Popen([ORVEL, *args], stdin=slave, stdout=slave, stderr=slave, env=env, close_fds=True)
        os.close(slave)
        self.out = b""

    def read_until(self, pattern, timeout=10.0):
        """Reads until the regular expression matches the output so far."""
        end = time.time() + timeout
        while not re.search(pattern, self.out):
            left = end - time.time()
            if left <= 0:
                raise AssertionError("timed out waiting for %r; output so far: %r" % (pattern, self.out))
            r, _, _ = select.select([self.master], [], [], left)
            if r:
                try:
                    data = os.read(self.master, 4096)
                except OSError:
                    data = b""
                if not data:
                    raise AssertionError("program ended waiting for %r; output: %r" % (pattern, self.out))
                self.out += data

    def send(self, data):
        os.write(self.master, data)
        time.sleep(0.15)

    def prompt(self):
        """Waits for the prompt, and a moment more: the editor switches the
        terminal to key input just after showing it, and keys that arrive
        before that would be taken by the terminal's own line input."""
        self.read_until(self.prompt_pattern)
        time.sleep(0.3)

    def command(self, keys, expect):
        """Types keys, waits for the expected output after them, and for the
        next prompt."""
        self.out = b""
        self.send(keys)
        self.read_until(expect)
        self.prompt()

    def close(self):
        self.send(b"\x04")  # the end of input ends the prompt
        try:
            self.proc.wait(timeout=10)
        finally:
            if self.proc.poll() is None:
                self.proc.kill()
            os.close(self.master)


def main():
    home = tempfile.mkdtemp(prefix="orvel_pty_")
    try:
        s = Session(home)
        s.prompt()
        # Editing: the cursor moves left and the typed letter goes in there.
        s.command(b"puts ab" + LEFT + b"X\r", rb"\naXb\r*\n")
        # History: Up brings back the line, which can then be changed.
        s.command(b"puts second\r", rb"\nsecond\r*\n")
        s.command(UP + UP + b"c\r", rb"\naXbc\r*\n")
        # Completion of a unique command prefix ("lreve" -> "lreverse ").
        s.command(b"lreve\t{1 2 3}\r", rb"\n3 2 1\r*\n")
        # A prefix shared by several names lists them; typing goes on after.
        s.out = b""
        s.send(b"is_di\t")
        s.read_until(rb"is_digit +is_dir")
        s.command(b"git 7\r", rb"\n1\r*\n")
        s.close()
        hist = os.path.join(home, ".orvel_history")
        if not os.path.exists(hist):
            print("no history file was written")
            return 1
        # The next session recalls the last line of the one before.
        s = Session(home)
        s.prompt()
        s.command(UP + b"\r", rb"\n1\r*\n")
        s.close()
        # The cli command edits its lines the same way.
        s = Session(home, ["-c", "cli {cli> }"], rb"cli> $")
        s.prompt()
        s.command(b"puts 12" + LEFT + LEFT + b"0\r", rb"\n012\r*\n")
        s.command(UP + UP + b"\r", rb"\n1\r*\n")
        s.close()
        print("ok")
        return 0
    except AssertionError as e:
        print(e)
        return 1
    finally:
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__)
        sys.exit(2)
    sys.exit(main())
