// Test double of the services: records every call and answers message boxes from a queue.
#pragma once
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/services/services.h"
#include "core/services/skipped_errors.h"
#include "platform/runtime_error.h"  // the numbers a test expects

namespace zv {

struct MessageRecord {
  std::string text;
  MsgButtons buttons;
  MsgIcon icon;
  std::string title;
};

class ScriptedServices : public Services {
 public:
  // While it lives, a runtime error that a step would skip fails the running test (the error
  // escapes the handler) unless the test expects it here.
  ScriptedServices();
  ~ScriptedServices() override;
  ScriptedServices(const ScriptedServices&) = delete;
  ScriptedServices& operator=(const ScriptedServices&) = delete;

  // Runtime error numbers the test provokes on purpose; or any number at all.
  std::set<int> expectedErrors;
  bool expectAnyRuntimeError = false;
  // Every runtime error a step skipped, in order.
  std::vector<int> skippedErrors;

  // Answers for the coming message boxes, in order. With the queue empty a message box
  // answers OK (or Yes for yes/no questions) and is still recorded.
  std::deque<MsgAnswer> answers;
  // Optional hook run when a message box appears, before the answer is taken.
  std::function<void(const MessageRecord&)> onMessage;
  // Answers for the coming input and password boxes; an empty queue gives the initial text
  // to an input box and a cancel to a password box.
  std::deque<std::optional<std::string>> inputAnswers;
  // Button indexes for the coming choice boxes (the default button when empty), and values
  // for the coming field dialogs (OK with the values given when empty).
  std::deque<int> choiceAnswers;
  std::deque<std::optional<std::vector<std::string>>> fieldAnswers;
  // The fields of every field dialog shown, and whether the progress dialog's cancel is pressed.
  std::vector<std::vector<Field>> fieldDialogs;
  bool cancelProgress = false;

  std::vector<MessageRecord> messages;
  // "open <path>", "editor <path>", "files <folder>", "help <file> <cmd> <data>", "busy 1",
  // "cursor x y", "beep", "doevents", "quit", "input <prompt>", "password <prompt>",
  // "choice <text>", "fields <title>", "progress <text>", "step <text> <per mille>",
  // "progress end" in call order.
  std::vector<std::string> calls;
  std::string clipboard;
  std::vector<std::string> clipboardPaths;  // files on the clipboard
  bool shellResult = true;
  double screenW = 1024 * 15, screenH = 768 * 15;
  int doEventsCount = 0;

  MsgAnswer messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                       const std::string& title) override;
  bool shellOpen(const std::string& path) override;
  bool startTextEditor(const std::string& path) override;
  bool startFileManager(const std::string& folder) override;
  void help(const std::string& helpFile, int command, int data) override;
  std::string clipboardText() override { return clipboard; }
  void setClipboardText(const std::string& text) override { clipboard = text; }
  std::vector<std::string> clipboardFiles() override { return clipboardPaths; }
  void setClipboardFiles(const std::vector<std::string>& paths) override { clipboardPaths = paths; }
  double screenWidth() override { return screenW; }
  double screenHeight() override { return screenH; }
  double twipsPerPixelX() override { return 15; }
  double twipsPerPixelY() override { return 15; }
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

  // True when some recorded call starts with the prefix.
  bool called(const std::string& prefix) const;
  const MessageRecord* lastMessage() const { return messages.empty() ? nullptr : &messages.back(); }

 private:
  SkippedErrorListener previousListener_;
};

}  // namespace zv
