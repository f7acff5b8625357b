#include "zip_libzip.h"

#include <dlfcn.h>

#include <mutex>

namespace zv::zip {

const LibZip* libzip() {
  static LibZip lib;
  static bool loaded = false;
  static std::once_flag once;
  std::call_once(once, [] {
    // Never unloaded: handles it gave out may live as long as the process.
    void* h = dlopen(ZV_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!h) return;
    bool all = true;
#define ZV_LIBZIP_LOAD(name)                                       \
  lib.name = reinterpret_cast<decltype(&::name)>(dlsym(h, #name)); \
  all = all && lib.name;
    ZV_LIBZIP_FUNCTIONS(ZV_LIBZIP_LOAD)
#undef ZV_LIBZIP_LOAD
    loaded = all;
  });
  return loaded ? &lib : nullptr;
}

}  // namespace zv::zip
