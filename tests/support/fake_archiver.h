// Test-side control of the recording archiver double.
//
//   zv::test::TempDir dir;
//   zv::test::FakeArchivers fakes(dir / "SYSTEM");     // UNLHA32.DLL, UNZIP32.DLL, ISH32.DLL
//   fakes.lha().setVersion(129);
//   fakes.lha().setMembers({{"a.txt"}, {"sub\\b.txt"}});
//   zv::ArchiverSet set(zv::windowsPath(dir / "SYSTEM"));   // or App::archivers
//   ... run the window ...
//   EXPECT_EQ(fakes.lha().commands(), (std::vector<std::string>{"u -n1 \"C:\\x.lzh\" ..."}));
//
// Each installed file is a separate copy, so each library has its own state and call log.
// The program's dlopen of the same file reaches the very instance the test controls, as long
// as the FakeLibrary object lives (it holds the file open).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zv::test {

struct FakeMember {
  std::string name;  // bytes of the name field ('\' or '/' between folders)
  uint32_t originalSize = 0;
  uint32_t packedSize = 0;
  uint32_t crc = 0;
  uint16_t date = 0;  // MS-DOS packed date
  uint16_t time = 0;
  std::string attribute = "-rw-";
  std::string method = "-lh5-";
  uint32_t flag = 0;  // ZV_MEMBER_*
};

struct FakeCall {
  std::string function;  // "Unlha", "UnlhaGetFileCount", "UnZipFindNext", "Ish", ...
  std::string text;      // command string, archive path, wildcard, "path mode", ...
  uint32_t bufferSize = 0;
  bool hadBuffer = false;
  bool bufferBlank = false;  // the output buffer held only blanks when passed
};

class FakeLibrary {
 public:
  // Opens an installed copy of the double (host path).
  explicit FakeLibrary(const std::string& hostFile);
  ~FakeLibrary();
  FakeLibrary(const FakeLibrary&) = delete;
  FakeLibrary& operator=(const FakeLibrary&) = delete;

  void reset();                  // back to version 130, result 0, no members, no calls
  void setVersion(int version);  // what the GetVersion functions answer
  void setResult(int result);    // every command call's result
  void queueResults(const std::vector<int>& results);  // the next calls' results, in order
  void setOutput(const std::string& text);             // written into the caller's output buffer
  void setMembers(const std::vector<FakeMember>& members);
  void setFileCount(int count);                 // -1: the number of members
  void setCheckResult(int result);              // IshCheckArchive
  void setLastOutput(const std::string& text);  // IshGetLastOutput
  void setCapabilities(const std::string& text);
  // Files every later command call creates (host path, bytes).
  void createOnCommand(const std::string& hostPath, const std::string& bytes);

  std::vector<FakeCall> calls() const;
  // Command strings of the Unlha / UnZip / Ish calls, in order.
  std::vector<std::string> commands() const;
  // Names of all functions called, in order.
  std::vector<std::string> functions() const;
  void clearCalls();

  const std::string& file() const { return file_; }

 private:
  template <class F>
  F fn(const char* name) const;
  std::string file_;
  void* handle_ = nullptr;
};

class FakeArchivers {
 public:
  // Installs copies of the double in a host folder (created when missing) under the names
  // UNLHA32.DLL, UNZIP32.DLL and ISH32.DLL, leaving out those switched off.
  explicit FakeArchivers(const std::string& folderHost, bool lha = true, bool zip = true,
                         bool ish = true);
  FakeLibrary& lha() { return *lha_; }
  FakeLibrary& zip() { return *zip_; }
  FakeLibrary& ish() { return *ish_; }

  // Installs one copy under any file name (e.g. "unlha32.dll") and opens it.
  static std::unique_ptr<FakeLibrary> install(const std::string& folderHost,
                                              const std::string& fileName);
  // Host path of the built double.
  static std::string builtFile();

 private:
  std::unique_ptr<FakeLibrary> lha_, zip_, ish_;
};

}  // namespace zv::test
