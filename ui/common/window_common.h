// Behaviour that most windows share: pressed-picture buttons, the folder panel (drive list,
// folder list, file list), the desktop and help buttons, remembered positions and folders.
#pragma once
#include <functional>
#include <string>

#include "core/forms/form.h"

namespace zv {

// Pressed offsets of picture buttons, in twips.
constexpr double kMainPictureOffset = 30;
constexpr double kSmallPictureOffset = 20;
constexpr double kDesktopPictureOffset = 10;

// Help context numbers of the windows.
constexpr int kHelpOptions = 2000;
constexpr int kHelpExtraction = 3000;
constexpr int kHelpCompression = 5000;
constexpr int kHelpFileUtility = 6000;

// While a mouse button is held on the picture it moves down and right by `offset`; on release
// it moves back first and then runs `action` with the release event.
void makePressedPicture(Control& picture, double offset,
                        std::function<void(const MouseEvent&)> action);

// Folder panel: Drive1 change sets Dir1 to the drive (a drive that is not ready gives the
// message and puts Drive1 back), Dir1 change sets File1's path. `captionFollowsFolder` makes
// the window caption show the folder. `afterFolderChange` runs after File1 followed Dir1.
struct FolderPanelOptions {
  bool captionFollowsFolder = true;
  std::function<void()> afterDriveChange;
  std::function<void()> afterFolderChange;
  std::string drive = "Drive1", folder = "Dir1", files = "File1";
};
void wireFolderPanel(Form& form, const FolderPanelOptions& options = {});

// The drive-not-ready message, as every folder panel shows it.
void showDriveNotReady(Form& form);

// The caption text for a folder: a bare "C:" gets its "\".
std::string folderCaption(const std::string& path);

// Desktop button (Image7 by default): on release Dir1 goes to the desktop folder.
void wireDesktopButton(Form& form, const std::string& picture = "Image7");
// The desktop folder in the program's path form: WinDir + "\ﾃﾞｽｸﾄｯﾌﾟ" when it exists, else the
// user's desktop folder of this system, else empty.
std::string desktopFolder();

// Help button: double-click opens the help topic; a right-button press offers to end the
// program at once.
void wireHelpButton(Form& form, const std::string& picture, int context);
// Asks "終了してもいいですか"; on Yes closes help and ends the program without any closing steps.
void offerQuit(Form& form);

// Settings helpers: read a value into a buffer of `bufferSize` characters (so at most
// bufferSize - 1 come back) and cut it at its first NUL.
std::string readSetting(Form& form, const std::string& section, const std::string& key,
                        const std::string& def, int bufferSize);
void writeSetting(Form& form, const std::string& section, const std::string& key,
                  const std::string& value);

// The leading decimal number of the trimmed text; 0 when it does not start with one.
double numericValue(const std::string& text);
// Decimal text of a number without blanks: 1500 -> "1500", 12.5 -> "12.5".
std::string numberText(double value);

// Window position kept in a settings section (Top and Left, twips).
void loadPosition(Form& form, const std::string& section, const std::string& def, int bufferSize);
void savePosition(Form& form, const std::string& section);
// Places `form` 500 twips below and 700 twips right of `opener`'s top-left corner.
void placeOnTop(Form& form, const Form& opener);

// Last folder kept in a settings section ("Path"): Dir1 and Drive1 follow it on load.
void loadLastFolder(Form& form, const std::string& section, int bufferSize = 512);
void saveLastFolder(Form& form, const std::string& section);

// The multiple-selection hint message.
void showSelectionHint(Form& form);

}  // namespace zv
