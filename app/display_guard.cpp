#include "app/display_guard.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace zv::app {

namespace {

QtMessageHandler previousHandler = nullptr;
bool starting = false;
std::vector<std::pair<QtMsgType, std::string>> held;

constexpr const char* kNoDisplay =
    "zorvex32: 画面 (X または Wayland のディスプレイ) に接続できません。"
    "画面のない環境では xvfb-run zorvex32 で起動してください。\n";

void handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (!starting) {
    if (previousHandler) previousHandler(type, context, text);
    return;
  }
  if (type == QtFatalMsg) {
    std::fputs(kNoDisplay, stderr);
    std::fflush(stderr);
    std::_Exit(1);
  }
  held.emplace_back(type, text.toStdString());
}

}  // namespace

void guardDisplayStart() {
  starting = true;
  previousHandler = qInstallMessageHandler(handler);
}

void displayReached() {
  starting = false;
  for (const auto& [type, text] : held) {
    QMessageLogContext context;
    if (previousHandler) previousHandler(type, context, QString::fromStdString(text));
  }
  held.clear();
}

}  // namespace zv::app
