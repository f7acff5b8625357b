#include "compress/comp1_form.h"

#include <algorithm>

#include "compress/dropped_files.h"
#include "compress/preview.h"
#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "core/settings/options.h"
#include "platform/fileops.h"
#include "platform/folders.h"
#include "platform/winpath.h"
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

// Rows in tab order.
const ControlRow kControls[] = {
    // the drive of the files to compress
    {.name = "Drive1",
     .kind = Kind::DriveList,
     .at = {120, 120, 3000, 315},
     .tooltip = "圧縮したいファイルのドライブを指定します",
     .description = "ドライブ"},
    // the folder of the files to compress
    {.name = "Dir1",
     .kind = Kind::FolderList,
     .at = {120, 480, 3000, 2880},
     .description = "フォルダ"},
    // the source of the names; the user sees and selects in List1
    {.name = "File1",
     .kind = Kind::FileList,
     .at = {3240, 120, 4080, 3240},
     .description = "フォルダのファイル",
     .hidden = true},
    // the files of the folder, selected for compression
    {.name = "List1",
     .kind = Kind::ListBox,
     .at = {3240, 120, 4080, 3240},
     .tooltip = "圧縮したいﾌｧｲﾙをｸﾘｯｸで選択します",
     .description = "ファイル一覧",
     .backColor = kWindowBack,
     .multiSelect = MultiSelect::Extended},
    // the title of the archive kinds
    {.name = "Label2", .kind = Kind::Label, .at = {120, 3525, 735, 255}, .caption = "Mode : "},
    // makes an LZH archive; chosen as designed, before its click is wired
    {.name = "Option4",
     .kind = Kind::OptionButton,
     .at = {840, 3480, 900, 300},
     .caption = "LHA",
     .tooltip = "LHA圧縮ﾌｧｲﾙを作成します",
     .value = 1},
    // makes an ISH file
    {.name = "Option5",
     .kind = Kind::OptionButton,
     .at = {1800, 3480, 900, 300},
     .caption = "ISH",
     .tooltip = "ISH形式ﾌｧｲﾙを作成します"},
    // the title of the folder-mode row; the ISH code-type panel covers the row while ISH is chosen
    {.name = "Label6", .kind = Kind::Label, .at = {120, 3945, 1035, 255}, .caption = "圧縮形式："},
    // the file lamp: lit while only the selected files are stored
    {.name = "Label3",
     .kind = Kind::Label,
     .at = {1200, 3975, 195, 195},
     .tooltip = kTipOptions,
     .backColor = kLampLit},
    // the file lamp's text
    {.name = "Label7",
     .kind = Kind::Label,
     .at = {1440, 3945, 1560, 255},
     .caption = "選択ﾌｧｲﾙを圧縮",
     .tooltip = kTipOptions},
    // the folder lamp: lit while the folders are stored with the files
    {.name = "Label5",
     .kind = Kind::Label,
     .at = {3120, 3975, 195, 195},
     .tooltip = kTipOptions,
     .backColor = kLampUnlit},
    // the folder lamp's text
    {.name = "Label9",
     .kind = Kind::Label,
     .at = {3360, 3945, 2700, 255},
     .caption = "ﾌｫﾙﾀﾞ階層構造付きで圧縮",
     .tooltip = kTipOptions},
    // the ISH code-type panel
    {.name = "Picture1", .kind = Kind::Frame, .at = {60, 3840, 6120, 465}, .hidden = true},
    // ISH code type: one-byte characters only
    {.name = "Option1",
     .kind = Kind::OptionButton,
     .at = {120, 90, 1320, 300},
     .caption = "ｲﾝﾀｰﾈｯﾄ",
     .tooltip = "半角ｶﾅを使用しない，1バイト文字のみで作成するﾌｫｰﾏｯﾄです．",
     .container = "Picture1"},
    // ISH code type: half-width kana and two-byte characters; chosen at start
    {.name = "Option2",
     .kind = Kind::OptionButton,
     .at = {1560, 90, 1320, 300},
     .caption = "ﾊﾟｿｺﾝ通信",
     .tooltip = "半角ｶﾅと2バイト文字を使用して作成します．圧縮率が高くなります．",
     .container = "Picture1",
     .value = 1},
    // ISH code type: two-byte characters without half-width kana
    {.name = "Option3",
     .kind = Kind::OptionButton,
     .at = {3000, 90, 2160, 300},
     .caption = "ﾊﾟｿｺﾝ通信(ｶﾅなし)",
     .tooltip = "2バイト文字は使用しますが，半角ｶﾅは使用しないﾌｫｰﾏｯﾄです．",
     .container = "Picture1"},
    // the frame of the bottom row
    {.name = "Shape1", .kind = Kind::Shape, .at = {60, 4440, 7320, 900}},
    // the hint: what to do before the next step
    {.name = "Label1",
     .kind = Kind::Label,
     .at = {1200, 4770, 2640, 255},
     .caption = kFileModeHint},
    // the next-step picture
    {.name = "Image4",
     .kind = Kind::Picture,
     .at = {3900, 4560, 660, 660},
     .picture = "comp_next",
     .tooltip = "次のｽﾃｯﾌﾟ進みます"},
    // a decoration
    {.name = "Image3",
     .kind = Kind::Picture,
     .at = {240, 4560, 660, 660},
     .picture = "comp_decoration"},
    // selects every file of the list
    {.name = "Image2",
     .kind = Kind::Picture,
     .at = {6240, 3420, 480, 480},
     .picture = "comp_select_all",
     .tooltip = "ﾌｧｲﾙﾘｽﾄのすべてのﾌｧｲﾙを選択状態にします",
     .selectsAll = true},
    // opens the selected file with its application
    {.name = "Image5",
     .kind = Kind::Picture,
     .at = {6840, 3420, 480, 480},
     .picture = "comp_preview",
     .tooltip = "関連づけされたｱﾌﾟﾘｹｰｼｮﾝﾃで開きます"},
    // shows the hint on selecting several files
    {.name = "Image6",
     .kind = Kind::Picture,
     .at = {6300, 3960, 360, 360},
     .picture = "comp_hint",
     .tooltip = "複数ﾌｧｲﾙ選択のﾋﾝﾄを表示します"},
    // the desktop picture: jumps to the desktop folder
    {.name = "Image7",
     .kind = Kind::Picture,
     .at = {6900, 3960, 360, 360},
     .picture = "comp_desktop"},
    // the help picture
    {.name = "Image1",
     .kind = Kind::Picture,
     .at = {6720, 4680, 480, 480},
     .picture = "comp_help",
     .tooltip = "右ﾎﾞﾀﾝｸﾘｯｸで即時終了できます"},
    // opens the options window
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .at = {4680, 4560, 1215, 375},
     .caption = "オプション",
     .tooltip = "圧縮のｵﾌﾟｼｮﾝ指定ｳｨﾝﾄﾞｳをｵｰﾌﾟﾝします"},
    // the close button; both buttons sit inside the frame, clear of its bottom edge
    {.name = "Command2",
     .kind = Kind::CommandButton,
     .at = {4680, 4965, 1215, 300},
     .caption = "Close",
     .tooltip = "このｳｨﾝﾄﾞｳを閉じます",
     .isCancel = true},
};

}  // namespace

Comp1Form::Comp1Form(App& app) : Form(app, windows::kFileSelection) {
  setCaption("Zorvex 32");
  resize(7545, 5925);
  fixedDialog = true;
  icon = "comp_select_all";
  addControlRows(*this, kControls);
  wireEvents();
}

void Comp1Form::wireEvents() {
  c("List1").onMouseDown = [this](const MouseEvent& e) { listMouseDown(e); };
  c("Option4").onClick = [this] { chooseLha(); };
  c("Option5").onClick = [this] { chooseIsh(); };
  c("Command1").onClick = [this] { forms().show(windows::kOptions); };
  c("Command2").onClick = [this] { unload(); };

  FolderPanelOptions panelOptions;
  panelOptions.afterFolderChange = [this] { folderChanged(); };
  wireFolderPanel(*this, panelOptions);
  wireDesktopButton(*this, "Image7");
  c("List1").onFilesDropped = [this](const std::vector<std::string>& paths) { chooseFiles(paths); };
  c("List1").onKeyDown = [this](int& key, int shift) { fileListKey(*this, key, shift); };
  wireHelpButton(*this, "Image1", kHelpCompression);
  makePressedPicture(c("Image2"), kMainPictureOffset, [this](const MouseEvent&) { selectAll(); });
  makePressedPicture(c("Image5"), kMainPictureOffset, [this](const MouseEvent&) { preview(); });
  makePressedPicture(c("Image6"), kSmallPictureOffset,
                     [this](const MouseEvent&) { showSelectionHint(*this); });
  makePressedPicture(c("Image4"), kMainPictureOffset, [this](const MouseEvent&) { nextStep(); });
  // The folder is remembered as soon as the next step is pressed.
  Control& next = c("Image4");
  auto press = next.onMouseDown;
  next.onMouseDown = [this, press](const MouseEvent& e) {
    press(e);
    Steps steps;
    steps([&] { saveLastFolder(*this, "Comp1Dir"); });
  };
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

void Comp1Form::showFolderInstruction(bool folders) {
  c("Label1").setCaption(folders ? "圧縮するフォルダを指定後" : kFileModeHint);
  c("File1").setEnabled(!folders);
}

void Comp1Form::filterFiles(const std::string& pattern) {
  c("File1").setPattern(pattern);
  relist();
}

std::string Comp1Form::filePattern() const { return c("File1").pattern(); }

std::string Comp1Form::folder() const { return c("Dir1").path(); }

void Comp1Form::chooseFiles(const std::vector<std::string>& paths) {
  chooseDroppedFiles(*this, paths);
}

void Comp1Form::showFolder(const std::string& path) {
  if (c("Dir1").path() == path) return;
  Steps steps;
  steps([&] { c("Drive1").setDrive(winpath::driveOf(path)); });
  steps([&] { c("Dir1").setPath(path); });
}

void Comp1Form::chooseOnly(const std::vector<std::string>& names) {
  Control& list = c("List1");
  Steps steps;
  for (int i = 0; i < list.listCount(); ++i) {
    bool chosen = std::find(names.begin(), names.end(), list.list(i)) != names.end();
    steps([&] { list.setSelected(i, chosen); });
  }
}

bool Comp1Form::ishMode() const { return c("Picture1").visible(); }

IshCodeType Comp1Form::ishCodeType() const {
  if (c("Option1").value()) return IshCodeType::Internet;
  if (c("Option3").value()) return IshCodeType::PcNetworkNoKana;
  return IshCodeType::PcNetwork;
}

std::vector<std::string> Comp1Form::chosenNames() const {
  std::vector<std::string> names;
  Control& list = c("List1");
  for (int i = 0; i < list.listCount(); ++i)
    if (list.selected(i)) names.push_back(list.list(i));
  return names;
}

void Comp1Form::allowClosing() { c("Command2").setEnabled(true); }

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
  Steps steps;
  steps([&] { port<FileInfoPort>(forms(), windows::kFileInfo).showFile(path); });
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
      steps([&] { port<PictureViewerPort>(forms(), windows::kPicture).showPicture(path); });
      break;
    case PreviewKind::Text: {
      steps([&] { forms().show(windows::kViewer); });
      std::string text;
      // A file that cannot be read leaves the text box empty.
      steps([&] { text = readPreviewText(path); });
      steps([&] { port<TextViewerPort>(forms(), windows::kViewer).showText(text); });
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
