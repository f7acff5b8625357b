#include "core/settings/path_list_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>

#include "platform/cp932.h"
#include "platform/drives.h"
#include "platform/encoding.h"
#include "platform/fileops.h"
#include "platform/runtime_error.h"
#include "platform/winpath.h"

namespace zv::pathlist {
namespace {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

// The longest prefix of at most `limit` bytes that ends on a character boundary.
size_t cp932Cut(std::string_view bytes, size_t limit) {
  size_t i = 0;
  while (i < bytes.size()) {
    size_t len = encoding::isCp932LeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
    if (i + len > limit) break;
    i += len;
  }
  return i;
}

size_t utf8Cut(std::string_view bytes, size_t limit) {
  if (bytes.size() <= limit) return bytes.size();
  size_t i = limit;
  while (i > 0 && (static_cast<unsigned char>(bytes[i]) & 0xC0) == 0x80) --i;
  return i;
}

void putCount(std::string& out, int count) {
  uint16_t v = static_cast<uint16_t>(static_cast<int16_t>(count));
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

std::string record(int count, std::string_view field) {
  std::string r;
  r.reserve(kRecordSize);
  putCount(r, count);
  r.append(field);
  return r;
}

bool writeFully(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

Files compressionFiles(const std::string& programFolder) {
  return {winpath::join(programFolder, "ZORVEX2.DAT"), winpath::join(programFolder, "ZORVEX2.$$$")};
}

Files extractionFiles(const std::string& programFolder) {
  return {winpath::join(programFolder, "ZORVEX.DAT"), winpath::join(programFolder, "ZORVEX.$$$")};
}

std::string encodePathField(std::string_view path) {
  std::string_view text = trimBlanks(path);
  std::string bytes;
  size_t keep;
  if (encoding::fitsCp932(text)) {
    bytes = encoding::utf8ToCp932(text);
    keep = cp932Cut(bytes, kPathBytes);
  } else {
    bytes = std::string(text);
    keep = utf8Cut(bytes, kPathBytes);
  }
  bytes.resize(keep);
  bytes.append(kPathBytes - keep, ' ');
  return bytes;
}

std::string decodePathField(std::string_view field) {
  // 0x20 is never the second byte of a CP932 character, so blanks can be cut before decoding.
  std::string_view bytes = trimBlanks(field);
  std::string text = encoding::decodeUnknown(bytes);
  return std::string(trimBlanks(text));
}

std::string encodeRecords(const std::vector<std::string>& entries) {
  int n = static_cast<int>(entries.size());
  if (n == 0) return record(0, std::string(kPathBytes, ' '));
  std::string out;
  out.reserve(kRecordSize * entries.size());
  for (const auto& e : entries) out += record(n, encodePathField(e));
  return out;
}

std::vector<std::string> decodeRecords(std::string_view bytes) {
  std::vector<std::string> entries;
  if (bytes.size() < 2) return entries;
  int16_t n =
      static_cast<int16_t>(static_cast<uint8_t>(bytes[0]) | (static_cast<uint8_t>(bytes[1]) << 8));
  for (int k = 0; k < n; ++k) {
    size_t at = static_cast<size_t>(k) * kRecordSize;
    if (at + 2 > bytes.size()) break;
    std::string_view field = bytes.substr(at + 2, kPathBytes);
    entries.push_back(decodePathField(field));
  }
  return entries;
}

std::vector<std::string> readList(const std::string& listFile) {
  try {
    return decodeRecords(fs::readAll(listFile));
  } catch (const RuntimeError&) {
    return {};
  }
}

bool writeList(const Files& files, const std::vector<std::string>& entries,
               const std::function<void()>& afterRecord, int* error) {
  int failure = 0;
  auto fail = [&](int number) {
    if (error) *error = number;
    return false;
  };
  if (entries.size() > static_cast<size_t>(kMaxEntries)) return fail(0);
  std::string temp, list;
  try {
    temp = hostPath(files.temp);
    list = hostPath(files.list);
  } catch (const RuntimeError& e) {
    return fail(e.number());
  }
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return fail(runtimeErrorFromErrno(errno));
  // The first failing step's errno is the one the user is told about.
  auto step = [&](bool done) {
    if (!done && failure == 0) failure = runtimeErrorFromErrno(errno);
    return done;
  };
  const std::string bytes = encodeRecords(entries);
  bool ok = true;
  for (size_t at = 0; ok && at < bytes.size(); at += kRecordSize) {
    ok = step(writeFully(fd, std::string_view(bytes).substr(at, kRecordSize)));
    if (ok && afterRecord && !entries.empty()) afterRecord();
  }
  if (ok) ok = step(::fsync(fd) == 0);
  if (!step(::close(fd) == 0)) ok = false;
  if (ok) ok = step(::rename(temp.c_str(), list.c_str()) == 0);
  if (ok) return true;
  ::unlink(temp.c_str());
  return fail(failure);
}

}  // namespace zv::pathlist
