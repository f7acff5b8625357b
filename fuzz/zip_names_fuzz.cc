// libFuzzer target for the ZIP reading path: the input is opened as an archive in memory
// (end record search, ZIP64 records, central directory), every member name is decoded from
// its raw bytes, put through the path-safety gate and into the member record, the verbose
// listing is built, and every member is read and checked as a test run does (local header,
// stored, deflate and LZMA data, CRC-32). The raw-name decoder also gets the
// input itself, with the first byte choosing the UTF-8 flag, a Unicode path field and the
// encoding names are read in.
// Built as a CMake target with -DZV_FUZZ=ON (see fuzz/CMakeLists.txt).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "write_gate.h"
#include "zip_archive.h"
#include "zip_extract.h"
#include "zip_listing.h"
#include "zip_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0) {
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t cut = bytes.size() / 2;
    std::string name = zv::zip::decodeMemberName(
        bytes.substr(0, cut), data[0] & 1, (data[0] & 2) ? bytes.substr(cut) : std::string_view{});
    std::vector<std::string> parts;
    zv::archive::splitMemberName(name, parts);
    // Every encoding the user may choose reads any bytes into text without control
    // characters.
    auto e = zv::encoding::encodingFromNumber((data[0] >> 2) % 6);
    zv::zip::ReadName read = zv::zip::readMemberName(bytes.substr(0, cut), false, {}, {*e, true});
    for (unsigned char c : read.text)
      if (c < 0x20 || c == 0x7F) __builtin_trap();
  }
  int err = 0;
  auto archive = zv::zip::Archive::openMemory(data, size, &err);
  if (!archive) return 0;
  std::vector<size_t> all, readable;
  ZvMemberInfo info;
  for (size_t i = 0; i < archive->count(); ++i) {
    const zv::zip::Member m = archive->member(i);
    zv::zip::fillMemberInfo(m, &info);
    if (std::memchr(info.name, 0, sizeof info.name) == nullptr) __builtin_trap();
    std::vector<std::string> parts;
    if (zv::archive::splitMemberName(m.name, parts) == zv::archive::NameProblem::None)
      for (const auto& p : parts)
        if (p == ".." || p.empty() || p.find('/') != std::string::npos) __builtin_trap();
    all.push_back(i);
    // A declared size far beyond what the input can hold only costs time: LZMA expands a
    // few kilobytes into gigabytes.
    if (m.size <= 64 * size + 4096) readable.push_back(i);
  }
  std::string text = zv::zip::verboseListing(*archive, "fuzz.zip", all);
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  if (lines != 1 + 2 * all.size() + 6) __builtin_trap();
  zv::zip::UnZipCommand test;
  test.action = zv::zip::UnZipCommand::Action::Test;
  std::string out;
  int r = zv::zip::extractMembers(*archive, test, &readable, nullptr, out);
  if (r == 0 && out.find("OK: ") == std::string::npos && !readable.empty()) {
    bool anyFile = false;
    for (size_t i : readable) anyFile |= !archive->entry(i).has(zv::zip::Entry::kFolder);
    if (anyFile) __builtin_trap();  // success reported without a member read
  }
  return 0;
}
