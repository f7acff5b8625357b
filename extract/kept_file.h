// Keeps an existing file safe while the library extracts its replacement: the old file is
// moved to a hidden name in the same folder first, and only when the new file is there is the
// old one deleted. When the library fails, whatever it left is removed and the old file is
// moved back.
#pragma once
#include <string>

namespace zv::extract {

class KeptFile {
 public:
  // `path` is a program path; when no ordinary file is there, nothing is kept.
  explicit KeptFile(const std::string& path);
  ~KeptFile();  // restores the old file unless commit() ran
  KeptFile(const KeptFile&) = delete;
  KeptFile& operator=(const KeptFile&) = delete;

  bool keeping() const { return !backup_.empty(); }
  // The library succeeded: drops the old file when the new one exists, else puts it back.
  void commit();
  // The library failed: the old file goes back in place.
  void restore();

 private:
  std::string path_, backup_;
};

}  // namespace zv::extract
