#include "compress/comp1_form.h"

#include "compress/preview.h"
#include "core/app.h"
#include "core/forms/steps.h"
#include "core/settings/options.h"
#include "platform/fileops.h"
#include "platform/folders.h"
#include "platform/winpath.h"
#include "ui/common/picture_file.h"
#include "ui/common/window_common.h"

namespace zv::compress {
namespace {

constexpr uint32_t kLampLit = 0xFF0000;
constexpr uint32_t kLampUnlit = 0x808080;
constexpr const char* kFileModeHint = "圧縮するファイルを指定後";
constexpr const char* kTipOptions = "[オプション]で変更できます";

std::string ishMissingMessage() {
  const std::string crlf = "\r\n";
  return "★ ISH32.DLL が見つかりません ★" + crlf + crlf +
         "ISH ファイルを復元するのに必要なファイルです．" + crlf +
         "以下のライブラリにパブリックドメインソフトウェアとして登録されています．" + crlf + crlf +
         "[ FWINDB | Windows開発者フォーラムＢ ]" + crlf +
         "LIB 2  プレリリース・β版ライブラリー Room Ｂ" + crlf +
         "355  ISH32.DLL V0.36：ishファイルの作成／復元" + crlf +
         "または，Zorvex 32 の配布元から ISH32.DLL を含む完全版を入手してください．" + crlf + crlf +
         "ISH32.DLL "
         "を入手しましたら，<windows>下の<system>ディレクトリ(フォルダ)にコピーしてください．" +
         crlf;
}

}  // namespace

Comp1Form::Comp1Form(App& app) : Form(app, windows::kFileSelection) {
  setCaption("Zorvex 32");
  resize(7545, 5925);
  fixedDialog = true;
  icon = "comp_select_all";
  buildControls();
}

void Comp1Form::buildControls() {
  Control& drive = add("Drive1", Kind::DriveList);
  drive.move(120, 120, 3000, 315);
  drive.setTooltip("圧縮したいファイルのドライブを指定します");
  add("Dir1", Kind::FolderList).move(120, 480, 3000, 2880);
  Control& files = add("File1", Kind::FileList);
  files.move(3240, 120, 4080, 3240);
  files.setVisible(false);  // the source of the names; the user sees and selects in List1

  Control& list = add("List1", Kind::ListBox);
  list.move(3240, 120, 4080, 3240);
  list.setMultiSelect(MultiSelect::Extended);
  list.setBackColor(kWindowBack);
  list.setTooltip("圧縮したいﾌｧｲﾙをｸﾘｯｸで選択します");
  list.onMouseDown = [this](const MouseEvent& e) { listMouseDown(e); };

  Control& enumerate = add("cmdEnum", Kind::Hidden);
  enumerate.setCaption("cmdEnum");
  enumerate.onClick = [this] { relist(); };

  add("Label2", Kind::Label).move(120, 3525, 735, 255);
  c("Label2").setCaption("Mode : ");
  Control& lha = add("Option4", Kind::OptionButton);
  lha.move(840, 3480, 900, 300);
  lha.setCaption("LHA");
  lha.setTooltip("LHA圧縮ﾌｧｲﾙを作成します");
  lha.setValue(1);  // chosen as designed, before its click is wired
  lha.onClick = [this] { chooseLha(); };
  Control& ish = add("Option5", Kind::OptionButton);
  ish.move(1800, 3480, 900, 300);
  ish.setCaption("ISH");
  ish.setTooltip("ISH形式ﾌｧｲﾙを作成します");
  ish.onClick = [this] { chooseIsh(); };

  // The folder-mode row; the ISH code-type panel covers it while ISH is chosen.
  add("Label6", Kind::Label).move(120, 3945, 1035, 255);
  c("Label6").setCaption("圧縮形式：");
  Control& fileLamp = add("Label3", Kind::Label);
  fileLamp.move(1200, 3975, 195, 195);
  fileLamp.setBackColor(kLampLit);
  fileLamp.setTooltip(kTipOptions);
  Control& fileText = add("Label7", Kind::Label);
  fileText.move(1440, 3945, 1560, 255);
  fileText.setCaption("選択ﾌｧｲﾙを圧縮");
  fileText.setTooltip(kTipOptions);
  Control& folderLamp = add("Label5", Kind::Label);
  folderLamp.move(3120, 3975, 195, 195);
  folderLamp.setBackColor(kLampUnlit);
  folderLamp.setTooltip(kTipOptions);
  Control& folderText = add("Label9", Kind::Label);
  folderText.move(3360, 3945, 2700, 255);
  folderText.setCaption("ﾌｫﾙﾀﾞ階層構造付きで圧縮");
  folderText.setTooltip(kTipOptions);

  Control& panel = add("Picture1", Kind::Frame);
  panel.move(60, 3840, 6120, 465);
  panel.setVisible(false);
  struct CodeType {
    const char* name;
    const char* caption;
    const char* tip;
    double left, width;
  };
  const CodeType types[] = {
      {"Option1", "ｲﾝﾀｰﾈｯﾄ", "半角ｶﾅを使用しない，1バイト文字のみで作成するﾌｫｰﾏｯﾄです．", 120,
       1320},
      {"Option2", "ﾊﾟｿｺﾝ通信", "半角ｶﾅと2バイト文字を使用して作成します．圧縮率が高くなります．",
       1560, 1320},
      {"Option3", "ﾊﾟｿｺﾝ通信(ｶﾅなし)", "2バイト文字は使用しますが，半角ｶﾅは使用しないﾌｫｰﾏｯﾄです．",
       3000, 2160},
  };
  for (const auto& t : types) {
    Control& o = add(t.name, Kind::OptionButton);
    o.setContainer("Picture1");
    o.move(t.left, 90, t.width, 300);
    o.setCaption(t.caption);
    o.setTooltip(t.tip);
  }
  c("Option2").setValue(1);

  Control& shape = add("Shape1", Kind::Shape);
  shape.move(60, 4440, 7320, 900);
  Control& hint = add("Label1", Kind::Label);
  hint.move(1200, 4770, 2640, 255);
  hint.setCaption(kFileModeHint);
  Control& next = add("Image4", Kind::Picture);
  next.move(3900, 4560, 660, 660);
  next.setPicture("comp_next");
  next.setTooltip("次のｽﾃｯﾌﾟ進みます");
  Control& deco = add("Image3", Kind::Picture);
  deco.move(240, 4560, 660, 660);
  deco.setPicture("comp_decoration");

  Control& all = add("Image2", Kind::Picture);
  all.move(6240, 3420, 480, 480);
  all.setPicture("comp_select_all");
  all.setTooltip("ﾌｧｲﾙﾘｽﾄのすべてのﾌｧｲﾙを選択状態にします");
  Control& view = add("Image5", Kind::Picture);
  view.move(6840, 3420, 480, 480);
  view.setPicture("comp_preview");
  view.setTooltip("関連づけされたｱﾌﾟﾘｹｰｼｮﾝﾃで開きます");
  Control& tip = add("Image6", Kind::Picture);
  tip.move(6300, 3960, 360, 360);
  tip.setPicture("comp_hint");
  tip.setTooltip("複数ﾌｧｲﾙ選択のﾋﾝﾄを表示します");
  Control& desk = add("Image7", Kind::Picture);
  desk.move(6900, 3960, 360, 360);
  desk.setPicture("comp_desktop");
  Control& help = add("Image1", Kind::Picture);
  help.move(6720, 4680, 480, 480);
  help.setPicture("comp_help");
  help.setTooltip("右ﾎﾞﾀﾝｸﾘｯｸで即時終了できます");

  Control& opt = add("Command1", Kind::CommandButton);
  opt.move(4680, 4560, 1215, 375);
  opt.setCaption("オプション");
  opt.setTooltip("圧縮のｵﾌﾟｼｮﾝ指定ｳｨﾝﾄﾞｳをｵｰﾌﾟﾝします");
  opt.onClick = [this] { forms().show(windows::kOptions); };
  Control& close = add("Command2", Kind::CommandButton);
  // Both buttons sit inside the frame, clear of its bottom edge.
  close.move(4680, 4965, 1215, 300);
  close.setCaption("Close");
  close.setTooltip("このｳｨﾝﾄﾞｳを閉じます");
  close.onClick = [this] { unload(); };
  add("lblBuf", Kind::Hidden);

  FolderPanelOptions panelOptions;
  panelOptions.afterFolderChange = [this] { folderChanged(); };
  wireFolderPanel(*this, panelOptions);
  wireDesktopButton(*this, "Image7");
  wireHelpButton(*this, "Image1", kHelpCompression);
  makePressedPicture(all, kMainPictureOffset, [this](const MouseEvent&) { selectAll(); });
  makePressedPicture(view, kMainPictureOffset, [this](const MouseEvent&) { preview(); });
  makePressedPicture(tip, kSmallPictureOffset,
                     [this](const MouseEvent&) { showSelectionHint(*this); });
  makePressedPicture(next, kMainPictureOffset, [this](const MouseEvent&) { nextStep(); });
  // The folder is remembered as soon as the next step is pressed.
  auto press = next.onMouseDown;
  next.onMouseDown = [this, press](const MouseEvent& e) {
    press(e);
    Steps steps;
    steps([&] { saveLastFolder(*this, "Comp1Dir"); });
  };

  defineProcedure("ShowFolderMode", [this] { showFolderMode(); });
}

void Comp1Form::load() {
  Steps steps;
  allSelected_ = false;
  steps([&] { options::readMode(options::profileOf(shared()), shared()); });
  steps([&] { relist(); });
  steps([&] { loadLastFolder(*this, "Comp1Dir", 512); });
  // A remembered folder that no longer exists: start in the program's folder.
  if (c("Dir1").path().empty()) {
    steps([&] { c("Dir1").setPath(app().programFolder); });
    steps([&] { c("Drive1").setDrive(winpath::driveOf(c("Dir1").path())); });
  }
  steps([&] { shared().SourceFolder = c("Dir1").path(); });
  steps([&] { setCaption(c("Dir1").path()); });
  steps([&] { loadPosition(*this, "CompPosition", "300", 26); });
  steps([&] { c("List1").setHorizontalExtent(1024); });
  steps([&] { showFolderMode(); });
}

void Comp1Form::showFolderMode() {
  const DirectoryModeOption& mode = shared().DirectoryMode;
  bool fileMode = mode.namesOnly();
  if (!fileMode && !mode.withFolders() && !mode.wholeFolder()) return;
  // The lamps' state in words for screen readers, as their colour shows it.
  c("Label3").setDescription(fileMode ? "選択ﾌｧｲﾙを圧縮：点灯" : "選択ﾌｧｲﾙを圧縮：消灯");
  c("Label5").setDescription(fileMode ? "ﾌｫﾙﾀﾞ階層構造付きで圧縮：消灯"
                                      : "ﾌｫﾙﾀﾞ階層構造付きで圧縮：点灯");
  c("Label3").setBackColor(fileMode ? kLampLit : kLampUnlit);
  c("Label5").setBackColor(fileMode ? kLampUnlit : kLampLit);
  c("Image5").setEnabled(fileMode);
  c("Image6").setEnabled(fileMode);
  c("Label1").setCaption(fileMode ? kFileModeHint : "圧縮するフォルダを指定後");
  // In the folder modes single files cannot be picked; select-all still works.
  c("List1").setEnabled(fileMode);
}

void Comp1Form::queryUnload(bool& cancel, UnloadMode mode) {
  // While the archive creation window is open this window's Close is disabled; its close
  // box is refused the same way, so that window never loses its source.
  if (mode == UnloadMode::CloseBox && forms().loaded(windows::kArchiveCreation)) cancel = true;
}

void Comp1Form::unloading(bool& cancel) {
  Steps steps;
  if (!shared().RunInProgress) {
    steps([&] { savePosition(*this, "CompPosition"); });
    steps([&] { forms().show(windows::kMenu); });
  }
  steps([&] { saveLastFolder(*this, "Comp1Dir"); });
}

void Comp1Form::relist() {
  Control& list = c("List1");
  Control& files = c("File1");
  list.clear();
  for (int i = 0; i < files.listCount(); ++i) list.addItem(files.list(i));
}

void Comp1Form::folderChanged() {
  Steps steps;
  steps([&] { shared().SourceFolder = folderCaption(c("File1").path()); });
  steps([&] { relist(); });
}

void Comp1Form::listMouseDown(const MouseEvent& e) {
  Steps steps;
  shared().InfoCaller = FileInfoCaller::FileSelection;
  int index = c("List1").listIndex();
  if (e.button == kRightButton) {
    steps([&] { forms().show(windows::kFileInfo); });
    if (index >= 0) steps([&] { fillInformation(index); });
  } else if (e.button == kLeftButton && index >= 0) {
    steps([&] { fillInformation(index); });
  }
}

void Comp1Form::fillInformation(int index) {
  std::string& source = shared().SourceFolder;
  if (source.empty() || source.back() != '\\') source += '\\';
  std::string path = source + c("File1").list(index);
  Form& info = form(windows::kFileInfo);
  Steps steps;
  steps([&] { info.c("Label3").setCaption(path); });
  steps([&] { info.c("lblTime").setCaption(fs::modifiedText(path)); });
  steps([&] { info.c("lblSize").setCaption(std::to_string(fs::fileSize(path)) + " bytes"); });
}

void Comp1Form::selectAll() {
  Control& list = c("List1");
  int n = list.listCount();
  if (n == 0) return;
  allSelected_ = !allSelected_;
  for (int i = 0; i < n; ++i) list.setSelected(i, allSelected_);
  list.setListIndex(0);
}

void Comp1Form::preview() {
  Steps steps;
  Control& list = c("List1");
  std::string path = winpath::withTrailingSeparator(c("Dir1").path());
  if (list.listIndex() >= 0) path += list.list(list.listIndex());
  switch (previewKind(path)) {
    case PreviewKind::Picture:
      steps([&] {
        Form& viewer = form(windows::kPicture);
        Control& image = viewer.c("Image1");
        image.setPicture("");
        loadPictureFile(image, path, services());
        viewer.resize(image.width(), image.height() + 600);
        viewer.show();
      });
      break;
    case PreviewKind::Text: {
      steps([&] { forms().show(windows::kViewer); });
      std::string text;
      // A file that cannot be read leaves the text box empty.
      steps([&] { text = readPreviewText(path); });
      steps([&] { form(windows::kViewer).c("Text1").setText(text); });
      break;
    }
    case PreviewKind::Associated:
      steps([&] { services().shellOpen(path); });
      break;
  }
}

void Comp1Form::nextStep() {
  if (!shared().DirectoryMode.wholeFolder() && c("List1").selCount() == 0) {
    services().messageBox("圧縮したいファイルを選択してください", MsgButtons::OK,
                          MsgIcon::Exclamation, "エラーです");
    return;
  }
  forms().show(windows::kArchiveCreation);
  c("Command2").setEnabled(false);
}

void Comp1Form::chooseLha() {
  c("Picture1").setVisible(false);
  c("Label1").setCaption(kFileModeHint);
}

void Comp1Form::chooseIsh() {
  if (!c("Option5").value()) {
    chooseLha();
    return;
  }
  shared().SystemFolder = folders::systemFolder();
  bool present = false;
  Steps steps;
  steps([&] { present = fs::isFile(winpath::join(shared().SystemFolder, "ish32.dll")); });
  if (present) {
    c("Picture1").setVisible(true);
    c("Label1").setCaption("作成するファイルを指定後");
    return;
  }
  services().messageBox(ishMissingMessage(), MsgButtons::OK, MsgIcon::Exclamation,
                        "ISH ファイルの復元");
  c("Option4").setValue(1);  // its click hides the code-type panel
}

}  // namespace zv::compress
