#include "auxwin/new_folder_dialog.h"

#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "core/messages/failure_cause.h"
#include "platform/fileops.h"
#include "platform/winpath.h"

namespace zv {
namespace {

constexpr const char* kFolderTitle = "新規フォルダの作成";
constexpr const char* kRenameTitle = "ファイル名の変更";

bool blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// Rows in tab order.
const ControlRow kControls[] = {
    // the new-folder picture
    {.name = "Image1",
     .kind = Kind::Picture,
     .at = {120, 120, 480, 480},
     .picture = "comp_new_folder"},
    // the prompt over the name box
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {720, 120, 4335, 255},
     .caption = "新しく作成するフォルダ名："},
    // the new folder's name
    {.name = "Text1", .kind = Kind::TextBox, .at = {720, 420, 4335, 315}, .backColor = kWindowBack},
    // the full path of the folder to be made
    {.name = "Label2", .kind = Kind::Label, .at = {120, 870, 4935, 285}, .backColor = kWindowBack},
    // makes the folder
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .at = {2520, 1320, 1215, 375},
     .caption = "OK",
     .isDefault = true},
    // closes without making it
    {.name = "Command2",
     .kind = Kind::CommandButton,
     .at = {3840, 1320, 1215, 375},
     .caption = "取消し",
     .isCancel = true},
};

}  // namespace

NewFolderDialog::NewFolderDialog(App& app) : Form(app, windows::kNewFolder) {
  setCaption(kFolderTitle);
  resize(5235, 2265);
  fixedDialog = true;

  addControlRows(*this, kControls);
  c("Text1").onChange = [this] { updatePath(); };
  Control& path = c("Label2");
  path.onMouseDown = [&path](const MouseEvent& e) {
    if (e.button == kLeftButton) path.setAlignment(Control::AlignLeft);
    if (e.button == kRightButton) path.setAlignment(Control::AlignRight);
  };
  c("Command1").onClick = [this] { ok(); };
  c("Command2").onClick = [this] { unload(); };
}

void NewFolderDialog::load() {
  move((services().screenWidth() - width()) / 2, (services().screenHeight() - height()) * 2 / 3);
}

void NewFolderDialog::unloading(bool& cancel) { shared().NewFolder = {}; }

std::optional<NewFolderDialog::Mode> NewFolderDialog::mode() const {
  Mode purpose = shared().NewFolder.purpose;
  if (purpose == Mode::None) return std::nullopt;
  return purpose;
}

std::optional<std::string> NewFolderDialog::baseFolder() const {
  const NewFolderRequest& request = shared().NewFolder;
  if (!mode() || !request.baseFolder) return std::nullopt;
  return request.baseFolder();
}

void NewFolderDialog::updatePath() {
  if (auto base = baseFolder()) c("Label2").setCaption(winpath::join(*base, c("Text1").text()));
}

void NewFolderDialog::present() {
  const NewFolderRequest& request = shared().NewFolder;
  c("Label2").setCaption(request.path);
  setCaption(request.caption);
  c("Label1").setCaption(request.prompt);
}

std::string NewFolderDialog::typedName() const { return c("Text1").text(); }

void NewFolderDialog::showPath(const std::string& path) { c("Label2").setCaption(path); }

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
  auto checked =
      checkedTarget("新しいフォルダ名を入力してください", "同名フォルダが存在します", kFolderTitle);
  if (!checked) return;
  std::string target = *checked;
  Steps make;
  make([&] { fs::makeFolder(target); });
  if (make.err()) {
    // Not created: the dialog stays open so the user can correct the name or cancel.
    complain(withCause("フォルダを作成できませんでした\r\n" + target, failureCause(make.err())),
             kFolderTitle);
    return;
  }
  finish(target);
}

void NewFolderDialog::renameFile() {
  auto checked =
      checkedTarget("新しいファイル名を入力してください", "同名ファイルが存在します", kRenameTitle);
  if (!checked) return;
  std::string target = *checked;
  Steps probe;
  const NewFolderRequest& request = shared().NewFolder;
  std::string source = request.source ? request.source() : std::string();
  bool isFile = false;
  probe([&] { isFile = fs::isFile(source); });
  if (!isFile) {
    complain("名前を変更するファイルが見つかりません\r\n" + source, kRenameTitle);
    return;
  }
  Steps move;
  move([&] { fs::rename(source, target); });
  if (move.err()) {
    complain(withCause("ファイル名を変更できませんでした\r\n" + source, failureCause(move.err())),
             kRenameTitle);
    return;
  }
  finish(target);
}

void NewFolderDialog::finish(const std::string& made) {
  // The request is taken before unloading clears it.
  NewFolderRequest request = shared().NewFolder;
  if (request.done) {
    Steps steps;
    steps([&] { request.done(made); });
  }
  unload();
}

}  // namespace zv
