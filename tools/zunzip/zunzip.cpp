// zunzip: runs one UNZIP32.DLL command from the shell. Switches go as they are, every other
// argument is quoted, and the library's text output is printed; the exit status comes from
// the shared main (tools/common). "--names ARCHIVE" lists the member names through the find
// functions, as the program's contents window does; "--charset=euc" before the archive
// reads names without a mark as EUC-JP (for listing, extraction and the name listing alike).
//
//   zunzip -x -n --i 'C:\in\a.zip' 'C:\out\' 'docs/readme.txt'
//   zunzip -v a.zip
//   zunzip -x --rescue broken.zip out/
#include <algorithm>
#include <cstdio>
#include <vector>

#include "companion.h"
#include "platform/name_encoding.h"

namespace zv::companion {
namespace {

bool quoted(int, const std::string& a) { return a.empty() || a[0] != '-'; }

int listNames(void* lib, const char* archive, encoding::NameEncoding names) {
  auto count = symbol<int (*)(const char*)>(lib, "UnZipGetFileCount");
  auto open = symbol<ZvArchive (*)(ZvWindow, const char*, uint32_t)>(lib, "UnZipOpenArchive");
  auto first = symbol<int (*)(ZvArchive, const char*, ZvMemberInfo*)>(lib, "UnZipFindFirst");
  auto next = symbol<int (*)(ZvArchive, ZvMemberInfo*)>(lib, "UnZipFindNext");
  auto close = symbol<int (*)(ZvArchive)>(lib, "UnZipCloseArchive");
  auto name = symbol<int (*)(ZvArchive, char*, uint32_t)>(lib, "UnZipGetFileName");
  int n = count(archive);
  if (n < 0) return ZV_ERROR_NOT_ARCHIVE;
  ZvArchive h = open(nullptr, archive, static_cast<uint32_t>(names));
  ZvMemberInfo info{};
  for (int i = 0; i < n; ++i)
    if ((i == 0 ? first(h, "*.*", &info) : next(h, &info)) == ZV_FIND_OK) {
      // The whole name: the record's field holds at most 512 bytes of it.
      std::vector<char> whole(std::max(name(h, nullptr, 0), 0) + 1);
      name(h, whole.data(), uint32_t(whole.size()));
      std::printf("%s\n", whole.data());
    }
  close(h);
  return 0;
}

int run(void* library, int argc, char** argv) {
  std::string charset = argc == 4 ? argv[2] : "";
  if (std::string(argv[1]) == "--names" &&
      (argc == 3 || (argc == 4 && charset.starts_with("--charset=")))) {
    auto names = encoding::encodingFromWord(charset.empty() ? "auto" : charset.substr(10));
    if (!names) {
      std::fprintf(stderr, "zunzip: 知らない文字コードです: %s\n", charset.c_str());
      return 2;
    }
    return listNames(library, argv[argc - 1], *names);
  }
  return runPrinting(symbol<TextCommand>(library, "UnZip"), joinArguments(argc, argv, quoted));
}

const char kHelp[] =
    "使い方: zunzip [スイッチ...] 書庫 [展開先\\] [メンバー...]\n"
    "        zunzip --names [--charset=文字コード] 書庫\n"
    "UNZIP32.DLL の UnZip に1つのコマンドを渡し、その出力を表示します。\n"
    "\n"
    "コマンド (スイッチで選ぶ。既定は展開):\n"
    "  -x  フォルダ付きで展開する      -e, -j  フォルダなしで展開する\n"
    "  -l  一覧 (簡易)                 -v  一覧 (詳細)\n"
    "  -t  書庫を検査する (メンバーごとに 正常 / CRC エラー / ヘッダ破損 / 途中で切れています)\n"
    "  --names  メンバー名を検索関数で一つずつ表示する (内容ウィンドウと同じ読み方)\n"
    "\n"
    "スイッチ:\n"
    "  -n  既存のファイルを残す        -o  既存のファイルを置き換える\n"
    "  -C, --i  メンバー名の大文字と小文字を区別しない\n"
    "  -d 展開先  展開先フォルダ (\\ や / で終わる引数でも指定できる)\n"
    "  -q  何もしない (互換のため受け付ける)\n"
    "  --charset=文字コード  UTF-8 の印がないメンバー名の読み方:\n"
    "      auto (書庫の名前から判定、既定) sjis utf8 euc cp437 latin1\n"
    "      読めないバイトは %XX ('%' 自体は %25) で表し、展開もその名前で行う\n"
    "  --rescue  壊れた書庫から無事なメンバーだけを取り出す: 中央ディレクトリが失われていれば\n"
    "            各メンバーのヘッダをたどり、CRC の合わないメンバーは書き出さない。失われた\n"
    "            メンバーを最後に列挙し、そのときは 0 以外で終わる\n"
    "  --keep-damaged  --rescue に加えて、データの壊れたメンバー (CRC エラー、途中で切れた\n"
    "            もの) もデコードできた分だけ「名前 (破損).拡張子」の名前で書き出す (その\n"
    "            名前があれば「名前 (破損 2).拡張子」…)。元の名前では決して書き出さない\n"
    "\n"
    "例: zunzip -x -n --i 'C:\\in\\a.zip' 'C:\\out\\' 'docs/readme.txt'    zunzip -v a.zip\n";

}  // namespace

const Companion kCompanion{"UNZIP32.DLL", "ZV_UNZIP32", kHelp, 1, run};

}  // namespace zv::companion
