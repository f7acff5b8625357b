#include "core/libraries/archivers.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/folders.h"

namespace zv {

// The member record is read field by field by the windows: its layout is part of the contract.
static_assert(sizeof(ZvMemberInfo) == ZV_MEMBER_INFO_SIZE);
static_assert(offsetof(ZvMemberInfo, ratio) == 20);
static_assert(offsetof(ZvMemberInfo, date) == 22);
static_assert(offsetof(ZvMemberInfo, time) == 24);
static_assert(offsetof(ZvMemberInfo, name) == 26);
static_assert(offsetof(ZvMemberInfo, attribute) == 542);
static_assert(offsetof(ZvMemberInfo, method) == 550);

namespace {

template <class F>
bool resolve(const SharedObject& object, const std::string& name, F& target, std::string* error) {
  target = reinterpret_cast<F>(object.symbol(name.c_str()));
  if (!target && error) *error = object.path() + ": no function " + name;
  return target != nullptr;
}

}  // namespace

std::unique_ptr<ListingLibrary> ListingLibrary::load(const std::string& hostPath,
                                                     const std::string& prefix,
                                                     const std::string& commandName,
                                                     std::string* error) {
  auto object = SharedObject::open(hostPath, error);
  if (!object) return nullptr;
  std::unique_ptr<ListingLibrary> lib(new ListingLibrary);
  const SharedObject& o = *object;
  bool ok = resolve(o, commandName, lib->command_, error) &&
            resolve(o, prefix + "GetVersion", lib->getVersion_, error) &&
            resolve(o, prefix + "GetFileCount", lib->getFileCount_, error) &&
            resolve(o, prefix + "OpenArchive", lib->openArchive_, error) &&
            resolve(o, prefix + "FindFirst", lib->findFirst_, error) &&
            resolve(o, prefix + "FindNext", lib->findNext_, error) &&
            resolve(o, prefix + "CloseArchive", lib->closeArchive_, error) &&
            resolve(o, prefix + "GetCapabilities", lib->getCapabilities_, error) &&
            resolve(o, prefix + "SetHost", lib->setHost_, error);
  if (!ok) return nullptr;
  // Optional: a library without it names members by the record alone.
  resolve(o, prefix + "GetFileName", lib->getFileName_, nullptr);
  lib->object_ = std::move(object);
  return lib;
}

std::optional<std::string> ListingLibrary::fileName(ZvArchive a) const {
  if (!getFileName_) return std::nullopt;
  std::vector<char> buffer(1024);
  int length = getFileName_(a, buffer.data(), static_cast<uint32_t>(buffer.size()));
  if (length < 0) return std::nullopt;
  if (static_cast<size_t>(length) >= buffer.size()) {
    buffer.resize(static_cast<size_t>(length) + 1);
    getFileName_(a, buffer.data(), static_cast<uint32_t>(buffer.size()));
  }
  return std::string(buffer.data(), static_cast<size_t>(length));
}

int ListingLibrary::run(const std::string& command, std::string* output, uint32_t size,
                        ZvWindow owner) const {
  if (size == 0) {
    if (output) output->clear();
    return command_(owner, command.c_str(), nullptr, 0);
  }
  // The caller's buffer of blanks, one byte longer so a library that fills all of it still
  // leaves a NUL for us.
  std::vector<char> buffer(size + 1, ' ');
  buffer[size] = '\0';
  int result = command_(owner, command.c_str(), buffer.data(), size);
  buffer[size] = '\0';
  if (output) output->assign(buffer.data(), std::strlen(buffer.data()));
  return result;
}

std::string ListingLibrary::capabilities() const {
  const char* text = getCapabilities_();
  return text ? text : "";
}

std::unique_ptr<IshLibrary> IshLibrary::load(const std::string& hostPath, std::string* error) {
  auto object = SharedObject::open(hostPath, error);
  if (!object) return nullptr;
  std::unique_ptr<IshLibrary> lib(new IshLibrary);
  const SharedObject& o = *object;
  bool ok = resolve(o, "Ish", lib->ish_, error) &&
            resolve(o, "IshGetVersion", lib->getVersion_, error) &&
            resolve(o, "IshCheckArchive", lib->checkArchive_, error) &&
            resolve(o, "IshGetCapabilities", lib->getCapabilities_, error) &&
            resolve(o, "IshGetLastOutput", lib->getLastOutput_, error);
  if (!ok) return nullptr;
  // Optional: older builds of the library have no host callbacks.
  lib->setHost_ = reinterpret_cast<void (*)(const ZvHost*)>(o.symbol("IshSetHost"));
  lib->object_ = std::move(object);
  return lib;
}

std::string IshLibrary::capabilities() const {
  const char* text = getCapabilities_();
  return text ? text : "";
}

std::string IshLibrary::lastOutput() const {
  const char* text = getLastOutput_();
  return text ? text : "";
}

ArchiverSet::ArchiverSet(std::string folder)
    : folder_(folder.empty() ? folders::systemFolder() : std::move(folder)) {}

ArchiverSet::~ArchiverSet() = default;

void ArchiverSet::setFolder(const std::string& folder) {
  if (folder == folder_) return;
  unloadAll();
  folder_ = folder;
}

bool ArchiverSet::present(const std::string& windowsName) const {
  return !findFileIgnoringCase(folder_, windowsName).empty();
}

namespace {

// Loads a library of the folder on its first use and hands it the host callbacks; later
// calls get the loaded one. A missing or broken file leaves the reason in `error`.
template <class Library, class Load>
Library* loadOnce(std::unique_ptr<Library>& slot, const std::string& folder,
                  const char* windowsName, const ZvHost* host, std::string& error, Load load) {
  if (!slot) {
    std::string file = findFileIgnoringCase(folder, windowsName);
    if (file.empty()) {
      error = std::string(windowsName) + " is not in " + folder;
      return nullptr;
    }
    slot = load(file, &error);
    if (slot && host) slot->setHost(host);
  }
  return slot.get();
}

}  // namespace

LhaLibrary* ArchiverSet::lha() {
  return loadOnce(lha_, folder_, kLhaName, host_, lastError_,
                  [](const std::string& file, std::string* error) {
                    return ListingLibrary::load(file, "Unlha", "Unlha", error);
                  });
}

ZipLibrary* ArchiverSet::zip() {
  return loadOnce(zip_, folder_, kZipName, host_, lastError_,
                  [](const std::string& file, std::string* error) {
                    return ListingLibrary::load(file, "UnZip", "UnZip", error);
                  });
}

IshLibrary* ArchiverSet::ish() {
  return loadOnce(ish_, folder_, kIshName, host_, lastError_, IshLibrary::load);
}

void ArchiverSet::setHost(const ZvHost* host) {
  host_ = host;
  if (lha_) lha_->setHost(host);
  if (zip_) zip_->setHost(host);
  if (ish_) ish_->setHost(host);
}

void ArchiverSet::unloadAll() {
  lha_.reset();
  zip_.reset();
  ish_.reset();
}

}  // namespace zv
