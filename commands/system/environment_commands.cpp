// Environment and system queries: variables of the process environment, the
// working folder, process and thread numbers, ticks and free disk space.
#include "expr/numbers.h"
#include "interp/interp.h"
#include "platform/system.h"
#include "platform/workdir.h"

namespace orvel {

namespace {

// getenv NAME ?default?: the value, the default when the name is not set,
// an error when neither.
int orvelCommandGetenv(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  if (argv[1].empty()) return fail(in, "%s: Empty variable name", argv[0].c_str());
  std::string value;
  if (plat::getEnv(argv[1], value)) {
    in.result = value;
    return OK;
  }
  if (argv.size() == 3) {
    in.result = argv[2];
    return OK;
  }
  return fail(in, "%s: Environment variable '%s' not set", argv[0].c_str(), argv[1].c_str());
}

// setenv NAME VALUE: sets it for this process and its children; the result
// is the value.
int orvelCommandSetenv(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  if (argv[1].empty() || argv[1].find('=') != std::string::npos)
    return fail(in, "%s: Invalid variable name '%s'", argv[0].c_str(), argv[1].c_str());
  if (!plat::setEnv(argv[1], argv[2]))
    return fail(in, "%s: Failed to set '%s'", argv[0].c_str(), argv[1].c_str());
  in.result = argv[2];
  return OK;
}

// pwd / getcwd: the current folder.
int orvelCommandPwd(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  std::string dir;
  if (!plat::currentDirectory(dir)) return fail(in, "%s: Cannot read the current folder", argv[0].c_str());
  in.result = dir;
  return OK;
}

// cd / chdir ?folder?: changes the current folder (the home folder without
// an argument) and answers the new current folder.
int orvelCommandCd(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  std::string target;
  if (argv.size() == 2) {
    target = argv[1];
  } else if (!plat::getEnv("HOME", target) && !plat::getEnv("USERPROFILE", target)) {
    return fail(in, "%s: No home folder known", argv[0].c_str());
  }
  if (target.empty()) return fail(in, "%s: Empty folder name", argv[0].c_str());
  std::string err;
  if (!plat::changeDirectory(target, err))
    return fail(in, "%s: Cannot change to '%s' (%s)", argv[0].c_str(), target.c_str(), err.c_str());
  std::string dir;
  in.result = plat::currentDirectory(dir) ? dir : target;
  return OK;
}

int orvelCommandPid(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  in.result = intText(plat::processId());
  return OK;
}

int orvelCommandTid(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  in.result = intText(plat::threadId());
  return OK;
}

// ticks: milliseconds of a steady clock (not the time of day).
int orvelCommandTicks(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  in.result = uintText(plat::tickMs());
  return OK;
}

// diskfree ?path?: bytes free on the disk holding path (the current folder
// by default).
int orvelCommandDiskfree(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  std::string path = argv.size() == 2 ? argv[1] : std::string(".");
  int64_t n = plat::diskFreeBytes(path);
  if (n < 0) return fail(in, "%s: Cannot query the disk of '%s'", argv[0].c_str(), path.c_str());
  in.result = intText(n);
  return OK;
}

const CommandRegistrar reg[] = {
    {"getenv", orvelCommandGetenv}, {"setenv", orvelCommandSetenv}, {"pwd", orvelCommandPwd},
    {"getcwd", orvelCommandPwd},    {"cd", orvelCommandCd},         {"chdir", orvelCommandCd},
    {"pid", orvelCommandPid},       {"tid", orvelCommandTid},       {"ticks", orvelCommandTicks},
    {"diskfree", orvelCommandDiskfree},
};

}  // namespace

}  // namespace orvel
