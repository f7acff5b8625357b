// Member names of ZIP archives from their raw bytes. libzip's own guess knows only UTF-8 and
// CP437 and turns the Shift-JIS names of Japanese Windows archives into mojibake, so the
// library reads the raw bytes and decides here.
#pragma once
#include <string>
#include <string_view>

#include "platform/name_encoding.h"

namespace zv::zip {

// How names without a mark (no UTF-8 flag, no Unicode path field) are read: in `encoding`
// (Auto: each in the one that suits it best). Unless `forced` (the user's choice), a name
// that encoding cannot read is read in the one that suits it.
struct NameReading {
  encoding::NameEncoding encoding = encoding::NameEncoding::Auto;
  bool forced = false;
};

// A member name as the listings show it: decoded, control characters as '_', composed (NFC).
struct ReadName {
  std::string text;
  std::string stored;  // the decoded name before composition, when that changed it
  encoding::NameEncoding readIn = encoding::NameEncoding::Auto;  // Auto: plain ASCII
  bool marked = false;                                           // UTF-8 flag or Unicode path field
  bool escaped = false;  // bytes the encoding cannot read are shown as %XX
};
ReadName readMemberName(std::string_view raw, bool utf8Flag, std::string_view unicodeExtra,
                        const NameReading& reading);

enum class NameOrigin { Ascii, Utf8Flag, UnicodeExtra, Utf8, Cp932, Cp437 };

// `utf8Flag`: general purpose bit 11. `unicodeExtra`: the data of an extra field 0x7075
// (version, CRC-32 of the raw name, UTF-8 name), empty when absent. Decodes first; the
// caller splits folders afterwards (a CP932 trail byte may be 0x5C). Control characters
// become '_'.
std::string decodeMemberName(std::string_view raw, bool utf8Flag, std::string_view unicodeExtra,
                             NameOrigin* origin = nullptr);

// True when the bytes are well-formed CP932 (single bytes, half-width kana, lead + trail).
bool isWellFormedCp932(std::string_view bytes);

// Cuts UTF-8 text to at most `max` bytes without splitting a character.
std::string cutUtf8(std::string_view text, size_t max);

}  // namespace zv::zip
