#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "companion.h"
#include "platform/command_words.h"
#include "platform/drives.h"
#include "platform/folders.h"

namespace zv::companion {
namespace {

std::string libraryPath() {
  if (const char* env = std::getenv(kCompanion.libraryVariable)) return env;
  return hostPath(folders::systemFolder()) + "/" + kCompanion.library;
}

// 0 on success, otherwise the low byte of the result number (1 when that byte is 0); the
// full number goes to standard error.
int exitStatus(int result) {
  if (result == 0) return 0;
  std::fprintf(stderr, "結果: 0x%04X\n", unsigned(result));
  return (result & 0xFF) ? (result & 0xFF) : 1;
}

}  // namespace

void* librarySymbol(void* library, const char* name) {
  void* p = dlsym(library, name);
  if (!p) {
    std::fprintf(stderr, "%s に %s がありません\n", kCompanion.library, name);
    std::exit(2);
  }
  return p;
}

int runPrinting(TextCommand command, const std::string& line) {
  // Left uninitialised: only the pages the output fills are ever touched, so a short listing
  // does not cost 64 MB of memory.
  constexpr uint32_t kOutputSize = 64u << 20;
  std::unique_ptr<char[]> out(new char[kOutputSize]);
  out[0] = '\0';
  int result = command(nullptr, line.c_str(), out.get(), kOutputSize);
  std::fputs(out.get(), stdout);
  return result;
}

std::string joinArguments(int argc, char** argv, bool (*quoted)(int, const std::string&)) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (!line.empty()) line += ' ';
    // A Linux path goes in the program's form through the drive table, as the windows take it.
    line += quoted(i, a) ? zv::command_words::quote(zv::typedPath(a)) : a;
  }
  return line;
}

// The companion's own help, then what every companion shares.
void printHelp(FILE* to) {
  std::fputs(kCompanion.help, to);
  std::fprintf(to,
               "\nライブラリの場所は環境変数 %s で変えられます。\n"
               "終了コード: 0 成功、それ以外はエラー番号の下位バイト (0 のときは 1)。\n",
               kCompanion.libraryVariable);
}

}  // namespace zv::companion

int main(int argc, char** argv) {
  using zv::companion::kCompanion;
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-?")) {
    zv::companion::printHelp(stdout);
    return 0;
  }
  if (argc - 1 < kCompanion.fewestArguments) {
    zv::companion::printHelp(stderr);
    return 2;
  }
  void* library = dlopen(zv::companion::libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "%s が見つかりません: %s\n", kCompanion.library, dlerror());
    return 2;
  }
  return zv::companion::exitStatus(kCompanion.run(library, argc, argv));
}
