// The archive contents window tests the archive it shows: from the members list's context
// menu (right click) or with Ctrl+T on the list; the report window lists every member.
#include "core/app.h"
#include "extract/decomp2_form.h"
#include "ui/common/archive_check.h"

namespace zv::extract {

void DeComp2Form::wireArchiveTest() {
  Control& list = c("List1");
  Control::KeyDownHandler keys = list.onKeyDown;
  list.onKeyDown = [this, keys](int& key, int shift) {
    if (shift == kCtrlKey && key == 'T') {
      key = 0;
      testOpenArchive();
      return;
    }
    if (keys) keys(key, shift);
  };
  c("menuPopTest").onClick = [this] { testOpenArchive(); };
}

void DeComp2Form::testOpenArchive() {
  // The archive as the selection window or the command line named it, without its quotes.
  const Shared& s = shared();
  std::string archive = s.StartMode == "Command" ? app().commandLine : s.ArchiveFile;
  if (archive.size() >= 2 && archive.front() == '"' && archive.back() == '"')
    archive = archive.substr(1, archive.size() - 2);
  if (archive.empty()) return;
  checkArchives(*this, {archive}, ArchiveCheck::Test);
}

}  // namespace zv::extract
