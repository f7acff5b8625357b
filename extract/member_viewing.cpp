#include "extract/member_viewing.h"

#include <cstdio>
#include <optional>

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/messages/failure_cause.h"
#include "core/settings/profile.h"
#include "extract/archive_access.h"
#include "extract/decomp1_form.h"
#include "extract/extract_commands.h"
#include "extract/kept_file.h"
#include "extract/member_paths.h"
#include "extract/name_choice.h"
#include "extract/process_state.h"
#include "extract/run_support.h"
#include "platform/encoding.h"
#include "platform/fileops.h"
#include "platform/winpath.h"
#include "ui/common/line_splitter.h"
#include "ui/common/window_ports.h"

namespace zv::extract {

namespace {
constexpr uint32_t kViewBuffer = 60000;
// The detailed listing grows its buffer until the whole listing fits, up to this size.
constexpr uint32_t kLargestListingBuffer = 64u << 20;
constexpr int kTextPreviewCharacters = 1000;

std::string archiveForLha(Form& form) {
  return lhaArchiveText(form.shared().StartMode, form.app().commandLine, form.shared().ArchiveFile);
}

// The selected archive of the selection window, unquoted ("" when that window is gone).
std::string selectedArchivePath(Form& form) {
  auto* sel = openPort<DeComp1Form>(form.forms(), windows::kArchiveSelection);
  return sel ? sel->selectedPath() : "";
}

std::string dosDateTime(uint16_t date, uint16_t time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", 1980 + (date >> 9),
                (date >> 5) & 15, date & 31, time >> 11, (time >> 5) & 63, (time & 31) * 2);
  return text;
}

// The ZIP library gives no text listing of its own; the listing is made from its member
// records in the same shape: a header, two lines per member, a footer.
std::string zipListingText(const Listing& listing, encoding::NameEncoding chosen) {
  // The encoding the names were read in goes on the first line, so the shape stays.
  std::string text = " 名前";
  if (auto e = encoding::encodingFromNumber(unsigned(listing.namesDecided));
      e && listing.namesDecided >= 0)
    text += "    (名前の文字コード: " + std::string(encoding::encodingLabel(*e)) +
            (chosen == encoding::NameEncoding::Auto ? " 自動判定)" : ")");
  text += "\r\n    元のサイズ  圧縮サイズ  率     日付       時刻      方式\r\n";
  text += "--------------------------------------------------------------------\r\n";
  uint64_t total = 0, packed = 0;
  for (const auto& m : listing.members) {
    char line[160];
    std::snprintf(line, sizeof line, "%12u %11u %4u.%u%% %s  %s\r\n", m.originalSize, m.packedSize,
                  m.ratio / 10, m.ratio % 10, dosDateTime(m.date, m.time).c_str(),
                  m.method.c_str());
    std::string detail = line;
    if (m.nameEscaped)
      detail.insert(detail.size() - 2, "  ※名前の読めないバイトは %XX で表しています");
    text += " " + m.name + "\r\n" + detail;
    total += m.originalSize;
    packed += m.packedSize;
  }
  text += "--------------------------------------------------------------------\r\n";
  char footer[120];
  std::snprintf(footer, sizeof footer, " %zu ファイル %12llu %11llu\r\n", listing.members.size(),
                static_cast<unsigned long long>(total), static_cast<unsigned long long>(packed));
  return text + footer;
}
}  // namespace

bool selectionIsZip(Form& form) {
  auto* sel = openPort<DeComp1Form>(form.forms(), windows::kArchiveSelection);
  return sel && sel->chosenKind() == ArchiveKind::Zip;
}

bool extractClickedMember(Form& contents) {
  Steps steps;
  Shared& s = contents.shared();
  ExtractProcessState& state = processState(contents.app());
  // Before any member was clicked there is nothing to look at; an empty member name would
  // have the library extract the whole archive.
  if (state.clickedName.empty()) return false;
  // A member name that reaches outside the work folder is never extracted or opened.
  std::optional<std::string> workCopy = memberPathUnder(s.TempFolder, state.clickedName);
  if (!workCopy) {
    showRefusedMembers(contents, {state.clickedName});
    return false;
  }
  contents.app().workCopies.add(*workCopy);
  bool zip = selectionIsZip(contents);
  const App& app = contents.app();
  std::string command =
      zip ? zipRunCommand(withNameSwitch(app, s.ArchiveFile),
                          winpath::quote(s.TempFolder + "\\") + " " + state.clickedMember)
          : viewMemberCommand(withNameSwitch(app, archiveForLha(contents)), s.TempFolder,
                              state.clickedMember);
  // An older copy in the work folder stays until the new one is there.
  std::unique_ptr<KeptFile> kept;
  if (!state.clickedWorkPath.empty())
    steps([&] { kept = std::make_unique<KeptFile>(state.clickedWorkPath); });
  int code = 0;
  steps([&] {
    code =
        runCommand(contents, zip ? ArchiveKind::Zip : ArchiveKind::Lzh, command, kViewBuffer).code;
  });
  if (code != 0) {
    showExtractError(contents, memberCause(state.clickedName, libraryFailureCause(code)));
    if (kept) steps([&] { kept->restore(); });
  } else if (kept) {
    steps([&] { kept->commit(); });
  }
  return true;
}

void loadTextIntoViewer(Form& form, const std::string& path, TextViewerPort& viewer) {
  Steps steps;
  bool read = steps([&] {
    std::string text = encoding::decodeUnknown(fs::readAll(path));
    viewer.showText(cutToCharacters(text, kTextPreviewCharacters));
  });
  if (!read)
    form.services().messageBox(withCause("読み込みに失敗しました", failureCause(steps.err())),
                               MsgButtons::OK, MsgIcon::Exclamation, "Zorvex 32");
}

std::string listingText(const std::string& output, int count) {
  // A CR the library put before its LF is dropped, so that no line ends twice.
  auto line = [](std::string l) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    return l + "\r\n";
  };
  GetLineStr lines;
  lines.setTarget(output + std::string(1, '\0'));
  std::string first = lines.getFirstLine();
  if (first == GetLineStr::kEndMarker) return "";
  std::string text = line(first);
  for (long i = 0; i < 2L * count + 6; ++i) {
    std::string next = lines.getNextLine();
    if (next == GetLineStr::kEndMarker) break;
    text += line(next);
  }
  return text;
}

void showArchiveList(Form& contents) {
  Steps steps;
  Shared& s = contents.shared();
  std::string text;
  if (selectionIsZip(contents)) {
    steps([&] {
      std::string path = winpath::quote(selectedArchivePath(contents));
      Listing listing =
          listMembers(contents, ArchiveKind::Zip, path, listingMode(contents.app(), path));
      text = zipListingText(listing, chosenNames(contents.app(), path));
    });
  } else {
    bool command = s.StartMode == "Command";
    std::string path = command ? contents.app().commandLine : selectedArchivePath(contents);
    int count = 0;
    steps([&] { count = fileCount(ArchiveKind::Lzh, contents, path); });
    std::string line =
        detailListCommand(withNameSwitch(contents.app(), command ? path : winpath::quote(path)));
    steps([&] {
      // A listing that fills the buffer may be cut: ask again with a larger one.
      CommandResult r = runCommand(contents, ArchiveKind::Lzh, line, kViewBuffer);
      for (uint32_t size = kViewBuffer * 4; r.filledBuffer && size <= kLargestListingBuffer;
           size *= 4)
        r = runCommand(contents, ArchiveKind::Lzh, line, size);
      text = listingText(r.output, count);
    });
  }
  steps([&] { port<TextViewerPort>(contents.forms(), windows::kViewer).showText(text); });
}

}  // namespace zv::extract
