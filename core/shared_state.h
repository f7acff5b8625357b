// The process-wide values through which the windows hand work to each other.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "core/settings/option_values.h"

namespace zv {

// The window that opened the file information window: whose file list it reads and filters.
enum class FileInfoCaller { None, FileSelection, FileUtility };

// What the new-folder dialog is opened for, set by its opener before it shows the dialog. The
// dialog reads no other window: the folder the typed name goes into and what becomes of the
// result come from here. The functions look their window up afresh, so a closed opener is
// neither read nor brought back.
struct NewFolderRequest {
  enum class Purpose { None, CompressFolder, ExtractFolder, UtilityFolder, Rename };
  Purpose purpose = Purpose::None;
  // The folder the typed name goes into; nothing while the opener is not open.
  std::function<std::optional<std::string>()> baseFolder;
  // Rename: the file to rename (empty when the opener is not open).
  std::function<std::string()> source;
  // Runs with the path of the new folder, or the file's new path, once it exists.
  std::function<void(const std::string&)> done;
  // What the dialog shows when it opens: its title, the prompt over the name box and the path.
  std::string caption;
  std::string prompt = "新しく作成するフォルダ名：";
  std::string path;
};

// What the archive report window shows next: filled by the window that ran the test or the
// rescue, read by the report window when it loads.
struct ArchiveReportRequest {
  std::string title;    // the window caption
  std::string summary;  // one line above the report
  std::string text;     // the report itself
  std::string saveAs;   // the file name offered when the report is saved
};

struct Shared {
  std::string IniFile;         // program folder + "\ZORVEX.INI"
  std::string SystemFolder;    // where the archiver libraries are looked for
  std::string StartMode;       // "Command" after a start with an archive argument
  std::string TempFolder;      // members extracted for viewing
  std::string SfxFolder;       // self-extracting archives of the file utility
  std::string QuickFolder;     // quick extraction
  bool RunInProgress = false;  // an archive run hides and unloads its flow's windows
  std::string ArchiveFile;     // quoted archive path, or the command-line text unchanged
  std::string ExtractFolder;   // always ends in '\'
  std::string SourceFolder;    // always ends in '\'
  std::string IshFile;
  FileInfoCaller InfoCaller = FileInfoCaller::None;  // while the information window is open
  NewFolderRequest NewFolder;                        // while the new-folder dialog is open
  ArchiveReportRequest Report;                       // the archive report window's contents
  // Option values from the settings file.
  PackModeOption PackMode;
  DirectoryModeOption DirectoryMode;
  YesNo ShowExtractProgress;   // the library's own progress dialog while extracting
  YesNo ShowCompressProgress;  // ... while compressing
  YesNo CustomizeSfx;          // offer the self-extracting archive's customisation dialog
  YesNo VersionCheck;          // check the libraries' versions at start-up
  YesNo SameFolder;            // archive and source in the same folder
  YesNo OverwriteAll;          // extraction overwrites existing files without asking
  YesNo OpenFileUtility;       // the file utility opens after a run
};

}  // namespace zv
