// Disk queries: the space on a disk and the kind of drive it is.
#include <string>

#include "interp/interp.h"
#include "interp/list_text.h"
#include "platform/disk_space.h"
#include "platform/files.h"

namespace orvel {

namespace {

// diskstat ?drive|path?: "free total used" in bytes for the disk holding
// the path (the current folder by default; a drive letter stands for its
// root). free is what the caller may still use, as diskfree answers; used
// is the total less all free space.
int orvelCommandDiskstat(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  std::string path = argv.size() == 2 ? argv[1] : std::string(".");
  if (path.empty()) return fail(in, "%s: Empty drive or path", argv[0].c_str());
  plat::DiskSpace d;
  if (!plat::diskSpace(path, d)) return fail(in, "%s: Cannot query the disk of '%s'", argv[0].c_str(), path.c_str());
  in.result = listBuild({std::to_string(d.avail), std::to_string(d.total), std::to_string(d.total - d.free)});
  return OK;
}

// disktype drive|path: the drive type number, as info disktype answers it
// (0 unknown, 1 no such root, 2 removable, 3 fixed, 4 remote, 5 CD-ROM,
// 6 RAM disk).
int orvelCommandDisktype(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  in.result = std::to_string(plat::diskType(argv[1]));
  return OK;
}

const CommandRegistrar reg[] = {
    {"diskstat", orvelCommandDiskstat},
    {"disktype", orvelCommandDisktype},
};

}  // namespace

}  // namespace orvel
