#include "core/libraries/shared_object.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include "platform/drives.h"
#include "platform/fileops.h"
#include "platform/runtime_error.h"
#include "platform/winpath.h"

namespace zv {

std::unique_ptr<SharedObject> SharedObject::open(const std::string& hostPath, std::string* error) {
  // Local binding keeps the three libraries' equal function names apart.
  void* handle = dlopen(hostPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    if (error) {
      const char* why = dlerror();
      *error = why ? why : "dlopen failed";
    }
    return nullptr;
  }
  return std::unique_ptr<SharedObject>(new SharedObject(handle, hostPath));
}

SharedObject::~SharedObject() {
  if (handle_) dlclose(handle_);
}

void* SharedObject::symbol(const char* name) const { return dlsym(handle_, name); }

std::string findFileIgnoringCase(const std::string& folder, const std::string& fileName) {
  std::vector<fs::Entry> entries;
  try {
    entries = fs::list(folder);
  } catch (const RuntimeError&) {
    return {};
  }
  for (const auto& e : entries) {
    if (e.folder || e.hidden || !winpath::samePath(e.name, fileName)) continue;
    std::string host = hostPath(winpath::join(folder, e.name));
    struct stat st;
    if (stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return host;
  }
  return {};
}

}  // namespace zv
