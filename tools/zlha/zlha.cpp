// zlha: runs one UNLHA32.DLL command from the shell. The arguments are joined into one
// command string (each quoted, so blanks survive) and the library's text output is printed;
// the exit status comes from the shared main (tools/common).
//
//   zlha a -d1 -n1 out.lzh 'C:\data\' 'proj\*.*'
//   zlha v out.lzh
//   zlha x -jb1 mac.lzh 'C:\out\'   (Macintosh members keep their MacBinary wrapping)
//   zlha v --charset=euc old.lzh      (names read as EUC-JP)
//   zlha x -jr broken.lzh out/         (what a damaged archive still holds)
#include "companion.h"

namespace zv::companion {
namespace {

// Switches and the command letter go as they are; every other argument is quoted.
bool quoted(int index, const std::string& a) { return index > 1 && (a.empty() || a[0] != '-'); }

int run(void* library, int argc, char** argv) {
  return runPrinting(symbol<TextCommand>(library, "Unlha"), joinArguments(argc, argv, quoted));
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
    "  --charset=文字コード  名前に文字コードの印がないメンバの名前の読み方:\n"
    "              auto (書庫の名前から判定、既定) sjis utf8 euc cp437 latin1\n"
    "              読めないバイトは %XX ('%' 自体は %25) で表し、展開もその名前で行う\n"
    "  -jr         x / e で、壊れた書庫から無事なメンバーだけを取り出す: 壊れたヘッダの後も\n"
    "              次の正しいヘッダから続け、CRC の合わないメンバーは書き出さず、既存の\n"
    "              ファイルは残す。失われたメンバーを最後に列挙し、そのときは 0 以外で終わる\n"
    "  -jr2        -jr に加えて、データの壊れたメンバー (CRC エラー、途中で切れたもの) も\n"
    "              デコードできた分だけ「名前 (破損).拡張子」の名前で書き出す (その名前が\n"
    "              あれば「名前 (破損 2).拡張子」…)。元の名前では決して書き出さない\n"
    "\n"
    "パスは Windows 形式 (C:\\data\\) でも Linux のパスでもかまいません。\n"
    "例: zlha a -d1 -n1 out.lzh 'C:\\data\\' 'proj\\*.*'    zlha v out.lzh\n"
    "    zlha t old.lzh    zlha x -jr broken.lzh 'C:\\rescued\\'\n";

}  // namespace

const Companion kCompanion{"UNLHA32.DLL", "ZV_UNLHA32", kHelp, 2, run};

}  // namespace zv::companion
