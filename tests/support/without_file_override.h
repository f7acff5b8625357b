// Runs a check in a child process that cannot bypass file permissions, so tests of denied
// reads and writes mean the same under root (as in CI) as under a normal user. For root the
// child gives up CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH from its effective and permitted
// sets; the permitted set matters because access() grants a real root what it permits.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace zv::test {

// A value `check` can never return: the child could not drop the override or died.
inline constexpr int kChildFailed = -9999;

inline bool dropFilePermissionOverride() {
  if (geteuid() != 0) return true;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
    const unsigned bit = 1u << (cap % 32);
    data[cap / 32].effective &= ~bit;
    data[cap / 32].permitted &= ~bit;
    data[cap / 32].inheritable &= ~bit;
  }
  return syscall(SYS_capset, &header, data) == 0;
}

// Returns what `check` returned in the child, or kChildFailed.
inline int withoutFilePermissionOverride(const std::function<int()>& check) {
  int fds[2];
  if (pipe(fds) != 0) return kChildFailed;
  const pid_t pid = fork();
  if (pid < 0) return kChildFailed;
  if (pid == 0) {
    close(fds[0]);
    int result = dropFilePermissionOverride() ? check() : kChildFailed;
    _exit(write(fds[1], &result, sizeof result) == sizeof result ? 0 : 1);
  }
  close(fds[1]);
  int result = kChildFailed;
  if (read(fds[0], &result, sizeof result) != sizeof result) result = kChildFailed;
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : kChildFailed;
}

}  // namespace zv::test
