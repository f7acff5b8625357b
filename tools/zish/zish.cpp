// zish: runs one ISH32.DLL command from the shell. The arguments are joined with blanks and
// passed as the program passes its ISH commands (a path quoted only where the library could
// misread it; a Linux path in the program's form); the library's text output is printed. "--check
// FILE" asks IshCheckArchive. The exit status comes from the shared main (tools/common).
//
//   zish 'C:\src\memo.txt' /ss /ya 'C:\out\memo.ish' '/f=C:\out'
//   zish 'C:\in\a.ish' /r '/f=C:\out'
#include <cctype>
#include <cstdio>

#include "companion.h"
#include "platform/command_words.h"
#include "platform/drives.h"

namespace zv::companion {
namespace {

// A switch word: '/' and at most two letters or digits ("/ss", "/r", "/s7").
bool isSwitch(const std::string& a) {
  if (a.size() < 2 || a.size() > 3 || a[0] != '/') return false;
  for (size_t i = 1; i < a.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(a[i]))) return false;
  return true;
}

// One argument as the library gets it: a Linux path ("/home/me/out", also after "/f=") goes in
// the program's form through the drive table, as the windows and the other companions take
// it, so the library joins names to it with its own separator. A path the user quoted already
// goes as typed.
std::string path(const std::string& p) {
  if (!p.empty() && p.front() == '"') return p;
  return command_words::switchLinePath(typedPath(p));
}

std::string argument(const std::string& a) {
  if (a.size() > 3 && a[0] == '/' && (a[1] == 'f' || a[1] == 'F') && a[2] == '=')
    return a.substr(0, 3) + path(a.substr(3));
  return isSwitch(a) ? a : path(a);
}

int run(void* library, int argc, char** argv) {
  if (std::string(argv[1]) == "--check" && argc == 3) {
    int ok = symbol<int (*)(const char*, int)>(library, "IshCheckArchive")(argv[2], 1);
    std::printf("%s\n", ok ? "valid" : "invalid");
    return ok ? 0 : 1;
  }
  std::string line;
  for (int i = 1; i < argc; ++i) line += (i > 1 ? " " : "") + argument(argv[i]);
  int result = symbol<int (*)(ZvWindow, const char*)>(library, "Ish")(nullptr, line.c_str());
  std::fputs(symbol<const char* (*)()>(library, "IshGetLastOutput")(), stdout);
  return result;
}

const char kHelp[] =
    "使い方: zish 元ファイル /s7|/s8|/ss|/sn [/ya] [ISHファイル] /f=フォルダ\n"
    "        zish ISHファイル [/r|/a|/q] /f=フォルダ\n"
    "        zish --check ISHファイル\n"
    "ISH32.DLL の Ish に1つのコマンドを渡し、その出力を表示します。\n"
    "引数は空白でつないだまま渡すので、パスに空白があってもかまいません。\n"
    "\n"
    "作成 (コード型のスイッチがあるとき):\n"
    "  /s7  JIS7   /s8  JIS8   /ss  シフトJIS   /sn  非漢字シフトJIS\n"
    "  /ya  既存の ISH ファイルを置き換える\n"
    "復元 (コード型のスイッチがないとき):\n"
    "  /r  ないファイルと古いファイルだけ復元 (既定)   /a  すべて復元   /q  1つずつ確認\n"
    "共通:\n"
    "  /f=フォルダ  出力先 (行の最後まで、空白も含む)\n"
    "  --check      ISH ファイルとして正しいか調べる (IshCheckArchive)\n"
    "\n"
    "例: zish 'C:\\src\\memo.txt' /ss /ya 'C:\\out\\memo.ish' '/f=C:\\out'\n";

}  // namespace

const Companion kCompanion{"ISH32.DLL", "ZV_ISH32", kHelp, 1, run};

}  // namespace zv::companion
