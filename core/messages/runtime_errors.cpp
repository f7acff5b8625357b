#include "core/messages/runtime_errors.h"

#include "platform/runtime_error.h"

namespace zv {

const char* const kRuntimeErrorTitle = "Zorvex 32+";

const char* runtimeErrorMeaning(int number) {
  switch (number) {
    case kErrInvalidCall:
      return "プロシージャの呼び出し、または引数が不正です。";
    case kErrOutOfMemory:
      return "メモリが不足しています。";
    case kErrBadFileName:
      return "ファイル名または番号が不正です。";
    case kErrFileNotFound:
      return "ファイルが見つかりません。";
    case kErrFileExists:
      return "既に同名のファイルが存在しています。";
    case kErrDiskFull:
      return "ディスクの空き容量が不足しています。";
    case kErrPastEndOfFile:
      return "ファイルにこれ以上データがありません。";
    case kErrDeviceUnavailable:
      return "デバイスが準備されていません。";
    case kErrPermissionDenied:
      return "書き込みできません。";
    case kErrPathFileAccess:
      return "パス名が無効です。";
    case kErrPathNotFound:
      return "パスが見つかりません。";
    case kErrBadPropertyIndex:
      return "プロパティの配列のインデックスが不正です。";
    case kErrBadPicture:
      return "ピクチャが不正です。";
    default:
      return "アプリケーション定義またはオブジェクト定義のエラーです。";
  }
}

std::string runtimeErrorText(int number, const std::string& detail) {
  std::string text =
      "実行時エラー '" + std::to_string(number) + "':\n" + runtimeErrorMeaning(number);
  if (!detail.empty()) text += "\n\n" + detail;
  return text;
}

std::string unexpectedErrorText(const std::string& what) {
  return "処理を続けられないエラーが発生しました。\n\n" + what;
}

}  // namespace zv
