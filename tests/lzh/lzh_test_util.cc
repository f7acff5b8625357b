#include "lzh_test_util.h"

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "../support/tool_locale.h"

namespace lzhtest {

TempDir::TempDir() {
  char tmpl[] = "/tmp/zv_lzh_test_XXXXXX";
  char* p = mkdtemp(tmpl);
  if (!p) throw std::runtime_error("mkdtemp");
  path_ = p;
}

TempDir::~TempDir() { sh("chmod -R u+rwx " + q(path_) + " 2>/dev/null; rm -rf " + q(path_)); }

void writeFile(const std::string& path, const std::string& bytes) {
  sh("mkdir -p " + q(path.substr(0, path.rfind('/'))));
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

bool exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

void setMtime(const std::string& path, long seconds) {
  sh("touch -h -d @" + std::to_string(seconds) + " " + q(path));
}

namespace {
void walk(const std::string& root, const std::string& rel, bool lower,
          std::map<std::string, std::string>* files, std::vector<std::string>* all) {
  DIR* d = opendir((root + "/" + rel).c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    std::string r = rel.empty() ? n : rel + "/" + n;
    std::string full = root + "/" + r;
    struct stat st {};
    if (lstat(full.c_str(), &st) != 0) continue;
    if (all) all->push_back(r);
    if (S_ISDIR(st.st_mode)) {
      walk(root, r, lower, files, all);
    } else if (S_ISREG(st.st_mode) && files) {
      std::string key = r;
      if (lower)
        for (char& c : key) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      (*files)[key] = readFile(full);
    }
  }
  closedir(d);
}
}  // namespace

std::map<std::string, std::string> treeFiles(const std::string& dir, bool lower) {
  std::map<std::string, std::string> out;
  walk(dir, "", lower, &out, nullptr);
  return out;
}

std::vector<std::string> treeEntries(const std::string& dir) {
  std::vector<std::string> out;
  walk(dir, "", false, nullptr, &out);
  return out;
}

Shell sh(const std::string& command) {
  Shell r{0, {}};
  FILE* p = popen(("(" + zv::test::inToolLocale(command) + ") 2>&1").c_str(), "r");
  if (!p) return {-1, {}};
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

bool haveTool(const std::string& name) { return sh("command -v " + name).status == 0; }

std::string q(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string dq(const std::string& s) { return "\"" + s + "\""; }

std::string fixtures() { return std::string(ZV_TEST_DATA) + "/lzh"; }

const Library& lib() {
  static Library l = [] {
    void* h = dlopen(ZV_UNLHA32_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!h) throw std::runtime_error(dlerror());
    Library x{};
    x.Unlha = reinterpret_cast<decltype(x.Unlha)>(dlsym(h, "Unlha"));
    x.GetFileCount = reinterpret_cast<decltype(x.GetFileCount)>(dlsym(h, "UnlhaGetFileCount"));
    x.OpenArchive = reinterpret_cast<decltype(x.OpenArchive)>(dlsym(h, "UnlhaOpenArchive"));
    x.FindFirst = reinterpret_cast<decltype(x.FindFirst)>(dlsym(h, "UnlhaFindFirst"));
    x.FindNext = reinterpret_cast<decltype(x.FindNext)>(dlsym(h, "UnlhaFindNext"));
    x.CloseArchive = reinterpret_cast<decltype(x.CloseArchive)>(dlsym(h, "UnlhaCloseArchive"));
    x.GetVersion = reinterpret_cast<decltype(x.GetVersion)>(dlsym(h, "UnlhaGetVersion"));
    x.GetCapabilities =
        reinterpret_cast<decltype(x.GetCapabilities)>(dlsym(h, "UnlhaGetCapabilities"));
    x.SetHost = reinterpret_cast<decltype(x.SetHost)>(dlsym(h, "UnlhaSetHost"));
    return x;
  }();
  return l;
}

Result unlha(const std::string& command, uint32_t size) {
  std::string buf(size + 1, ' ');
  int rc = lib().Unlha(nullptr, command.c_str(), size ? buf.data() : nullptr, size);
  return {rc, size ? std::string(buf.c_str()) : std::string()};
}

std::vector<std::string> memberNames(const std::string& archive) {
  std::vector<std::string> names;
  int count = lib().GetFileCount(archive.c_str());
  ZvArchive h = lib().OpenArchive(nullptr, archive.c_str(), 0);
  if (!h) return names;
  ZvMemberInfo info{};
  if (count > 0 && lib().FindFirst(h, "*.*", &info) == ZV_FIND_OK) {
    names.push_back(info.name);
    while (lib().FindNext(h, &info) == ZV_FIND_OK) names.push_back(info.name);
  }
  lib().CloseArchive(h);
  return names;
}

std::string randomBytes(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < n; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    s[i] = static_cast<char>(x >> 24);
  }
  return s;
}

}  // namespace lzhtest
