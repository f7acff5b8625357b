#include "core/startup/messages.h"

namespace zv {

namespace {
const char* const kCrLf = "\r\n";
}  // namespace

std::string libraryMissingMessage(const std::string& systemFolder) {
  const std::string lines[] = {
      "★ UNLHA32.DLL がインストールされていません ★",
      "",
      "「Zorvex 32」のＬＨＡ圧縮・解凍機能はこのＤＬＬの機能によるものです．",
      "別途入手して " + systemFolder + " フォルダ（ディレクトリ）へコピーしてください．",
      "",
      "NIFTY-Serve FWINNT Lib11 WINDOWS NT service 《 Ｄ    Ｌ    Ｌ 》 に登録されています．",
      "不具合が生じる場合がありますので，できる限り最新版を入手してください．",
      "",
      "プログラムを終了します．",
  };
  std::string text;
  for (size_t i = 0; i < std::size(lines); ++i) {
    if (i) text += kCrLf;
    text += lines[i];
  }
  return text;
}

std::string versionText(int version) {
  // Shortest decimal form of version / 100, a blank in front of a non-negative number.
  std::string text = version < 0 ? "-" : " ";
  int magnitude = version < 0 ? -version : version;
  text += std::to_string(magnitude / 100);
  int hundredths = magnitude % 100;
  if (hundredths) {
    text += '.';
    text += static_cast<char>('0' + hundredths / 10);
    if (hundredths % 10) text += static_cast<char>('0' + hundredths % 10);
  }
  return text;
}

std::string oldVersionMessage(int version) {
  const std::string lines[] = {
      "あなたのコンピューターにインストールされている UNLHA32.DLL のバージョンは " +
          versionText(version) + " です",
      "",
      "",
      "「Zorvex 32 」当バージョン，リリース時点における　UNLHA32.DLL　のバージョンは　1.30 です．",
      "不具合が生じる場合がありますので，できる限り最新バージョンの　UNLHA32."
      "DLL　をお使いください．",
      "NIFTY-Serve FWINNT Lib11 WINDOWS NT service 《 Ｄ    Ｌ    Ｌ 》 に登録されています．",
      "",
      "",
      "このメッセージを次回から表示しないようにするには，-Menu- の ｢Option｣で設定します．",
  };
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += kCrLf;
  }
  return text;
}

}  // namespace zv
