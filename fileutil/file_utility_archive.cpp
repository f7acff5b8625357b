// The file utility's archive menu: tests the archives marked in the upper list, or takes what
// is intact out of damaged ones into the lower pane's folder, and shows the report. Ctrl+T
// and Ctrl+R do the same wherever the focus is in the window.
#include "core/services/services.h"
#include "fileutil/file_utility_form.h"
#include "platform/winpath.h"
#include "ui/common/archive_check.h"

namespace zv {

void FileUtilityForm::wireArchiveMenu() {
  c("menuArcTest").onClick = [this] {
    std::vector<std::string> archives = markedArchives();
    if (!archives.empty()) checkArchives(*this, archives, ArchiveCheck::Test);
  };
  c("menuArcRescue").onClick = [this] { rescueArchives(); };
  // The menu's keys work wherever the focus is in the window; they act on the upper list.
  for (const char* name : {"File1", "File2", "Dir1", "Dir2", "Drive1", "Drive2"}) {
    Control& control = c(name);
    Control::KeyDownHandler keys = control.onKeyDown;
    control.onKeyDown = [this, keys](int& key, int shift) {
      if (shift == kCtrlKey && (key == 'T' || key == 'R')) {
        bool test = key == 'T';
        key = 0;
        if (test)
          c("menuArcTest").onClick();
        else
          rescueArchives();
        return;
      }
      if (keys) keys(key, shift);
    };
  }
}

// The selected files of the upper list, or its focused file when none is selected; a word
// when there is none.
std::vector<std::string> FileUtilityForm::markedArchives() {
  const Control& list = c("File1");
  std::vector<std::string> paths;
  for (int i = 0; i < list.listCount(); ++i)
    if (list.selected(i)) paths.push_back(winpath::join(list.path(), list.list(i)));
  if (paths.empty() && !list.fileName().empty())
    paths.push_back(winpath::join(list.path(), list.fileName()));
  if (paths.empty())
    services().messageBox("上段のファイル一覧で書庫を選んでください", MsgButtons::OK,
                          MsgIcon::Exclamation, "書庫のテスト");
  return paths;
}

// The lower pane's folder is where the members go, as copies and moves go there; it is named
// in the question so the user can still change it. The same question asks whether members
// whose data is damaged are wanted too, under a name that marks them.
void FileUtilityForm::rescueArchives() {
  std::vector<std::string> archives = markedArchives();
  if (archives.empty()) return;
  std::string folder = c("Dir2").path();
  MsgAnswer a = services().messageBox(
      "壊れた書庫から，無事なファイルを次のフォルダに取り出します．\r\n" + folder +
          "\r\n同じ名前のファイルがあれば，そのファイルは取り出しません．\r\n\r\n"
          "データの壊れたファイルも，読めた分だけ別の名前\r\n"
          "「名前 (破損).拡張子」で書き出しますか？\r\n"
          "はい: 壊れたファイルも書き出す\r\n"
          "いいえ: 無事なファイルだけ取り出す\r\n"
          "キャンセル: 取り出さない",
      MsgButtons::YesNoCancel, MsgIcon::Question, "壊れた書庫から取り出す");
  if (a != MsgAnswer::Yes && a != MsgAnswer::No) return;
  checkArchives(*this, archives,
                a == MsgAnswer::Yes ? ArchiveCheck::RescueMarkingDamaged : ArchiveCheck::Rescue,
                folder);
  c("File2").refresh();
}

}  // namespace zv
