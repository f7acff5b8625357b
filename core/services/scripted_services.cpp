#include "core/services/scripted_services.h"

namespace zv {

ScriptedServices::ScriptedServices() : previousListener_(skippedErrorListener()) {
  skippedErrorListener() = [this](int number, const std::string&) {
    if (!expectAnyRuntimeError && !expectedErrors.count(number)) return false;
    skippedErrors.push_back(number);
    return true;
  };
}

ScriptedServices::~ScriptedServices() { skippedErrorListener() = std::move(previousListener_); }

MsgAnswer ScriptedServices::messageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                       const std::string& title) {
  messages.push_back({text, buttons, icon, title});
  calls.push_back("message " + title);
  if (onMessage) onMessage(messages.back());
  if (!answers.empty()) {
    MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
      return MsgAnswer::Yes;
    case MsgButtons::RetryCancel:
      return MsgAnswer::Retry;
    case MsgButtons::AbortRetryIgnore:
      return MsgAnswer::Abort;
    default:
      return MsgAnswer::OK;
  }
}

bool ScriptedServices::shellOpen(const std::string& path) {
  calls.push_back("open " + path);
  return shellResult;
}
bool ScriptedServices::startTextEditor(const std::string& path) {
  calls.push_back("editor " + path);
  return shellResult;
}
bool ScriptedServices::startFileManager(const std::string& folder) {
  calls.push_back("files " + folder);
  return shellResult;
}
void ScriptedServices::help(const std::string& helpFile, int command, int data) {
  calls.push_back("help " + helpFile + " " + std::to_string(command) + " " + std::to_string(data));
}
void ScriptedServices::setBusy(bool busy) { calls.push_back(busy ? "busy 1" : "busy 0"); }
void ScriptedServices::setCursorPos(int x, int y) {
  calls.push_back("cursor " + std::to_string(x) + " " + std::to_string(y));
}
void ScriptedServices::beep() { calls.push_back("beep"); }
void ScriptedServices::doEvents() { ++doEventsCount; }
void ScriptedServices::quit() { calls.push_back("quit"); }
std::optional<std::string> ScriptedServices::inputBox(const std::string& prompt,
                                                      const std::string& title,
                                                      const std::string& initial) {
  calls.push_back("input " + prompt);
  if (inputAnswers.empty()) return initial;
  auto a = inputAnswers.front();
  inputAnswers.pop_front();
  return a;
}

std::optional<std::string> ScriptedServices::passwordBox(const std::string& prompt,
                                                         const std::string&) {
  calls.push_back("password " + prompt);
  if (inputAnswers.empty()) return std::nullopt;
  auto a = inputAnswers.front();
  inputAnswers.pop_front();
  return a;
}
int ScriptedServices::choiceBox(const std::string& text, const std::string&,
                                const std::vector<std::string>&, int defaultButton, int) {
  calls.push_back("choice " + text);
  if (choiceAnswers.empty()) return defaultButton;
  int a = choiceAnswers.front();
  choiceAnswers.pop_front();
  return a;
}
std::optional<std::vector<std::string>> ScriptedServices::fieldsBox(
    const std::string& title, const std::string&, const std::vector<Field>& fields) {
  calls.push_back("fields " + title);
  fieldDialogs.push_back(fields);
  if (!fieldAnswers.empty()) {
    auto a = fieldAnswers.front();
    fieldAnswers.pop_front();
    return a;
  }
  std::vector<std::string> values;
  for (const Field& f : fields) values.push_back(f.value);
  return values;
}
void ScriptedServices::showProgress(const std::string&, const std::string& text, bool) {
  calls.push_back("progress " + text);
}
bool ScriptedServices::stepProgress(const std::string& text, int perMille) {
  calls.push_back("step " + text + " " + std::to_string(perMille));
  return cancelProgress;
}
void ScriptedServices::hideProgress() { calls.push_back("progress end"); }

bool ScriptedServices::called(const std::string& prefix) const {
  for (const auto& c : calls)
    if (c.rfind(prefix, 0) == 0) return true;
  return false;
}

}  // namespace zv
