// Finds the files an add command names: single files, folders (with their trees) and
// wildcard patterns, each with the path it is stored under.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

#include "archive_writer.h"
#include "command_line.h"

namespace zv::lzh {

struct SourceFiles {
  std::vector<NewMember> items;
  std::vector<std::string> missing;  // arguments that named nothing
};

// `skipDevice`/`skipInode`: the archive itself, never added to itself.
SourceFiles collectSources(const Command& cmd, dev_t skipDevice, ino_t skipInode);

}  // namespace zv::lzh
