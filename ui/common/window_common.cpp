#include "ui/common/window_common.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/settings/profile.h"
#include "platform/drives.h"
#include "platform/fileops.h"
#include "platform/folders.h"
#include "platform/winpath.h"

namespace zv {

void makePressedPicture(Control& picture, double offset,
                        std::function<void(const MouseEvent&)> action) {
  // The press is remembered so that a release without a press (or a second release) cannot
  // move the picture away from where it was.
  auto pressed = std::make_shared<bool>(false);
  picture.onMouseDown = [&picture, offset, pressed](const MouseEvent&) {
    if (*pressed) return;
    *pressed = true;
    picture.move(picture.left() + offset, picture.top() + offset, picture.width(),
                 picture.height());
  };
  picture.onMouseUp = [&picture, offset, pressed, action](const MouseEvent& e) {
    if (*pressed) {
      *pressed = false;
      picture.move(picture.left() - offset, picture.top() - offset, picture.width(),
                   picture.height());
    }
    if (action) action(e);
  };
}

std::string folderCaption(const std::string& path) {
  if (!path.empty() && path.back() == ':') return path + "\\";
  return path;
}

void showDriveNotReady(Form& form) {
  form.services().messageBox("ドライブまたはパスが見つかりません", MsgButtons::OK,
                             MsgIcon::Question, "エラーです");
}

void wireFolderPanel(Form& form, const FolderPanelOptions& options) {
  Control& drive = form.c(options.drive);
  Control& folder = form.c(options.folder);
  Control* files = form.find(options.files);
  folder.setTooltip("ﾀﾞﾌﾞﾙｸﾘｯｸで目的のﾌｫﾙﾀﾞへ移動します");
  // Set while the drive list is put back after a drive that is not ready: that change must not
  // move the folder list, which still shows the folder it showed before.
  auto puttingBack = std::make_shared<bool>(false);
  drive.onChange = [&form, &drive, &folder, options, puttingBack] {
    if (*puttingBack) return;
    Steps steps;
    steps([&] { folder.setPath(drive.drive()); });
    if (steps.err() == kErrDeviceUnavailable) {
      showDriveNotReady(form);
      *puttingBack = true;
      Steps back;
      back([&] { drive.setDrive(winpath::driveOf(folder.path())); });
      *puttingBack = false;
      return;
    }
    if (options.captionFollowsFolder) steps([&] { form.setCaption(folderCaption(folder.path())); });
    if (options.afterDriveChange) steps([&] { options.afterDriveChange(); });
  };
  folder.onChange = [&form, &folder, files, options] {
    Steps steps;
    if (files) steps([&] { files->setPath(folder.path()); });
    if (options.captionFollowsFolder) steps([&] { form.setCaption(folderCaption(folder.path())); });
    if (options.afterFolderChange) steps([&] { options.afterFolderChange(); });
  };
}

std::string desktopFolder() {
  const char* winDir = std::getenv("WinDir");
  std::string windows = winDir && *winDir ? winDir : folders::winDir();
  std::string classic = winpath::join(windows, "ﾃﾞｽｸﾄｯﾌﾟ");
  if (fs::isFolder(classic)) return classic;
  // This system's own desktop folder: XDG_DESKTOP_DIR, then the usual names under home.
  const char* home = std::getenv("HOME");
  std::vector<std::string> candidates;
  if (const char* xdg = std::getenv("XDG_DESKTOP_DIR"); xdg && *xdg) candidates.push_back(xdg);
  if (home && *home) {
    candidates.push_back(std::string(home) + "/Desktop");
    candidates.push_back(std::string(home) + "/デスクトップ");
  }
  for (const auto& c : candidates) {
    if (fs::isFolder(c)) return windowsPath(c);
  }
  return "";
}

void wireDesktopButton(Form& form, const std::string& picture) {
  Control& pic = form.c(picture);
  pic.setTooltip("ﾃﾞｽｸﾄｯﾌﾟへﾊﾟｽを移動します");
  pic.setDescription("デスクトップ");  // what a screen reader calls it
  makePressedPicture(pic, kDesktopPictureOffset, [&form](const MouseEvent&) {
    std::string desktop = desktopFolder();
    if (desktop.empty()) return;  // no desktop folder here: the folder stays as it is
    Steps steps;
    const FolderPanelOptions panel;  // the window's standard folder panel
    steps([&] { form.c(panel.drive).setDrive(winpath::driveOf(desktop)); });
    steps([&] { form.c(panel.folder).setPath(desktop); });
  });
}

void offerQuit(Form& form) {
  MsgAnswer a = form.services().messageBox("終了してもいいですか", MsgButtons::YesNo,
                                           MsgIcon::Question, "お疲れ様でした");
  if (a != MsgAnswer::Yes) return;
  form.services().help(form.app().helpFile, kHelpQuit, 0);
  form.forms().endProgram();
}

void wireHelpButton(Form& form, const std::string& picture, int context) {
  Control& pic = form.c(picture);
  pic.setDescription("ヘルプ");  // its tooltip only says how to quit
  pic.onDblClick = [&form, context] {
    form.services().help(form.app().helpFile, kHelpContext, context);
  };
  pic.onMouseDown = [&form](const MouseEvent& e) {
    if (e.button == kRightButton) offerQuit(form);
  };
}

std::string readSetting(Form& form, const std::string& section, const std::string& key,
                        const std::string& def, int bufferSize) {
  std::string value = Profile(form.shared().IniFile).read(section, key, def, bufferSize);
  auto nul = value.find('\0');
  if (nul != std::string::npos) value.resize(nul);
  return value;
}

void writeSetting(Form& form, const std::string& section, const std::string& key,
                  const std::string& value) {
  Profile(form.shared().IniFile).write(section, key, value);
}

double numericValue(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string digits;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) digits += text[i++];
  bool dot = false, any = false;
  for (; i < text.size(); ++i) {
    char ch = text[i];
    if (ch >= '0' && ch <= '9') {
      digits += ch;
      any = true;
    } else if (ch == '.' && !dot) {
      digits += ch;
      dot = true;
    } else {
      break;
    }
  }
  if (!any) return 0;
  return std::strtod(digits.c_str(), nullptr);
}

std::string numberText(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    return std::to_string(static_cast<long long>(value));
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  return buf;
}

void loadPosition(Form& form, const std::string& section, const std::string& def, int bufferSize) {
  double top = numericValue(readSetting(form, section, "Top", def, bufferSize));
  form.setTop(top);
  double left = numericValue(readSetting(form, section, "Left", def, bufferSize));
  form.setLeft(left);
}

void savePosition(Form& form, const std::string& section) {
  writeSetting(form, section, "Top", numberText(form.top()));
  writeSetting(form, section, "Left", numberText(form.left()));
}

void placeOnTop(Form& form, const Form& opener) {
  form.move(opener.left() + 700, opener.top() + 500);
}

void loadLastFolder(Form& form, const std::string& section, int bufferSize) {
  std::string path = readSetting(form, section, "Path", form.app().programFolder, bufferSize);
  const FolderPanelOptions panel;  // the window's standard folder panel
  Steps steps;
  steps([&] { form.c(panel.folder).setPath(path); });
  steps([&] { form.c(panel.drive).setDrive(winpath::driveOf(path)); });
}

void saveLastFolder(Form& form, const std::string& section) {
  writeSetting(form, section, "Path", form.c(FolderPanelOptions().folder).path());
}

void showSelectionHint(Form& form) {
  const std::string crlf = "\r\n";
  std::string text =
      "[CTRL] + クリックによって、リスト中の項目を 1 つずつ選択、選択解除できます．" + crlf +
      "→[CTRL]を押しながら，選択したいファイル名をクリックします．" + crlf + crlf + crlf +
      "[SHIFT] + クリックまたは [SHIFT] + 方向キーによって、連続した項目が選択されます．" + crlf +
      "→[SHIFT] を押しながら，選択したい範囲のはじめと終わりのファイル名をクリックします．" + crlf;
  form.services().messageBox(text, MsgButtons::OK, MsgIcon::Information,
                             "複数のファイルを選択する方法");
}

}  // namespace zv
