// The command strings of an archive creation run: one LZH command per chosen file, one for a
// whole folder tree, and one ISH command per chosen file.
#pragma once
#include <string>

#include "core/settings/option_values.h"

namespace zv::compress {

// ISH character-code types of the file selection window.
enum class IshCodeType { Internet, PcNetwork, PcNetworkNoKana };

// What the settings say about the LZH commands.
struct LzhOptions {
  PackModeOption packMode;            // add -> a, move -> m, anything else -> u
  DirectoryModeOption directoryMode;  // with folder information: -d1; anything else: names only
  // Yes: the library's own progress dialog (no -n1). Any other value counts as no.
  YesNo showProgress;
};

// "a", "m" or "u".
std::string lzhCommandLetter(const PackModeOption& packMode);

// One chosen file: letter, switches, the quoted archive, the quoted source file
// (source folder, a '\' unless it ends with one, the name).
//   u -n1 "C:\out\x.lzh" "C:\src\a.txt"
std::string lzhFileCommand(const LzhOptions& options, const std::string& archivePath,
                           const std::string& sourceFolder, const std::string& name);

// The whole source folder with its subfolders, stored under the folder's own name: the parent
// folder (ending in '\') is given first, so the library stores paths relative to it.
//   a -d1 -n1 "C:\out\x.lzh" "C:\data\" "proj\*.*"
// A drive root has no parent: its files are stored relative to the root ("C:\" "*.*").
std::string lzhFolderCommand(const YesNo& showProgress, const std::string& archivePath,
                             const std::string& sourceFolder);

// "/s7 /ya", "/ss /ya" or "/sn /ya".
std::string ishSwitches(IshCodeType type);

// One chosen file; the ISH library separates the parts at its switches, so a path is quoted
// only when it could be misread (command_words::switchLinePath):
//   C:\src\memo.txt /ss /ya C:\out\memo.ish /f=C:\out
std::string ishCommand(const std::string& sourceFolder, const std::string& name, IshCodeType type,
                       const std::string& archivePath, const std::string& destinationFolder);

}  // namespace zv::compress
