#include "compress/creation_run.h"

#include <string>
#include <vector>

#include "compress/comp1_form.h"
#include "compress/comp2_form.h"
#include "compress/creation_commands.h"
#include "core/app.h"
#include "core/forms/run_guard.h"
#include "core/forms/steps.h"
#include "core/libraries/archivers.h"
#include "core/libraries/library_call.h"
#include "core/messages/failure_cause.h"
#include "platform/drives.h"
#include "platform/winpath.h"
#include "ui/common/window_ports.h"

namespace zv::compress {
namespace {

void message(Form& form, const std::string& text, const std::string& title) {
  form.services().messageBox(text, MsgButtons::OK, MsgIcon::Exclamation, title);
}

std::vector<std::string> selectedNames(Form& comp2) {
  auto* comp1 = openPort<Comp1Form>(comp2.forms(), windows::kFileSelection);
  return comp1 ? comp1->chosenNames() : std::vector<std::string>();
}

IshCodeType codeTypeOf(Form& comp2) {
  auto* comp1 = openPort<Comp1Form>(comp2.forms(), windows::kFileSelection);
  return comp1 ? comp1->ishCodeType() : IshCodeType::PcNetwork;
}

// The source folder, with the trailing '\' every command needs (kept in the shared value).
std::string sourceFolder(Form& form) {
  std::string& folder = form.shared().SourceFolder;
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

// Unlha with a 1024-blank output buffer.
int callUnlha(Form& owner, const std::string& command) {
  std::string output;
  return runArchiver(owner.app().archivers, Archiver::Lha, command, &output, kOutputBuffer, &owner);
}

void refreshFileUtilityList(Form& form) {
  // A file utility that is not loaded yet reads its folder fresh when it opens.
  if (auto* util = openPort<FileUtilityPort>(form.forms(), windows::kFileUtility))
    util->refreshFiles();
}

void hideCompressionWindows(Form& form) {
  Steps steps;
  for (const char* name : {windows::kFileSelection, windows::kArchiveCreation})
    if (Form* f = form.forms().find(name)) steps([&] { f->hide(); });
}

// The file utility with a caption naming the result, or the main menu; then both
// compression windows are unloaded and the run is over.
void finishRun(Form& comp2, const std::string& utilityCaption) {
  FormRegistry& forms = comp2.forms();
  Shared& shared = comp2.shared();
  Steps steps;
  if (shared.OpenFileUtility.yes()) {
    steps([&] { forms.show(windows::kFileUtility); });
    steps([&] { forms.get(windows::kFileUtility).setCaption(utilityCaption); });
  } else {
    steps([&] { forms.show(windows::kMenu); });
  }
  steps([&] { forms.unload(windows::kFileSelection); });
  steps([&] { forms.unload(windows::kArchiveCreation); });
  shared.RunInProgress = false;
}

const char* const kLzhError = "圧縮中にエラーが生じました．終了します";
const char* const kLzhTitle = "LHA 圧縮";

void compressLzh(Comp2Form& comp2) {
  Shared& shared = comp2.shared();
  std::string archive = typedPath(comp2.chosenArchive());
  comp2.showArchive(archive);
  std::string source = sourceFolder(comp2);

  if (shared.DirectoryMode.wholeFolder()) {
    int code = callUnlha(comp2, lzhFolderCommand(shared.ShowCompressProgress, archive, source));
    if (code != 0) message(comp2, withCause(kLzhError, libraryFailureCause(code)), kLzhTitle);
    // The file utility shows the new archive too when it is next shown.
    refreshFileUtilityList(comp2);
    return;
  }
  if (archive.empty()) {
    message(comp2, "圧縮（後）ファイル名を指定してください", "ちょっと待って！");
    return;
  }
  LzhOptions options{shared.PackMode, shared.DirectoryMode, shared.ShowCompressProgress};
  // One call per file, in list order, every call naming the same archive; the folders on the
  // way are looked up once for all of them.
  CaseLookupMemo memo;
  for (const auto& name : selectedNames(comp2)) {
    int code = callUnlha(comp2, lzhFileCommand(options, archive, source, name));
    if (code != 0) {
      message(comp2, withCause(kLzhError, memberCause(name, libraryFailureCause(code))), kLzhTitle);
      return;
    }
  }
  refreshFileUtilityList(comp2);
}

}  // namespace

void runLzhCreation(Comp2Form& comp2) {
  Shared& shared = comp2.shared();
  if (comp2.typedName().empty()) {
    message(comp2, "作成(圧縮)するファイル名を入力または選択してください", kLzhTitle);
    return;
  }
  if (comp2.shownArchive().empty()) {
    message(comp2, "圧縮先のフォルダを指定してください", "エラーです");
    return;
  }
  RunGuard run(comp2);
  hideCompressionWindows(comp2);
  // Without the library's own progress dialog ("-n1") the wait window says that work is going
  // on; any value other than yes counts as no.
  bool wait = !shared.ShowCompressProgress.yes();
  Steps steps;
  if (wait) {
    steps([&] { comp2.forms().show(windows::kWait); });
    comp2.services().doEvents();  // let it appear before the library call blocks
  }
  steps([&] { compressLzh(comp2); });
  if (wait) steps([&] { comp2.forms().unload(windows::kWait); });
  finishRun(comp2, "Zorvex 32  -作成(圧縮)したﾌｧｲﾙです-");
}

void runIshCreation(Comp2Form& comp2) {
  const std::string title = "ISH 復元";
  if (comp2.typedName().empty()) {
    message(comp2, "作成するISHファイル名を入力または選択してください", title);
    return;
  }
  std::string archive = comp2.shownArchive();
  if (archive.empty()) {
    message(comp2, "復元先のフォルダを指定してください", "エラーです");
    return;
  }
  RunGuard run(comp2);
  hideCompressionWindows(comp2);
  Steps steps;
  steps([&] {
    std::string destination = comp2.folder();
    IshCodeType type = codeTypeOf(comp2);
    ArchiverSet* set = comp2.app().archivers;
    IshLibrary* ish = set ? set->ish() : nullptr;  // for its report of a failed run
    std::string failure;
    bool failed = false;
    int firstCode = 0;
    std::string firstName;
    // Every chosen file is tried; a failure is reported once at the end rather than
    // leaving the user with a result caption for files that were not made.
    for (const auto& name : selectedNames(comp2)) {
      std::string command = ishCommand(sourceFolder(comp2), name, type, archive, destination);
      int r = runArchiver(set, Archiver::Ish, command, nullptr, 0, &comp2);
      if (r != 0) {
        if (!failed) firstCode = r, firstName = name;
        failed = true;
        if (failure.empty() && ish) failure = ish->lastOutput();
      }
    }
    if (failed) {
      message(comp2,
              withLibraryReport(withCause("ISH ファイルの作成中にエラーが生じました",
                                          memberCause(firstName, libraryFailureCause(firstCode))),
                                failure),
              "ISH 作成");
    }
  });
  steps([&] { refreshFileUtilityList(comp2); });
  finishRun(comp2, "Zorvex 32  -復元したﾌｧｲﾙです-");
}

}  // namespace zv::compress
