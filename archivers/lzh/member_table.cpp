#include "member_table.h"

#include <cstring>
#include <new>

namespace zv::lzh {
namespace {

void putLength(std::string& out, size_t n) {
  while (n >= 0x80) {
    out += static_cast<char>(0x80 | (n & 0x7F));
    n >>= 7;
  }
  out += static_cast<char>(n);
}

size_t getLength(const char*& p) {
  size_t n = 0;
  for (unsigned shift = 0;; shift += 7) {
    unsigned char c = static_cast<unsigned char>(*p++);
    n |= static_cast<size_t>(c & 0x7F) << shift;
    if (c < 0x80) return n;
  }
}

void putText(std::string& out, const std::string& s) {
  putLength(out, s.size());
  out += s;
}

std::string getText(const char*& p) {
  size_t n = getLength(p);
  std::string s(p, n);
  p += n;
  return s;
}

// The components as they read back from a display path: its '\'-separated parts without the
// leading '\' of an absolute name and the trailing one of a folder.
std::vector<std::string> partsOfPath(std::string_view path, bool absolute, bool folder) {
  if (absolute && !path.empty() && path.front() == '\\') path.remove_prefix(1);
  if (folder && !path.empty() && path.back() == '\\') path.remove_suffix(1);
  std::vector<std::string> parts;
  if (path.empty()) return parts;
  for (;;) {
    size_t sep = path.find('\\');
    parts.emplace_back(path.substr(0, sep));
    if (sep == std::string_view::npos) break;
    path.remove_prefix(sep + 1);
  }
  return parts;
}

}  // namespace

uint32_t MemberTable::placeText(const std::string& bytes) {
  if (texts_.empty() || texts_.back().size() + bytes.size() > kTextBlock) {
    if (texts_.size() >= (size_t{1} << (32 - kTextShift))) throw std::bad_alloc();
    texts_.emplace_back();
    // Reserved, not filled: the pages are only touched as names arrive.
    texts_.back().reserve(bytes.size() > kTextBlock ? bytes.size() : kTextBlock);
  }
  std::string& block = texts_.back();
  uint32_t at = static_cast<uint32_t>(((texts_.size() - 1) << kTextShift) | block.size());
  block += bytes;
  return at;
}

void MemberTable::push_back(const Member& m) {
  MemberRecord r;
  r.headerOffset = m.headerOffset;
  r.packedSize = m.packedSize;
  r.originalSize = m.originalSize;
  r.mtime = static_cast<int64_t>(m.mtime);
  r.headerSize = m.headerSize;
  r.dosDateTime = m.dosDateTime;
  r.crc = m.crc;
  r.unixMode = m.unixMode;
  std::memcpy(r.method, m.method, 5);
  r.level = m.level;
  r.osId = m.osId;
  r.dosAttribute = m.dosAttribute;
  auto flag = [&](bool on, uint16_t f) {
    if (on) r.flags |= f;
  };
  flag(m.hasCrc, MemberRecord::kHasCrc);
  flag(m.hasUnixMode, MemberRecord::kHasUnixMode);
  flag(m.absolute, MemberRecord::kAbsolute);
  flag(m.isFolder, MemberRecord::kFolder);
  flag(m.isSymlink, MemberRecord::kSymlink);
  flag(m.truncated, MemberRecord::kTruncated);
  flag(!m.comment.empty(), MemberRecord::kComment);
  flag(!m.linkTarget.empty(), MemberRecord::kLinkTarget);
  flag(partsOfPath(m.path, m.absolute, m.isFolder) != m.parts, MemberRecord::kOwnParts);
  flag(m.nameMarked, MemberRecord::kNameMarked);
  flag(m.nameEscaped, MemberRecord::kNameEscaped);
  flag(!m.matchPath.empty(), MemberRecord::kMatchPath);
  r.nameEncoding = m.nameEncoding;

  std::string text;
  putText(text, m.path);
  if (r.is(MemberRecord::kComment)) putText(text, m.comment);
  if (r.is(MemberRecord::kLinkTarget)) putText(text, m.linkTarget);
  if (r.is(MemberRecord::kOwnParts)) {
    putLength(text, m.parts.size());
    for (const std::string& p : m.parts) putText(text, p);
  }
  if (r.is(MemberRecord::kMatchPath)) putText(text, m.matchPath);
  r.text = placeText(text);

  if ((count_ & (kRecordsPerBlock - 1)) == 0) {
    records_.emplace_back();
    records_.back().reserve(kRecordsPerBlock);
  }
  records_.back().push_back(r);
  ++count_;
}

std::string_view MemberTable::path(size_t i) const {
  const char* p = textAt(record(i).text);
  size_t n = getLength(p);
  return {p, n};
}

std::string_view MemberTable::matchPath(size_t i) const {
  const MemberRecord& r = record(i);
  if (!r.is(MemberRecord::kMatchPath)) return path(i);
  const char* p = textAt(r.text);
  getText(p);
  if (r.is(MemberRecord::kComment)) getText(p);
  if (r.is(MemberRecord::kLinkTarget)) getText(p);
  if (r.is(MemberRecord::kOwnParts))
    for (size_t k = 0, n = getLength(p); k < n; ++k) getText(p);
  size_t n = getLength(p);
  return {p, n};
}

Member MemberTable::operator[](size_t i) const {
  const MemberRecord& r = record(i);
  Member m;
  m.headerOffset = r.headerOffset;
  m.dataOffset = r.dataOffset();
  m.headerSize = r.headerSize;
  std::memcpy(m.method, r.method, 5);
  m.packedSize = r.packedSize;
  m.originalSize = r.originalSize;
  m.crc = r.crc;
  m.hasCrc = r.is(MemberRecord::kHasCrc);
  m.level = r.level;
  m.osId = r.osId;
  m.dosAttribute = r.dosAttribute;
  m.dosDateTime = r.dosDateTime;
  m.mtime = static_cast<std::time_t>(r.mtime);
  m.unixMode = r.unixMode;
  m.hasUnixMode = r.is(MemberRecord::kHasUnixMode);
  m.absolute = r.is(MemberRecord::kAbsolute);
  m.isFolder = r.is(MemberRecord::kFolder);
  m.isSymlink = r.is(MemberRecord::kSymlink);
  m.truncated = r.is(MemberRecord::kTruncated);
  const char* p = textAt(r.text);
  m.path = getText(p);
  if (r.is(MemberRecord::kComment)) m.comment = getText(p);
  if (r.is(MemberRecord::kLinkTarget)) m.linkTarget = getText(p);
  if (r.is(MemberRecord::kOwnParts)) {
    size_t n = getLength(p);
    m.parts.reserve(n);
    for (size_t k = 0; k < n; ++k) m.parts.push_back(getText(p));
  } else {
    m.parts = partsOfPath(m.path, m.absolute, m.isFolder);
  }
  if (r.is(MemberRecord::kMatchPath)) m.matchPath = getText(p);
  m.nameEncoding = r.nameEncoding;
  m.nameMarked = r.is(MemberRecord::kNameMarked);
  m.nameEscaped = r.is(MemberRecord::kNameEscaped);
  return m;
}

}  // namespace zv::lzh
