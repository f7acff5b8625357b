// The desktop services of the windows, done with Qt: message boxes with Japanese buttons,
// the clipboard, starting programs, the help viewer, the pointer and the event loop.
#pragma once
#include <QPointer>
#include <memory>

#include "core/services/services.h"

namespace zv::qt {

class HelpViewer;

class QtServices : public Services {
 public:
  QtServices();
  ~QtServices() override;

  MsgAnswer messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                       const std::string& title) override;
  bool shellOpen(const std::string& path) override;
  bool startTextEditor(const std::string& path) override;
  bool startFileManager(const std::string& folder) override;
  void help(const std::string& helpFile, int command, int data) override;
  std::string clipboardText() override;
  std::vector<std::string> clipboardFiles() override;
  void setClipboardFiles(const std::vector<std::string>& paths) override;
  void setClipboardText(const std::string& text) override;
  double screenWidth() override;
  double screenHeight() override;
  double twipsPerPixelX() override;
  double twipsPerPixelY() override;
  void setBusy(bool busy) override;
  void setCursorPos(int x, int y) override;
  void beep() override;
  void doEvents() override;
  void quit() override;
  std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& initial) override;

  // The help viewer window, when one is open.
  HelpViewer* helpViewer() const;
  bool quitRequested() const { return quitRequested_; }

 private:
  QPointer<HelpViewer> help_;
  bool busy_ = false;
  bool quitRequested_ = false;
};

// The Japanese label of a message box answer ("はい", "いいえ", "キャンセル", "OK", ...).
const char* answerLabel(MsgAnswer answer);

}  // namespace zv::qt
