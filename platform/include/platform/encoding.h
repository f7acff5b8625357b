// Text encodings: UTF-8 inside the program; CP932 (Japanese Windows) and CP437 (old DOS ZIP
// names) converted with iconv.
#pragma once
#include <string>
#include <string_view>

namespace zv::encoding {

bool isValidUtf8(std::string_view bytes);
// Length of the UTF-8 sequence starting at s[0] (s not empty), or 0 when it is not a valid
// one: no overlong forms, surrogates or code points past U+10FFFF.
size_t utf8SequenceLength(std::string_view s);
// CP932 bytes to UTF-8; undecodable bytes become U+FFFD.
std::string cp932ToUtf8(std::string_view bytes);
// UTF-8 to CP932; sets *lossless to false when some character has no CP932 form ('?' is used).
std::string utf8ToCp932(std::string_view text, bool* lossless = nullptr);
// True when every character of the UTF-8 text has a CP932 form.
bool fitsCp932(std::string_view text);
std::string cp437ToUtf8(std::string_view bytes);
// Valid UTF-8 is taken as is; anything else is read as CP932.
std::string decodeUnknown(std::string_view bytes);
// UTF-16LE bytes to UTF-8.
std::string utf16leToUtf8(std::string_view bytes);
std::string utf8ToUtf16le(std::string_view text);

}  // namespace zv::encoding
