// File commands on real files: each test runs in a fresh temporary folder
// that is also the working folder while it runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "platform/system.h"

using namespace orvel;
namespace fs = std::filesystem;

namespace {

class FileCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir = fs::temp_directory_path() / ("orvel_files_" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(dir);
    saved = fs::current_path();
    fs::current_path(dir);
    ps() = ProcessState();
    ps().escape = true;
    ps().autoexec = false;
    plat::setCapture(&out);
    std::vector<std::string> list{"orvel", "-c"};
    orvelSetupInterp(in, &list);
  }
  void TearDown() override {
    plat::setCapture(nullptr);
    ps() = ProcessState();
    fs::current_path(saved);
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir, ec);
  }
  int run(const std::string& script) {
    out.clear();
    return orvelRunScriptText(in, script);
  }
  // Runs and expects OK; returns the result.
  std::string ok(const std::string& script) {
    int code = run(script);
    EXPECT_EQ(code, OK) << script << "\noutput: " << out;
    return in.result;
  }
  static void put(const std::string& name, const std::string& data) {
    std::ofstream f(name, std::ios::binary);
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
  }
  static std::string get(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
  }
  // Folder entries other than the given ones (left-over temporary files).
  std::vector<std::string> strayFiles(std::initializer_list<std::string> keep) {
    std::vector<std::string> stray;
    for (auto& e : fs::directory_iterator(dir)) {
      std::string n = e.path().filename().string();
      bool kept = false;
      for (auto& k : keep) kept = kept || n == k;
      if (!kept) stray.push_back(n);
    }
    return stray;
  }

  fs::path dir, saved;
  Interp in;
  std::string out;
};

std::string allBytes() {
  std::string s;
  for (int r = 0; r < 3; r++)
    for (int i = 0; i < 256; i++) s += static_cast<char>(i);
  return s;
}

TEST_F(FileCommands, GetsReadsLinesWithEveryKindOfEnd) {
  put("a.txt", std::string("abc\r\nde\0f\n\nlast", 15));
  EXPECT_EQ(ok("set h [open a.txt]"), "1");
  EXPECT_EQ(ok("gets $h line"), "3");
  EXPECT_EQ(ok("set line"), "abc");
  EXPECT_EQ(ok("gets $h line"), "4");
  EXPECT_EQ(ok("set line"), std::string("de\0f", 4));
  EXPECT_EQ(ok("gets $h"), "");
  EXPECT_EQ(ok("eof $h"), "0");
  EXPECT_EQ(ok("gets $h line"), "4");
  EXPECT_EQ(ok("set line"), "last");
  EXPECT_EQ(ok("eof $h"), "1");
  // At the end: empty result, the variable emptied.
  EXPECT_EQ(ok("gets $h line"), "");
  EXPECT_EQ(ok("set line"), "");
  EXPECT_EQ(ok("close $h"), "1");
}

TEST_F(FileCommands, EofLoopCountsLinesAsTheStreamDoes) {
  put("n.txt", "a\nb\n");
  EXPECT_EQ(ok("set h [open n.txt]; set n 0; while {! [eof $h]} {gets $h l; incr n}; close $h; set n"), "3");
  put("e.txt", "");
  EXPECT_EQ(ok("set h [open e.txt]; set r [gets $h x]; list [eof $h] $r [close $h]"), "1 {} 1");
}

TEST_F(FileCommands, GetsLengthAndLongLines) {
  std::string big(1 << 20, 'x');
  big[12345] = '\0';
  put("big.txt", big + "\r\nshort\n");
  EXPECT_EQ(ok("set h [open big.txt]; gets $h a -length 2000000"), std::to_string(big.size()));
  EXPECT_EQ(ok("set a"), big);
  EXPECT_EQ(ok("gets $h b -length 3"), "3");
  EXPECT_EQ(ok("set b"), "sho");
  EXPECT_EQ(ok("gets $h b"), "2");
  EXPECT_EQ(ok("close $h"), "1");
  // The default longest line is 4096 characters; the rest follows.
  put("l.txt", std::string(5000, 'y') + "\n");
  EXPECT_EQ(ok("set h [open l.txt]; list [gets $h p] [gets $h q] [close $h]"), "4096 904 1");
}

TEST_F(FileCommands, PositionsSeekTellRewind) {
  put("p.txt", "0123456789");
  ok("set h [open p.txt]");
  EXPECT_EQ(ok("seek $h 0 2"), "1");
  EXPECT_EQ(ok("tell $h"), "10");
  EXPECT_EQ(ok("seek $h 3"), "1");
  EXPECT_EQ(ok("read $h -bytes 4"), "3456");
  EXPECT_EQ(ok("tell $h"), "7");
  EXPECT_EQ(ok("seek $h -2 1; read $h -bytes 2"), "56");
  EXPECT_EQ(ok("seek $h 2 -5; read $h -bytes 1"), "2");   // negative origin counts as 0
  EXPECT_EQ(ok("seek $h -1 9; read $h -bytes 5"), "9");   // above 2 counts as 2
  EXPECT_EQ(ok("rewind $h"), "1");
  EXPECT_EQ(ok("read $h"), "0123456789");
  EXPECT_EQ(ok("rewind $h; read $h -line"), "0123456789");
  EXPECT_EQ(ok("close $h"), "1");
}

TEST_F(FileCommands, WritingThroughAHandle) {
  EXPECT_EQ(ok("set h [open w.txt wb]; puts $h one; puts -nonewline $h two; flush $h"), "1");
  EXPECT_EQ(get("w.txt"), "one\r\ntwo");
  EXPECT_EQ(ok("close $h"), "1");
  ok("set h [open w.txt ab+]; puts -nonewline $h 3; rewind $h");
  EXPECT_EQ(ok("gets $h"), "one");
  EXPECT_EQ(ok("read $h"), "two3");
  ok("close $h");
  EXPECT_EQ(get("w.txt"), "one\r\ntwo3");
}

TEST_F(FileCommands, BadHandlesGetTheirMessages) {
  put("x.txt", "x\n");
  ok("set h [open x.txt]; close $h");
  EXPECT_EQ(run("close $h"), ERROR);
  EXPECT_NE(out.find("close: Invalid handle at level 0 in root"), std::string::npos) << out;
  EXPECT_EQ(in.result, "0");
  EXPECT_EQ(run("gets $h line"), ERROR);
  EXPECT_NE(out.find("gets: Exception. Check file handle at level 0 in root"), std::string::npos) << out;
  EXPECT_EQ(run("gets 0"), ERROR);
  EXPECT_EQ(run("eof 12345"), ERROR);
  EXPECT_NE(out.find("eof: Invalid handle"), std::string::npos) << out;
  EXPECT_EQ(ok("eof 0"), "1");
  EXPECT_EQ(run("close abc"), ERROR);
  EXPECT_EQ(run("read 77"), ERROR);
  EXPECT_EQ(run("tell 77"), ERROR);
  EXPECT_EQ(run("seek 77 0"), ERROR);
  EXPECT_EQ(run("rewind 77"), ERROR);
  EXPECT_EQ(run("flush 77"), ERROR);
  EXPECT_EQ(run("puts 77 text"), ERROR);
  EXPECT_EQ(run("close"), STOP);
  ok("set h [open x.txt]");
  EXPECT_EQ(run("read $h -bytes -3"), ERROR);
  EXPECT_NE(out.find("read: Invalid byte count '-3'"), std::string::npos) << out;
  EXPECT_EQ(ok("read $h -bytes 1000000000000"), "x\n");  // a huge count reads what there is
  EXPECT_EQ(run("read $h -line"), ERROR);
  EXPECT_NE(out.find("read -line: Error reading file"), std::string::npos) << out;
  ok("close $h");
}

TEST_F(FileCommands, OpenFailures) {
  EXPECT_EQ(run("open missing.txt"), ERROR);
  EXPECT_EQ(in.result, "0");
  EXPECT_NE(out.find("open: Failed to open 'missing.txt' ("), std::string::npos) << out;
  fs::create_directory("sub");
  EXPECT_EQ(run("open sub"), ERROR);
  EXPECT_EQ(run("open sub/new.txt wb"), OK);
  EXPECT_EQ(run("open x.txt bogus"), ERROR);
  EXPECT_NE(out.find("open: Invalid access mode 'bogus'"), std::string::npos) << out;
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(run("open missing.txt r 1"), ERROR);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(900));
  EXPECT_NE(out.find("after 1 retries"), std::string::npos) << out;
}

TEST_F(FileCommands, WholeFilesReadBackExactly) {
  std::string data = allBytes() + "\r\nline\nend";
  put("bin.dat", data);
  EXPECT_EQ(ok("readfile bin.dat v"), std::to_string(data.size()));
  EXPECT_EQ(ok("writefile copy.dat v -var"), "1");
  EXPECT_EQ(get("copy.dat"), data);
  EXPECT_EQ(ok("readfile bin.dat"), data);
  put("empty.txt", "");
  EXPECT_EQ(ok("readfile empty.txt v"), "0");
  EXPECT_EQ(ok("writefile e2.txt $v; file size e2.txt"), "0");
  EXPECT_TRUE(fs::exists("e2.txt"));
  std::string mb(1 << 20, 'q');
  put("mb.txt", mb + "\n");
  EXPECT_EQ(ok("readfile mb.txt m; writefile mb2.txt m -var; string length $m"), std::to_string(mb.size() + 1));
  EXPECT_EQ(get("mb2.txt"), mb + "\n");
  // Names with blanks, quotes and characters beyond ASCII.
#ifdef _WIN32
  const std::string name = "a b 'q' {d} \xC3\xA9\xE2\x82\xAC.txt";  // no double quotes in Windows names
#else
  const std::string name = "a b 'q' \"d\" \xC3\xA9\xE2\x82\xAC.txt";
#endif
  set_var(in, "name", name);
  EXPECT_EQ(ok("writefile $name {x y}"), "1");
  EXPECT_EQ(get(name), "x y");
  EXPECT_EQ(ok("readfile $name"), "x y");
  EXPECT_EQ(ok("file exists $name"), "1");
  // Nothing else is left in the folder (counted: the system may spell the
  // non-ASCII name differently when it lists it).
  EXPECT_EQ(strayFiles({"bin.dat", "copy.dat", "empty.txt", "e2.txt", "mb.txt", "mb2.txt"}).size(), 1u);
}

TEST_F(FileCommands, WritefileForms) {
  EXPECT_EQ(ok("writefile out.txt hello 3"), "1");
  EXPECT_EQ(get("out.txt"), "hel");
  EXPECT_EQ(ok("writefile out.txt more -append"), "1");
  EXPECT_EQ(get("out.txt"), "helmore");
  EXPECT_EQ(ok("writefile out.txt abc 0"), "1");
  EXPECT_EQ(get("out.txt"), "abc");
  EXPECT_EQ(ok("writefile out.txt abc 99"), "1");
  EXPECT_EQ(get("out.txt"), "abc");
  EXPECT_EQ(ok("writefile out.txt {a\\tb} -unescape"), "1");
  EXPECT_EQ(get("out.txt"), "a\tb");
  EXPECT_EQ(run("writefile out.txt nosuchvar -var"), ERROR);
  EXPECT_EQ(in.result, "0");
  EXPECT_EQ(run("writefile out.txt abc -5"), ERROR);
  EXPECT_EQ(get("out.txt"), "a\tb");
  EXPECT_EQ(run("writefile out.txt"), STOP);
}

TEST_F(FileCommands, FailedWritesKeepTheOldContent) {
  put("keep.txt", "old content");
  fs::create_directory("adir");
  EXPECT_EQ(run("writefile adir new"), ERROR);
  EXPECT_EQ(in.result, "0");
  EXPECT_NE(out.find("writefile: Failed to write 'adir' ("), std::string::npos) << out;
  EXPECT_EQ(run("writefile adir new -append"), ERROR);
  EXPECT_EQ(run("writefile nofolder/x.txt new"), ERROR);
  EXPECT_EQ(get("keep.txt"), "old content");
  EXPECT_EQ(strayFiles({"keep.txt", "adir"}).size(), 0u);
#ifndef _WIN32
  // A full disk: the error is reported.
  if (fs::exists("/dev/full")) {
    EXPECT_EQ(run("writefile /dev/full data"), ERROR);
    EXPECT_NE(out.find("writefile: Failed to write '/dev/full'"), std::string::npos) << out;
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
  }
  // A write cut short by the file-size limit leaves the file as it was and
  // no temporary file behind.
  std::string orvel = (fs::path(plat::modulePath()).parent_path().parent_path() / "orvel").string();
  if (fs::exists(orvel)) {
    for (const char* flag : {"", " -append"}) {
      put("keep.txt", "old content");
      put("w.tcl", std::string("puts [catch {writefile keep.txt [string repeat x 100000]") + flag + "} r]$r\n");
      put("run.sh", "trap '' XFSZ\nulimit -f 4\nexec '" + orvel + "' w.tcl > res.txt 2>&1\n");
      EXPECT_EQ(std::system("sh run.sh"), 0);
      EXPECT_EQ(get("keep.txt"), "old content") << flag;
      EXPECT_NE(get("res.txt").find("Failed to write 'keep.txt'"), std::string::npos) << get("res.txt");
      EXPECT_EQ(strayFiles({"keep.txt", "adir", "res.txt", "w.tcl", "run.sh"}).size(), 0u);
    }
  }
#endif
#ifndef _WIN32
  // The mode of a replaced file stays.
  put("mode.txt", "m");
  fs::permissions("mode.txt", fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec);
  ok("writefile mode.txt new");
  EXPECT_EQ(fs::status("mode.txt").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec);
#endif
}

#ifndef _WIN32
TEST_F(FileCommands, FileRemovedWhileOpenStillReads) {
  put("gone.txt", "one\ntwo\n");
  ok("set h [open gone.txt]; gets $h a");
  fs::remove("gone.txt");
  EXPECT_EQ(ok("gets $h b; set b"), "two");
  EXPECT_EQ(ok("close $h"), "1");
  EXPECT_EQ(run("readfile gone.txt"), ERROR);
  EXPECT_NE(out.find("readfile: File 'gone.txt' not found at level 0 in root"), std::string::npos) << out;
}
#endif

TEST_F(FileCommands, ReadfileArrays) {
  put("ab.txt", "a\r\nb\n");
  EXPECT_EQ(ok("readfile ab.txt lines -array"), "3");
  EXPECT_EQ(ok("list $lines(0) $lines(1) $lines(2)"), "a b {}");
  EXPECT_EQ(ok("readfile ab.txt nb -array -noblank"), "2");
  EXPECT_EQ(ok("array size nb"), "2");
  put("long.txt", std::string(20000, 'z') + "\nend");
  EXPECT_EQ(ok("readfile long.txt L -array"), "4");
  EXPECT_EQ(ok("list [string length $L(0)] [string length $L(1)] [string length $L(2)] $L(3)"), "8192 8192 3616 end");
  put("m.txt", "1\n2\n3\n4\n5");
  EXPECT_EQ(ok("readfile m.txt M -array -max 2"), "5");
  EXPECT_EQ(ok("list [array size M] $M(0) $M(1)"), "2 1 2");
  EXPECT_EQ(run("readfile m.txt M2 -array -max -1"), ERROR);
  EXPECT_EQ(run("readfile nosuch.txt"), ERROR);
  EXPECT_NE(out.find("readfile: File 'nosuch.txt' not found"), std::string::npos) << out;
  fs::create_directory("d");
  EXPECT_EQ(run("readfile d v"), ERROR);
  EXPECT_EQ(in.result, "0");
  EXPECT_EQ(ok("set v"), "");
}

TEST_F(FileCommands, FileSubcommands) {
  put("f.txt", "12345");
  fs::create_directory("dir");
  EXPECT_EQ(ok("file exists dir/"), "1");
  EXPECT_EQ(ok("file exists dir"), "1");
  EXPECT_EQ(ok("file exists nothing"), "0");
  EXPECT_EQ(ok("file EXISTS f.txt"), "1");
  EXPECT_EQ(ok("list [file isfile f.txt] [file isfile dir] [file isdirectory dir] [is_dir f.txt] [is_file f.txt]"),
            "1 0 1 0 1");
  EXPECT_EQ(ok("file size f.txt"), "5");
  EXPECT_EQ(ok("filesize f.txt"), "5");
  EXPECT_EQ(ok("file type dir"), "directory");
  EXPECT_EQ(ok("file type f.txt"), "file");
  EXPECT_EQ(ok("file type none"), "");
  EXPECT_EQ(ok("list [file dirname a/b/c.txt] [file extension a/b/c.txt] [file name a/b/c.txt] [file extension abc]"),
            "a/b .txt c.txt {}");
  EXPECT_EQ(ok("file split c:/dir/name.ext"), "c: /dir/ name .ext");
  EXPECT_EQ(ok("file pathcount a/b\\\\c/"), "3");
  EXPECT_EQ(ok("list [file isroot /] [file isroot c:/] [file isroot c:/x] [file isroot x]"), "1 1 0 0");
  EXPECT_EQ(ok("file pathstrip a//b/ -unix"), "a/b");
  EXPECT_EQ(ok("file pathstrip a//b -unix -addslash"), "a/b/");
  EXPECT_EQ(ok("file md5 f.txt"), "827ccb0eea8a706c4c34a16891f84e7b");
  EXPECT_EQ(ok("file stat f.txt st"), "1");
  EXPECT_EQ(ok("list $st(size) [info exists st(mtime)] [info exists st(drive)]"), "5 1 1");
  EXPECT_EQ(run("file stat f.txt st"), ERROR);
  EXPECT_NE(out.find("file stat: Variable 'st' already exists at level 0 in root"), std::string::npos) << out;
  EXPECT_EQ(ok("file stat none st2"), "0");
  EXPECT_EQ(ok("list [file readable f.txt] [file writeable f.txt] [file writeable dir] [file readable none]"),
            "1 1 0 0");
  EXPECT_EQ(ok("file rename f.txt g.txt"), "1");
  EXPECT_TRUE(fs::exists("g.txt"));
  EXPECT_EQ(ok("file delete g.txt"), "1");
  EXPECT_FALSE(fs::exists("g.txt"));
  EXPECT_EQ(run("file delete g.txt"), ERROR);
  EXPECT_EQ(ok("unlink g.txt -nocomplain"), "0");
  EXPECT_EQ(ok("file mkdir newdir"), "1");
  EXPECT_TRUE(fs::is_directory("newdir"));
  EXPECT_EQ(run("md newdir"), ERROR);
  EXPECT_EQ(ok("file normalize x/../y.txt"), ok("file normal_path y.txt"));
  put("run.EXE", "");
  EXPECT_EQ(ok("list [file executable none] [file executable run.EXE] [file executable dir]"), "{} 1 0");
  std::string attrs = ok("file attributes dir");
  std::string want = "-archive 0 -hidden 0 -system 0 -readonly 0 -longname " + ok("file normalize dir") + " -shortname ";
  EXPECT_EQ(attrs.substr(0, want.size()), want);
  EXPECT_EQ(run("file bogus x"), ERROR);
  EXPECT_NE(out.find("file: Invalid command 'bogus' at level 0 in root"), std::string::npos) << out;
  EXPECT_EQ(run("file crc dir"), ERROR);
  EXPECT_NE(out.find("file crc: lib orvel_crc is not loaded"), std::string::npos) << out;
  EXPECT_EQ(run("file size"), STOP);
  EXPECT_NE(ok("file volumes"), "");
  EXPECT_EQ(ok("file exepath"), ok("file normalize [file exepath]"));
}

TEST_F(FileCommands, ProgramTypes) {
  std::string self = plat::modulePath();
  EXPECT_EQ(ok("file runtype {" + fs::path(self).generic_string() + "}"), "64bit");
  put("plain.txt", "text");
  EXPECT_EQ(run("file runtype plain.txt"), ERROR);
  EXPECT_NE(out.find("file runtype: Error checking file at level 0 in root"), std::string::npos) << out;
#ifndef _WIN32
  put("s.sh", "#!/bin/sh\necho\n");
  EXPECT_EQ(ok("file runtype s.sh"), "posix");
  EXPECT_EQ(ok("file executable s.sh"), "0");
  fs::permissions("s.sh", fs::perms::owner_all);
  EXPECT_EQ(ok("file executable s.sh"), "1");
  std::string pe = "MZ" + std::string(58, '\0') + std::string("\x40\0\0\0", 4) + "PE" + std::string(2, '\0') +
                   std::string("\x4c\x01", 2) + std::string(40, '\0');
  put("old.exe", pe);
  EXPECT_EQ(ok("file runtype old.exe"), "32bit");
  EXPECT_EQ(ok("file executable old.exe"), "1");
#endif
}

TEST_F(FileCommands, SourceLoadAndRun) {
  put("s.tcl", "#define GREETING hi\nset g GREETING\nputs \"$g $argc $argv(0) $argv(1) [+ 0x10 1]\"\nreturn 5\n");
  int code = run("set r [source s.tcl one]; list $r $argc $argv(0)");
  EXPECT_EQ(code, OK) << out;
  EXPECT_EQ(in.result, "5 1 -c");
  EXPECT_EQ(out, "hi 2 s.tcl one 17\r\n");
  EXPECT_EQ(run("source nosuch.tcl"), ERROR);
  EXPECT_NE(out.find("source: File 'nosuch.tcl' not found at level 0 in root"), std::string::npos) << out;
  fs::create_directory("sdir");
  EXPECT_EQ(run("source sdir"), ERROR);
  EXPECT_NE(out.find("eval: Error reading file 'sdir'"), std::string::npos) << out;
  put("err.tcl", "error boom\n");
  EXPECT_EQ(run("source err.tcl"), ERROR);
  put("empty.tcl", "");
  EXPECT_EQ(ok("source empty.tcl"), "");

  put("demo.tcl", "set seen [list $argc [info exists keep]]\nputs \"demo $argc\"\n\n");
  EXPECT_EQ(ok("set keep 1; load demo"), "");
  EXPECT_EQ(out, "Loaded demo.tcl OK 58 byte(s)\r\n");
  EXPECT_EQ(ok("load"), "");
  EXPECT_NE(out.find("demo.tcl - 58 byte(s)"), std::string::npos) << out;
  ok("run");
  EXPECT_EQ(out, "demo 0\r\n");
  EXPECT_EQ(ok("set seen"), "0 0");  // variables cleared for the run
  ok("run demo.tcl x y");
  EXPECT_EQ(out, "demo 3\r\n");
  EXPECT_EQ(ok("list $argv0 $argv(2)"), "demo.tcl y");
  put("x.txt", "puts x\r\n\t ");
  EXPECT_EQ(ok("load x.txt -quiet code"), "");
  EXPECT_EQ(out, "");
  EXPECT_EQ(ok("set code"), "puts x");
  EXPECT_EQ(run("run"), ERROR);
  EXPECT_EQ(out, "No script loaded\r\n");
  EXPECT_EQ(run("load nosuch"), ERROR);
  EXPECT_NE(out.find("load: Error reading source file 'nosuch.tcl'"), std::string::npos) << out;
  EXPECT_EQ(run("run nosuch"), ERROR);
  EXPECT_EQ(in.result, "run: load program failed");
  put("bad.tcl", "puts {\n");
  EXPECT_EQ(run("load bad"), ERROR);
  EXPECT_NE(out.find("load: Error preprocessing file 'bad.tcl'"), std::string::npos) << out;
  put("inner.tcl", "load demo\n");
  ok("load inner -quiet");
  ok("run");
  EXPECT_NE(out.find("load: Command is only available from the CLI"), std::string::npos) << out;
  put("again.tcl", "run\n");
  ok("run again.tcl");
  EXPECT_NE(out.find("run: A script is running. [run] is blocked. [run] is a CLI command"), std::string::npos) << out;
  EXPECT_EQ(ok("load -clear; load"), "");
  EXPECT_EQ(out, "No script loaded\r\n");
}

}  // namespace
