// Member names: stored bytes (CP932, UTF-8 or UTF-16) to UTF-8 components and back. Names are
// decoded before they are split, so that a CP932 trail byte 0x5C is never taken for '\'.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lzh_member.h"
#include "platform/name_encoding.h"

namespace zv::lzh {

// How names that do not say how they are written are read: in `encoding` (Auto: each name in
// the encoding that suits it best). Unless `forced` (the user's choice), a name that encoding
// cannot read is read in the one that suits it. Shift_JIS first: most archives are in it, and
// it costs one conversion per name.
struct NameReading {
  encoding::NameEncoding encoding = encoding::NameEncoding::Cp932;
  bool forced = false;
};

// Fills m.parts, m.absolute, m.isFolder, m.isSymlink, m.linkTarget, m.path, m.matchPath and
// how the name was read from the raw name fields. Names are composed (NFC).
void decodeMemberName(Member& m, const NameReading& reading = {});

// Splits stored name bytes into components at 0xFF, '\' and '/', stepping over the two bytes
// of each CP932 character when `cp932` is set.
std::vector<std::string> splitRawName(std::string_view bytes, bool cp932);

// Component names as they are written into a new header.
struct EncodedName {
  std::string dirBytes;     // components followed by 0xFF each (levels 1, 2)
  std::string nameBytes;    // the last component
  std::string level0;       // whole path with '\' separators (level 0)
  uint32_t codePage = 932;  // 932 when every character fits CP932, else 65001 (UTF-8)
};
// `folder`: the name denotes a folder entry (all components go into the folder part).
EncodedName encodeMemberName(const std::vector<std::string>& parts, bool folder);

std::string utf16ToUtf8(std::u16string_view s);

// '\'-joined display path; folders end in '\'.
std::string displayPath(const std::vector<std::string>& parts, bool absolute, bool folder);

}  // namespace zv::lzh
