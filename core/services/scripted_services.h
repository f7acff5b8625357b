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
  std::deque<std::optional<std::string>> inputAnswers;

  std::vector<MessageRecord> messages;
  // "open <path>", "editor <path>", "files <folder>", "help <file> <cmd> <data>", "busy 1",
  // "cursor x y", "beep", "doevents", "quit", "input <prompt>" in call order.
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

  // True when some recorded call starts with the prefix.
  bool called(const std::string& prefix) const;
  const MessageRecord* lastMessage() const { return messages.empty() ? nullptr : &messages.back(); }

 private:
  SkippedErrorListener previousListener_;
};

}  // namespace zv
