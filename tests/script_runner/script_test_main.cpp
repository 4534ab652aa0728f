// Runs the script-level tests of one .test file.
//
// A file holds cases:
//   === name of the case
//   script lines...
//   --- output            (exact console output; CR LF read as LF)
//   --- output-contains   (each line must occur in the output)
//   --- result            (the interpreter result)
//   --- code              (the result code of the evaluation)
// Every case runs in a fresh interpreter set up as the orvel program sets
// one up (escapes on, autoexec off), with its script prepared as orvel does.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "platform/system.h"

using namespace orvel;

namespace {

struct Case {
  std::string name;
  int line = 0;
  std::string script;
  std::map<std::string, std::string> expect;
};

std::vector<Case> parse(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::vector<Case> cases;
  std::string line, section;
  int lineNo = 0;
  while (std::getline(f, line)) {
    lineNo++;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("=== ", 0) == 0) {
      cases.push_back(Case{line.substr(4), lineNo, "", {}});
      section = "script";
      continue;
    }
    if (cases.empty()) continue;
    if (line.rfind("--- ", 0) == 0) {
      section = line.substr(4);
      cases.back().expect[section];
      continue;
    }
    std::string& target = section == "script" ? cases.back().script : cases.back().expect[section];
    target += line;
    target += '\n';
  }
  return cases;
}

std::string normalise(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
    out += s[i];
  }
  return out;
}

std::string visible(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += "\\n\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out;
}

std::string chomp(std::string s) {
  while (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

struct Run {
  std::string path;
  int failures = 0;
  int total = 0;
};

void runFile(void* p) {
  Run& run = *static_cast<Run*>(p);
  for (Case& c : parse(run.path)) {
    run.total++;
    ps() = ProcessState();
    ps().escape = true;
    ps().autoexec = false;
    std::string captured;
    plat::setCapture(&captured);
    int code;
    std::string result;
    {
      Interp in;
      std::vector<std::string> list{"orvel", "-c"};
      orvelSetupInterp(in, &list);
      code = orvelRunScriptText(in, c.script);
      result = in.result;
    }
    plat::setCapture(nullptr);
    std::string out = normalise(captured);
    std::vector<std::string> problems;
    for (auto& [key, want] : c.expect) {
      if (key == "output") {
        // Trailing blank lines of a section only separate cases.
        std::string w = chomp(want);
        if (!w.empty()) w += '\n';
        if (out != w) problems.push_back("output:\n--- expected\n" + visible(w) + "--- actual\n" + visible(out));
      } else if (key == "output-contains") {
        std::istringstream ss(want);
        std::string l;
        while (std::getline(ss, l))
          if (!l.empty() && out.find(l) == std::string::npos)
            problems.push_back("output lacks: " + visible(l) + "\n--- actual\n" + visible(out));
      } else if (key == "result") {
        if (result != chomp(want))
          problems.push_back("result: expected '" + visible(chomp(want)) + "', got '" + visible(result) + "'");
      } else if (key == "code") {
        if (std::to_string(code) != chomp(want))
          problems.push_back("code: expected " + chomp(want) + ", got " + std::to_string(code));
      } else {
        problems.push_back("unknown section '" + key + "'");
      }
    }
    if (!problems.empty()) {
      run.failures++;
      std::cout << run.path << ":" << c.line << ": FAIL " << c.name << "\n";
      for (auto& pr : problems) std::cout << "  " << pr << "\n";
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: orvel_script_tests FILE.test...\n";
    return 2;
  }
  int failures = 0, total = 0;
  for (int i = 1; i < argc; i++) {
    Run run{argv[i]};
    plat::runWithLargeStack(size_t(512) << 20, runFile, &run);
    failures += run.failures;
    total += run.total;
  }
  std::cout << total - failures << " of " << total << " cases passed\n";
  return failures ? 1 : 0;
}
