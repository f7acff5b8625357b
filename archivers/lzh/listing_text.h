// Texts shown for a member in listings and in the member-information record.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lzh_member.h"
#include "member_table.h"
#include "platform/name_encoding.h"

namespace zv::lzh {

// Four characters: d (folder) / a (archive bit) / -, h, s, r (read-only) or w.
std::string attributeText(const Member& m);
std::string attributeText(bool folder, uint8_t dosAttribute);
// Packed per original in per cent with one decimal ("45.2%"), "******" when not defined.
std::string ratioText(uint64_t packed, uint64_t original);
// Per mille for the record; 0 for an empty member.
uint16_t ratioPerMille(uint64_t packed, uint64_t original);

using LineSink = std::function<void(const std::string&)>;
// The verbose listing of the members numbered in `shown`, line by line: a title line, four
// header lines, two lines per member, two footer lines, so that 1 + 2 * count + 6 lines hold
// it all. The second line names the encoding the names were read in (`namesText`); a name
// with escaped bytes is marked on its detail line.
void verboseListing(const std::string& archiveText, const MemberTable& members,
                    const std::vector<uint32_t>& shown, const LineSink& line,
                    const std::string& namesText = "");
// "名前の文字コード : EUC-JP (自動判定)", or without the bracket when the user chose it.
std::string namesText(encoding::NameEncoding requested, encoding::NameEncoding decided);
// The mark of a name whose undecodable bytes are shown as %XX.
extern const char kEscapedNameMark[];
// The short listing: one line per member.
void shortListing(const std::string& archiveText, const MemberTable& members,
                  const std::vector<uint32_t>& shown, const LineSink& line);

}  // namespace zv::lzh
