// One Unlha call with an output buffer of a chosen size, as the windows make it (1024 bytes):
// the peak memory of the library's own work, without the caller holding 100 000 lines of
// output text. Built and run by window_roads.sh.
//   unlha_call LIBRARY BUFFER_BYTES COMMAND
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "zorvex/archiver_api.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  void* lib = dlopen(argv[1], RTLD_NOW);
  if (!lib) return std::fprintf(stderr, "%s\n", dlerror()), 2;
  auto unlha =
      reinterpret_cast<int (*)(ZvWindow, const char*, char*, uint32_t)>(dlsym(lib, "Unlha"));
  if (!unlha) return 2;
  std::vector<char> out(static_cast<size_t>(std::atol(argv[2])) + 1, '\0');
  int rc = unlha(nullptr, argv[3], out.data(), static_cast<uint32_t>(out.size() - 1));
  if (rc != 0) std::fprintf(stderr, "Unlha: %d\n%s\n", rc, out.data());
  return rc == 0 ? 0 : 1;
}
