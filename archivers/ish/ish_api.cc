// The exported functions of ISH32.DLL.
#include <mutex>
#include <string>

#include "ish_command.h"
#include "ish_files.h"
#include "platform/drives.h"
#include "platform/runtime_error.h"
#include "zorvex/archiver_api.h"

namespace {

std::mutex gMutex;
std::string gLastOutput;
ZvHost gHost{};
bool gHasHost = false;

}  // namespace

extern "C" {

ZV_API int Ish(ZvWindow, const char* command) {
  std::lock_guard<std::mutex> lock(gMutex);
  gLastOutput.clear();
  if (!command) return ZV_ERROR_COMMAND;
  zv::ish::IshCommand cmd;
  std::string why;
  if (!zv::ish::parseCommand(command, cmd, why)) {
    gLastOutput = why + "\r\n";
    return ZV_ERROR_COMMAND;
  }
  try {
    return cmd.encode ? zv::ish::runEncode(cmd, gLastOutput)
                      : zv::ish::runRestore(cmd, gHasHost ? &gHost : nullptr, gLastOutput);
  } catch (const std::bad_alloc&) {
    gLastOutput += "メモリが足りません\r\n";
    return ZV_ERROR_MEMORY;
  } catch (const std::exception&) {
    gLastOutput += "予期しないエラーのため中止しました\r\n";
    return ZV_ERROR_CANNOT_OPEN;
  }
}

ZV_API int16_t IshGetVersion(void) { return 100; }

// Non-zero when every file of the ISH text restores. The last output then names each file:
// what restores (and how many lines it mends) and what does not, naming the lines lost.
ZV_API int IshCheckArchive(const char* path, int) {
  std::lock_guard<std::mutex> lock(gMutex);
  gLastOutput.clear();
  if (!path) return 0;
  try {
    std::string host = zv::hostPath(path);
    auto files = zv::ish::decodeFileWithVolumes(host);
    if (files.empty()) gLastOutput = "有効なISHデータではありません: " + std::string(path) + "\r\n";
    int ok = !files.empty();
    for (const auto& f : files) {
      gLastOutput += zv::ish::checkLine(f);
      ok = ok && f.ok;
    }
    return ok;
  } catch (...) {
    gLastOutput = "ISH ファイルを読めません: " + std::string(path) + "\r\n";
    return 0;
  }
}

ZV_API const char* IshGetCapabilities(void) {
  return "encode=s7,s8,ss,sn;decode=s7,s8,ss,sn;restore=r,a,q,n;volumes=1;repair=2";
}

ZV_API const char* IshGetLastOutput(void) { return gLastOutput.c_str(); }

ZV_API void IshSetHost(const ZvHost* host) {
  std::lock_guard<std::mutex> lock(gMutex);
  gHasHost = host != nullptr;
  gHost = host ? *host : ZvHost{};
}

}  // extern "C"
