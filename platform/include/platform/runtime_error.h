// Runtime errors with the classic numbers that the windows test after a failed step.
#pragma once
#include <stdexcept>
#include <string>

namespace zv {

enum RuntimeErrorNumber : int {
  kErrInvalidCall = 5,
  kErrOutOfMemory = 7,
  kErrBadFileName = 52,
  kErrFileNotFound = 53,
  kErrFileExists = 58,
  kErrDiskFull = 61,
  kErrPastEndOfFile = 62,
  kErrDeviceUnavailable = 68,
  kErrPermissionDenied = 70,
  kErrPathFileAccess = 75,
  kErrPathNotFound = 76,
  kErrBadPropertyIndex = 381,
  kErrBadPicture = 481,
  // The program's own: no trash could take a file that was to go there.
  kErrTrashUnavailable = 1001,
};

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(int number, const std::string& detail = {});
  int number() const { return number_; }

 private:
  int number_;
};

[[noreturn]] void raiseError(int number, const std::string& detail = {});

// Maps an errno value of a failed file operation to the runtime error number a window expects.
int runtimeErrorFromErrno(int err, int fallback = kErrPathFileAccess);

}  // namespace zv
