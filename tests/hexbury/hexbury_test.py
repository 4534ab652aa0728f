#!/usr/bin/env python3
"""Runs the signal box simulation on the interpreter with the stand-in layer
(mock.orv) and checks what the box did from its event log.

usage: hexbury_test.py ORVEL SCRIPT CASE

The log has one line per event, "HH:MM:SS.mmm event words...", stamped with
the run's own clock.
"""
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

MOVEMENTS = [
    "down_main", "up_main", "up_main_to_up_branch", "down_branch_to_down_main",
    "down_and_up_main", "up_crossover_and_return", "down_main_and_down_branch",
    "down_and_up_branch", "up_branch_and_down_main",
]

# Circuit -> relay on the board; the on code is (r-1)*2+1, the off code (r-1)*2
RELAYS = {1: 16, 2: 10, 3: 13, 4: 12, 5: 11, 6: 15, 433: 14, 432: 9, 722: 1, 723: 2}

# Circuits each movement must occupy, in the order of first occupation
CIRCUIT_ORDER = {
    "down_main": [1, 6, 433],
    "up_main": [432, 2, 5, 4, 3],
    "up_main_to_up_branch": [432, 2, 5, 723],
    "down_branch_to_down_main": [722, 4, 6, 433],
    "up_branch_and_down_main": [432, 2, 1, 5, 6, 723, 433],
    "down_and_up_main": [1, 432, 6, 433, 2, 5, 4, 3],
    "up_crossover_and_return": [432, 2, 5, 723, 4, 6, 433],
    "down_main_and_down_branch": [1, 6, 433, 722, 4],
    "down_and_up_branch": [722, 432, 4, 2, 6, 5, 433, 723],
}

# Levers each movement reverses, in order of first reversal (the ones the
# interlocking brings along included)
LEVER_ORDER = {
    "down_main": [4, 3],
    "up_main": [25, 27, 26, 28],
    "up_main_to_up_branch": [24, 25, 30, 29, 31],
    "down_branch_to_down_main": [24, 9, 6, 7],
    "up_branch_and_down_main": [4, 3, 24, 25, 30, 29, 31],
    "down_and_up_main": [4, 3, 25, 27, 26, 28],
    "up_crossover_and_return": [24, 25, 30, 9, 15, 14],
    "down_main_and_down_branch": [4, 3, 6, 24, 9, 7],
    "down_and_up_branch": [24, 9, 6, 7, 25, 30, 29, 31],
}

STAMP = re.compile(r"^(\d\d):(\d\d):(\d\d)\.(\d\d\d) (.*)$")

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def orvel_text(text):
    """The text as one Orvel word that reads back exactly: the characters
    the language would act on are written with chr."""
    out = []
    for ch in text:
        if ch in '[]{}$"\\\n\r#;' or ord(ch) < 32:
            out.append("[chr %d]" % ord(ch))
        else:
            out.append(ch)
    return '"' + "".join(out) + '"'


def run(orvel, script, args, prelude="", files=None, timeout=300, suffix=""):
    """Run the script behind the stand-ins; returns (exit code, output)."""
    with tempfile.TemporaryDirectory() as tmp:
        whole = os.path.join(tmp, "hexbury_run.orv")
        with open(os.path.join(HERE, "mock.orv")) as f:
            mock = f.read()
        with open(script) as f:
            text = f.read()
        extra = prelude
        for name, content in (files or {}).items():
            path = os.path.join(tmp, name)
            with open(path, "w") as f:
                f.write(content)
            # the stand-in file commands read from here when the real ones
            # are not there yet
            extra += "set ::__mock_files(%s) %s\n" % (path, orvel_text(content))
            args = [path if a == name else a for a in args]
        with open(whole, "w") as f:
            f.write(extra + mock + text + suffix)
        proc = subprocess.run([orvel, whole] + args, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout, cwd=tmp)
        return proc.returncode, proc.stdout.decode("latin-1")


def events(output):
    out = []
    for line in output.splitlines():
        m = STAMP.match(line.strip("\r"))
        if m:
            ms = ((int(m.group(1)) * 60 + int(m.group(2))) * 60 + int(m.group(3))) * 1000 + int(m.group(4))
            out.append((ms, m.group(5).split()))
    return out


def check_run(output, label):
    """Every check that holds for any run of movements."""
    ev = events(output)
    if not ev:
        fail("%s: no log" % label)
        return []
    if "Error" in output and "Error trap" in output:
        fail("%s: the error trap was called:\n%s" % (label, output[-2000:]))
    last = 0
    for ms, _ in ev:
        if ms < last:
            fail("%s: the run clock went backwards" % label)
            break
        last = ms

    circuits = {}
    levers = {}
    instruments = {}
    movement = None
    occupied_order = []
    reversed_order = []
    bells = {}
    relay_pending = {}
    trains = 0
    movements = []
    for i, (ms, w) in enumerate(ev):
        kind = w[0]
        if kind == "movement" and w[2] == "begin":
            movement = w[1]
            occupied_order, reversed_order, bells = [], [], {}
        elif kind == "movement" and w[2] == "end":
            name = w[1]
            movements.append(name)
            busy = [c for c, v in circuits.items() if v]
            if busy:
                fail("%s: %s ends with circuits occupied: %s" % (label, name, busy))
            pulled = [n for n, v in levers.items() if v]
            if pulled:
                fail("%s: %s ends with levers reversed: %s" % (label, name, pulled))
            off = [k for k, v in instruments.items() if v != "normal"]
            if off:
                fail("%s: %s ends with block instruments off normal: %s" % (label, name, off))
            want = CIRCUIT_ORDER[name]
            if occupied_order != want:
                fail("%s: %s occupied %s, expected %s" % (label, name, occupied_order, want))
            want = LEVER_ORDER[name]
            if reversed_order != want:
                fail("%s: %s reversed %s, expected %s" % (label, name, reversed_order, want))
            for key, codes in bells.items():
                if not bell_pattern_ok(codes):
                    fail("%s: %s bell exchange %s: %s" % (label, name, key, " ".join(codes)))
            movement = None
        elif kind == "circuit":
            n = int(w[1])
            now = w[2] == "occupied"
            if now and circuits.get(n):
                fail("%s: circuit %d occupied twice" % (label, n))
            if not now and not circuits.get(n):
                fail("%s: circuit %d cleared while clear" % (label, n))
            circuits[n] = now
            if now and n not in occupied_order:
                occupied_order.append(n)
            # the relay request must follow with this circuit's code
            nxt = ev[i + 1][1] if i + 1 < len(ev) else []
            relay = RELAYS.get(n, 45)
            code = "%02d" % ((relay - 1) * 2 + (1 if now else 0))
            if nxt[:2] != ["relay", "request"] or "circuit=%d" % n not in nxt or "code=%s" % code not in nxt:
                fail("%s: circuit %d %s not followed by relay code %s: %s" % (label, n, w[2], code, nxt))
            if now:
                relay_pending[n] = True
            else:
                relay_pending.pop(n, None)
        elif kind == "lever":
            n = int(w[1])
            rev = w[2] == "reverse"
            if rev:
                # the locking: 4 wants 9 normal, 24 wants 25 normal,
                # 14 wants 9 and 15 over first
                if n == 4 and levers.get(9):
                    fail("%s: lever 4 reversed with 9 reversed" % label)
                if n == 24 and levers.get(25):
                    fail("%s: lever 24 reversed with 25 reversed" % label)
                if n == 14 and not (levers.get(9) and levers.get(15)):
                    fail("%s: lever 14 reversed before 9 and 15" % label)
                if n not in reversed_order:
                    reversed_order.append(n)
            levers[n] = rev
        elif kind == "interlock":
            pass
        elif kind == "instrument":
            instruments[(w[1], w[2])] = w[3]
        elif kind == "bell":
            box, code = w[1], w[2]
            train = w[3] if len(w) > 3 else "train=?"
            bells.setdefault((train, box), []).append(code)
        elif kind == "train":
            trains += 1
            if int(w[2]) != trains:
                fail("%s: train count %s after %d trains" % (label, w[2], trains))
            # the console title counts the same trains
            title = "Hexbury Cross Junction Signalbox (%d train%s)" % (trains, "" if trains == 1 else "s")
            if " ".join(w[4:]) != title or w[3:4] != ["title"]:
                fail("%s: console title %r after %d trains" % (label, " ".join(w[4:]), trains))
    if movement is not None:
        fail("%s: movement %s never ended" % (label, movement))
    if relay_pending:
        fail("%s: relays left on: %s" % (label, sorted(relay_pending)))
    return movements


def bell_pattern_ok(codes):
    """1, the description, 2 (train entering section), 1, 2-1 (out of
    section), once per passage through that box's section."""
    if len(codes) == 0 or len(codes) % 5:
        return False
    for k in range(0, len(codes), 5):
        a, c, b, d, e = codes[k:k + 5]
        if a != "1" or b != "2" or d != "1" or e != "2-1" or c in ("1", "2", "2-1"):
            return False
    return True


def base_args(seed, trains, extra=()):
    return ["/silent", "/novideocheck", "/speed", "1000", "/seed", str(seed),
            "/trains", str(trains), "/log", "-"] + list(extra)


def case_movements(orvel, script):
    for i, name in enumerate(MOVEMENTS):
        for seed in (11 + i, 101 + i):
            code, out = run(orvel, script, base_args(seed, 2, ["/movement", name]))
            label = "%s seed %d" % (name, seed)
            if code != 0:
                fail("%s: exit code %d" % (label, code))
            done = check_run(out, label)
            if done != [name, name]:
                fail("%s: ran %s" % (label, done))
            if "* Exited *" not in out:
                fail("%s: no normal end" % label)


def case_random(orvel, script):
    code, out = run(orvel, script, base_args(5, 14))
    done = check_run(out, "random run")
    if len(done) != 14:
        fail("random run: %d movements instead of 14" % len(done))
    if len(set(done)) < 4:
        fail("random run: only %s" % sorted(set(done)))
    # the same seed gives the same run, at any speed
    code2, out2 = run(orvel, script, base_args(5, 14))
    if events(out) != events(out2):
        fail("random run: the same seed gave two different runs")
    slow = base_args(5, 14)
    slow[slow.index("/speed") + 1] = "1"
    code3, out3 = run(orvel, script, slow)
    def decisions(o):
        # the start line names the speed; everything after it must agree
        return [e for e in events(o) if e[1][0] != "start"]
    if decisions(out3) != decisions(out):
        fail("random run: /speed 1 and /speed 1000 ran differently")
    code4, out4 = run(orvel, script, base_args(6, 14))
    if events(out4) == events(out):
        fail("random run: seeds 5 and 6 gave the same run")


def case_demo(orvel, script):
    code, out = run(orvel, script, base_args(3, 2, ["/demo"]))
    done = check_run(out, "demo")
    if done != ["up_main", "up_main"]:
        fail("demo: ran %s" % done)
    # with none of the three bell files there, no sound is tried even
    # without /silent; one of them is enough to ring
    loud = [a for a in base_args(3, 1, ["/demo"]) if a != "/silent"]
    code, out = run(orvel, script, loud)
    if "sounds=0" not in out:
        fail("no bell files: sounds were still on")
    code, out = run(orvel, script, loud + ["/soundright", "bell.wav"], files={"bell.wav": "RIFF"})
    if "sounds=1" not in out or "MOCK" in out:
        fail("one bell file: sounds were off")
    # a window of 150 columns takes the narrow layout and runs the same
    code, out = run(orvel, script, base_args(3, 2, ["/demo"]), prelude="set ::__mock_columns 150\n")
    if "columns=150 levers=32" not in out:
        fail("narrow window: not the narrow layout:\n" + out[:300])
    if check_run(out, "narrow demo") != ["up_main", "up_main"]:
        fail("narrow window: the demo did not run")


USER_SCRIPT = """# a short run of my own
ring 1 wensouth
ring [lrand {3-1 2-3}] wensouth   # the description
block_indicator_set_lc $::block_indicator_right
set n 0
while {< $n 2} {
    lever_reverse 25
    lever_normal 25
    set n [+ $n 1]
}
loop 2 {
    t432_occupied
    snooze [rnd 100 200]
    t432_clear
}
puts "user line ran $n"
block_indicator_set_normal $::block_indicator_right
"""


def case_user_script(orvel, script):
    code, out = run(orvel, script, base_args(1, 0, ["/script", "mine.txt"]),
                    files={"mine.txt": USER_SCRIPT})
    ev = [w for _, w in events(out)]
    if "user line ran 2" not in out:
        fail("user script: its lines did not run:\n" + out[-1500:])
    levers = [w for w in ev if w[0] == "lever"]
    if len(levers) != 4:
        fail("user script: %d lever moves instead of 4" % len(levers))
    occ = [w for w in ev if w[:2] == ["circuit", "432"]]
    if len(occ) != 4:
        fail("user script: circuit 432 changed %d times instead of 4" % len(occ))
    if [w for w in ev if w[0] == "movement"]:
        fail("user script: random trains ran as well")
    if "* Exited *" not in out or code != 0:
        fail("user script: no normal end (%d)" % code)
    # a missing script: the message, then the ordinary simulation
    code, out = run(orvel, script, base_args(1, 1, ["/script", "nosuch.txt"]))
    if len(check_run(out, "missing user script")) != 1:
        fail("missing user script: the simulation did not run")


REFUSALS = [
    ("exec del *.*\n", "'exec' is not a valid command at line 1 in user script"),
    ("ring 1 wensouth\nset x [exec rm -rf x]\n", "'exec' is not a valid subcommand at line 2 in user script"),
    ("while 1 {exec del *.*; break}\n", "'exec' is not a valid command at line 1 in user script"),
    ("loop 2 {\n  while {< 1 2} {exec x}\n}\n", "'exec' is not a valid command at line 2 in user script"),
    ("loop 2 {puts [lrand [exec x]]}\n", "'exec' is not a valid subcommand at line 1 in user script"),
    ("ring 1 wensouth; exec x\n", "'exec' is not a valid command at line 1 in user script"),
    ("set c exec\nwhile {$c x} {break}\n", "is not a valid command at line 2 in user script"),
    ("set c exec\nloop 1 $c\n", "is not a valid command at line 2 in user script"),
    ("} exec foo\n", "'exec' is not a valid command at line 1 in user script"),
    ("while 1 {puts [SET x 1]}\n", "'SET' is not a valid subcommand at line 1 in user script"),
]


def case_user_refusals(orvel, script):
    for text, message in REFUSALS:
        code, out = run(orvel, script, base_args(1, 0, ["/script", "bad.txt"]),
                        files={"bad.txt": text})
        if message not in out:
            fail("refusal of %r: expected %r in:\n%s" % (text, message, out[-800:]))
        if "bad.txt" not in out:
            fail("refusal of %r: the script name is missing" % text)
        if "user line" in out or [w for _, w in events(out) if w[0] in ("lever", "circuit")]:
            fail("refusal of %r: something ran" % text)


def case_cancel(orvel, script):
    # Esc after enough looks at the keyboard for two trains to have run
    code, out = run(orvel, script, base_args(2, 0, ["/movement", "down_main"]),
                    prelude="set ::__mock_esc_after 2600\n")
    if "* Simulation Cancelled *" not in out:
        fail("cancel: no cancellation message:\n" + out[-800:])
    trains = [w for _, w in events(out) if w[0] == "train"]
    if len(trains) > 1:
        if " %d trains were signalled during this session" % len(trains) not in out:
            fail("cancel: the train count is missing")
    else:
        fail("cancel: only %d trains ran before Esc; move the key later" % len(trains))
    if "* Exited *" in out:
        fail("cancel: ran on to the normal end")
    code, out = run(orvel, script, base_args(2, 0, ["/movement", "down_main"]),
                    prelude="set ::__mock_esc_after 30\n")
    if "* Simulation Cancelled *" not in out or "trains were signalled" in out:
        fail("cancel early: expected the message without a count:\n" + out[-800:])


def case_relay(orvel, script):
    # a board that answers: tested at start, every circuit switches its relay
    code, out = run(orvel, script, base_args(4, 1, ["/movement", "up_main", "/w", "http://127.0.0.1:9/30000"]),
                    prelude="set ::__mock_board 1\nset ::__mock_log_calls 1\n",
                    suffix="\nat_exit\n")
    requests = re.findall(r"MOCK http http://127\.0\.0\.1:9/30000/(\d\d)", out)
    start = ["44"] + ["%02d" % ((r - 1) * 2 + 1) for _, r in sorted(RELAYS.items())] \
        + ["%02d" % ((r - 1) * 2) for _, r in sorted(RELAYS.items())] + ["44"]
    if requests[:len(start)] != start:
        fail("relay: board test sequence %s, expected %s" % (requests[:len(start)], start))
    if "Relay control module is active" not in out:
        fail("relay: board not reported active")
    answers = [w for _, w in events(out) if w[:2] == ["relay", "request"] and any(x.startswith("circuit=") for x in w)]
    if not answers or any("answer=ok" not in w for w in answers):
        fail("relay: requests during the run not answered: %s" % answers[:3])
    if requests[-1] != "44":
        fail("relay: the board was not switched off at the end (%s)" % requests[-3:])
    check_run(out, "relay")
    # a board switched off in the middle of a run: the first failed request
    # turns web control off and the trains carry on
    code, out = run(orvel, script, base_args(4, 2, ["/movement", "down_main", "/w", "http://127.0.0.1:9/30000"]),
                    prelude="set ::__mock_board 1\nset ::__mock_board_left 30\n")
    answers = [w[-1] for _, w in events(out) if w[:2] == ["relay", "request"] and any(x.startswith("circuit=") for x in w)]
    if answers.count("answer=failed") != 1 or "answer=no-board" not in answers \
            or answers.index("answer=failed") > answers.index("answer=no-board"):
        fail("relay stopped mid-run: answers %s" % answers)
    if len(check_run(out, "board stopped")) != 2 or "* Exited *" not in out:
        fail("relay stopped mid-run: the run did not carry on")
    # no board there: reported, and the run carries on
    code, out = run(orvel, script, base_args(4, 1, ["/movement", "down_main", "/w", "http://127.0.0.1:9/x"]))
    if "Error connecting to: http://127.0.0.1:9/x/" not in out:
        fail("relay: no connection error:\n" + out[-800:])
    if len(check_run(out, "no board")) != 1:
        fail("relay: the run did not carry on without a board")


# --- the real program, headless, with the real plug-in ---------------------

def run_real(hexbury, args, files=None, timeout=600):
    """Run the hexbury program itself; None when it or its plug-in is not
    there (the case is then skipped)."""
    if not os.path.exists(hexbury):
        return None
    with tempfile.TemporaryDirectory() as tmp:
        for name, content in (files or {}).items():
            path = os.path.join(tmp, name)
            with open(path, "w") as f:
                f.write(content)
            args = [path if a == name else a for a in args]
        args = [a.replace("@TMP@", tmp) for a in args]
        proc = subprocess.run([hexbury, "/headless"] + args, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout, cwd=tmp)
        out = proc.stdout.decode("latin-1")
        if "Failed to load plugin" in out:
            return None
        pictures = {}
        snaps = os.path.join(tmp, "snaps")
        if os.path.isdir(snaps):
            for name in os.listdir(snaps):
                with open(os.path.join(snaps, name), "rb") as f:
                    pictures[name] = f.read()
        return proc.returncode, out, pictures


def read_png(data):
    """Width, height and a pixel function for an 8-bit RGB or RGBA PNG."""
    import struct
    import zlib
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour in (2, 6), "unexpected PNG format"
            bpp = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(height):
        filt, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if filt == 1:
                line[x] = (line[x] + a) & 255
            elif filt == 2:
                line[x] = (line[x] + b) & 255
            elif filt == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif filt == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return width, height, lambda x, y: tuple(rows[y][x * bpp:x * bpp + 3])


def skip(why):
    print("SKIP: " + why)
    sys.exit(77)


def case_real_movements(hexbury, script):
    for i, name in enumerate(MOVEMENTS):
        got = run_real(hexbury, base_args(31 + i, 1, ["/movement", name]))
        if got is None:
            skip("the hexbury program or its plug-in is not built")
        code, out, _ = got
        if code != 0:
            fail("%s: exit code %d:\n%s" % (name, code, out[-800:]))
        if check_run(out, "real " + name) != [name]:
            fail("real %s: did not run once" % name)


def case_real_snapshot(hexbury, script):
    text = "t432_occupied\nt1_occupied\n"
    got = run_real(hexbury, base_args(1, 0, ["/script", "lit.txt", "/snapshots", "@TMP@/snaps"]),
                   files={"lit.txt": text})
    if got is None:
        skip("the hexbury program or its plug-in is not built")
    code, out, pictures = got
    if "user-script.png" not in pictures:
        fail("snapshot: no picture taken (%s)" % sorted(pictures))
        return
    w, h, pixel = read_png(pictures["user-script.png"])
    lamps = [w_ for _, w_ in events(out) if w_[0] == "lamp"]
    if len(lamps) < 10:
        fail("snapshot: only %d lamps placed" % len(lamps))
    for words in lamps:
        fields = dict(x.split("=") for x in words[1:])
        n, x, y = int(fields["circuit"]), int(fields["x"]), int(fields["y"])
        r, g, b = pixel(x, y)
        lit = r > 180 and g < 80 and b < 80
        if n in (432, 1) and not lit:
            fail("snapshot: lamp of occupied circuit %d at %d,%d is %s" % (n, x, y, (r, g, b)))
        if n not in (432, 1) and lit:
            fail("snapshot: lamp of clear circuit %d at %d,%d is lit" % (n, x, y))


def case_real_relay(hexbury, script):
    """Through the board simulator: the test sequence at start, every
    circuit switching its relay, 44 at the end; then a board stopped in the
    middle of a run, which the run must survive."""
    if not os.path.exists(hexbury):
        skip("the hexbury program is not built")
    board_py = os.path.join(HERE, "..", "..", "tools", "relay_board.py")

    def start_board():
        board = subprocess.Popen([sys.executable, board_py, "--port", "0"], stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE)
        first = board.stdout.readline().decode()
        m = re.search(r"(\d+\.\d+\.\d+\.\d+):(\d+)", first)
        if not m:
            board.kill()
            fail("relay board: no address in %r" % first)
            return None, None
        return board, "http://%s:%s/30000" % (m.group(1), m.group(2))

    board, url = start_board()
    if board is None:
        return
    try:
        with tempfile.TemporaryDirectory() as tmp:
            proc = subprocess.run([hexbury, "/headless"] + base_args(8, 1, ["/movement", "down_main", "/w", url]),
                                  stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                  timeout=300, cwd=tmp)
        out = proc.stdout.decode("latin-1")
    finally:
        board.terminate()
        err = board.communicate(timeout=10)[1].decode("latin-1")
    if "Failed to load plugin" in out:
        skip("the plug-in is not built")
    if "Relay control module is active" not in out:
        fail("real relay: the board was not found:\n" + out[-800:])
    codes = re.findall(r"/30000/(\d\d)", err)
    start = ["44"] + ["%02d" % ((r - 1) * 2 + 1) for _, r in sorted(RELAYS.items())] \
        + ["%02d" % ((r - 1) * 2) for _, r in sorted(RELAYS.items())] + ["44"]
    if codes[:len(start)] != start:
        fail("real relay: test sequence %s" % codes[:len(start)])
    if not codes or codes[-1] != "44":
        fail("real relay: the board was not switched off at the end: %s" % codes[-3:])
    for n in CIRCUIT_ORDER["down_main"]:
        r = RELAYS[n]
        on, off = "%02d" % ((r - 1) * 2 + 1), "%02d" % ((r - 1) * 2)
        rest = codes[len(start):]
        if on not in rest or off not in rest or rest.index(on) > len(rest) - 1 - rest[::-1].index(off):
            fail("real relay: circuit %d did not switch relay %d on and off" % (n, r))
    check_run(out, "real relay")

    # stopped mid-run
    board, url = start_board()
    if board is None:
        return
    with tempfile.TemporaryDirectory() as tmp:
        run_ = subprocess.Popen([hexbury, "/headless"] + base_args(8, 2, ["/movement", "down_main", "/w", url]),
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, cwd=tmp)
        lines = []
        for raw in run_.stdout:
            line = raw.decode("latin-1")
            lines.append(line)
            if "circuit=1 " in line and "answer=ok" in line and board.poll() is None:
                board.terminate()
                board.wait(timeout=10)
        run_.wait(timeout=300)
    out = "".join(lines)
    answers = [w[-1] for _, w in events(out) if w[:2] == ["relay", "request"] and any(x.startswith("circuit=") for x in w)]
    if "answer=failed" not in answers or answers[-1] != "answer=no-board":
        fail("real relay stopped: answers %s" % answers)
    if len(check_run(out, "real relay stopped")) != 2 or "* Exited *" not in out:
        fail("real relay stopped: the run did not carry on")


CASES = {
    "real_relay": case_real_relay,
    "real_movements": case_real_movements,
    "real_snapshot": case_real_snapshot,
    "movements": case_movements,
    "random": case_random,
    "demo": case_demo,
    "user_script": case_user_script,
    "user_refusals": case_user_refusals,
    "cancel": case_cancel,
    "relay": case_relay,
}


def main():
    orvel, script, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
    CASES[case](orvel, script)
    if failures:
        print("%d failure(s)" % len(failures))
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
