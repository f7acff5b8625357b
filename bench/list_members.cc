// Lists an archive the way the windows do on opening it, in a process of its own: count,
// open, find-first/next over every member, close. Run by big_archive.sh under /usr/bin/time so
// the figures include process start and loading the library.
//   list_members LIBRARY PREFIX ARCHIVE      (PREFIX: Unlha or UnZip)
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "zorvex/archiver_api.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  void* lib = dlopen(argv[1], RTLD_NOW);
  if (!lib) return std::fprintf(stderr, "%s\n", dlerror()), 2;
  const std::string p = argv[2];
  auto sym = [&](const char* name) { return dlsym(lib, (p + name).c_str()); };
  auto count = reinterpret_cast<int (*)(const char*)>(sym("GetFileCount"));
  auto open = reinterpret_cast<ZvArchive (*)(ZvWindow, const char*, uint32_t)>(sym("OpenArchive"));
  auto first = reinterpret_cast<int (*)(ZvArchive, const char*, ZvMemberInfo*)>(sym("FindFirst"));
  auto next = reinterpret_cast<int (*)(ZvArchive, ZvMemberInfo*)>(sym("FindNext"));
  auto close = reinterpret_cast<int (*)(ZvArchive)>(sym("CloseArchive"));
  if (!count || !open || !first || !next || !close) return std::fprintf(stderr, "symbols\n"), 2;

  int n = count(argv[3]);
  ZvArchive h = open(nullptr, argv[3], 0);
  if (n < 0 || !h) return std::fprintf(stderr, "cannot open %s\n", argv[3]), 1;
  ZvMemberInfo info{};
  int seen = 0;
  unsigned long long bytes = 0;
  for (int r = first(h, "*.*", &info); r == ZV_FIND_OK; r = next(h, &info)) {
    ++seen;
    bytes += info.original_size;
  }
  close(h);
  std::printf("%d members (count %d), %llu bytes\n", seen, n, bytes);
  return seen == n ? 0 : 1;
}
