#include "ui/common/archive_check.h"

#include <algorithm>

#include "core/app.h"
#include "core/forms/form.h"
#include "core/forms/steps.h"
#include "core/libraries/archivers.h"
#include "core/libraries/library_call.h"
#include "platform/command_words.h"
#include "ui/common/archive_report.h"
#include "ui/common/window_ports.h"

namespace zv {

namespace {

// Enough for the report lines of some 40 000 members.
constexpr uint32_t kReportBuffer = 4u << 20;

enum class FileKind { Lzh, Zip, Ish, Other };

FileKind kindOf(const std::string& path) {
  size_t dot = path.rfind('.');
  std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) {
    return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  });
  if (ext == "lzh" || ext == "lha" || ext == "lzs" || ext == "exe") return FileKind::Lzh;
  if (ext == "zip") return FileKind::Zip;
  if (ext == "ish") return FileKind::Ish;
  return FileKind::Other;
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

std::string folderArgument(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return quoted(folder);
}

std::string firstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The ISH library's folder: a drive root keeps its backslash (C:\), other folders have none.
std::string ishFolder(std::string folder) {
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return command_words::switchLinePath(folder);
}

// An ISH file through the ISH library: the test by its check function, the rescue by a
// restore that never replaces a file ("/n"). What it says of each file becomes the report.
std::string ishReport(Form& window, const std::string& archive, const std::string& command,
                      bool rescue, size_t& damagedArchives) {
  IshLibrary* ish = window.app().archivers ? window.app().archivers->ish() : nullptr;
  if (!ish)
    return archive + ": ISH32.DLL がないため" + (rescue ? "取り出せません" : "検査できません") +
           "\r\n";
  int code = 0;
  Steps steps;
  window.services().setBusy(true);
  steps([&] { code = rescue ? ish->run(command, &window) : !ish->checkArchive(archive, 1); });
  window.services().setBusy(false);
  std::string said = ish->lastOutput();
  ArchiveReport report = parseIshReport(said);
  if (report.members.empty()) {
    ++damagedArchives;
    return archive + ": " + (said.empty() ? "ISH データが見つかりません" : firstLine(said)) +
           "\r\n";
  }
  damagedArchives += report.damaged > 0 || code == ZV_ERROR_NOT_ARCHIVE;
  return reportText(archive, report, rescue);
}

}  // namespace

std::string checkCommand(const std::string& archive, ArchiveCheck what,
                         const std::string& destination) {
  const bool rescue = what != ArchiveCheck::Test;
  const bool marking = what == ArchiveCheck::RescueMarkingDamaged;
  switch (kindOf(archive)) {
    case FileKind::Lzh:
      return rescue ? std::string(marking ? "x -jr2 " : "x -jr ") + quoted(archive) + " " +
                          folderArgument(destination)
                    : "t " + quoted(archive);
    case FileKind::Zip:
      return rescue ? std::string(marking ? "-x --rescue --keep-damaged " : "-x --rescue ") +
                          quoted(archive) + " " + folderArgument(destination)
                    : "-t " + quoted(archive);
    case FileKind::Ish:
      return rescue ? command_words::switchLinePath(archive) + " /n /f=" + ishFolder(destination)
                    : "";
    default:
      return "";
  }
}

void checkArchives(Form& window, const std::vector<std::string>& archives, ArchiveCheck what,
                   const std::string& destination) {
  const bool rescue = what != ArchiveCheck::Test;
  std::string text;
  size_t damagedArchives = 0, checked = 0;
  bool cancelled = false;
  for (const std::string& archive : archives) {
    if (cancelled) break;
    FileKind kind = kindOf(archive);
    std::string command = checkCommand(archive, what, destination);
    if (kind == FileKind::Ish) {
      text += ishReport(window, archive, command, rescue, damagedArchives);
      ++checked;
      if (&archive != &archives.back()) text += "\r\n";
      continue;
    }
    ArchiverSet* set = window.app().archivers;
    ListingLibrary* lib = nullptr;
    if (set) lib = kind == FileKind::Zip ? set->zip() : set->lha();
    if (command.empty()) {
      text += archive + ": 書庫ではありません\r\n";
      continue;
    }
    if (!lib) {
      text += archive + ": " + (kind == FileKind::Zip ? "UNZIP32.DLL" : "UNLHA32.DLL") +
              " がないため検査できません\r\n";
      continue;
    }
    std::string output;
    int code = 0;
    Steps steps;
    window.services().setBusy(true);
    steps([&] {
      code = runArchiver(set, kind == FileKind::Zip ? Archiver::Zip : Archiver::Lha, command,
                         &output, kReportBuffer, &window);
    });
    window.services().setBusy(false);
    ArchiveReport report = parseReport(output);
    ++checked;
    if (code == ZV_ERROR_USER_CANCEL) {
      cancelled = true;
      report.notes.push_back("中止しました");
    }
    if (report.members.empty() && code != 0) {
      text += archive + ": 読めません (" + firstLine(output) + ")\r\n";
      ++damagedArchives;
      continue;
    }
    damagedArchives += report.damaged > 0 || report.archiveDamaged;
    text += reportText(archive, report, rescue);
    if (&archive != &archives.back()) text += "\r\n";
  }
  Shared& s = window.shared();
  s.Report.title = rescue ? "壊れた書庫から取り出す" : "書庫のテスト";
  s.Report.summary = std::to_string(checked) + " 個の書庫" +
                     (rescue ? "から取り出しました" : "を検査しました") + "，破損のある書庫 " +
                     std::to_string(damagedArchives) + " 個" + (cancelled ? " (中止)" : "");
  s.Report.text = text;
  s.Report.saveAs = archives.empty() ? "" : archives.front() + ".txt";
  Steps steps;
  steps([&] { window.forms().show(windows::kArchiveReport); });
  steps([&] { port<ArchiveReportPort>(window.forms(), windows::kArchiveReport).refresh(); });
}

}  // namespace zv
