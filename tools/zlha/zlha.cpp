// zlha: runs one UNLHA32.DLL command from the shell. The arguments are joined into one
// command string (each quoted, so blanks survive), the library's text output is printed, and
// the exit status tells the result: 0 success, otherwise the low byte of the error number
// (1 when that byte is 0); the full number is printed on standard error.
//
//   zlha a -d1 -n1 out.lzh 'C:\data\' 'proj\*.*'
//   zlha v out.lzh
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
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

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--help") {
    std::printf("使い方: zlha コマンド [スイッチ] 書庫 [パス...]\n"
                "  -9  圧縮率優先 (最小の書庫、圧縮に時間がかかる)\n");
    return 0;
  }
  if (argc < 3) {
    std::fprintf(stderr, "使い方: zlha コマンド [スイッチ] 書庫 [パス...]\n");
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
  std::vector<char> out(64u << 20);
  int rc = unlha(nullptr, commandString(argc, argv).c_str(), out.data(),
                 static_cast<uint32_t>(out.size()));
  std::fputs(out.data(), stdout);
  if (rc != 0) {
    std::fprintf(stderr, "結果: 0x%04X\n", rc);
    return (rc & 0xFF) ? (rc & 0xFF) : 1;
  }
  return 0;
}
