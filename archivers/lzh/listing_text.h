// Texts shown for a member in listings and in the member-information record.
#pragma once
#include <cstdint>
#include <string>

#include "lzh_member.h"

namespace zv::lzh {

// Four characters: d (folder) / a (archive bit) / -, h, s, r (read-only) or w.
std::string attributeText(const Member& m);
// Packed per original in per cent with one decimal ("45.2%"), "******" when not defined.
std::string ratioText(uint64_t packed, uint64_t original);
// Per mille for the record; 0 for an empty member.
uint16_t ratioPerMille(uint64_t packed, uint64_t original);

// The verbose listing: a title line, four header lines, two lines per member, two footer
// lines, so that 1 + 2 * count + 6 lines hold it all.
std::string verboseListing(const std::string& archiveText, const std::vector<Member>& members);
// The short listing: one line per member.
std::string shortListing(const std::string& archiveText, const std::vector<Member>& members);

}  // namespace zv::lzh
