// Member names of ZIP archives from their raw bytes. libzip's own guess knows only UTF-8 and
// CP437 and turns the Shift-JIS names of Japanese Windows archives into mojibake, so the
// library reads the raw bytes and decides here.
#pragma once
#include <string>
#include <string_view>

namespace zv::zip {

enum class NameOrigin { Ascii, UnicodeExtra, Utf8, Cp932, Cp437 };

// `unicodeExtra`: the data of an extra field 0x7075 (version, CRC-32 of the raw name, UTF-8
// name), empty when absent. Well-formed UTF-8 is taken as UTF-8 whether general purpose bit 11
// says so or not (writers set it unreliably in both directions). Decodes first; the caller
// splits folders afterwards (a CP932 trail byte may be 0x5C). Control characters become '_'.
std::string decodeMemberName(std::string_view raw, std::string_view unicodeExtra,
                             NameOrigin* origin = nullptr);

// True when the bytes are well-formed CP932 (single bytes, half-width kana, lead + trail).
bool isWellFormedCp932(std::string_view bytes);

// Cuts UTF-8 text to at most `max` bytes without splitting a character.
std::string cutUtf8(std::string_view text, size_t max);

}  // namespace zv::zip
