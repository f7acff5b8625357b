#include "zip_names.h"

#include <zlib.h>

#include "platform/cp932.h"
#include "platform/encoding.h"

namespace zv::zip {

bool isWellFormedCp932(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
    if (encoding::isCp932LeadByte(c)) {
      if (i + 1 >= s.size()) return false;
      unsigned char t = static_cast<unsigned char>(s[++i]);
      if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
      continue;
    }
    return false;
  }
  return true;
}

std::string cutUtf8(std::string_view text, size_t max) {
  if (text.size() <= max) return std::string(text);
  size_t end = max;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

namespace {

std::string decodeText(std::string_view raw, std::string_view extra, NameOrigin* origin) {
  auto set = [&](NameOrigin o) {
    if (origin) *origin = o;
  };
  if (extra.size() > 5 && static_cast<unsigned char>(extra[0]) == 1) {
    uint32_t stored = uint32_t(uint8_t(extra[1])) | uint32_t(uint8_t(extra[2])) << 8 |
                      uint32_t(uint8_t(extra[3])) << 16 | uint32_t(uint8_t(extra[4])) << 24;
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(raw.data()), uInt(raw.size()));
    std::string_view name = extra.substr(5);
    if (uint32_t(crc) == stored && encoding::isValidUtf8(name)) {
      set(NameOrigin::UnicodeExtra);
      return std::string(name);
    }
  }
  bool ascii = true;
  for (unsigned char c : raw)
    if (c >= 0x80) ascii = false;
  if (ascii) {
    set(NameOrigin::Ascii);
    return std::string(raw);
  }
  if (encoding::isValidUtf8(raw)) {
    set(NameOrigin::Utf8);
    return std::string(raw);
  }
  if (isWellFormedCp932(raw)) {
    std::string text = encoding::cp932ToUtf8(raw);
    if (text.find("\xEF\xBF\xBD") == std::string::npos) {
      set(NameOrigin::Cp932);
      return text;
    }
  }
  set(NameOrigin::Cp437);
  return encoding::cp437ToUtf8(raw);
}

}  // namespace

std::string decodeMemberName(std::string_view raw, std::string_view extra, NameOrigin* origin) {
  std::string name = decodeText(raw, extra, origin);
  // Control characters (terminal escapes, a newline that would forge a line of the output
  // text) never reach listings or the output: they become '_', as in LZH names.
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  return name;
}

}  // namespace zv::zip
