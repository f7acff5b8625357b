// What the windows and the archiver libraries ask of the desktop: message boxes and questions,
// the progress of a run, the clipboard, opening files and programs, help, the mouse pointer.
// The Qt binding implements it; tests use ScriptedServices.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace zv {

enum class MsgButtons {
  OK = 0,
  OKCancel = 1,
  AbortRetryIgnore = 2,
  YesNoCancel = 3,
  YesNo = 4,
  RetryCancel = 5
};
enum class MsgIcon { None = 0, Stop = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class MsgAnswer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// Help viewer commands, as the windows issue them.
enum HelpCommand : int { kHelpContext = 1, kHelpQuit = 2, kHelpContents = 3, kHelpKeySearch = 261 };

class Form;

class Services {
 public:
  virtual ~Services() = default;

  virtual MsgAnswer messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                               const std::string& title) = 0;

  // Opens a file (program path) with its associated program; false when that failed.
  virtual bool shellOpen(const std::string& path) = 0;
  // The desktop's text editor on a file; the desktop's file manager on a folder.
  virtual bool startTextEditor(const std::string& path) = 0;
  virtual bool startFileManager(const std::string& folder) = 0;

  // The help viewer on the help file: a topic by context number, the contents, the keyword
  // search, or close it.
  virtual void help(const std::string& helpFile, int command, int data) = 0;

  virtual std::string clipboardText() = 0;
  virtual void setClipboardText(const std::string& text) = 0;
  // Files on the clipboard as file managers exchange them (program paths); empty when it
  // holds none. Setting them offers them to other programs to paste as a copy.
  virtual std::vector<std::string> clipboardFiles() = 0;
  virtual void setClipboardFiles(const std::vector<std::string>& paths) = 0;

  // Screen size in twips and twips per pixel.
  virtual double screenWidth() = 0;
  virtual double screenHeight() = 0;
  virtual double twipsPerPixelX() = 0;
  virtual double twipsPerPixelY() = 0;

  // Hourglass pointer on or off.
  virtual void setBusy(bool busy) = 0;
  // Moves the mouse pointer to a screen position in pixels.
  virtual void setCursorPos(int x, int y) = 0;
  virtual void beep() = 0;
  // Lets pending window events run (repaints during a long run).
  virtual void doEvents() = 0;
  // Asks the event loop to end (the registry has already dropped every window).
  virtual void quit() = 0;

  // Asks for a line of text; nothing when the user cancelled.
  virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                              const std::string& initial) = 0;
  // Asks for a line typed unseen (a password); nothing when the user cancelled.
  virtual std::optional<std::string> passwordBox(const std::string& prompt,
                                                 const std::string& title) = 0;
  // A question whose buttons carry the given captions; the index of the one pressed, or
  // `escapeButton` when the box was closed. `defaultButton` is the one Enter presses.
  virtual int choiceBox(const std::string& text, const std::string& title,
                        const std::vector<std::string>& buttons, int defaultButton,
                        int escapeButton) = 0;
  // One dialog of labelled text fields with OK and キャンセル: the values as the user left
  // them, in the fields' order, or nothing on キャンセル. `id` names a field for test scripts.
  struct Field {
    std::string label, value, id;
  };
  virtual std::optional<std::vector<std::string>> fieldsBox(const std::string& title,
                                                            const std::string& caption,
                                                            const std::vector<Field>& fields) = 0;

  // The progress dialog of a library run, with its cancel button. A `measured` run moves the
  // bar from 0 to 1000; otherwise it only shows that work goes on.
  virtual void showProgress(const std::string& title, const std::string& text, bool measured) = 0;
  // Moves it on; `text` replaces the line shown unless empty. True once the user cancelled.
  virtual bool stepProgress(const std::string& text, int perMille) = 0;
  virtual void hideProgress() = 0;
};

}  // namespace zv
