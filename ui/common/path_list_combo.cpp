#include "ui/common/path_list_combo.h"

#include <string_view>

#include "core/app.h"
#include "core/forms/form.h"
#include "core/messages/failure_cause.h"
#include "platform/drives.h"
#include "platform/fileops.h"
#include "platform/runtime_error.h"

namespace zv::pathlist {
namespace {

bool blank(std::string_view s) {
  for (char ch : s)
    if (ch != ' ' && ch != '\0') return false;
  return true;
}

std::vector<std::string> itemsOf(const Control& combo) {
  std::vector<std::string> entries;
  for (int i = 0; i < combo.listCount(); ++i) entries.push_back(combo.list(i));
  return entries;
}

void showListNotSaved(Form& form, const std::string& title, int error) {
  form.services().messageBox(
      withCause("登録パスのリストを保存できませんでした", failureCause(error)), MsgButtons::OK,
      MsgIcon::Exclamation, title);
}

}  // namespace

void loadInto(Control& combo, const std::string& listFile) {
  try {
    if (!fs::isFile(listFile)) return;
  } catch (const RuntimeError&) {
    return;
  }
  std::vector<std::string> entries = readList(listFile);
  combo.clear();
  for (const auto& e : entries) combo.addItem(e);
}

bool registerCurrent(Form& form, Control& combo, const Files& files) {
  const std::string title = "フォルダの登録";
  // A typed host path is registered in the program's form, as the windows use it.
  std::string text = typedPath(combo.text());
  if (blank(text)) {
    form.services().messageBox("登録するフォルダを入力してください", MsgButtons::OK,
                               MsgIcon::Exclamation, title);
    combo.setFocus();
    return false;
  }
  if (combo.listCount() >= kMaxEntries) {
    form.services().messageBox("これ以上パスを登録できません（32767 件まで）", MsgButtons::OK,
                               MsgIcon::Exclamation, title);
    return false;
  }
  // No duplicate check: the same path registered twice is two entries.
  combo.addItem(text);
  int added = combo.listCount() - 1;
  Services& services = form.services();
  int error = 0;
  if (!writeList(
          files, itemsOf(combo), [&services] { services.doEvents(); }, &error)) {
    combo.removeItem(added);
    combo.setText(text);
    showListNotSaved(form, title, error);
    return false;
  }
  return true;
}

bool deleteSelected(Form& form, Control& combo, const Files& files) {
  const std::string title = "データの削除";
  if (combo.text().empty()) {
    form.services().messageBox("削除するデータを選択してください", MsgButtons::OK,
                               MsgIcon::Exclamation, title);
    combo.setFocus();
    return false;
  }
  int index = combo.listIndex();
  // Text typed by hand (or edited after picking) selects nothing.
  if (index < 0 || index >= combo.listCount() || combo.list(index) != combo.text()) return false;
  std::string item = combo.list(index);
  MsgAnswer a = form.services().messageBox("[" + item + "]\u3000削除してもいいですか",
                                           MsgButtons::OKCancel, MsgIcon::Question, title);
  if (a != MsgAnswer::OK) return false;
  combo.removeItem(index);
  int error = 0;
  if (!writeList(files, itemsOf(combo), {}, &error)) {
    combo.addItem(item, index);
    showListNotSaved(form, title, error);
    return false;
  }
  combo.setText("");
  return true;
}

}  // namespace zv::pathlist
