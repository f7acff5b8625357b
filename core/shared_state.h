// The process-wide values through which the windows hand work to each other.
#pragma once
#include <string>

namespace zv {

struct Shared {
  std::string IniFile;        // program folder + "\ZORVEX.INI"
  std::string SystemFolder;   // where the archiver libraries are looked for
  std::string StartMode;      // "Command" after a start with an archive argument
  std::string TempFolder;     // members extracted for viewing
  std::string SfxFolder;      // self-extracting archives of the file utility
  std::string QuickFolder;    // quick extraction
  bool RunInProgress = false; // an archive run hides and unloads its flow's windows
  std::string ArchiveFile;    // quoted archive path, or the command-line text unchanged
  std::string ExtractFolder;  // always ends in '\'
  std::string SourceFolder;   // always ends in '\'
  std::string IshFile;
  std::string InfoCaller;     // "Comp1" or "Comp4" while the file information window is open
  // Option values from the settings file.
  std::string PackMode;       // "ADD", "UPDATE", "MOVE"
  std::string DirectoryMode;  // "NO", "YES", "ALL"
  std::string ShowExtractProgress;
  std::string ShowCompressProgress;
  std::string CustomizeSfx;
  std::string VersionCheck;
  std::string SameFolder;
  std::string OverwriteAll;
  std::string OpenFileUtility;
};

}  // namespace zv
