// The recording archiver double: every function of the archiver interface, recording each
// call and answering what the test set through the control functions. The same file is
// installed under the three Windows names; each copy is a separate instance.
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "tests/support/fake_archiver_control.h"

namespace {

struct Call {
  std::string function;
  std::string text;
  unsigned bufferSize = 0;
  bool hadBuffer = false;
  bool bufferBlank = false;
};

struct FileToCreate {
  std::string path;
  std::string bytes;
};

struct State {
  int version = 130;
  int result = 0;
  std::deque<int> queued;
  std::string output;
  std::vector<ZvMemberInfo> members;
  int fileCount = -1;
  int checkResult = 1;
  std::string lastOutput;
  std::string capabilities = "methods=lh0,lh5,lh6,lh7;levels=0,1,2;sfx=1";
  std::vector<FileToCreate> files;
  std::vector<Call> calls;
  const ZvHost* host = nullptr;
};

State& state() {
  static State s;
  return s;
}

// One open archive: where the next find-next continues.
struct Cursor {
  size_t next = 0;
};

void record(const char* function, std::string text) {
  state().calls.push_back({function, std::move(text)});
}

int commandCall(const char* function, const char* command, char* output, uint32_t size) {
  State& s = state();
  Call call{function, command ? command : ""};
  call.bufferSize = size;
  call.hadBuffer = output != nullptr;
  if (output) {
    call.bufferBlank = true;
    for (uint32_t i = 0; i < size; ++i)
      if (output[i] != ' ') call.bufferBlank = false;
    if (size) {
      size_t n = std::min<size_t>(s.output.size(), size - 1);
      std::memcpy(output, s.output.data(), n);
      output[n] = '\0';
    }
  }
  s.calls.push_back(std::move(call));
  for (const auto& f : s.files) {
    if (FILE* out = std::fopen(f.path.c_str(), "wb")) {
      std::fwrite(f.bytes.data(), 1, f.bytes.size(), out);
      std::fclose(out);
    }
  }
  if (!s.queued.empty()) {
    int r = s.queued.front();
    s.queued.pop_front();
    return r;
  }
  return s.result;
}

int count(const char* function, const char* archive) {
  record(function, archive ? archive : "");
  State& s = state();
  return s.fileCount >= 0 ? s.fileCount : static_cast<int>(s.members.size());
}

ZvArchive open(const char* function, const char* archive, uint32_t mode) {
  record(function, std::string(archive ? archive : "") + " " + std::to_string(mode));
  return new Cursor;
}

int findFirst(const char* function, ZvArchive a, const char* wildcard, ZvMemberInfo* info) {
  record(function, wildcard ? wildcard : "");
  auto* cursor = static_cast<Cursor*>(a);
  if (!cursor) return ZV_FIND_END;
  cursor->next = 0;
  if (state().members.empty()) return ZV_FIND_END;
  if (info) *info = state().members[0];
  cursor->next = 1;
  return ZV_FIND_OK;
}

int findNext(const char* function, ZvArchive a, ZvMemberInfo* info) {
  record(function, "");
  auto* cursor = static_cast<Cursor*>(a);
  if (!cursor || cursor->next >= state().members.size()) return ZV_FIND_END;
  if (info) *info = state().members[cursor->next];
  ++cursor->next;
  return ZV_FIND_OK;
}

int close(const char* function, ZvArchive a) {
  record(function, "");
  delete static_cast<Cursor*>(a);
  return 0;
}

const Call* callAt(int index) {
  auto& calls = state().calls;
  if (index < 0 || static_cast<size_t>(index) >= calls.size()) return nullptr;
  return &calls[static_cast<size_t>(index)];
}

}  // namespace

extern "C" {

// ---- the archiver interface ----
int Unlha(ZvWindow, const char* command, char* output, uint32_t size) {
  return commandCall("Unlha", command, output, size);
}
int16_t UnlhaGetVersion(void) {
  record("UnlhaGetVersion", "");
  return static_cast<int16_t>(state().version);
}
int UnlhaGetFileCount(const char* archive) { return count("UnlhaGetFileCount", archive); }
ZvArchive UnlhaOpenArchive(ZvWindow, const char* archive, uint32_t mode) {
  return open("UnlhaOpenArchive", archive, mode);
}
int UnlhaFindFirst(ZvArchive a, const char* wildcard, ZvMemberInfo* info) {
  return findFirst("UnlhaFindFirst", a, wildcard, info);
}
int UnlhaFindNext(ZvArchive a, ZvMemberInfo* info) { return findNext("UnlhaFindNext", a, info); }
int UnlhaCloseArchive(ZvArchive a) { return close("UnlhaCloseArchive", a); }
const char* UnlhaGetCapabilities(void) { return state().capabilities.c_str(); }
void UnlhaSetHost(const ZvHost* host) {
  record("UnlhaSetHost", host ? "host" : "");
  state().host = host;
}

int UnZip(ZvWindow, const char* command, char* output, uint32_t size) {
  return commandCall("UnZip", command, output, size);
}
int16_t UnZipGetVersion(void) {
  record("UnZipGetVersion", "");
  return static_cast<int16_t>(state().version);
}
int UnZipGetFileCount(const char* archive) { return count("UnZipGetFileCount", archive); }
ZvArchive UnZipOpenArchive(ZvWindow, const char* archive, uint32_t mode) {
  return open("UnZipOpenArchive", archive, mode);
}
int UnZipFindFirst(ZvArchive a, const char* wildcard, ZvMemberInfo* info) {
  return findFirst("UnZipFindFirst", a, wildcard, info);
}
int UnZipFindNext(ZvArchive a, ZvMemberInfo* info) { return findNext("UnZipFindNext", a, info); }
int UnZipCloseArchive(ZvArchive a) { return close("UnZipCloseArchive", a); }
const char* UnZipGetCapabilities(void) { return state().capabilities.c_str(); }
void UnZipSetHost(const ZvHost* host) {
  record("UnZipSetHost", host ? "host" : "");
  state().host = host;
}

int Ish(ZvWindow, const char* command) { return commandCall("Ish", command, nullptr, 0); }
int16_t IshGetVersion(void) {
  record("IshGetVersion", "");
  return static_cast<int16_t>(state().version);
}
int IshCheckArchive(const char* path, int mode) {
  record("IshCheckArchive", std::string(path ? path : "") + " " + std::to_string(mode));
  return state().checkResult;
}
const char* IshGetCapabilities(void) { return state().capabilities.c_str(); }
const char* IshGetLastOutput(void) { return state().lastOutput.c_str(); }
void IshSetHost(const ZvHost* host) {
  record("IshSetHost", host ? "host" : "");
  state().host = host;
}

// ---- control ----
void FakeReset(void) { state() = State{}; }
void FakeSetVersion(int version) { state().version = version; }
void FakeSetResult(int result) { state().result = result; }
void FakeQueueResult(int result) { state().queued.push_back(result); }
void FakeSetOutput(const char* text) { state().output = text ? text : ""; }
void FakeClearMembers(void) { state().members.clear(); }
void FakeAddMember(const ZvMemberInfo* info) {
  if (info) state().members.push_back(*info);
}
void FakeSetFileCount(int count) { state().fileCount = count; }
void FakeSetCheckResult(int result) { state().checkResult = result; }
void FakeSetLastOutput(const char* text) { state().lastOutput = text ? text : ""; }
void FakeSetCapabilities(const char* text) { state().capabilities = text ? text : ""; }
void FakeAddFileToCreate(const char* hostPath, const char* bytes, size_t size) {
  state().files.push_back(
      {hostPath ? hostPath : "", std::string(bytes ? bytes : "", bytes ? size : 0)});
}
int FakeCallCount(void) { return static_cast<int>(state().calls.size()); }
void FakeClearCalls(void) { state().calls.clear(); }
const char* FakeCallFunction(int index) {
  const Call* c = callAt(index);
  return c ? c->function.c_str() : "";
}
const char* FakeCallText(int index) {
  const Call* c = callAt(index);
  return c ? c->text.c_str() : "";
}
unsigned FakeCallBufferSize(int index) {
  const Call* c = callAt(index);
  return c ? c->bufferSize : 0;
}
int FakeCallBufferBlank(int index) {
  const Call* c = callAt(index);
  return c && c->bufferBlank;
}
int FakeCallHadBuffer(int index) {
  const Call* c = callAt(index);
  return c && c->hadBuffer;
}

}  // extern "C"
