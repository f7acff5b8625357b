// The member record of the find functions and the text listings of "-l" and "-v".
#pragma once
#include <string>
#include <vector>

#include "zip_archive.h"
#include "zorvex/archiver_api.h"

namespace zv::zip {

void fillMemberInfo(const Member& m, ZvMemberInfo* info,
                    encoding::NameEncoding decided = encoding::NameEncoding::Cp932);

// "-l": a header, one line per member, a total.
std::string shortListing(const Archive& a, const std::vector<size_t>& chosen);
// "-v": one header line, exactly two lines per member (name; sizes, ratio, date, time,
// attributes, method, CRC) and six footer lines, the shape of the LZH library's listing.
std::string verboseListing(const Archive& a, const std::string& shownPath,
                           const std::vector<size_t>& chosen);

}  // namespace zv::zip
