// zunzip: runs one UNZIP32.DLL command from the shell. Switches go as they are, every other
// argument is quoted, the library's text output is printed, and the exit status is 0 on
// success, otherwise the low byte of the error number (1 when that byte is 0); the full
// number is printed on standard error. "--names ARCHIVE" lists the member names through the
// find functions, as the program's contents window does.
//
//   zunzip -x -n --i 'C:\in\a.zip' 'C:\out\' 'docs/readme.txt'
//   zunzip -v a.zip
//   zunzip -x --rescue broken.zip out/
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/folders.h"
#include "zorvex/archiver_api.h"

namespace {

std::string libraryPath() {
  if (const char* env = std::getenv("ZV_UNZIP32")) return env;
  return zv::hostPath(zv::folders::systemFolder()) + "/UNZIP32.DLL";
}

template <class Fn>
Fn symbol(void* lib, const char* name) {
  void* p = dlsym(lib, name);
  if (!p) {
    std::fprintf(stderr, "zunzip: %s missing in the library\n", name);
    std::exit(2);
  }
  return reinterpret_cast<Fn>(p);
}

int exitStatus(int r) {
  if (r != 0) std::fprintf(stderr, "zunzip: error 0x%04X\n", unsigned(r));
  return r == 0 ? 0 : ((r & 0xFF) ? (r & 0xFF) : 1);
}

const char kHelp[] =
    "使い方: zunzip [スイッチ...] 書庫 [展開先\\] [メンバー...]\n"
    "        zunzip --names 書庫\n"
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
    "  --rescue  壊れた書庫から無事なメンバーだけを取り出す: 中央ディレクトリが失われていれば\n"
    "            各メンバーのヘッダをたどり、CRC の合わないメンバーは書き出さない。失われた\n"
    "            メンバーを最後に列挙し、そのときは 0 以外で終わる\n"
    "\n"
    "ライブラリの場所は環境変数 ZV_UNZIP32 で変えられます。\n"
    "終了コード: 0 成功、それ以外はエラー番号の下位バイト (0 のときは 1)。\n"
    "例: zunzip -x -n --i 'C:\\in\\a.zip' 'C:\\out\\' 'docs/readme.txt'    zunzip -v a.zip\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-?")) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc < 2) {
    std::fputs(kHelp, stderr);
    return 2;
  }
  void* lib = dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    std::fprintf(stderr, "zunzip: %s\n", dlerror());
    return 2;
  }
  if (std::string(argv[1]) == "--names" && argc == 3) {
    auto count = symbol<int (*)(const char*)>(lib, "UnZipGetFileCount");
    auto open = symbol<ZvArchive (*)(ZvWindow, const char*, uint32_t)>(lib, "UnZipOpenArchive");
    auto first = symbol<int (*)(ZvArchive, const char*, ZvMemberInfo*)>(lib, "UnZipFindFirst");
    auto next = symbol<int (*)(ZvArchive, ZvMemberInfo*)>(lib, "UnZipFindNext");
    auto close = symbol<int (*)(ZvArchive)>(lib, "UnZipCloseArchive");
    int n = count(argv[2]);
    if (n < 0) return exitStatus(ZV_ERROR_NOT_ARCHIVE);
    ZvArchive h = open(nullptr, argv[2], 0);
    ZvMemberInfo info{};
    for (int i = 0; i < n; ++i)
      if ((i == 0 ? first(h, "*.*", &info) : next(h, &info)) == ZV_FIND_OK)
        std::printf("%s\n", info.name);
    close(h);
    return 0;
  }
  std::string cmd;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (!cmd.empty()) cmd += ' ';
    cmd += !a.empty() && a[0] == '-' ? a : "\"" + a + "\"";
  }
  auto unzip = symbol<int (*)(ZvWindow, const char*, char*, uint32_t)>(lib, "UnZip");
  std::vector<char> out(1 << 20, ' ');
  int r = unzip(nullptr, cmd.c_str(), out.data(), uint32_t(out.size()));
  std::fputs(out.data(), stdout);
  return exitStatus(r);
}
