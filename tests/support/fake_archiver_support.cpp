#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "tests/support/fake_archiver.h"
#include "tests/support/fake_archiver_control.h"

namespace zv::test {

FakeLibrary::FakeLibrary(const std::string& hostFile) : file_(hostFile) {
  handle_ = dlopen(hostFile.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_)
    throw std::runtime_error("cannot open the archiver double " + hostFile + ": " + dlerror());
  reset();
}

FakeLibrary::~FakeLibrary() {
  if (handle_) dlclose(handle_);
}

template <class F>
F FakeLibrary::fn(const char* name) const {
  void* p = dlsym(handle_, name);
  if (!p) throw std::runtime_error(std::string("archiver double lacks ") + name);
  return reinterpret_cast<F>(p);
}

void FakeLibrary::reset() { fn<void (*)()>("FakeReset")(); }
void FakeLibrary::setVersion(int v) { fn<void (*)(int)>("FakeSetVersion")(v); }
void FakeLibrary::setResult(int r) { fn<void (*)(int)>("FakeSetResult")(r); }
void FakeLibrary::queueResults(const std::vector<int>& results) {
  auto queue = fn<void (*)(int)>("FakeQueueResult");
  for (int r : results) queue(r);
}
void FakeLibrary::setOutput(const std::string& text) {
  fn<void (*)(const char*)>("FakeSetOutput")(text.c_str());
}
void FakeLibrary::setMembers(const std::vector<FakeMember>& members) {
  fn<void (*)()>("FakeClearMembers")();
  auto add = fn<void (*)(const ZvMemberInfo*)>("FakeAddMember");
  for (const auto& m : members) {
    ZvMemberInfo info;
    std::memset(&info, 0, sizeof info);
    info.original_size = m.originalSize;
    info.packed_size = m.packedSize;
    info.crc = m.crc;
    info.ratio =
        m.originalSize ? static_cast<uint16_t>(uint64_t{m.packedSize} * 1000 / m.originalSize) : 0;
    info.date = m.date;
    info.time = m.time;
    info.flag = m.flag;
    std::strncpy(info.name, m.name.c_str(), sizeof info.name - 1);
    std::strncpy(info.attribute, m.attribute.c_str(), sizeof info.attribute - 1);
    std::strncpy(info.method, m.method.c_str(), sizeof info.method - 1);
    add(&info);
  }
}
void FakeLibrary::setFileCount(int count) { fn<void (*)(int)>("FakeSetFileCount")(count); }
void FakeLibrary::setCheckResult(int r) { fn<void (*)(int)>("FakeSetCheckResult")(r); }
void FakeLibrary::setLastOutput(const std::string& text) {
  fn<void (*)(const char*)>("FakeSetLastOutput")(text.c_str());
}
void FakeLibrary::setCapabilities(const std::string& text) {
  fn<void (*)(const char*)>("FakeSetCapabilities")(text.c_str());
}
void FakeLibrary::createOnCommand(const std::string& hostPath, const std::string& bytes) {
  fn<void (*)(const char*, const char*, size_t)>("FakeAddFileToCreate")(hostPath.c_str(),
                                                                        bytes.data(), bytes.size());
}

std::vector<FakeCall> FakeLibrary::calls() const {
  int n = fn<int (*)()>("FakeCallCount")();
  auto function = fn<const char* (*)(int)>("FakeCallFunction");
  auto text = fn<const char* (*)(int)>("FakeCallText");
  auto size = fn<unsigned (*)(int)>("FakeCallBufferSize");
  auto blank = fn<int (*)(int)>("FakeCallBufferBlank");
  auto had = fn<int (*)(int)>("FakeCallHadBuffer");
  std::vector<FakeCall> out;
  for (int i = 0; i < n; ++i)
    out.push_back({function(i), text(i), size(i), had(i) != 0, blank(i) != 0});
  return out;
}

std::vector<std::string> FakeLibrary::commands() const {
  std::vector<std::string> out;
  for (const auto& c : calls())
    if (c.function == "Unlha" || c.function == "UnZip" || c.function == "Ish")
      out.push_back(c.text);
  return out;
}

std::vector<std::string> FakeLibrary::functions() const {
  std::vector<std::string> out;
  for (const auto& c : calls()) out.push_back(c.function);
  return out;
}

void FakeLibrary::clearCalls() { fn<void (*)()>("FakeClearCalls")(); }

std::string FakeArchivers::builtFile() { return ZV_FAKE_ARCHIVER_FILE; }

std::unique_ptr<FakeLibrary> FakeArchivers::install(const std::string& folderHost,
                                                    const std::string& fileName) {
  std::filesystem::create_directories(folderHost);
  std::string target = folderHost + "/" + fileName;
  // Copied beside and renamed into place: a copy already loaded keeps its mapped file intact.
  std::string temp = target + ".new";
  std::filesystem::copy_file(builtFile(), temp, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::rename(temp, target);
  return std::make_unique<FakeLibrary>(target);
}

FakeArchivers::FakeArchivers(const std::string& folderHost, bool lha, bool zip, bool ish) {
  std::filesystem::create_directories(folderHost);
  if (lha) lha_ = install(folderHost, "UNLHA32.DLL");
  if (zip) zip_ = install(folderHost, "UNZIP32.DLL");
  if (ish) ish_ = install(folderHost, "ISH32.DLL");
}

}  // namespace zv::test
