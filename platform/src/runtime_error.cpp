#include "platform/runtime_error.h"

#include <cerrno>

namespace zv {

namespace {
std::string describe(int number, const std::string& detail) {
  std::string text = "runtime error " + std::to_string(number);
  if (!detail.empty()) text += ": " + detail;
  return text;
}
}  // namespace

RuntimeError::RuntimeError(int number, const std::string& detail)
    : std::runtime_error(describe(number, detail)), number_(number) {}

void raiseError(int number, const std::string& detail) { throw RuntimeError(number, detail); }

int runtimeErrorFromErrno(int err, int fallback) {
  switch (err) {
    case ENOENT:
      return kErrFileNotFound;
    case ENOTDIR:
      return kErrPathNotFound;
    case EEXIST:
      return kErrFileExists;
    case ENOTEMPTY:
    case EBUSY:
      return kErrPathFileAccess;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EISDIR:  // a folder stands where a file is to be written
      return kErrPermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kErrDiskFull;
    case ENOMEM:
      return kErrOutOfMemory;
    case ENODEV:
    case ENXIO:
    case EIO:
    case ENOMEDIUM:
      return kErrDeviceUnavailable;
    case ENAMETOOLONG:
    case EILSEQ:
      return kErrBadFileName;
    default:
      return fallback;
  }
}

}  // namespace zv
