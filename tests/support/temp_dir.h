// A fresh host folder under $TMPDIR for one test, removed with everything in it afterwards.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace zv::test {

class TempDir {
 public:
  TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/zvtest.XXXXXX";
    char* made = mkdtemp(templ.data());
    path_ = made ? made : "";
  }
  ~TempDir() {
    std::error_code ec;
    // Folders made read-only by a test must become writable again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Host path of the folder, or of a name inside it.
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

  // Writes a file (creating its folders) with the given bytes; returns its host path.
  std::string write(std::string_view name, std::string_view bytes) const {
    std::filesystem::path p = std::filesystem::path(path_) / std::string(name);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }
  std::string mkdir(std::string_view name) const {
    std::filesystem::path p = std::filesystem::path(path_) / std::string(name);
    std::filesystem::create_directories(p);
    return p.string();
  }

 private:
  std::string path_;
};

// The bytes of a host file ("" when it is missing).
inline std::string readFile(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace zv::test
