#include "extract/library_messages.h"

#include <initializer_list>

#include "platform/drives.h"
#include "platform/winpath.h"

namespace zv::extract {

namespace {

std::string linesWithCrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}
}  // namespace

std::string zipLibraryMissingText(const std::string& page) {
  return linesWithCrLf({
      "★ UNZIP32.DLL が見つかりません ★",
      "",
      "ZIP ファイルを復元するのに必要なファイルです．",
      "以下の場所に登録されています．",
      "",
      "NIFTY SERVE  [ FWINNT LIB 11  WINDOWS NT service 《 Ｄ    Ｌ    Ｌ 》 ]",
      "LIB 2  プレリリース・β版ライブラリー Room Ｂ",
      "#296  GHE00322 99/02/11  122928   UNZP540 .EXE UNZIP32.DLL Ver 5.40",
      "または，" + page,
      "",
      "UNZIP32.DLL "
      "を入手しましたら，<windows>下の<system>ディレクトリ(フォルダ)にコピーしてください．",
  });
}

std::string ishLibraryMissingText(const std::string& page) {
  return linesWithCrLf({
      "★ ISH32.DLL が見つかりません ★",
      "",
      "ISH ファイルを復元するのに必要なファイルです．",
      "以下の場所に登録されています．",
      "",
      "NIFTY SERVE  [ FWINDB | Windows開発者フォーラムＢ ]",
      "LIB 2  プレリリース・β版ライブラリー Room Ｂ",
      "355  ISH32.DLL V0.36：ishファイルの作成／復元",
      "または，" + page,
      "",
      "ISH32.DLL "
      "を入手しましたら，<windows>下の<system>ディレクトリ(フォルダ)にコピーしてください．",
  });
}

std::string libraryHelpPage(const std::string& programFolder) {
  // The help page on the archiver libraries, which come with the program.
  return "file://" + hostPath(winpath::join(programFolder, "ZORVEX.HLP\\libraries.html"));
}

}  // namespace zv::extract
