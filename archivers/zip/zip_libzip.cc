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

const char* libzipErrorText(int zipErrorCode) {
  switch (zipErrorCode) {
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
      return "書庫を読めません";
    case ZIP_ER_NOENT:
      return "ファイルが見つかりません";
    case ZIP_ER_OPEN:
      return "ファイルを開けません";
    case ZIP_ER_MEMORY:
      return "メモリが足りません";
    case ZIP_ER_CRC:
      return "CRC が一致しません";
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
      return "圧縮データが壊れています";
    case ZIP_ER_EOF:
      return "書庫が途中で切れています";
    case ZIP_ER_NOZIP:
      return "ZIP 書庫ではありません";
    case ZIP_ER_INCONS:
    case ZIP_ER_MULTIDISK:
      return "書庫の構造が壊れているか，分割書庫です";
    case ZIP_ER_COMPNOTSUPP:
      return "対応していない圧縮方式です";
    case ZIP_ER_ENCRNOTSUPP:
      return "対応していない暗号方式です";
    case ZIP_ER_NOPASSWD:
      return "パスワードが必要です";
    case ZIP_ER_WRONGPASSWD:
      return "パスワードが違います";
    default:
      return "ZIP 書庫を処理できません";
  }
}

}  // namespace zv::zip
