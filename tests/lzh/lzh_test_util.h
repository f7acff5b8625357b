// Helpers of the LZH library tests: temporary folders, files, shell tools and UNLHA32.DLL
// loaded by path as the program loads it.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "zorvex/archiver_api.h"

namespace lzhtest {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

 private:
  std::string path_;
};

void writeFile(const std::string& path, const std::string& bytes);  // creates parents
std::string readFile(const std::string& path);
bool exists(const std::string& path);
void setMtime(const std::string& path, long seconds);
// Relative path (with '/') to content of every regular file below `dir`.
std::map<std::string, std::string> treeFiles(const std::string& dir, bool lowerCaseNames = false);
// Every entry (files, folders, links) below `dir`, relative.
std::vector<std::string> treeEntries(const std::string& dir);

struct Shell {
  int status;
  std::string out;
};
Shell sh(const std::string& command);  // runs with /bin/sh, stderr merged
bool haveTool(const std::string& name);
std::string q(const std::string& s);   // shell single-quoted
std::string dq(const std::string& s);  // in double quotes, as the program quotes paths

std::string fixtures();  // tests/data/lzh

// UNLHA32.DLL loaded with dlopen.
struct Library {
  int (*Unlha)(ZvWindow, const char*, char*, uint32_t);
  int (*GetFileCount)(const char*);
  ZvArchive (*OpenArchive)(ZvWindow, const char*, uint32_t);
  int (*FindFirst)(ZvArchive, const char*, ZvMemberInfo*);
  int (*FindNext)(ZvArchive, ZvMemberInfo*);
  int (*CloseArchive)(ZvArchive);
  int16_t (*GetVersion)();
  const char* (*GetCapabilities)();
  void (*SetHost)(const ZvHost*);
};
const Library& lib();

struct Result {
  int rc;
  std::string text;
};
Result unlha(const std::string& command, uint32_t size = 60000);

// Member names as the listing functions report them.
std::vector<std::string> memberNames(const std::string& archive);

// Deterministic pseudo-random bytes.
std::string randomBytes(size_t n, uint32_t seed);

}  // namespace lzhtest
