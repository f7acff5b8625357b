#include "extract/export_folders.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "platform/drives.h"
#include "platform/fileops.h"
#include "platform/winpath.h"

namespace zv::extract {

namespace {
namespace stdfs = std::filesystem;

// The folders of this run; the destructor removes them when the program ends normally.
struct ExportFolders {
  std::mutex lock;
  std::vector<std::string> hostFolders;
  int next = 0;
  std::set<std::string> swept;  // Temp folders already cleared of ended runs' folders
  ~ExportFolders() { removeAll(); }
  void removeAll() {
    std::lock_guard<std::mutex> hold(lock);
    for (const std::string& folder : hostFolders) {
      std::error_code ignored;
      stdfs::remove_all(folder, ignored);
    }
    hostFolders.clear();
  }
};

ExportFolders& folders() {
  static ExportFolders instance;
  return instance;
}

// "drag-<pid>-<n>" of a process that no longer runs.
bool leftByEndedRun(const std::string& name) {
  const std::string prefix = kExportFolderPrefix;
  if (name.rfind(prefix, 0) != 0) return false;
  size_t dash = name.find('-', prefix.size());
  if (dash == std::string::npos || dash == prefix.size()) return false;
  long pid = 0;
  for (size_t i = prefix.size(); i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
    pid = pid * 10 + (name[i] - '0');
    if (pid > 1 << 30) return false;
  }
  if (pid == getpid()) return false;
  return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void sweepEndedRuns(const std::string& hostTemp) {
  std::error_code ec;
  for (const auto& entry : stdfs::directory_iterator(hostTemp, ec)) {
    std::error_code ignored;
    if (entry.is_directory(ignored) && !entry.is_symlink(ignored) &&
        leftByEndedRun(entry.path().filename().string()))
      stdfs::remove_all(entry.path(), ignored);
  }
}
}  // namespace

std::string makeExportFolder(const std::string& tempFolder) {
  ExportFolders& all = folders();
  std::lock_guard<std::mutex> hold(all.lock);
  if (all.swept.insert(hostPath(tempFolder)).second) sweepEndedRuns(hostPath(tempFolder));
  if (!fs::isFolder(tempFolder)) fs::makeFolder(tempFolder);
  const std::string stem = kExportFolderPrefix + std::to_string(getpid()) + "-";
  for (;;) {
    std::string folder = winpath::join(tempFolder, stem + std::to_string(++all.next));
    if (fs::exists(folder)) continue;  // left by an earlier process with the same id
    fs::makeFolder(folder);
    all.hostFolders.push_back(hostPath(folder));
    return folder;
  }
}

void removeExportFolders() { folders().removeAll(); }

}  // namespace zv::extract
