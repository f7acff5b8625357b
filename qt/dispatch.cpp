#include "qt/dispatch.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <new>

#include "core/forms/registry.h"
#include "platform/runtime_error.h"

namespace zv::qt {

namespace {

const char* meaning(int number) {
  switch (number) {
    case 5:
      return "プロシージャの呼び出し、または引数が不正です。";
    case 7:
      return "メモリが不足しています。";
    case 52:
      return "ファイル名または番号が不正です。";
    case 53:
      return "ファイルが見つかりません。";
    case 58:
      return "既に同名のファイルが存在しています。";
    case 61:
      return "ディスクの空き容量が不足しています。";
    case 62:
      return "ファイルにこれ以上データがありません。";
    case 68:
      return "デバイスが準備されていません。";
    case 70:
      return "書き込みできません。";
    case 75:
      return "パス名が無効です。";
    case 76:
      return "パスが見つかりません。";
    case 381:
      return "プロパティの配列のインデックスが不正です。";
    case 481:
      return "ピクチャが不正です。";
    default:
      return "アプリケーション定義またはオブジェクト定義のエラーです。";
  }
}

void showError(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Zorvex 32+"), QString::fromStdString(text),
                  QMessageBox::Ok);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  box.exec();
}

}  // namespace

std::string runtimeErrorText(int number, const std::string& detail) {
  std::string text = "実行時エラー '" + std::to_string(number) + "':\n" + meaning(number);
  if (!detail.empty()) text += "\n\n" + detail;
  return text;
}

void Dispatcher::run(const std::function<void()>& action) {
  ++depth_;
  try {
    action();
  } catch (const RuntimeError& e) {
    showError(runtimeErrorText(e.number(), e.what()));
  } catch (const std::bad_alloc&) {
    showError(runtimeErrorText(kErrOutOfMemory, ""));
  } catch (const std::exception& e) {
    showError("処理を続けられないエラーが発生しました。\n\n" + std::string(e.what()));
  }
  --depth_;
  // A window may unload itself in its own handler; it is destroyed only when no handler of
  // any window is still running.
  if (depth_ == 0) forms_.collect();
}

}  // namespace zv::qt
