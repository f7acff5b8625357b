// The command strings the program hands UNZIP32.DLL, such as
//   -x -n --i "C:\arc\a.zip" "C:\dest\" "docs/readme.txt"
// Switches: -x extract with folders, -e / -j extract without folders, -n never overwrite,
// -o overwrite, --i match member names without regard to case, -l list, -v verbose list,
// -t test, --rescue go on past damage, --keep-damaged the same and write damaged members
// under a marked name, --charset=sjis|utf8|euc|cp437|latin1|auto how names
// without a UTF-8 mark are read, in words as platform/command_words.h reads them. Then the
// archive, an optional destination folder (ending in '\' or '/', or given with -d) and member
// names (wildcards '*' and '?' allowed; none means all).
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/name_encoding.h"

namespace zv::zip {

struct UnZipCommand {
  enum class Action { Extract, List, Verbose, Test } action = Action::Extract;
  bool keepFolders = true;
  bool overwrite = false;  // -o; the default (and -n) keeps existing files
  bool ignoreCase = false;
  encoding::NameEncoding names = encoding::NameEncoding::Auto;
  bool rescue = false;       // --rescue: take out what a damaged archive still holds
  bool keepDamaged = false;  // --keep-damaged: damaged members too, under a marked name
  std::string archive;
  std::string destination;  // empty: the current folder
  std::vector<std::string> members;
};

// False with a Japanese reason for an unknown switch or a missing archive.
bool parseUnZipCommand(std::string_view line, UnZipCommand& cmd, std::string& why);

// Windows-style wildcard match ('*', '?'; "*.*" matches every name).
bool wildcardMatch(std::string_view pattern, std::string_view name, bool ignoreCase);

}  // namespace zv::zip
