#include "core/work/work_copies.h"

#include <algorithm>

#include "platform/fileops.h"
#include "platform/runtime_error.h"
#include "platform/winpath.h"

namespace zv {

void WorkCopies::add(const std::string& path) {
  if (std::find(paths_.begin(), paths_.end(), path) == paths_.end()) paths_.push_back(path);
}

void WorkCopies::removeAll(const std::string& tempFolder) {
  std::string top = tempFolder;
  while (!top.empty() && top.back() == '\\') top.pop_back();
  auto below = [&](const std::string& p) {
    return p.size() > top.size() + 1 && p.compare(0, top.size() + 1, top + "\\") == 0;
  };
  for (const std::string& path : paths_) {
    try {
      if (fs::isFile(path)) fs::deleteFile(path);
      for (std::string folder = winpath::parentFolder(path); below(folder);
           folder = winpath::parentFolder(folder)) {
        if (!fs::isFolder(folder) || !fs::list(folder).empty()) break;
        fs::removeFolder(folder);
      }
    } catch (const RuntimeError&) {
      // A copy in use or already gone: the next one is still removed.
    }
  }
  paths_.clear();
}

}  // namespace zv
