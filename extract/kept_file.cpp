#include "extract/kept_file.h"

#include "core/forms/steps.h"
#include "platform/fileops.h"
#include "platform/winpath.h"

namespace zv::extract {

KeptFile::KeptFile(const std::string& path) : path_(path) {
  if (!fs::isFile(path)) return;
  auto [folder, name] = winpath::splitParentTail(path);
  for (int i = 0; i < 1000; ++i) {
    std::string candidate =
        winpath::join(folder, "." + name + ".zvkeep" + (i ? std::to_string(i) : ""));
    if (fs::exists(candidate)) continue;
    fs::rename(path, candidate);  // raises when the file cannot be moved: nothing is extracted
    backup_ = candidate;
    return;
  }
  raiseError(kErrFileExists, path);
}

KeptFile::~KeptFile() {
  Steps steps;
  steps([&] { restore(); });
}

void KeptFile::commit() {
  if (backup_.empty()) return;
  if (!fs::isFile(path_)) {
    restore();
    return;
  }
  // The library does not flush a file it newly creates: the set-aside file is the user's only
  // other copy, so the new one must be on the disk before it goes.
  fs::flushToDisk(path_);
  fs::deleteFile(backup_);
  backup_.clear();
}

void KeptFile::restore() {
  if (backup_.empty()) return;
  if (fs::exists(path_) && !fs::isFolder(path_)) fs::deleteFile(path_);
  fs::rename(backup_, path_);
  backup_.clear();
}

}  // namespace zv::extract
