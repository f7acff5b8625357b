// The command strings the program sends ("x -n1 \"C:\\dl\\a.lzh\" \"C:\\out\\\" \"a.txt\""):
// a command letter, switches, the archive, then paths, in words as platform/command_words.h
// reads them (quotes group blanks, "" inside quotes is a quote, '\' is ordinary).
#pragma once
#include <string>
#include <vector>

#include "platform/name_encoding.h"

namespace zv::lzh {

struct Command {
  char verb = 0;                 // a u m x e l v t d s
  bool noProgress = false;       // -n1: no progress reports through the host
  bool storeFolders = false;     // -d1: keep folder information
  bool recurse = false;          // -r: wildcard patterns also match in subfolders
  int method = 5;                // -o5 / -o6 / -o7; 0 with -z (store only)
  int level = 2;                 // -h0 / -h1 / -h2
  int packLevel = 0;             // -9: smallest output (matches chosen by cost), slower packing
  int sfxMode = 4;               // -jw3: let the host customise; -jw4: defaults
  bool replaceExisting = false;  // -jyo: replace an existing file without asking
  bool keepMacBinary = false;    // -jb1: extract Macintosh members with their MacBinary wrapping
  // --charset=sjis|utf8|euc|cp437|latin1|auto: how names that do not say it are read
  encoding::NameEncoding names = encoding::NameEncoding::Auto;
  bool rescue = false;  // -jr: go on past damage and extract what is intact
  // -jr2: as -jr, and members whose data is damaged are written too, under a marked name
  bool keepDamaged = false;
  std::string archive;
  std::vector<std::string> args;  // the paths after the archive, unquoted
};

// Throws LzhError(ZV_ERROR_COMMAND) for an unknown command or switch.
Command parseCommand(const std::string& text);

// True when the argument names a folder (ends with '\' or '/').
bool endsWithSeparator(const std::string& arg);

}  // namespace zv::lzh
