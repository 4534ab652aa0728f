#!/usr/bin/env python3
"""Runs the hexbury program in temporary folders and checks its start-up:
the command line, hexbury.ini, the configuration report, the help pager,
the script's argument list, /echo and the exit codes.

    host_test.py HEXBURY GROUP

The program must have been built with the stand-in script
(tests/hexbury/standin.orv), which prints its argument list and ends as its
switches ask. GROUP is one of the names in GROUPS below.
"""
import os
import shutil
import subprocess
import sys
import tempfile

PROGRAM = None
FAILURES = []

RULE = "-" * 79 + "\r\n"


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


class Sandbox:
    """A copy of the program in a folder of its own, with a private
    per-user folder and home."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="hexbury-test-")
        self.bin = os.path.join(self.root, "bin")
        os.makedirs(self.bin)
        self.exe = os.path.join(self.bin, "hexbury")
        shutil.copy2(PROGRAM, self.exe)
        self.xdg = os.path.join(self.root, "xdg")
        self.home = os.path.join(self.root, "home")
        os.makedirs(self.home)
        self.env = {k: v for k, v in os.environ.items() if k not in ("XDG_DATA_HOME",)}
        self.env["XDG_DATA_HOME"] = self.xdg
        self.env["HOME"] = self.home

    def user_folder(self):
        return os.path.join(self.xdg, "hexbury")

    def write_ini(self, text, where="exe"):
        folder = self.bin if where == "exe" else self.user_folder()
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "hexbury.ini")
        with open(path, "wb") as f:
            f.write(text.encode("latin-1"))
        return path

    def run(self, *args, stdin=b"", env=None):
        e = dict(self.env)
        if env:
            e.update(env)
        p = subprocess.run([self.exe] + list(args), input=stdin, capture_output=True, env=e,
                           cwd=self.root, timeout=60)
        return p.returncode, p.stdout.decode("latin-1")

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


def script_argv(out):
    """The argument list the stand-in script printed."""
    vals = {}
    for line in out.split("\r\n"):
        if line.startswith("argv(") and ")=" in line:
            i = int(line[5:line.index(")")])
            vals[i] = line[line.index(")=") + 2:]
    return [vals[i] for i in range(len(vals))]


def report_value(out, option):
    """The value column of the report line for an INI option."""
    for line in out.split("\r\n"):
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[1] == option:
            return parts[2]
    return None


# ---------------------------------------------------------------- groups

def test_arguments():
    s = Sandbox()
    try:
        rc, out = s.run('C:\\path with space"', "/config")
        check(rc == 4, "embedded quote gives 4 (got %d)" % rc)
        check(out == "Syntax error: Embedded \" found. Don't end quoted paths with a \\ character\n",
              "embedded quote message: %r" % out)
        rc, out = s.run('a"b', "/?")
        check(rc == 4 and "Syntax error" in out and "Screensaver" not in out,
              "/? after a quoted argument gives the quote error, not help")
        words = ["w%d" % i for i in range(10)]
        rc, out = s.run(*words)
        check(rc == 0 and "stand-in script done" in out, "ten bare words are accepted")
        check(script_argv(out)[1:] == words, "the ten words reach the script in order")
        rc, out = s.run(*(words + ["eleven"]))
        check(rc == 1, "an eleventh bare word gives 1 (got %d)" % rc)
        check(out == "Too many parameters: use Hexbury /? for help\n", "too many message: %r" % out)
        rc, out = s.run(*(words + ["/script", "file.orv"]))
        check(rc == 1 and out.startswith("Too many parameters"),
              "the file name after /script counts as a bare word")
        rc, out = s.run(*(words + ["/x", "/y"]))
        check(rc == 0, "switches do not count as bare words")
        rc, out = s.run(*(words + ["eleven", 'q"']))
        check(rc == 1, "the eleventh word is refused before a later quote is seen")
        rc, out = s.run("/DEBUG", *(words + ["eleven"]))
        check(rc == 1 and "Program Configuration" not in out, "the checks come before the report")
    finally:
        s.close()


def test_exit_codes():
    s = Sandbox()
    try:
        rc, out = s.run()
        check(rc == 0, "normal end gives 0 (got %d)" % rc)
        check(out.endswith("stand-in script done\r\nat_exit ran\r\n"), "at_exit runs after a normal end: %r" % out[-80:])
        rc, out = s.run("/die")
        check(rc == 3, "die -code 3 gives 3 (got %d)" % rc)
        check(out.endswith("stand-in dies\r\nat_exit ran\r\n"), "at_exit runs after die: %r" % out[-80:])
        rc, out = s.run("/exit")
        check(rc == 7 and out.endswith("at_exit ran\r\n"), "exit 7 gives 7 and runs at_exit (rc %d)" % rc)
        rc, out = s.run("/onerror")
        check(rc == 9, "die inside on_error ends the process with its code (got %d)" % rc)
        check("not reached" not in out and out.endswith("at_exit ran\r\n"), "at_exit runs after on_error's die")
        check(out.count("at_exit ran") == 1, "at_exit runs once")
        rc, out = s.run("/fail")
        check(rc == 0 and out.endswith("at_exit ran\r\n"), "an unhandled error ends with 0 and runs at_exit")
        rc, out = s.run("/noatexit")
        check(rc == 0 and "at_exit ran" not in out, "no at_exit command, nothing runs")
    finally:
        s.close()


def test_echo():
    s = Sandbox()
    try:
        rc, out = s.run("/echo")
        check(rc == 0, "/echo gives 0")
        check("puts stand-in-script-running" in out, "/echo shows the text with macros expanded")
        check("[+ 16 3]" in out, "/echo shows radix literals made decimal")
        check("#define" not in out, "/echo shows the processed text, without directives")
        check("\r\nat_exit ran" not in out and "radix=19" not in out, "/echo evaluates nothing")
        check(out.endswith("\n") and "\r\n" in out, "the script text keeps its CR LF line ends")
        rc, out2 = s.run("/ECHO", "/debug")
        check(out2.startswith("Program Configuration") and "puts stand-in-script-running" in out2
              and "radix=19" not in out2, "/echo with /debug: report, then the text")
    finally:
        s.close()


def test_report():
    s = Sandbox()
    try:
        rc, out = s.run("/config")
        check(rc == 0, "/config gives 0")
        check(os.path.isdir(s.user_folder()), "the per-user folder is created before the report")
        ini_user = os.path.join(s.user_folder(), "hexbury.ini")
        expected = ("Program Configuration v1.08 14th May 2023\r\n" + RULE +
                    "Application path:          %s/\r\n" % s.bin +
                    "Configuration (INI) file:  %s\r\n" % ini_user + RULE +
                    "Cmd Arg       INI Option   Value\r\n" + RULE +
                    "/SILENT       Silent       False\r\n"
                    "/STATUS       Status       False\r\n"
                    "/NOOPEN       NoOpenSignal False\r\n"
                    "/DEMO         ShowDemo     False\r\n"
                    "/NOVIDEOCHECK NoVideoCheck False\r\n"
                    "/SCRIPT       Script       Unconfigured\r\n"
                    "/SOUNDLEFT    SoundLeft    Unconfigured\r\n"
                    "/SOUNDMIDDLE  SoundMiddle  Unconfigured\r\n"
                    "/SOUNDRIGHT   SoundRight   Unconfigured\r\n"
                    "/SOUNDNORMAL  SoundNormal  Unconfigured\r\n"
                    "/SOUNDREVERSE SoundReverse Unconfigured\r\n"
                    "/W             WebURL      Unconfigured\r\n" + RULE)
        check(out == expected, "report without INI:\n%s\nexpected:\n%s" % (out, expected))
        rc, out2 = s.run("/INFO", "/silent", "/demo")
        check(rc == 0 and out2 == expected, "/info is /config; command-line switches are not in the report")

        s.write_ini("[Config]\r\nSilent=yes\r\nStatus=true\r\nNoOpenSignal=1\r\nShowDemo=TRUE\r\n"
                    "NoVideoCheck=Yes\r\nGreenOffIndicators=yes\r\nScript=%s\r\nSoundLeft=missing.wav\r\n"
                    "WebURL=http://192.168.1.4/30000/\r\n" % os.path.join(s.bin, "hexbury"))
        rc, out = s.run("/config")
        check("Configuration (INI) file:  %s/hexbury.ini\r\n" % s.bin in out, "the INI beside the program is used")
        for opt in ("Silent", "Status", "NoOpenSignal", "ShowDemo", "NoVideoCheck"):
            check(report_value(out, opt) == "True", "%s reported True" % opt)
        check("GreenOff" not in out, "GreenOffIndicators has no report line")
        check(report_value(out, "Script") == os.path.join(s.bin, "hexbury"), "Script path reported")
        check(report_value(out, "SoundLeft") == "missing.wav", "a missing sound file is still reported")
        check("/W             WebURL      http://192.168.1.4/30000/\r\n" in out, "WebURL reported")
        check("stand-in" not in out and "at_exit" not in out, "/config runs no script")

        rc, out = s.run("/Debug")
        check(rc == 0 and out.startswith("Program Configuration") and "stand-in script done" in out
              and out.endswith("at_exit ran\r\n"), "/debug shows the report and then runs the script")
        rc, out = s.run("/info", "/debug")
        check(out.startswith("Program Configuration") and "stand-in script done" in out,
              "/info with /debug runs the script too")
    finally:
        s.close()


def test_ini_search():
    s = Sandbox()
    try:
        s.write_ini("[Config]\nSilent=yes\n", where="user")
        rc, out = s.run("/config")
        check("Configuration (INI) file:  %s/hexbury.ini" % s.user_folder() in out and
              report_value(out, "Silent") == "True", "the per-user INI is read when none is beside the program")
        s.write_ini("[Config]\nStatus=yes\n", where="exe")
        rc, out = s.run("/config")
        check(report_value(out, "Status") == "True" and report_value(out, "Silent") == "False",
              "the INI beside the program wins over the per-user one")
        os.remove(os.path.join(s.bin, "hexbury.ini"))
        # Without XDG_DATA_HOME the folder is ~/.local/share/hexbury.
        env = dict(s.env)
        del env["XDG_DATA_HOME"]
        p = subprocess.run([s.exe, "/config"], capture_output=True, env=env, timeout=60)
        out = p.stdout.decode("latin-1")
        local = os.path.join(s.home, ".local", "share", "hexbury")
        check(os.path.isdir(local), "~/.local/share/hexbury is created")
        check("Configuration (INI) file:  %s/hexbury.ini" % local in out, "~/.local/share/hexbury is searched")
        # A deep per-user folder is created component by component.
        deep = os.path.join(s.root, "a", "b", "c")
        rc, out = s.run("/config", env={"XDG_DATA_HOME": deep})
        check(os.path.isdir(os.path.join(deep, "hexbury")), "missing folder components are created")
        # A folder that cannot be created is no error.
        blocker = os.path.join(s.root, "file")
        open(blocker, "w").close()
        rc, out = s.run("/config", env={"XDG_DATA_HOME": blocker})
        check(rc == 0 and "Program Configuration" in out, "a failed folder creation is ignored")
        # A directory named hexbury.ini is not a configuration file.
        os.makedirs(os.path.join(s.bin, "hexbury.ini"))
        rc, out = s.run("/config")
        check(rc == 0 and "Configuration (INI) file:  %s/hexbury.ini" % s.user_folder() in out,
              "a folder named hexbury.ini is passed over")
    finally:
        s.close()


def ini_case(s, body, option, env=None):
    s.write_ini(body)
    rc, out = s.run("/config", env=env)
    return report_value(out, option)


def test_ini_rules():
    s = Sandbox()
    try:
        for line, want in [("Silent=Yes", "True"), ('Silent= "true";', "True"), ("Silent=1", "True"),
                           ("SILENT=TRUE", "True"), ("Silent=on", "False"), ("Silent = true", "False"),
                           ("Silent =true", "False"), ("  Silent=yes", "True"), ("\tSilent=yes", "False"),
                           ("Silent=yes ; comment", "True"), ("Silent=;yes", "False"), ("Silent=", "False"),
                           ("Silent=  yes  ", "True"), ("Silent=\"yes\"", "True")]:
            got = ini_case(s, "[Config]\r\n%s\r\n" % line, "Silent")
            check(got == want, "INI line %r gives %s (got %s)" % (line, want, got))
        for body, want in [("Silent=yes\n[Config]\n", "False"),
                           ("[Other]\nSilent=yes\n[Config]\n", "False"),
                           ("[ config ]\nSilent=yes\n", "True"),
                           ("[\tCONFIG\t]\nSilent=yes\n", "True"),
                           ("[Config]\n[x\nSilent=yes\n", "False"),
                           ("[Config]\nStatus=1\n[Other]\nSilent=yes\n", "False"),
                           ("[Config]\nSilent=no\nSilent=yes\n", "False"),
                           ("[]\n[Config]\nSilent=yes\n", "True"),
                           ("[Config]\n\n\n   \nSilent=yes", "True"),
                           ("[Config]\r\r\nSilent=yes\r\r\n", "True"),
                           ("[Config]\n" + "x" * 255 + "Silent=yes\n", "True")]:
            got = ini_case(s, body, "Silent")
            check(got == want, "INI %r gives Silent %s (got %s)" % (body, want, got))
        env = {"TEMP": "C:\\Temp", "HB_A": "/a", "HB_LONG": "y" * 400}
        for line, want in [("Script=%TEMP%\\x.tcl", "C:/Temp/x.tcl"),
                           ("Script=%NOSUCHVAR_HB%", "%NOSUCHVAR_HB%"),
                           ("Script=%NOSUCHVAR_HB%x", "x"),
                           ("Script=%%a%HB_A%%", "a/a"),
                           ("Script=lone%percent", "lonepercent"),
                           ("Script= spaced.orv ; note", "spaced.orv"),
                           ("Script= spaced.orv", " spaced.orv"),
                           ("Script=a\\b\\c", "a/b/c"),
                           ("Script=%HB_LONG%", "y" * 260)]:
            s.write_ini("[Config]\n%s\n" % line)
            rc, out = s.run("hexbury-args", env=env)
            argv = script_argv(out)
            got = argv[argv.index("/script") + 1] if "/script" in argv else None
            check(got == want, "INI line %r gives script path %r (got %r)" % (line, want, got))
        s.write_ini("[Config]\nWebURL=http://h/%TEMP%\\x; c\n")
        rc, out = s.run("/config", env=env)
        check("WebURL      http://h/%TEMP%\\x\r\n" in out, "WebURL is kept as written")
    finally:
        s.close()


def test_script_arguments():
    s = Sandbox()
    try:
        s.write_ini("[Config]\nNoVideoCheck=yes\nSilent=yes\nStatus=yes\nGreenOffIndicators=yes\n"
                    "NoOpenSignal=yes\nShowDemo=yes\nScript=s.orv\nWebURL=http://u/\nSoundLeft=l.wav\n"
                    "SoundMiddle=m.wav\nSoundRight=r.wav\nSoundNormal=n.wav\nSoundReverse=v.wav\n")
        rc, out = s.run("pos", "/Silent")
        argv = script_argv(out)
        want = [s.exe, "pos", "/Silent", "/silent", "/status", "/greenoff", "/noopen", "/demo",
                "/script", "s.orv", "/soundleft", "l.wav", "/soundmiddle", "m.wav", "/soundright", "r.wav",
                "/soundnormal", "n.wav", "/soundreverse", "v.wav", "/w", "http://u/", "/novideocheck"]
        check(argv == want, "argument list %r" % argv)
        check("argc=%d\r\n" % len(want) in out, "argc counts the list")
        s.write_ini("[Config]\nSilent=no\nSoundRight=r.wav\n")
        rc, out = s.run("/debug", "x")
        argv = script_argv(out)
        check(argv == [s.exe, "/debug", "x", "/soundright", "r.wav"], "only the set keys are added: %r" % argv)
    finally:
        s.close()


def test_help():
    s = Sandbox()
    try:
        banner = "           Hexbury Cross Junction Signalbox Simulation v1.08 14th May 2023"
        more = "-- More (PgUp, PgDn, Home, End, Esc quits) --"
        erase = "\r" + " " * len(more) + "\r"
        rc, out = s.run("/?", stdin=b"\x1b")
        check(rc == 0, "help gives 0")
        lines = out.split("\r\n")
        check(lines[0] == banner.ljust(79), "the banner is padded to 79 columns")
        check(lines[1] == "" and lines[2].startswith(" Screensaver simulation"), "help text follows")
        check(lines[22] == more + erase, "a page is 22 lines when the console size is unknown: %r" % lines[22])
        check(len(lines) == 23 and "stand-in" not in out, "Esc ends the pager and the program")
        rc, out = s.run("/?", stdin=b"xxxx")
        check(rc == 0, "help paged to the end gives 0")
        text = out.replace(more + erase, "")
        lines = text.split("\r\n")
        check(len(lines) == 108 and lines[106] == "" and lines[107] == "-- End - ESC to Close --\r\n".rstrip("\r\n")
              or lines[107].startswith("-- End - ESC to Close --"),
              "all 107 lines, then the closing prompt: %r" % lines[100:])
        check(lines[49] == " Syntax:  hexbury.scr </switches>" and lines[59] == " [config]",
              "help lines in place")
        check(out.count(more) == 4, "four page prompts for 107 lines")
        rc, out = s.run("foo", "/?", "/bar", stdin=b"")
        check(rc == 0 and out.startswith(banner), "end of input ends the pager")
    finally:
        s.close()


def test_pager_keys():
    """The pager on a terminal of 12 rows (pages of 10 lines), driven by
    the keys a terminal sends."""
    import fcntl, pty, select, struct, termios, time
    s = Sandbox()
    master, slave = pty.openpty()
    try:
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 12, 80, 0, 0))
        p = subprocess.Popen([s.exe, "/?"], stdin=slave, stdout=slave, stderr=slave, env=s.env,
                             cwd=s.root, close_fds=True)
        os.close(slave)
        slave = None

        def read_until(marker, timeout=15):
            buf = b""
            end = time.time() + timeout
            while time.time() < end:
                r, _, _ = select.select([master], [], [], 0.2)
                if r:
                    try:
                        chunk = os.read(master, 65536)
                    except OSError:
                        break
                    if not chunk:
                        break
                    buf += chunk
                    if marker.encode() in buf:
                        return buf.decode("latin-1")
            return buf.decode("latin-1")

        more, end = "-- More (", "-- End - ESC to Close --"
        out = read_until(more)
        check(" Timetabled services" in out and " Screensaver Release" not in out,
              "the first page holds 10 lines")
        os.write(master, b"\x1b[F")  # End
        out = read_until(end)
        check("\x1b[2J" in out and " Not recommended for ReactOS or WINE" in out and more not in out
              and " Limitations" not in out, "End clears and shows the last page")
        os.write(master, b"\x1b[5~")  # PgUp from the last page
        out = read_until(more)
        check(" Limitations" in out and " Not recommended" not in out, "PgUp goes back a page")
        os.write(master, b"\x1b[H")  # Home
        out = read_until(more)
        check(" Timetabled services" in out and " Screensaver Release" not in out, "Home goes to the first line")
        os.write(master, b"\x1b[6~")  # PgDn
        out = read_until(more)
        check("\x1b[2J" in out and " Implementation Compromises" in out and " Timetabled" not in out,
              "PgDn clears and shows the next page")
        os.write(master, b"x")  # any key: the next page below
        out = read_until(more)
        check("\x1b[2J" not in out and " Not all historic details" in out, "another key pages on below")
        os.write(master, b"\x1b")
        try:
            rc = p.wait(timeout=15)
        except subprocess.TimeoutExpired:
            p.kill()
            rc = None
        check(rc == 0, "Esc ends the help screen with 0 (got %r)" % rc)
    finally:
        if slave is not None:
            os.close(slave)
        os.close(master)
        s.close()


GROUPS = {
    "arguments": test_arguments,
    "exit_codes": test_exit_codes,
    "echo": test_echo,
    "report": test_report,
    "ini_search": test_ini_search,
    "ini_rules": test_ini_rules,
    "script_arguments": test_script_arguments,
    "help": test_help,
    "pager_keys": test_pager_keys,
}


def main():
    global PROGRAM
    if len(sys.argv) != 3 or sys.argv[2] not in GROUPS:
        print("usage: host_test.py HEXBURY GROUP (%s)" % ", ".join(GROUPS))
        return 2
    PROGRAM = os.path.abspath(sys.argv[1])
    GROUPS[sys.argv[2]]()
    if FAILURES:
        print("%d check(s) failed" % len(FAILURES))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
