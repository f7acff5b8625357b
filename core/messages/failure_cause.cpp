#include "core/messages/failure_cause.h"

#include "platform/runtime_error.h"
#include "zorvex/archiver_api.h"

namespace zv {

std::string failureCause(int runtimeError) {
  switch (runtimeError) {
    case kErrDiskFull:
      return "容量不足です（ディスクに空きがありません）";
    case kErrPermissionDenied:
      return "書き込み権限がありません（読み取り専用か，同じ名前のフォルダがあります）";
    case kErrFileNotFound:
      return "ファイルが見つかりません";
    case kErrPathNotFound:
      return "フォルダが見つかりません";
    case kErrDeviceUnavailable:
      return "ドライブの準備ができていません";
    case kErrFileExists:
      return "同じ名前のファイルが既にあります";
    case kErrBadFileName:
      return "ファイル名が正しくありません";
    case kErrOutOfMemory:
      return "メモリが不足しています";
    case kErrPathFileAccess:
      // A folder that is not empty, a name already taken by a folder, or one in use.
      return "ファイルまたはフォルダにアクセスできません（空でないフォルダか，同じ名前のフォルダが"
             "あるか，使用中です）";
    case kErrTrashUnavailable:
      return "ごみ箱に入れられません（ごみ箱を使えないか，書き込めません）";
    default:
      return "";
  }
}

std::string libraryFailureCause(int result) {
  switch (result) {
    case ZV_ERROR_DISK_SPACE:
      return failureCause(kErrDiskFull);
    case ZV_ERROR_READ_ONLY:
      return "書き込み権限がありません（読み取り専用のフォルダかファイルです）";
    case ZV_ERROR_MEMORY:
      return failureCause(kErrOutOfMemory);
    case ZV_ERROR_CANNOT_CREATE:
      return "ファイルを作成できません";
    case ZV_ERROR_WRITE:
      return "ファイルへの書き込みに失敗しました";
    case ZV_ERROR_CANNOT_OPEN:
      return "ファイルを開けません";
    case ZV_ERROR_NOT_ARCHIVE:
    case ZV_ERROR_UNKNOWN_TYPE:
      return "書庫ファイルではないか，対応していない形式です";
    case ZV_ERROR_CRC:
      return "データが壊れています（CRC が一致しません）";
    case ZV_ERROR_BROKEN_ARCHIVE:
      return "書庫ファイルが壊れています";
    case ZV_ERROR_METHOD:
      return "対応していない圧縮方式です";
    case ZV_ERROR_PASSWORD:
      // The library gives up after a cancelled question as after wrong passwords.
      return "暗号化されています（パスワードが違うか，入力されませんでした）";
    case ZV_ERROR_UNSAFE_NAME:
      return "解凍先フォルダの外を指す名前があります";
    case ZV_ERROR_NO_FILES:
      return "対象のファイルが見つかりません";
    case ZV_ERROR_USER_CANCEL:
      return "中止されました";
    case ZV_ERROR_WARNING:
    case ZV_ERROR_USER_SKIP:
      return "処理されなかったファイルがあります";
    default:
      return "";
  }
}

std::string memberCause(const std::string& name, const std::string& cause) {
  return cause.empty() || name.empty() ? cause : name + "： " + cause;
}

std::string withCause(const std::string& text, const std::string& cause) {
  return cause.empty() ? text : text + "\r\n原因： " + cause;
}

std::string withLibraryReport(const std::string& text, std::string report) {
  while (!report.empty() && (report.back() == '\n' || report.back() == '\r')) report.pop_back();
  return report.empty() ? text : text + "\r\n\r\n" + report;
}

}  // namespace zv
