// Folder and file housekeeping: nested folders, removal of empty folders,
// copying and moving files, and new temporary files.
#include "interp/interp.h"
#include "platform/files.h"
#include "platform/folders.h"

namespace orvel {

namespace {

// mkdirs PATH: makes the folder and every missing folder above it; the
// result is 1 (an existing folder is not an error).
int orvelCommandMkdirs(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  const std::string& path = argv[1];
  if (path.empty()) return fail(in, "%s: Empty folder name", argv[0].c_str());
  for (size_t i = 1; i <= path.size(); i++) {
    if (i < path.size() && path[i] != '/' && path[i] != '\\') continue;
    std::string part = path.substr(0, i);
    if (part.size() == 2 && part[1] == ':') continue;  // drive letter
    if (plat::isDirectory(part)) continue;
    std::string err;
    if (!plat::makeDirectory(part, err))
      return fail(in, "%s: Cannot make folder '%s' (%s)", argv[0].c_str(), part.c_str(), err.c_str());
  }
  in.result = "1";
  return OK;
}

// rmdir PATH: removes an empty folder.
int orvelCommandRmdir(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  std::string err;
  if (!plat::isDirectory(argv[1])) return fail(in, "%s: No folder '%s'", argv[0].c_str(), argv[1].c_str());
  if (!plat::removeFolder(argv[1], err))
    return fail(in, "%s: Cannot remove '%s' (%s)", argv[0].c_str(), argv[1].c_str(), err.c_str());
  in.result = "1";
  return OK;
}

// copyfile FROM TO ?-force?: copies a file; an existing target is kept
// unless -force is given. The result is the number of bytes copied.
int orvelCommandCopyfile(Interp& in, Args& argv, void*) {
  if (argv.size() < 3 || argv.size() > 4) return wrongNumArgs(in, argv);
  bool force = argv.size() == 4 && equalsNoCase(argv[3], "-force");
  if (argv.size() == 4 && !force) return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[3].c_str());
  if (!plat::isRegularFile(argv[1])) return fail(in, "%s: No file '%s'", argv[0].c_str(), argv[1].c_str());
  std::string target = argv[2];
  if (plat::isDirectory(target)) {
    size_t slash = argv[1].find_last_of("/\\");
    target += "/" + (slash == std::string::npos ? argv[1] : argv[1].substr(slash + 1));
  }
  if (!force && plat::pathExists(target))
    return fail(in, "%s: '%s' already exists", argv[0].c_str(), target.c_str());
  std::string data, err;
  if (!plat::readWholeFile(argv[1], data, err))
    return fail(in, "%s: Cannot read '%s' (%s)", argv[0].c_str(), argv[1].c_str(), err.c_str());
  if (!plat::replaceFile(target, data, err))
    return fail(in, "%s: Cannot write '%s' (%s)", argv[0].c_str(), target.c_str(), err.c_str());
  in.result = std::to_string(data.size());
  return OK;
}

// movefile FROM TO: moves or renames a file or folder; an existing target
// is an error.
int orvelCommandMovefile(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  if (!plat::pathExists(argv[1])) return fail(in, "%s: No file '%s'", argv[0].c_str(), argv[1].c_str());
  if (plat::pathExists(argv[2])) return fail(in, "%s: '%s' already exists", argv[0].c_str(), argv[2].c_str());
  std::string err;
  if (!plat::renamePath(argv[1], argv[2], err))
    return fail(in, "%s: Cannot move '%s' (%s)", argv[0].c_str(), argv[1].c_str(), err.c_str());
  in.result = "1";
  return OK;
}

// mktemp ?folder? ?prefix?: makes a new empty file with a unique name and
// answers its path.
int orvelCommandMktemp(Interp& in, Args& argv, void*) {
  if (argv.size() > 3) return wrongNumArgs(in, argv);
  std::string folder = argv.size() >= 2 ? argv[1] : std::string();
  std::string prefix = argv.size() == 3 ? argv[2] : std::string("orv");
  if (prefix.find_first_of("/\\") != std::string::npos)
    return fail(in, "%s: Invalid prefix '%s'", argv[0].c_str(), prefix.c_str());
  std::string path, err;
  if (!plat::makeTempFile(folder, prefix, path, err))
    return fail(in, "%s: Cannot make a file in '%s' (%s)", argv[0].c_str(), folder.c_str(), err.c_str());
  in.result = path;
  return OK;
}

const CommandRegistrar reg[] = {
    {"mkdirs", orvelCommandMkdirs},     {"rmdir", orvelCommandRmdir},   {"copyfile", orvelCommandCopyfile},
    {"movefile", orvelCommandMovefile}, {"mktemp", orvelCommandMktemp},
};

}  // namespace

}  // namespace orvel
