#include "zip_listing.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "zip_names.h"

namespace zv::zip {
namespace {

void dosStamp(std::time_t t, uint16_t& date, uint16_t& time) {
  std::tm tm{};
  localtime_r(&t, &tm);
  if (tm.tm_year < 80) {
    date = (1 << 5) | 1, time = 0;
    return;
  }
  date = uint16_t(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  time = uint16_t((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
}

std::string attributeText(const Member& m) {
  std::string a = m.folder ? "d" : m.symlink ? "l" : "-";
  a += 'r';
  bool writable = m.opsys == ZIP_OPSYS_UNIX && m.mode ? (m.mode & 0200) != 0 : !m.readOnly;
  a += writable ? 'w' : '-';
  a += (m.opsys == ZIP_OPSYS_UNIX && (m.mode & 0111)) ? 'x' : '-';
  return a;
}

unsigned perMille(uint64_t packed, uint64_t size) {
  if (size == 0) return 0;
  uint64_t r = packed * 1000 / size;
  return unsigned(r > 65535 ? 65535 : r);
}

std::string timeText(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

std::string firstLine(const std::string& s) {
  size_t e = s.find_first_of("\r\n");
  return e == std::string::npos ? s : s.substr(0, e);
}

// A name as one line of text: control characters (a hostile name may hold line breaks)
// are shown as '?'.
std::string shown(const std::string& name) {
  std::string s = name;
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return s;
}

}  // namespace

void fillMemberInfo(const Member& m, ZvMemberInfo* info, encoding::NameEncoding decided) {
  std::memset(info, 0, ZV_MEMBER_INFO_SIZE);
  info->original_size = uint32_t(m.size > 0xFFFFFFFFu ? 0xFFFFFFFFu : m.size);
  info->packed_size = uint32_t(m.packed > 0xFFFFFFFFu ? 0xFFFFFFFFu : m.packed);
  info->crc = m.crc;
  info->flag = m.encrypted ? ZV_MEMBER_ENCRYPTED : 0;
  info->os_type = m.opsys;
  info->ratio = uint16_t(perMille(m.packed, m.size));
  dosStamp(m.mtime, info->date, info->time);
  std::string name = cutUtf8(m.name, sizeof info->name - 1);
  std::memcpy(info->name, name.data(), name.size());
  std::string attr = attributeText(m);
  std::memcpy(info->attribute, attr.data(), std::min(attr.size(), sizeof info->attribute - 1));
  const char* method = methodName(m.method);
  std::memcpy(info->method, method, std::min(std::strlen(method), sizeof info->method - 1));
  info->name_encoding = m.nameEncoding;
  info->name_flags = ((m.nameBits & Entry::kNameEscaped) ? ZV_NAME_ESCAPED : 0) |
                     ((m.nameBits & Entry::kNameMarked) ? ZV_NAME_MARKED : 0) |
                     ((m.nameBits & Entry::kNameComposed) ? ZV_NAME_COMPOSED : 0);
  info->names_decided = uint8_t(decided);
}

std::string shortListing(const Archive& a, const std::vector<size_t>& chosen) {
  std::string out = "    サイズ  日付       時刻     名前\r\n";
  out += "----------  ---------- -----    ----\r\n";
  uint64_t total = 0;
  char buf[64];
  for (size_t i : chosen) {
    const Member m = a.member(i);
    std::string stamp = timeText(m.mtime).substr(0, 16);
    std::snprintf(buf, sizeof buf, "%10llu  %s    ", static_cast<unsigned long long>(m.size),
                  stamp.c_str());
    out += buf + shown(m.name) + "\r\n";
    total += m.size;
  }
  out += "----------                       ----\r\n";
  std::snprintf(buf, sizeof buf, "%10llu                       %zu ファイル\r\n",
                static_cast<unsigned long long>(total), chosen.size());
  return out + buf;
}

std::string verboseListing(const Archive& a, const std::string& shownPath,
                           const std::vector<size_t>& chosen) {
  std::string out =
      " 名前 / 元のサイズ 圧縮後サイズ 圧縮率 日付       時刻     属性 方式     CRC-32\r\n";
  uint64_t total = 0, packed = 0;
  char buf[160];
  for (size_t i : chosen) {
    const Member m = a.member(i);
    out += shown(m.name) + "\r\n";
    unsigned r = perMille(m.packed, m.size);
    std::snprintf(buf, sizeof buf, "%18llu %12llu %3u.%u%% %s %-4s %-8s %08X%s\r\n",
                  static_cast<unsigned long long>(m.size),
                  static_cast<unsigned long long>(m.packed), r / 10, r % 10,
                  timeText(m.mtime).c_str(), attributeText(m).c_str(), methodName(m.method), m.crc,
                  m.encrypted ? " *" : "");
    std::string detail = buf;
    if (m.nameBits & Entry::kNameEscaped)
      detail.insert(detail.size() - 2, "  ※名前の読めないバイトは %XX で表しています");
    out += detail;
    total += m.size, packed += m.packed;
  }
  out += "--------------------------------------------------------------------------------\r\n";
  unsigned r = perMille(packed, total);
  std::snprintf(buf, sizeof buf, "%18llu %12llu %3u.%u%% %zu ファイル\r\n",
                static_cast<unsigned long long>(total), static_cast<unsigned long long>(packed),
                r / 10, r % 10, chosen.size());
  out += buf;
  out += "書庫: " + shown(shownPath) + "\r\n";
  // On the size line, so the listing keeps its number of lines.
  out += "書庫のサイズ: " + std::to_string(a.fileSize()) + " バイト (ZIP)  名前の文字コード: " +
         std::string(encoding::encodingLabel(a.namesDecided())) +
         (a.namesRequested() == encoding::NameEncoding::Auto ? " (自動判定)" : "") + "\r\n";
  out +=
      "コメント: " + (a.comment().empty() ? std::string("(なし)") : shown(firstLine(a.comment()))) +
      "\r\n";
  out += "================================================================================\r\n";
  return out;
}

}  // namespace zv::zip
