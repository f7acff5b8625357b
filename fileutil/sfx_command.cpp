#include "fileutil/sfx_command.h"

#include <cctype>
#include <cstdlib>

#include "platform/winpath.h"

namespace zv {

bool isLzhName(const std::string& name) {
  if (name.size() < 3) return false;
  std::string tail = name.substr(name.size() - 3);
  for (auto& ch : tail) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return tail == "LZH";
}

std::string sfxCommand(const std::string& archive, const std::string& sfxFolder,
                       const YesNo& customize) {
  std::string command = customize.yes() ? "s -jw3 -jyo " : "s -jw4 -jyo ";
  return command + winpath::quote(archive) + " " + winpath::quote(sfxFolder + "\\");
}

std::string libraryVersionMessage(int v) {
  const std::string crlf = "\r\n";
  return crlf + "あなたのコンピューターにインストールされている UNLHA32.DLL のバージョンは " +
         versionText(v) + " です" + crlf + crlf + crlf +
         "「Zorvex 32 」当バージョン，リリース時点における　UNLHA32.DLL　のバージョンは　1.30 "
         "です．" +
         crlf +
         "不具合が生じる場合がありますので，できる限り最新バージョンの　UNLHA32."
         "DLL　をお使いください．" +
         crlf + crlf +
         "NIFTY-Serve FWINNT Lib11 WINDOWS NT service 《 Ｄ    Ｌ    Ｌ 》 に登録されています．" +
         crlf;
}

}  // namespace zv
