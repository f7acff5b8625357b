// The three archiver libraries, loaded at run time by their Windows names from the system
// folder, and the small classes the windows call them through.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/libraries/shared_object.h"
#include "zorvex/archiver_api.h"

namespace zv {

// Output buffer sizes the windows pass.
inline constexpr uint32_t kOutputBuffer = 1024;
inline constexpr uint32_t kLargeOutputBuffer = 60000;

// UNLHA32.DLL and UNZIP32.DLL: one command function and the same listing functions under
// the prefixes "Unlha" and "UnZip".
class ListingLibrary {
 public:
  // Resolves every function; nullptr (reason in *error) when the file does not load or lacks
  // one of them.
  static std::unique_ptr<ListingLibrary> load(const std::string& hostPath,
                                              const std::string& prefix,
                                              const std::string& commandName, std::string* error);

  // Runs a command string with an output buffer of `size` blanks; the text the library wrote
  // (up to its NUL) goes to *output. Size 0 passes no buffer at all.
  int run(const std::string& command, std::string* output = nullptr, uint32_t size = kOutputBuffer,
          ZvWindow owner = nullptr) const;
  int16_t version() const { return getVersion_(); }
  int fileCount(const std::string& archive) const { return getFileCount_(archive.c_str()); }
  ZvArchive openArchive(const std::string& archive, uint32_t mode = 0,
                        ZvWindow owner = nullptr) const {
    return openArchive_(owner, archive.c_str(), mode);
  }
  int findFirst(ZvArchive a, const std::string& wildcard, ZvMemberInfo& info) const {
    return findFirst_(a, wildcard.c_str(), &info);
  }
  int findNext(ZvArchive a, ZvMemberInfo& info) const { return findNext_(a, &info); }
  int closeArchive(ZvArchive a) const { return closeArchive_(a); }
  // The whole name of the member the last find reported (the record cuts it at 512 bytes);
  // nothing when the library cannot say.
  std::optional<std::string> fileName(ZvArchive a) const;
  std::string capabilities() const;
  void setHost(const ZvHost* host) const { setHost_(host); }

  const std::string& path() const { return object_->path(); }

 private:
  std::unique_ptr<SharedObject> object_;
  int (*command_)(ZvWindow, const char*, char*, uint32_t) = nullptr;
  int16_t (*getVersion_)() = nullptr;
  int (*getFileCount_)(const char*) = nullptr;
  ZvArchive (*openArchive_)(ZvWindow, const char*, uint32_t) = nullptr;
  int (*findFirst_)(ZvArchive, const char*, ZvMemberInfo*) = nullptr;
  int (*findNext_)(ZvArchive, ZvMemberInfo*) = nullptr;
  int (*closeArchive_)(ZvArchive) = nullptr;
  int (*getFileName_)(ZvArchive, char*, uint32_t) = nullptr;
  const char* (*getCapabilities_)() = nullptr;
  void (*setHost_)(const ZvHost*) = nullptr;
};

using LhaLibrary = ListingLibrary;  // UNLHA32.DLL: Unlha, UnlhaGetVersion, ...
using ZipLibrary = ListingLibrary;  // UNZIP32.DLL: UnZip, UnZipGetVersion, ...

// ISH32.DLL.
class IshLibrary {
 public:
  static std::unique_ptr<IshLibrary> load(const std::string& hostPath, std::string* error);

  int run(const std::string& command, ZvWindow owner = nullptr) const {
    return ish_(owner, command.c_str());
  }
  int16_t version() const { return getVersion_(); }
  // Non-zero when the file holds valid ISH data.
  int checkArchive(const std::string& path, int mode = 1) const {
    return checkArchive_(path.c_str(), mode);
  }
  std::string capabilities() const;
  // Text output of the last run.
  std::string lastOutput() const;
  // Host callbacks for the restore questions; a library without them ignores this.
  void setHost(const ZvHost* host) const {
    if (setHost_) setHost_(host);
  }

  const std::string& path() const { return object_->path(); }

 private:
  std::unique_ptr<SharedObject> object_;
  int (*ish_)(ZvWindow, const char*) = nullptr;
  int16_t (*getVersion_)() = nullptr;
  int (*checkArchive_)(const char*, int) = nullptr;
  const char* (*getCapabilities_)() = nullptr;
  const char* (*getLastOutput_)() = nullptr;
  void (*setHost_)(const ZvHost*) = nullptr;
};

// The libraries of one system folder, each loaded on first use and kept loaded.
class ArchiverSet {
 public:
  static constexpr const char* kLhaName = "UNLHA32.DLL";
  static constexpr const char* kZipName = "UNZIP32.DLL";
  static constexpr const char* kIshName = "ISH32.DLL";

  // A program path; empty: the platform's system folder.
  explicit ArchiverSet(std::string folder = {});
  ~ArchiverSet();

  // Looks in another folder from now on (tests point it at a temporary one); unloads what
  // was loaded.
  void setFolder(const std::string& folder);
  const std::string& folder() const { return folder_; }

  // Whether an ordinary file of that name (any case) is in the folder.
  bool present(const std::string& windowsName) const;

  // The loaded library; nullptr when its file is missing or does not load (lastError() says
  // why).
  LhaLibrary* lha();
  ZipLibrary* zip();
  IshLibrary* ish();
  const std::string& lastError() const { return lastError_; }

  // Host callbacks handed to every library of the set: those loaded now and those loaded
  // later (also after setFolder), so nothing has to be loaded early to receive them.
  void setHost(const ZvHost* host);

  void unloadAll();

 private:
  std::string folder_;
  std::unique_ptr<LhaLibrary> lha_;
  std::unique_ptr<ZipLibrary> zip_;
  std::unique_ptr<IshLibrary> ish_;
  std::string lastError_;
  const ZvHost* host_ = nullptr;
};

}  // namespace zv
