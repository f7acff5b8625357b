// Times UNZIP32.DLL the way the extraction window uses it: one UnZip call per selected member
// of a large archive, against one call for all members. Built and run by zip_bench.sh.
//   unzip_calls_bench LIBRARY ARCHIVE DEST EVERY
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "zorvex/archiver_api.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  void* lib = dlopen(argv[1], RTLD_NOW);
  if (!lib) return std::fprintf(stderr, "%s\n", dlerror()), 2;
  auto unzip =
      reinterpret_cast<int (*)(ZvWindow, const char*, char*, uint32_t)>(dlsym(lib, "UnZip"));
  auto count = reinterpret_cast<int (*)(const char*)>(dlsym(lib, "UnZipGetFileCount"));
  auto open = reinterpret_cast<ZvArchive (*)(ZvWindow, const char*, uint32_t)>(
      dlsym(lib, "UnZipOpenArchive"));
  auto first = reinterpret_cast<int (*)(ZvArchive, const char*, ZvMemberInfo*)>(
      dlsym(lib, "UnZipFindFirst"));
  auto next = reinterpret_cast<int (*)(ZvArchive, ZvMemberInfo*)>(dlsym(lib, "UnZipFindNext"));
  auto close = reinterpret_cast<int (*)(ZvArchive)>(dlsym(lib, "UnZipCloseArchive"));
  const std::string arc = std::string("\"") + argv[2] + "\"";
  const std::string dest = argv[3];
  const int every = std::atoi(argv[4]);
  using clock = std::chrono::steady_clock;

  auto t0 = clock::now();
  int n = count(arc.c_str());
  ZvArchive h = open(nullptr, arc.c_str(), 0);
  std::vector<std::string> names;
  ZvMemberInfo info{};
  for (int i = 0; i < n; ++i)
    if ((i == 0 ? first(h, "*.*", &info) : next(h, &info)) == ZV_FIND_OK)
      names.push_back(info.name);
  close(h);
  double listing = std::chrono::duration<double>(clock::now() - t0).count();

  std::vector<char> buf(1024, ' ');
  t0 = clock::now();
  int calls = 0;
  for (size_t i = 0; i < names.size(); i += size_t(every), ++calls) {
    std::string cmd = "-x -n --i " + arc + " \"" + dest + "/each/\" \"" + names[i] + "\"";
    if (unzip(nullptr, cmd.c_str(), buf.data(), uint32_t(buf.size())) != 0)
      return std::fprintf(stderr, "failed: %s\n", buf.data()), 1;
  }
  double each = std::chrono::duration<double>(clock::now() - t0).count();
  t0 = clock::now();
  std::string all = "-x -n --i " + arc + " \"" + dest + "/all/\"";
  if (unzip(nullptr, all.c_str(), buf.data(), uint32_t(buf.size())) != 0) return 1;
  double whole = std::chrono::duration<double>(clock::now() - t0).count();
  std::printf(
      "members %zu, listing %.3f s; %d calls of one member %.3f s; one call for all %.3f s; ratio "
      "%.2f\n",
      names.size(), listing, calls, each, whole, each / whole);
  return 0;
}
