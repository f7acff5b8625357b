#include "ui/common/archive_check.h"

#include <algorithm>

#include "core/app.h"
#include "core/forms/form.h"
#include "core/forms/steps.h"
#include "core/libraries/archivers.h"
#include "core/libraries/library_call.h"
#include "core/messages/failure_cause.h"
#include "platform/command_words.h"
#include "platform/fileops.h"
#include "ui/common/archive_report.h"
#include "ui/common/window_ports.h"

namespace zv {

namespace {

// Enough for the report lines of some 40 000 members.
constexpr uint32_t kReportBuffer = 4u << 20;

enum class FileKind { Lzh, Zip, Ish, Other };

FileKind kindByExtension(const std::string& path) {
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

// What the file's first bytes say it is: an LZH or ZIP archive, or neither.
FileKind kindByBytes(const std::string& path) {
  std::string head;
  Steps steps;
  steps([&] { head = fs::readAll(path, 8); });
  if (head.size() >= 4 && head[0] == 'P' && head[1] == 'K' &&
      ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6) ||
       (head[2] == 7 && head[3] == 8)))
    return FileKind::Zip;
  if (head.size() >= 7 && head[2] == '-' && head[3] == 'l' && head[6] == '-') return FileKind::Lzh;
  return FileKind::Other;
}

// The file's first bytes decide where they are plain: an archive renamed, or saved under the
// other extension, still goes to the library that reads it. ISH text keeps its extension.
FileKind kindOf(const std::string& path) {
  FileKind byName = kindByExtension(path);
  if (byName == FileKind::Ish) return byName;
  FileKind byBytes = kindByBytes(path);
  return byBytes == FileKind::Other ? byName : byBytes;
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

const char* const kRescueHint =
    "ファイル操作ユーティリティーの「書庫」メニューの「壊れた書庫から取り出す」で，"
    "無事なメンバーを取り出せることがあります．";

bool beginsLikeAnArchive(const std::string& path) { return kindByBytes(path) != FileKind::Other; }

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

namespace {

// A write failure of the destination folder, not damage of the archive.
bool destinationFailed(int code) {
  return code == ZV_ERROR_CANNOT_CREATE || code == ZV_ERROR_WRITE || code == ZV_ERROR_READ_ONLY ||
         code == ZV_ERROR_DISK_SPACE;
}

// The report of one archive and whether it is damaged; the damaged ones are shown first.
struct ArchiveText {
  std::string text;
  bool damaged = false;
};

}  // namespace

void checkArchives(Form& window, const std::vector<std::string>& archives, ArchiveCheck what,
                   const std::string& destination) {
  const bool rescue = what != ArchiveCheck::Test;
  std::vector<ArchiveText> parts;
  size_t damagedArchives = 0, failedArchives = 0, checked = 0;
  bool cancelled = false;
  for (const std::string& archive : archives) {
    if (cancelled) break;
    FileKind kind = kindOf(archive);
    std::string command = checkCommand(archive, what, destination);
    if (kind == FileKind::Ish) {
      size_t before = damagedArchives;
      std::string text = ishReport(window, archive, command, rescue, damagedArchives);
      parts.push_back({text, damagedArchives > before});
      ++checked;
      continue;
    }
    ArchiverSet* set = window.app().archivers;
    ListingLibrary* lib = nullptr;
    if (set) lib = kind == FileKind::Zip ? set->zip() : set->lha();
    if (command.empty()) {
      parts.push_back({archive + ": 書庫ではありません\r\n"});
      continue;
    }
    if (!lib) {
      parts.push_back({archive + ": " + (kind == FileKind::Zip ? "UNZIP32.DLL" : "UNLHA32.DLL") +
                       " がないため検査できません\r\n"});
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
      if (rescue && destinationFailed(code)) {
        // Nothing could be written: the folder is at fault, not the archive.
        ++failedArchives;
        std::string text = archive + ": 取り出せません (" + libraryFailureCause(code) + ")\r\n";
        for (const std::string& note : report.notes) text += note + "\r\n";
        parts.push_back({text});
      } else {
        ++damagedArchives;
        parts.push_back({archive + ": 読めません (" + firstLine(output) + ")\r\n", true});
      }
      continue;
    }
    bool damaged = report.damaged > 0 || report.archiveDamaged;
    damagedArchives += damaged;
    parts.push_back({reportText(archive, report, rescue), damaged});
  }
  std::stable_partition(parts.begin(), parts.end(), [](const ArchiveText& a) { return a.damaged; });
  std::string text;
  for (const ArchiveText& a : parts) text += (text.empty() ? "" : "\r\n") + a.text;
  Shared& s = window.shared();
  s.Report.title = rescue ? "壊れた書庫から取り出す" : "書庫のテスト";
  s.Report.summary =
      std::to_string(checked) + " 個の書庫" + (rescue ? "から取り出しました" : "を検査しました") +
      "，破損のある書庫 " + std::to_string(damagedArchives) + " 個" +
      (failedArchives ? "，取り出せなかった書庫 " + std::to_string(failedArchives) + " 個" : "") +
      (cancelled ? " (中止)" : "");
  s.Report.text = text;
  s.Report.saveAs = archives.empty() ? "" : archives.front() + ".txt";
  Steps steps;
  steps([&] { window.forms().show(windows::kArchiveReport); });
  steps([&] { port<ArchiveReportPort>(window.forms(), windows::kArchiveReport).refresh(); });
}

}  // namespace zv
