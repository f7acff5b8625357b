// A shared object loaded at run time with dlopen, closed with the object.
#pragma once
#include <memory>
#include <string>

namespace zv {

class SharedObject {
 public:
  // Loads the host file; nullptr (and the loader's reason in *error) when that fails.
  static std::unique_ptr<SharedObject> open(const std::string& hostPath,
                                            std::string* error = nullptr);
  ~SharedObject();
  SharedObject(const SharedObject&) = delete;
  SharedObject& operator=(const SharedObject&) = delete;

  // The address of an exported symbol, nullptr when the object has none of that name.
  void* symbol(const char* name) const;
  const std::string& path() const { return path_; }

 private:
  SharedObject(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  void* handle_;
  std::string path_;
};

// The host path of the ordinary file in `folder` (a program path) whose name equals
// `fileName` without regard to case; empty when there is none. Folders and hidden entries do
// not count.
std::string findFileIgnoringCase(const std::string& folder, const std::string& fileName);

}  // namespace zv
