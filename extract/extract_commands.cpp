#include "extract/extract_commands.h"

#include "platform/command_words.h"
#include "platform/winpath.h"

namespace zv::extract {

std::string quotedArchivePath(const std::string& folder, const std::string& file) {
  return winpath::quote(winpath::join(folder, file));
}

std::string lhaArchiveText(const std::string& startMode, const std::string& commandLine,
                           const std::string& archiveFile) {
  return startMode == "Command" ? commandLine : archiveFile;
}

std::string quickExtractCommand(const std::string& archive, const std::string& extractFolder,
                                const std::string& member) {
  return "x -n1 " + archive + " " + winpath::quote(extractFolder) + " " +
         winpath::quote(lowerAscii(member));
}

std::string zipQuickExtractCommand(const std::string& archive, const std::string& extractFolder,
                                   const std::string& member) {
  return "-x -o --i " + archive + " " + memberTail(extractFolder, member);
}

std::string detailListCommand(const std::string& archiveText) { return "v " + archiveText; }

std::string viewMemberCommand(const std::string& archive, const std::string& tempFolder,
                              const std::string& clickedMember) {
  return "x -gn " + archive + " " + winpath::quote(tempFolder + "\\") + " " + clickedMember;
}

std::string memberTail(const std::string& extractFolder, const std::string& member) {
  return winpath::quote(extractFolder) + " " + winpath::quote(member);
}

std::optional<std::string> lhaRunCommand(const YesNo& showProgress, const std::string& archive,
                                         const std::string& tail) {
  if (showProgress.yes()) return "x -gn " + archive + " " + tail;
  if (showProgress.no()) return "x -n1 " + archive + " " + tail;
  return std::nullopt;
}

std::string zipRunCommand(const std::string& archive, const std::string& tail) {
  return "-x -n --i " + archive + " " + tail;
}

std::string ishRestoreCommand(const std::string& ishFile, IshMode mode,
                              const std::string& restoreFolder) {
  const char* sw = mode == IshMode::New ? " /r " : mode == IshMode::All ? " /a " : " /q ";
  return command_words::switchLinePath(ishFile) + sw +
         "/f=" + command_words::switchLinePath(restoreFolder);
}

std::string lowerAscii(std::string text) {
  for (char& ch : text)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return text;
}

std::string trimBlanks(const std::string& text) {
  size_t b = text.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  size_t e = text.find_last_not_of(' ');
  return text.substr(b, e - b + 1);
}

}  // namespace zv::extract
