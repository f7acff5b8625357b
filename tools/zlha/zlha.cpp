// zlha: runs one UNLHA32.DLL command from the shell. The arguments are joined into one
// command string (each quoted, so blanks survive), the library's text output is printed, and
// the exit status tells the result: 0 success, otherwise the low byte of the error number
// (1 when that byte is 0); the full number is printed on standard error.
//
//   zlha a -d1 -n1 out.lzh 'C:\data\' 'proj\*.*'
//   zlha v out.lzh
//   zlha x -jb1 mac.lzh 'C:\out\'   (Macintosh members keep their MacBinary wrapping)
//   zlha x -jr broken.lzh out/         (what a damaged archive still holds)
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/folders.h"
#include "zorvex/archiver_api.h"

namespace {

using UnlhaFn = int (*)(ZvWindow, const char*, char*, uint32_t);

std::string libraryPath() {
  if (const char* env = std::getenv("ZV_UNLHA32")) return env;
  return zv::hostPath(zv::folders::systemFolder()) + "/UNLHA32.DLL";
}

// Switches and the command letter go as they are; every other argument is quoted.
std::string commandString(int argc, char** argv) {
  std::string cmd;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool plain = i == 1 || (!a.empty() && a[0] == '-');
    if (!cmd.empty()) cmd += ' ';
    cmd += plain ? a : "\"" + a + "\"";
  }
  return cmd;
}

const char kHelp[] =
    "使い方: zlha コマンド [スイッチ...] 書庫 [パス...]\n"
    "UNLHA32.DLL の Unlha に1つのコマンドを渡し、その出力を表示します。\n"
    "\n"
    "コマンド:\n"
    "  a  ファイルを書庫に加える        u  新しいファイルだけ加える\n"
    "  m  加えた元のファイルを消す      d  書庫から消す\n"
    "  x  フォルダ付きで展開する        e  フォルダなしで展開する\n"
    "  t  書庫を検査する (メンバーごとに 正常 / CRC エラー / ヘッダ破損 / 途中で切れています)\n"
    "  l  一覧 (簡易)\n"
    "  v  一覧 (詳細)                   s  自己解凍書庫を作る\n"
    "\n"
    "スイッチ:\n"
    "  -n1 / -n0   進行表示なし / あり          -d1 / -d0  フォルダ情報を格納する / しない\n"
    "  -r / -r0    下のフォルダも探す / 探さない\n"
    "  -o5 -o6 -o7 圧縮方式 lh5 / lh6 / lh7      -z (-o0)  無圧縮で格納する\n"
    "  -h0 -h1 -h2 ヘッダのレベル               -jw3 -jw4 自己解凍書庫の設定 (任意 / 既定)\n"
    "  -jyo        既存のファイルを確認せず置き換える\n"
    "  -9          圧縮率優先 (最小の書庫、圧縮に時間がかかる)\n"
    "  -jb1        Macintosh の書庫メンバを MacBinary のまま取り出す\n"
    "  -jr         x / e で、壊れた書庫から無事なメンバーだけを取り出す: 壊れたヘッダの後も\n"
    "              次の正しいヘッダから続け、CRC の合わないメンバーは書き出さず、既存の\n"
    "              ファイルは残す。失われたメンバーを最後に列挙し、そのときは 0 以外で終わる\n"
    "\n"
    "パスは Windows 形式 (C:\\data\\) でも Linux のパスでもかまいません。\n"
    "ライブラリの場所は環境変数 ZV_UNLHA32 で変えられます。\n"
    "終了コード: 0 成功、それ以外はエラー番号の下位バイト (0 のときは 1)。\n"
    "例: zlha a -d1 -n1 out.lzh 'C:\\data\\' 'proj\\*.*'    zlha v out.lzh\n"
    "    zlha t old.lzh    zlha x -jr broken.lzh 'C:\\rescued\\'\n";

bool wantsHelp(int argc, char** argv) {
  return argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-?");
}

}  // namespace

int main(int argc, char** argv) {
  if (wantsHelp(argc, argv)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc < 3) {
    std::fputs(kHelp, stderr);
    return 2;
  }
  std::string lib = libraryPath();
  void* h = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    std::fprintf(stderr, "UNLHA32.DLL が見つかりません: %s\n", dlerror());
    return 2;
  }
  auto unlha = reinterpret_cast<UnlhaFn>(dlsym(h, "Unlha"));
  if (!unlha) {
    std::fprintf(stderr, "UNLHA32.DLL に Unlha がありません\n");
    return 2;
  }
  // Left uninitialised: only the pages the output fills are ever touched, so a short listing
  // does not cost 64 MB of memory.
  constexpr uint32_t kOutputSize = 64u << 20;
  std::unique_ptr<char[]> out(new char[kOutputSize]);
  out[0] = '\0';
  int rc = unlha(nullptr, commandString(argc, argv).c_str(), out.get(), kOutputSize);
  std::fputs(out.get(), stdout);
  if (rc != 0) {
    std::fprintf(stderr, "結果: 0x%04X\n", rc);
    return (rc & 0xFF) ? (rc & 0xFF) : 1;
  }
  return 0;
}
