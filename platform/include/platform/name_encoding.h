// The encodings member names may be stored in when the archive does not say which, how a name
// is read in one of them, and how the one an archive was written in is found from its names.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::encoding {

// Auto: the libraries decide per archive. The numbers travel in the libraries' open mode and
// in the member record, so they never change.
enum class NameEncoding : unsigned char {
  Auto = 0,
  Cp932 = 1,
  Utf8 = 2,
  EucJp = 3,
  Cp437 = 4,
  Latin1 = 5
};

constexpr NameEncoding kNameEncodings[] = {NameEncoding::Auto,  NameEncoding::Cp932,
                                           NameEncoding::Utf8,  NameEncoding::EucJp,
                                           NameEncoding::Cp437, NameEncoding::Latin1};

// What the user reads: "自動", "Shift_JIS", "UTF-8", "EUC-JP", "CP437", "Latin-1".
std::string_view encodingLabel(NameEncoding e);
// The word of the libraries' switch "--names=": auto, sjis, utf8, euc, cp437, latin1.
std::string_view encodingWord(NameEncoding e);
std::optional<NameEncoding> encodingFromWord(std::string_view word);
// The encoding from its number (open mode, member record); nullopt for other numbers.
std::optional<NameEncoding> encodingFromNumber(unsigned number);

// A name read in one encoding. Bytes the encoding cannot read become "%XX" (upper-case hex);
// in such a name a '%' of its own becomes "%25", so two different byte names never give the
// same escaped text. The text is not composed: see composeNfc.
struct DecodedName {
  std::string text;
  bool escaped = false;
};
DecodedName decodeName(std::string_view bytes, NameEncoding e);

// How plausible the names are in that encoding: invalid bytes and control characters weigh
// heavily against it, Japanese text (kana, common kanji) and accented letters for it.
long scoreNames(const std::vector<std::string>& names, NameEncoding e);
// The encoding that reads the names best (Shift_JIS when nothing tells them apart). With
// `spareWorst` (names of a damaged archive), each encoding is judged without the one name it
// reads worst, so that a single damaged name among three or more does not decide.
NameEncoding detectNameEncoding(const std::vector<std::string>& names, bool spareWorst = false);
// The encoding one name reads best in, for a name that the archive's choice cannot read.
NameEncoding bestEncodingForName(std::string_view bytes);

// Canonical composition (NFC) of UTF-8 text: a kana with a separate voiced mark becomes one
// character, as do Latin letters with combining accents and Hangul jamo.
std::string composeNfc(std::string_view utf8);

// Appends one code point to `out` as UTF-8.
void appendUtf8(std::string& out, uint32_t codePoint);

}  // namespace zv::encoding
