// The archiver command strings of the extraction windows, built by plain concatenation: the
// command word and its switches, a blank, the archive, a blank, further paths. Paths taken from
// the windows are enclosed in double quotes; the command-line argument text is passed unchanged.
#pragma once
#include <optional>
#include <string>

#include "core/settings/option_values.h"

namespace zv::extract {

// A double quote, the folder, a '\' unless the folder already ends with one, the file name, a
// double quote: the archive path as the selection window hands it on.
std::string quotedArchivePath(const std::string& folder, const std::string& file);

// The archive named in LZH commands: the command-line text while StartMode is "Command",
// otherwise `archiveFile` (already quoted).
std::string lhaArchiveText(const std::string& startMode, const std::string& commandLine,
                           const std::string& archiveFile);

// Quick extraction: x -n1 archive "quick folder" "member in lower case".
std::string quickExtractCommand(const std::string& archive, const std::string& extractFolder,
                                const std::string& member);

// Quick extraction of a ZIP: -x -o --i archive "quick folder" "member as listed"; what an
// earlier quick extraction left in the folder is replaced.
std::string zipQuickExtractCommand(const std::string& archive, const std::string& extractFolder,
                                   const std::string& member);

// Detailed listing: "v " followed by the archive text as given (quoted by the caller, or the
// command-line text).
std::string detailListCommand(const std::string& archiveText);

// A member extracted for viewing: x -gn archive "TempFolder\" clicked, where `clickedMember`
// is already enclosed in double quotes.
std::string viewMemberCommand(const std::string& archive, const std::string& tempFolder,
                              const std::string& clickedMember);

// "ExtractFolder" "member": the destination and the member exactly as listed.
std::string memberTail(const std::string& extractFolder, const std::string& member);

// The LZH run: "x -gn " when ShowExtractProgress is yes, "x -n1 " when it is no, nothing with
// any other value (no command is issued then).
std::optional<std::string> lhaRunCommand(const YesNo& showProgress, const std::string& archive,
                                         const std::string& tail);

// The ZIP run: -x -n --i archive tail, whatever the options say.
std::string zipRunCommand(const std::string& archive, const std::string& tail);

// ISH restore modes of the restore window's option buttons.
enum class IshMode { New, All, WithQuestion };
// IshFile, " /r " | " /a " | " /q ", "/f=", the folder; a path is quoted only when the
// library could misread it (command_words::switchLinePath).
std::string ishRestoreCommand(const std::string& ishFile, IshMode mode,
                              const std::string& restoreFolder);

// ASCII letters in lower case; other characters (Japanese included) unchanged.
std::string lowerAscii(std::string text);
// Leading and trailing blanks removed.
std::string trimBlanks(const std::string& text);

}  // namespace zv::extract
