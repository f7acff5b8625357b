#include "platform/folders.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/drives.h"

#ifndef ZV_BUILD_SYSTEM_DIR
#define ZV_BUILD_SYSTEM_DIR ""
#endif

namespace zv::folders {

namespace {

std::string& programOverride() {
  static std::string value;
  return value;
}
std::string& systemOverride() {
  static std::string value;
  return value;
}

std::string parentOf(const std::string& host) {
  size_t cut = host.find_last_of('/');
  if (cut == std::string::npos || cut == 0) return "/";
  return host.substr(0, cut);
}

bool isFolderAt(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string executableFolder() {
  std::vector<char> buf(4096);
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return {};
  return parentOf(std::string(buf.data(), static_cast<size_t>(n)));
}

// The folder of this shared library: <build>/lib in the build tree,
// <prefix>/lib/zorvex32 when installed.
std::string libraryFolder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&libraryFolder), &info) || !info.dli_fname) return {};
  char* real = realpath(info.dli_fname, nullptr);
  if (!real) return {};
  std::string path = real;
  std::free(real);
  return parentOf(path);
}

void makeFolders(const std::string& host) {
  if (host.empty() || isFolderAt(host)) return;
  makeFolders(parentOf(host));
  ::mkdir(host.c_str(), 0777);
}

std::string dataHome() {
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/') return x;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share";
}

}  // namespace

std::string programFolder() {
  if (!programOverride().empty()) return programOverride();
  std::string exe = executableFolder();
  if (!exe.empty() && access(exe.c_str(), W_OK) == 0) return windowsPath(exe);
  std::string own = dataHome() + "/zorvex32";
  makeFolders(own);
  return windowsPath(own);
}

std::string systemFolder() {
  if (!systemOverride().empty()) return systemOverride();
  std::vector<std::string> candidates;
  std::string lib = libraryFolder();
  if (!lib.empty()) {
    candidates.push_back(lib + "/SYSTEM");            // installed: <prefix>/lib/zorvex32/SYSTEM
    candidates.push_back(parentOf(lib) + "/SYSTEM");  // build tree: <build>/lib/../SYSTEM
  }
  std::string exe = executableFolder();
  if (!exe.empty()) {
    candidates.push_back(parentOf(exe) + "/SYSTEM");
    candidates.push_back(parentOf(exe) + "/lib/zorvex32/SYSTEM");
  }
  candidates.push_back(ZV_BUILD_SYSTEM_DIR);
  for (const auto& c : candidates)
    if (!c.empty() && isFolderAt(c)) return windowsPath(c);
  // None exists yet: name the build tree's folder, so a message says where to put the files.
  return windowsPath(std::string(ZV_BUILD_SYSTEM_DIR).empty() ? candidates.front()
                                                              : ZV_BUILD_SYSTEM_DIR);
}

std::string winDir() {
  if (const char* w = std::getenv("WinDir"); w && *w) return w;
  std::string system = systemFolder();
  size_t cut = system.find_last_of('\\');
  if (cut == std::string::npos) return system;
  return system.substr(0, cut);  // "C:\SYSTEM" gives "C:", so WinDir + "\SYSTEM" fits
}

void overrideProgramFolder(const std::string& winPath) { programOverride() = winPath; }

void overrideSystemFolder(const std::string& winPath) { systemOverride() = winPath; }

}  // namespace zv::folders
