#include "auxwin/new_folder_dialog.h"

#include "core/app.h"
#include "core/forms/steps.h"
#include "platform/fileops.h"
#include "platform/winpath.h"

namespace zv {
namespace {

constexpr const char* kFolderTitle = "新規フォルダの作成";
constexpr const char* kRenameTitle = "ファイル名の変更";

bool blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

}  // namespace

NewFolderDialog::NewFolderDialog(App& app) : Form(app, "Dialog") {
  setCaption(kFolderTitle);
  resize(5235, 2265);
  fixedDialog = true;

  Control& art = add("Image1", Kind::Picture);
  art.move(120, 120, 480, 480);
  art.setPicture("comp_new_folder");
  Control& prompt = add("Label1", Kind::Label);
  prompt.move(720, 120, 4335, 255);
  prompt.setCaption("新しく作成するフォルダ名：");
  Control& name = add("Text1", Kind::TextBox);
  name.move(720, 420, 4335, 315);
  name.setBackColor(kWindowBack);
  name.onChange = [this] { updatePath(); };
  Control& path = add("Label2", Kind::Label);
  path.move(120, 870, 4935, 285);
  path.setBackColor(kWindowBack);
  path.onMouseDown = [&path](const MouseEvent& e) {
    if (e.button == kLeftButton) path.setAlignment(Control::AlignLeft);
    if (e.button == kRightButton) path.setAlignment(Control::AlignRight);
  };
  Control& okButton = add("Command1", Kind::CommandButton);
  okButton.move(2520, 1320, 1215, 375);
  okButton.setCaption("OK");
  okButton.setDefault(true);
  okButton.onClick = [this] { ok(); };
  Control& cancel = add("Command2", Kind::CommandButton);
  cancel.move(3840, 1320, 1215, 375);
  cancel.setCaption("取消し");
  cancel.setCancel(true);
  cancel.onClick = [this] { unload(); };

  defineProcedure("UpdatePath", [this] { updatePath(); });
}

void NewFolderDialog::load() {
  move((services().screenWidth() - width()) / 2, (services().screenHeight() - height()) * 2 / 3);
}

std::optional<NewFolderDialog::Mode> NewFolderDialog::mode() const {
  const std::string& text = caption();
  if (text == "新規フォルダの作成 -圧縮-") return Mode::CompressFolder;
  if (text == "新規フォルダの作成 -解凍-") return Mode::ExtractFolder;
  if (text == kFolderTitle) return Mode::UtilityFolder;
  if (text == kRenameTitle) return Mode::Rename;
  return std::nullopt;
}

std::optional<std::string> NewFolderDialog::baseFolder() const {
  auto m = mode();
  if (!m) return std::nullopt;
  // The opener is read only while it is open: a closed opener is not brought back.
  auto opener = [this](const char* name) { return forms().find(name); };
  switch (*m) {
    case Mode::CompressFolder:
      if (Form* f = opener("Comp2")) return f->c("lblTmp").caption();
      break;
    case Mode::ExtractFolder:
      if (Form* f = opener("DeComp3")) return f->c("Combo1").text();
      break;
    case Mode::UtilityFolder:
      if (Form* f = opener("DeComp4")) return f->c("Dir2").path();
      break;
    case Mode::Rename:
      if (Form* f = opener("DeComp4")) {
        std::string base = f->c("Dir1").path();
        if (!base.empty() && base.back() == ':') base += '\\';
        return base;
      }
      break;
  }
  return std::nullopt;
}

void NewFolderDialog::updatePath() {
  if (auto base = baseFolder()) c("Label2").setCaption(winpath::join(*base, c("Text1").text()));
}

void NewFolderDialog::complain(const std::string& text, const std::string& title) {
  services().beep();
  services().messageBox(text, MsgButtons::OK, MsgIcon::Exclamation, title);
  c("Text1").setFocus();
}

// A name is one component: separators or a bare "." / ".." would put the result somewhere
// else than below the base folder.
bool NewFolderDialog::refuseName(const std::string& name, const std::string& title) {
  bool bad = name == "." || name == ".." || name.find_first_of("\\/:*?\"<>|") != std::string::npos;
  if (bad) complain("名前に次の文字は使えません\r\n\\ / : * ? \" < > |", title);
  return bad;
}

std::optional<std::string> NewFolderDialog::checkedTarget(const std::string& emptyText,
                                                          const std::string& existsText,
                                                          const std::string& title) {
  // The typed name must be there, free at the target and a plain name.
  std::string name = c("Text1").text();
  if (blank(name)) {
    complain(emptyText, title);
    return std::nullopt;
  }
  std::string target = c("Label2").caption();
  bool exists = false;
  Steps probe;
  probe([&] { exists = fs::exists(target); });
  if (exists) {
    complain(existsText, title);
    return std::nullopt;
  }
  if (refuseName(name, title)) return std::nullopt;
  return target;
}

void NewFolderDialog::ok() {
  auto m = mode();
  if (!m) return;
  // The target is taken fresh from the opener's current folder and the typed name.
  updatePath();
  if (*m == Mode::Rename)
    renameFile();
  else
    createFolder();
}

void NewFolderDialog::createFolder() {
  auto checked = checkedTarget("新しいフォルダ名を入力してください", "同名フォルダが存在します", kFolderTitle);
  if (!checked) return;
  std::string target = *checked;
  Steps make;
  make([&] { fs::makeFolder(target); });
  if (make.err()) {
    // Not created: the dialog stays open so the user can correct the name or cancel.
    complain("フォルダを作成できませんでした\r\n" + target, kFolderTitle);
    return;
  }
  Steps steps;
  switch (*mode()) {
    case Mode::CompressFolder:
      if (Form* f = forms().find("Comp2")) steps([&] { f->c("Dir1").setPath(target); });
      break;
    case Mode::ExtractFolder:
      if (Form* f = forms().find("DeComp3")) steps([&] { f->c("Dir1").setPath(target); });
      break;
    case Mode::UtilityFolder:
      if (Form* f = forms().find("DeComp4")) steps([&] { f->c("Dir2").setPath(target); });
      break;
    case Mode::Rename:
      break;
  }
  unload();
}

void NewFolderDialog::renameFile() {
  auto checked = checkedTarget("新しいファイル名を入力してください", "同名ファイルが存在します", kRenameTitle);
  if (!checked) return;
  std::string target = *checked;
  Steps probe;
  Form* utility = forms().find("DeComp4");
  std::string source = utility ? utility->c("Label2").caption() : std::string();
  bool isFile = false;
  probe([&] { isFile = fs::isFile(source); });
  if (!isFile) {
    complain("名前を変更するファイルが見つかりません\r\n" + source, kRenameTitle);
    return;
  }
  Steps move;
  move([&] { fs::rename(source, target); });
  if (move.err()) {
    complain("ファイル名を変更できませんでした\r\n" + source, kRenameTitle);
    return;
  }
  Steps steps;
  steps([&] { utility->c("Label2").setCaption(target); });
  steps([&] { utility->c("File1").refresh(); });
  unload();
}

}  // namespace zv
