// Benchmark of UNLHA32.DLL against the other LZH tools and gzip, and of the call patterns the
// windows use (one call per file, one call per member). Prints a table; no pass/fail.
//
//   lzh_archive_bench [work folder]     (default /tmp/zv_lzh_bench; needs ~700 MB there)
//
// Corpus (deterministic, ~20 MB, from files on the machine): a large text, C++ headers, a
// shared library and an executable.
#include <dlfcn.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "zorvex/archiver_api.h"

namespace {

using Clock = std::chrono::steady_clock;
std::string g_work;

struct Lib {
  int (*Unlha)(ZvWindow, const char*, char*, uint32_t);
  int (*GetFileCount)(const char*);
  ZvArchive (*Open)(ZvWindow, const char*, uint32_t);
  int (*First)(ZvArchive, const char*, ZvMemberInfo*);
  int (*Next)(ZvArchive, ZvMemberInfo*);
  int (*Close)(ZvArchive);
} lib;

std::vector<char> g_out(1 << 20);

int unlha(const std::string& cmd) {
  return lib.Unlha(nullptr, cmd.c_str(), g_out.data(), static_cast<uint32_t>(g_out.size()));
}

double seconds(const std::function<void()>& f) {
  auto t0 = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

int run(const std::string& cmd) { return std::system(("(" + cmd + ") >/dev/null 2>&1").c_str()); }
bool have(const std::string& tool) { return run("command -v " + tool) == 0; }
long long fileSize(const std::string& p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0 ? st.st_size : -1;
}
std::string dq(const std::string& s) { return "\"" + s + "\""; }

void row(const char* what, double secs, long long bytes = -1) {
  if (bytes >= 0)
    std::printf("| %-44s | %9.3f s | %12lld |\n", what, secs, bytes);
  else
    std::printf("| %-44s | %9.3f s | %12s |\n", what, secs, "");
}

void buildCorpus(const std::string& c) {
  run("rm -rf " + c + " && mkdir -p " + c + "/headers");
  // A large text: licences and manual pages' sources as plain text, repeated to 6 MB.
  run("cd " + c +
      " && (cat $(ls /usr/share/common-licenses/* | sort) /usr/include/*.h) > t0 && "
      "while [ $(stat -c %s t0) -lt 6000000 ]; do cat t0 t0 > t1 && mv t1 t0; done && "
      "head -c 6000000 t0 > text.txt && rm t0");
  // C++ headers up to about 6 MB.
  run("cd /usr/include/c++ && find . -type f | sort | head -c 2000000 | tr '\\n' '\\0' | "
      "xargs -0 cat | head -c 6000000 > " +
      c + "/headers/all.h");
  run("cd /usr/include/c++ && find . -maxdepth 3 -type f | sort | head -300 | "
      "while read f; do d=" +
      c + "/headers/$(dirname $f); mkdir -p $d; cp $f $d/; done");
  // A shared library and an executable.
  run("cp $(ls /usr/lib/x86_64-linux-gnu/libstdc++.so.6.* | head -1) " + c + "/libstdc++.so");
  run("head -c 5000000 $(command -v cmake) > " + c + "/cmake.bin");
}

long long treeBytes(const std::string& dir) {
  FILE* p = popen(("du -sb " + dir + " | cut -f1").c_str(), "r");
  long long n = 0;
  if (p && std::fscanf(p, "%lld", &n) != 1) n = 0;
  if (p) pclose(p);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  g_work = argc > 1 ? argv[1] : "/tmp/zv_lzh_bench";
  const char* path = std::getenv("ZV_UNLHA32");
  void* h = dlopen(path ? path : ZV_UNLHA32_PATH, RTLD_NOW);
  if (!h) {
    std::fprintf(stderr, "UNLHA32.DLL: %s\n", dlerror());
    return 2;
  }
  lib.Unlha = reinterpret_cast<decltype(lib.Unlha)>(dlsym(h, "Unlha"));
  lib.GetFileCount = reinterpret_cast<decltype(lib.GetFileCount)>(dlsym(h, "UnlhaGetFileCount"));
  lib.Open = reinterpret_cast<decltype(lib.Open)>(dlsym(h, "UnlhaOpenArchive"));
  lib.First = reinterpret_cast<decltype(lib.First)>(dlsym(h, "UnlhaFindFirst"));
  lib.Next = reinterpret_cast<decltype(lib.Next)>(dlsym(h, "UnlhaFindNext"));
  lib.Close = reinterpret_cast<decltype(lib.Close)>(dlsym(h, "UnlhaCloseArchive"));

  std::string w = g_work, c = w + "/corpus";
  run("mkdir -p " + w);
  buildCorpus(c);
  std::printf("corpus: %lld bytes\n\n", treeBytes(c));
  std::printf("| %-44s | %11s | %12s |\n", "what", "time", "bytes");
  std::printf("|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(13, '-').c_str(),
              std::string(14, '-').c_str());

  // Packing.
  for (int m : {5, 6, 7}) {
    std::string arc = w + "/ours_lh" + std::to_string(m) + ".lzh";
    run("rm -f " + arc);
    double t = seconds([&] {
      unlha("a -d1 -n1 -o" + std::to_string(m) + " " + dq(arc) + " " + dq(c + "/") + " *.*");
    });
    row(("ours -lh" + std::to_string(m) + "- pack").c_str(), t, fileSize(arc));
  }
  if (have("jlha")) {
    for (int m : {5, 6, 7}) {
      std::string arc = w + "/jlha_lh" + std::to_string(m) + ".lzh";
      run("rm -f " + arc);
      double t =
          seconds([&] { run("cd " + c + " && jlha a2o" + std::to_string(m) + " " + arc + " *"); });
      row(("jlha -lh" + std::to_string(m) + "- pack").c_str(), t, fileSize(arc));
    }
  }
  run("cd " + c + " && tar cf " + w + "/corpus.tar .");
  for (int lvl : {6, 9}) {
    std::string out = w + "/corpus.tar.gz" + std::to_string(lvl);
    double t =
        seconds([&] { run("gzip -" + std::to_string(lvl) + " -c " + w + "/corpus.tar > " + out); });
    row(("gzip -" + std::to_string(lvl) + " (tar of the corpus)").c_str(), t, fileSize(out));
  }

  // Extraction of our -lh5- archive.
  std::string a5 = w + "/ours_lh5.lzh";
  run("rm -rf " + w + "/x");
  row("ours extract", seconds([&] { unlha("x -n1 " + dq(a5) + " " + dq(w + "/x/ours/")); }));
  if (have("lhasa"))
    row("lhasa extract", seconds([&] {
          run("mkdir -p " + w + "/x/lhasa && cd " + w + "/x/lhasa && lhasa xq " + a5);
        }));
  if (have("bsdtar"))
    row("bsdtar extract", seconds([&] {
          run("mkdir -p " + w + "/x/bsdtar && cd " + w + "/x/bsdtar && bsdtar xf " + a5);
        }));
  if (have("7z"))
    row("7z extract",
        seconds([&] { run("mkdir -p " + w + "/x/7z && cd " + w + "/x/7z && 7z x -y " + a5); }));

  // A 10 000-member archive: listing (first listing of an unseen file: headers parsed).
  std::string many = w + "/many";
  run("rm -rf " + many + " && mkdir -p " + many + " && cd " + many +
      " && for d in 0 1 2 3 4 5 6 7 8 9; do mkdir d$d; (cd d$d && seq 1 1000 | sed 's/^/f/' | "
      "xargs touch); done");
  std::string ma = w + "/many.lzh";
  run("rm -f " + ma);
  unlha("a -d1 -n1 " + dq(ma) + " " + dq(many + "/") + " *.*");
  run("cp " + ma + " " + w + "/many_copy.lzh");
  std::string mc = w + "/many_copy.lzh";
  int count = 0;
  double tl = seconds([&] {
    count = lib.GetFileCount(mc.c_str());
    ZvArchive a = lib.Open(nullptr, mc.c_str(), 0);
    ZvMemberInfo info;
    if (lib.First(a, "*.*", &info) == 0)
      while (lib.Next(a, &info) == 0) {
      }
    lib.Close(a);
  });
  row(("list " + std::to_string(count) + " members").c_str(), tl);

  // 2 000 members of the 10 000: one x call each, against one call naming all 2 000.
  std::vector<std::string> names;
  for (int d = 0; d < 10; ++d)
    for (int f = 1; f <= 200; ++f)
      names.push_back("d" + std::to_string(d) + "\\f" + std::to_string(f));
  double tEach = seconds([&] {
    for (const std::string& n : names)
      unlha("x -n1 " + dq(ma) + " " + dq(w + "/each/") + " " + dq(n));
  });
  std::string all = "x -n1 " + dq(ma) + " " + dq(w + "/once/");
  for (const std::string& n : names) all += " " + dq(n);
  double tOnce = seconds([&] { unlha(all); });
  row("2000 x calls, one member each", tEach);
  row("1 x call, 2000 members", tOnce);

  // 1 000 single-file u calls into an archive already holding ~200 MB.
  std::string big = w + "/big.lzh", base = w + "/small";
  run("rm -rf " + base + " " + big + " && mkdir -p " + base +
      " && head -c 200000000 /dev/urandom > " + w + "/big.bin");
  unlha("a -n1 -z " + dq(big) + " " + dq(w + "/big.bin"));
  run("cd " + base + " && for i in $(seq 1 1000); do echo file $i > s$i.txt; done");
  run("cp " + big + " " + w + "/big2.lzh");
  double tU = seconds([&] {
    for (int i = 1; i <= 1000; ++i)
      unlha("u -n1 " + dq(big) + " " + dq(base + "/s" + std::to_string(i) + ".txt"));
  });
  double tU1 =
      seconds([&] { unlha("u -n1 " + dq(w + "/big2.lzh") + " " + dq(base + "/") + " *.*"); });
  row("1000 u calls into a 200 MB archive", tU, fileSize(big));
  row("1 u call with 1000 files, same archive", tU1, fileSize(w + "/big2.lzh"));
  std::printf("\nratios: x per member %.2fx, u per file %.2fx of the single call\n", tEach / tOnce,
              tU / tU1);
  return 0;
}
