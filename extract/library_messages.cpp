#include "extract/library_messages.h"

#include <initializer_list>


namespace zv::extract {

namespace {
// Where the libraries that come with this program can be fetched again.
constexpr const char* kLibraryPage = "https://zorvex32.example.org/dll/";

std::string linesWithCrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}
}  // namespace

std::string zipLibraryMissingText() {
  return linesWithCrLf({
      "★ UNZIP32.DLL が見つかりません ★",
      "",
      "ZIP ファイルを復元するのに必要なファイルです．",
      "以下の場所に登録されています．",
      "",
      "NIFTY SERVE  [ FWINNT LIB 11  WINDOWS NT service 《 Ｄ    Ｌ    Ｌ 》 ]",
      "LIB 2  プレリリース・β版ライブラリー Room Ｂ",
      "#296  GHE00322 99/02/11  122928   UNZP540 .EXE UNZIP32.DLL Ver 5.40",
      std::string("または，") + kLibraryPage,
      "",
      "UNZIP32.DLL を入手しましたら，<windows>下の<system>ディレクトリ(フォルダ)にコピーしてください．",
  });
}

std::string ishLibraryMissingText() {
  return linesWithCrLf({
      "★ ISH32.DLL が見つかりません ★",
      "",
      "ISH ファイルを復元するのに必要なファイルです．",
      "以下の場所に登録されています．",
      "",
      "NIFTY SERVE  [ FWINDB | Windows開発者フォーラムＢ ]",
      "LIB 2  プレリリース・β版ライブラリー Room Ｂ",
      "355  ISH32.DLL V0.36：ishファイルの作成／復元",
      std::string("または，") + kLibraryPage,
      "",
      "ISH32.DLL を入手しましたら，<windows>下の<system>ディレクトリ(フォルダ)にコピーしてください．",
  });
}

}  // namespace zv::extract
