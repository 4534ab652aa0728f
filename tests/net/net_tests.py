#!/usr/bin/env python3
"""Tests of the HTTP client and the sound commands through the real program,
against real local servers on 127.0.0.1 (the relay-board simulator and the
fixture server), with ports chosen free at run time.

    net_tests.py SUITE ORVEL [LAUNCHER...]

SUITE is "http" or "sound"; ORVEL the program; LAUNCHER words (for example a
Wine wrapper) go before it. Sound output is captured with SDL2's "disk"
audio driver on Linux; under Wine only the results are checked.
"""
import base64
import math
import os
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
FAILURES = []


def check(name, cond, detail=""):
    if not cond:
        FAILURES.append(name)
        print("FAIL %s %s" % (name, detail))
    else:
        print("ok   %s" % name)


class Server:
    def __init__(self, argv, marker):
        self.proc = subprocess.Popen([sys.executable] + argv, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True)
        line = self.proc.stdout.readline()
        if marker not in line:
            raise RuntimeError("server did not start: %r %s" % (line, self.proc.stderr.read()))
        self.line = line
        self.port = int(line.split(":")[-1].split("/")[0]) if "http://" in line else int(line.split()[1])

    def stop(self):
        self.proc.kill()
        self.proc.wait()


class Program:
    def __init__(self, argv, workdir):
        self.argv = argv
        self.workdir = workdir
        self.n = 0

    def run(self, script, env=None, timeout=60):
        """Runs a script file; returns (exit code, stdout bytes, seconds)."""
        self.n += 1
        name = "t%d.orv" % self.n
        with open(os.path.join(self.workdir, name), "w", newline="\n") as f:
            f.write(script)
        e = dict(os.environ)
        e.update(env or {})
        for k in ("http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"):
            e.pop(k, None)
        start = time.monotonic()
        p = subprocess.run(self.argv + [name], cwd=self.workdir, env=e, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=timeout)
        return p.returncode, p.stdout, time.monotonic() - start


def board_state(port):
    opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
    import json
    return json.loads(opener.open("http://127.0.0.1:%d/state" % port, timeout=10).read())


UA = ("User-Agent: Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.8.1.22) Gecko/20090605 "
      "SeaMonkey/2.0.12\r\n")


def http_suite(prog):
    board = Server([os.path.join(ROOT, "tools", "relay_board.py"), "--port", "0"], "listening")
    fix = Server([os.path.join(HERE, "http_fixture.py")], "listening")
    B = "127.0.0.1:%d" % board.port
    F = "http://127.0.0.1:%d" % fix.port
    try:
        # The relay board as the simulation drives it.
        rc, out, _ = prog.run("""
set r [http http://%s/30000/44 - reply -t 4]
puts [string range $reply 63 82]
http http://%s/30000/01 - s -t 1
http http://%s/30000/31 - s -t 1
http http://%s/30000/00 - s -t 1
http http://%s/30000/05 - s -t 1
http http://%s/30000/04 - s -t 1
puts done
""" % ((B,) * 6))
        check("board status marker at the 64th character", rc == 0 and out.startswith(b"<center><p>Relay-ALL\r\n"), out)
        st = board_state(board.port)
        want = [False] * 16
        want[15] = True
        check("board relays switched by codes", st["relays"] == want, st)
        check("board counted every request", st["requests"] == 6, st)

        # Request construction.
        rc, out, _ = prog.run("puts -nonewline [http %s/echo]" % F)
        req = out.split(b"\r\n\r\n", 1)[1] if b"\r\n\r\n" in out else b""
        check("GET request text", req == ("GET /echo HTTP/1.1\r\nHost: 127.0.0.1\r\n" + UA + "\r\n").encode(), req)
        rc, out, _ = prog.run("puts -nonewline [http 127.0.0.1/echo %d -1]" % fix.port)
        check("HTTP/1.0 request and the port argument", out.endswith(b"\r\n\r\nGET /echo HTTP/1.0\r\n\r\n"), out)
        rc, out, _ = prog.run("http %s/echo - v -u admin -p s3cret\nputs -nonewline $v" % F)
        auth = b"Authorization: Basic " + base64.b64encode(b"admin:s3cret") + b"\r\n"
        check("Basic authorisation header", auth in out, out)
        rc, out, _ = prog.run("http %s/echo - v -u admin -head\nputs -nonewline $v" % F)
        check("HEAD ends at the headers", out.startswith(b"HTTP/1.1 200") and out.endswith(b"\r\n\r\n"), out)
        rc, out, t = prog.run("puts -nonewline [http %s/head - - -head -t 10]" % F)
        check("HEAD with Content-Length and the connection open returns at once",
              rc == 0 and b"Content-Length: 1000" in out and t < 5, (out, t))
        rc, out, _ = prog.run("http %s/echo -t 5\nputs -nonewline $5" % F)
        check("third word taken as the variable name", out.startswith(b"HTTP/1.1 200"), out)

        # Large and binary bodies.
        n = 20 * 1000 * 1000
        rc, out, t = prog.run("""
http %s/large?n=%d - v -t 60
puts [string length $v]
set n [string length $v]
puts -nonewline [string range $v [- $n 300] [- $n 1]]
""" % (F, n), timeout=120)
        head = b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % n
        first, _, tail = out.partition(b"\r\n")
        body_tail = bytes(range(256)) * 2
        body_tail = (bytes(range(256)) * (n // 256 + 1))[:n][-300:]
        check("20 MB body with NUL bytes comes back whole",
              rc == 0 and first == str(len(head) + n).encode() and tail == body_tail, (first, t))
        rc, out, _ = prog.run("set v [http %s/chunked]\nputs -nonewline $v" % F)
        body = b"Hello, chunked world!\x00" + b"x" * 40000 + b"END"
        check("chunked body decoded across pieces", out.endswith(b"\r\n\r\n" + body) and b"chunked" in out,
              out[:200])
        rc, out, _ = prog.run("set v [http %s/chunked -1]\nputs -nonewline [string length $v]" % F)
        check("HTTP/1.0 keeps blocks as they come", int(out or 0) > len(body), out)

        # Content-Length handling.
        rc, out, t = prog.run("puts -nonewline [http %s/cl0 - - -t 10]" % F)
        check("Content-Length 0 returns the headers at once", rc == 0 and out.endswith(b"\r\n\r\n") and t < 5,
              (out, t))
        rc, out, t = prog.run("puts -nonewline [http %s/long - - -t 10]" % F)
        check("a body longer than Content-Length is cut at it", out.endswith(b"\r\n\r\nzzzzz") and t < 5, (out, t))
        rc, out, _ = prog.run("puts -nonewline [http %s/short]" % F)
        check("a server closing before Content-Length gives what came", rc == 0 and out.endswith(b"0123456789"), out)
        rc, out, _ = prog.run("puts -nonewline [http %s/noheaders]" % F)
        check("a reply without headers comes back raw", rc == 0 and out == b"garbage without headers", out)

        # Time-outs bound the whole request.
        for path, what in (("/silent", "silent server"), ("/slow", "one byte a second"),
                           ("/short-open", "Content-Length never reached"), ("/forever", "never-ending reply")):
            rc, out, t = prog.run("http %s%s -t 2\nputs NEXT" % (F, path))
            check("time-out: " + what, rc == 1 and b"http: Timed out after 2 s waiting for server '127.0.0.1'" in out
                  and b"NEXT" not in out and t < 6, (out[:200], t))

        # Failures and their messages.
        cases = [
            ("http %s/empty" % F, b"http: Unknown Error at level 0 in root"),
            ("http https://%s/" % B, b"http: https is not supported at level 0 in root"),
            ("http FTP://%s/" % B, b"http: ftp is not supported at level 0 in root"),
            ("http http://127.0.0.1:1/ - - -t 5", b"http: Unable to connect to server '127.0.0.1' at level 0 in root"),
            ("http nosuch-host.invalid/x - - -t 5", b"http: Connect failed with socket error"),
            ("http http://127.0.0.1:70000/", b"http: Invalid port '70000' at level 0 in root"),
            ("http 127.0.0.1 99999", b"http: Invalid port '99999' at level 0 in root"),
            ("http http:///path", b"http: Invalid URL 'http:///path' at level 0 in root"),
            ("http http://:80/x", b"http: Invalid URL 'http://:80/x' at level 0 in root"),
            ("http \"http://%s/a\\r\\nX-Injected: 1/b\"" % B, b"http: Invalid URL"),
            ("proc p {} {http https://x}\np", b"http: https is not supported at level 1 in p"),
            ("http", b"http"),
        ]
        for script, want in cases:
            rc, out, t = prog.run(script + "\nputs NEXT")
            check("failure: " + script.split("\n")[0][:60], rc != 0 and want in out and b"NEXT" not in out and t < 10,
                  (rc, out[:300]))
        rc, out, _ = prog.run("puts [catch {http https://x -nocomplain}]\nputs [catch {http %s/empty -nocomplain}]"
                              % F)
        check("-nocomplain keeps the code and drops the message", out == b"1\r\n1\r\n", out)

        # Names and IPv6.
        rc, out, _ = prog.run("puts -nonewline [http http://localhost:%d/44 - - -t 5]" % board.port)
        check("a host name resolves", rc == 0 and b"Relay-ALL" in out, out[:100])
        try:
            fix6 = Server([os.path.join(HERE, "http_fixture.py"), "--bind", "::1"], "listening")
        except Exception:
            fix6 = None
        if fix6:
            rc, out, _ = prog.run("puts -nonewline [http {http://[::1]:%d/echo}]" % fix6.port)
            check("IPv6 literal", rc == 0 and b"Host: [::1]\r\n" in out, out[:200])
            fix6.stop()
        else:
            print("skip IPv6 literal (no ::1 here)")
    finally:
        board.stop()
        fix.stop()


def tone_wav(seconds, rate=22050, bits=16, channels=1, freq=440):
    frames = int(seconds * rate)
    data = bytearray()
    for i in range(frames):
        v = 0.5 * math.sin(2 * math.pi * freq * i / rate)
        for _ in range(channels):
            if bits == 8:
                data.append(int(128 + v * 127))
            else:
                data += struct.pack("<h", int(v * 32767))
    align = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + bytes(data)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def loud_spans(raw, rate=44100):
    """Seconds of the capture (16-bit stereo) in 10 ms windows with sound:
    (first loud second, last loud second, total seconds captured)."""
    n = len(raw) // 4
    win = rate // 100
    first = last = None
    for w in range(0, n // win):
        chunk = raw[w * win * 4:(w + 1) * win * 4]
        samples = struct.unpack("<%dh" % (len(chunk) // 2), chunk)
        if max(abs(s) for s in samples) > 1000:
            if first is None:
                first = w / 100.0
            last = (w + 1) / 100.0
    return first, last, n / rate


def sound_suite(prog, capture):
    fix = Server([os.path.join(HERE, "http_fixture.py")], "listening")
    wait = lambda ms: "http http://127.0.0.1:%d/sleep?ms=%d - _w -t 30" % (fix.port, ms)
    wd = prog.workdir
    with open(os.path.join(wd, "tone.wav"), "wb") as f:
        f.write(tone_wav(0.25))
    with open(os.path.join(wd, "tone8.wav"), "wb") as f:
        f.write(tone_wav(0.25, rate=11025, bits=8, channels=2))
    with open(os.path.join(wd, "trunc.wav"), "wb") as f:
        f.write(tone_wav(0.25)[:30])
    with open(os.path.join(wd, "notwav.wav"), "wb") as f:
        f.write(b"this is not a sound file at all" * 10)
    open(os.path.join(wd, "empty.wav"), "wb").close()
    b64 = base64.b64encode(tone_wav(0.25)).decode()
    try:
        # Results and bad input, everywhere.
        rc, out, _ = prog.run("""
puts [play_wav missing.wav]
puts [play_wav trunc.wav]
puts [play_wav notwav.wav]
puts [play_wav empty.wav]
puts [stop_wav]
set notb64 "abc!def="
set img [string repeat A 3]
puts [catch {play_wav x -var nosuch}]
puts [catch {play_wav x -var notb64}]
puts [catch {play_wav x -var img}]
play_wav
""", env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": os.path.join(wd, "bad.raw")})
        lines = out.split(b"\r\n")
        check("missing, truncated, non-WAV and empty files give 0", lines[:5] == [b"0", b"0", b"0", b"0", b"1"], out)
        check("-var checks", lines[5:11] == [b"play_wav: Invalid variable 'nosuch' at level 0 in root ", b"1",
                                             b"play_wav: Invalid variable contents 'notb64' at level 0 in root ", b"1",
                                             b"play_wav: Invalid variable contents 'img' at level 0 in root ", b"1"],
              out)
        check("play_wav without arguments is an argument-count error", rc != 0, (rc, out))

        rc, out, t = prog.run("beep - 300\nbeep 440 -5\nputs done",
                              env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": os.path.join(wd, "beep.raw")})
        check("beep waits for its tone", out == b"done\r\n" and t >= 0.3, (out, t))

        if not capture:
            rc, out, _ = prog.run("set img {%s}\nputs [play_wav x -var img]\nputs [play_wav tone.wav -loop]\nputs [stop_wav]"
                                  % b64)
            check("play_wav under this platform answers 0 or 1", rc == 0 and len(out.split()) == 3, out)
            return

        def captured(script, name):
            path = os.path.join(wd, name)
            rc, out, _ = prog.run(script, env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": path})
            raw = open(path, "rb").read() if os.path.exists(path) else b""
            return rc, out, loud_spans(raw)

        rc, out, (first, last, total) = captured("puts [play_wav tone.wav]\n%s\nputs end" % wait(1000), "once.raw")
        check("a file plays once", out == b"1\r\nend\r\n" and first is not None and 0.15 <= last - first <= 0.4,
              (out, first, last, total))
        rc, out, (first, last, total) = captured("puts [play_wav tone8.wav]\n%s" % wait(800), "eight.raw")
        check("8-bit stereo at 11025 Hz plays", out == b"1\r\n" and first is not None and 0.15 <= last - first <= 0.4,
                (out, first, last, total))
        rc, out, (first, last, total) = captured(
            "puts [play_wav tone.wav -loop]\n%s\nputs [stop_wav]\n%s" % (wait(1200), wait(1200)), "loop.raw")
        check("-loop repeats until stop_wav", first is not None and last - first >= 0.9, (first, last, total))
        check("stop_wav stops the sound", first is not None and total - last >= 0.25, (first, last, total))
        rc, out, (first, last, total) = captured(
            "set img {%s}\nputs [play_wav ignored -var img -loop]\n%s\nputs [play_wav tone.wav]\n%s"
            % (b64, wait(900), wait(1500)), "var.raw")
        check("-var plays a Base64 image, a second play_wav replaces the loop",
              out == b"1\r\n1\r\n" and first is not None and 0.8 <= last - first <= 1.6 and total - last >= 0.25,
              (out, first, last, total))
        rc, out, _ = prog.run("puts [play_wav tone.wav]\nputs [stop_wav]",
                              env={"SDL_AUDIODRIVER": "no-such-driver"})
        check("no audio device: play_wav gives 0", out == b"0\r\n1\r\n", out)
    finally:
        fix.stop()


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    suite, program = sys.argv[1], sys.argv[2:]
    program = program[1:] + [program[0]] if len(program) > 1 else program
    windows = program[-1].lower().endswith(".exe")
    with tempfile.TemporaryDirectory() as wd:
        prog = Program(program, wd)
        if suite == "http":
            http_suite(prog)
        elif suite == "sound":
            sound_suite(prog, capture=not windows)
        else:
            print("unknown suite " + suite)
            return 2
    print("%d failure(s)" % len(FAILURES))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
