#include "listing_text.h"

#include <cstdio>
#include <ctime>

namespace zv::lzh {
namespace {

const char* kRule = "----------- --------- ------ ---------- -------- ---- ------ ---- -- --";

std::string dateTime(std::time_t t) {
  if (t <= 0) return "---------- --------";
  struct tm tm {};
  localtime_r(&t, &tm);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

std::string osText(uint8_t os) {
  if (os == 0) return "-";
  if (os < 0x21 || os > 0x7E) return "?";
  return std::string(1, static_cast<char>(os));
}

std::string trimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

std::string attributeText(const Member& m) { return attributeText(m.isFolder, m.dosAttribute); }

std::string attributeText(bool folder, uint8_t attr) {
  std::string a = "----";
  if (folder) {
    a[0] = 'd';
  } else if (attr & 0x20) {
    a[0] = 'a';
  }
  if (attr & 0x02) a[1] = 'h';
  if (attr & 0x04) a[2] = 's';
  a[3] = (attr & 0x01) ? 'r' : 'w';
  return a;
}

std::string ratioText(uint64_t packed, uint64_t original) {
  if (original == 0) return "******";
  // Rounded half up to one decimal.
  unsigned long long tenths = (packed * 2000ull / original + 1) / 2;
  if (tenths > 9999) return "******";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%llu.%llu%%", tenths / 10, tenths % 10);
  return buf;
}

uint16_t ratioPerMille(uint64_t packed, uint64_t original) {
  if (original == 0) return 0;
  uint64_t r = packed * 1000ull / original;
  return static_cast<uint16_t>(r > 65535 ? 65535 : r);
}

const char kEscapedNameMark[] = "  ※名前の読めないバイトは %XX で表しています";

std::string namesText(encoding::NameEncoding requested, encoding::NameEncoding decided) {
  std::string text = "名前の文字コード : " + std::string(encoding::encodingLabel(decided));
  if (requested == encoding::NameEncoding::Auto) text += " (自動判定)";
  return text;
}

void verboseListing(const std::string& archiveText, const MemberTable& members,
                    const std::vector<uint32_t>& shown, const LineSink& line,
                    const std::string& namesText) {
  line("Listing of archive : " + archiveText);
  line(namesText);
  line(" Name");
  line("   Original    Packed  Ratio Date       Time     Attr Method CRC  Lv OS");
  line(kRule);
  uint64_t totalOrig = 0, totalPacked = 0;
  char buf[256];
  for (uint32_t i : shown) {
    const Member m = members[i];
    line(m.path);
    std::snprintf(buf, sizeof buf, "%11llu %9llu %6s %s %4s %-6s %04X %2d %s",
                  static_cast<unsigned long long>(m.originalSize),
                  static_cast<unsigned long long>(m.packedSize),
                  ratioText(m.packedSize, m.originalSize).c_str(), dateTime(m.mtime).c_str(),
                  attributeText(m).c_str(), m.method, m.crc, m.level, osText(m.osId).c_str());
    // A file comment ends the detail line, so that each member still takes two lines.
    line(trimRight(buf) + (m.comment.empty() ? "" : "  " + m.comment) +
         (m.nameEscaped ? kEscapedNameMark : ""));
    totalOrig += m.originalSize;
    totalPacked += m.packedSize;
  }
  line(kRule);
  std::snprintf(buf, sizeof buf, "%11llu %9llu %6s  %zu files",
                static_cast<unsigned long long>(totalOrig),
                static_cast<unsigned long long>(totalPacked),
                ratioText(totalPacked, totalOrig).c_str(), shown.size());
  line(buf);
}

void shortListing(const std::string& archiveText, const MemberTable& members,
                  const std::vector<uint32_t>& shown, const LineSink& line) {
  line("Listing of archive : " + archiveText);
  line("   Original  Ratio Date       Time     Name");
  line("----------- ------ ---------- -------- --------------------");
  uint64_t totalOrig = 0, totalPacked = 0;
  char buf[128];
  for (uint32_t i : shown) {
    const MemberRecord& m = members.record(i);
    std::snprintf(buf, sizeof buf, "%11llu %6s %s ",
                  static_cast<unsigned long long>(m.originalSize),
                  ratioText(m.packedSize, m.originalSize).c_str(),
                  dateTime(static_cast<std::time_t>(m.mtime)).c_str());
    line(buf + std::string(members.path(i)));
    totalOrig += m.originalSize;
    totalPacked += m.packedSize;
  }
  line("----------- ------ ---------- -------- --------------------");
  std::snprintf(buf, sizeof buf, "%11llu %6s  %zu files",
                static_cast<unsigned long long>(totalOrig),
                ratioText(totalPacked, totalOrig).c_str(), shown.size());
  line(buf);
}

}  // namespace zv::lzh
