// The desktop services of the windows, done with Qt: message boxes with Japanese buttons, the
// dialogs of library runs, the clipboard, starting programs, the help viewer, the pointer and
// the event loop.
#pragma once
#include <QPointer>
#include <QProgressDialog>
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
  std::optional<std::string> passwordBox(const std::string& prompt,
                                         const std::string& title) override;
  int choiceBox(const std::string& text, const std::string& title,
                const std::vector<std::string>& buttons, int defaultButton,
                int escapeButton) override;
  std::optional<std::vector<std::string>> fieldsBox(const std::string& title,
                                                    const std::string& caption,
                                                    const std::vector<Field>& fields) override;
  void showProgress(const std::string& title, const std::string& text, bool measured) override;
  bool stepProgress(const std::string& text, int perMille) override;
  void hideProgress() override;

  // The progress dialog of library runs, once one has run.
  QProgressDialog* progressDialog() const { return progress_.data(); }

  // The help viewer window, when one is open.
  HelpViewer* helpViewer() const;
  bool quitRequested() const { return quitRequested_; }

 private:
  QPointer<HelpViewer> help_;
  QPointer<QProgressDialog> progress_;
  bool busy_ = false;
  bool quitRequested_ = false;
};

// The Japanese label of a message box answer ("はい", "いいえ", "キャンセル", "OK", ...).
const char* answerLabel(MsgAnswer answer);

}  // namespace zv::qt
