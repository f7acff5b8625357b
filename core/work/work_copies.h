// Files the program extracts into its Temp folder so that the user can look at them. They
// are removed, with the folders made for them, when the program ends: nothing it unpacked
// there for a look outlives it.
#pragma once
#include <string>
#include <vector>

namespace zv {

class WorkCopies {
 public:
  // A program path below the Temp folder.
  void add(const std::string& path);
  // Deletes every file added and then each folder between it and `tempFolder` that is left
  // empty; `tempFolder` itself and files not added stay. Failures are skipped.
  void removeAll(const std::string& tempFolder);

 private:
  std::vector<std::string> paths_;
};

}  // namespace zv
