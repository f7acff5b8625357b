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

std::string decodeText(std::string_view raw, bool utf8Flag, std::string_view extra,
                       NameOrigin* origin) {
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
    set(utf8Flag ? NameOrigin::Utf8Flag : NameOrigin::Utf8);
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

void replaceControls(std::string& name) {
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
}

ReadName readMemberName(std::string_view raw, bool utf8Flag, std::string_view extra,
                        const NameReading& reading) {
  using encoding::NameEncoding;
  ReadName r;
  NameOrigin origin = NameOrigin::Cp932;
  // The marks first: a Unicode path field that fits the name, then the UTF-8 flag.
  std::string marked;
  bool ascii = true;
  for (unsigned char c : raw) ascii &= c < 0x80;
  if (ascii && extra.empty())
    origin = NameOrigin::Ascii, marked = std::string(raw);
  else if (!extra.empty() || utf8Flag)
    marked = decodeText(raw, utf8Flag, extra, &origin);
  if (origin == NameOrigin::UnicodeExtra || origin == NameOrigin::Ascii ||
      (origin == NameOrigin::Utf8Flag && utf8Flag)) {
    r.text = std::move(marked);
    r.marked = origin != NameOrigin::Ascii;
    if (r.marked) r.readIn = NameEncoding::Utf8;
  } else {
    NameEncoding e = reading.encoding;
    if (utf8Flag) e = NameEncoding::Utf8;  // flagged but not valid UTF-8: escaped below
    if (e == NameEncoding::Auto) e = encoding::bestEncodingForName(raw);
    // Valid multi-byte UTF-8 is hardly ever Shift_JIS text by chance.
    if (!reading.forced && e == NameEncoding::Cp932 && encoding::isValidUtf8(raw))
      e = NameEncoding::Utf8;
    encoding::DecodedName d = encoding::decodeName(raw, e);
    if (d.escaped && !reading.forced && !utf8Flag) {
      NameEncoding own = encoding::bestEncodingForName(raw);
      encoding::DecodedName again = encoding::decodeName(raw, own);
      if (!again.escaped) d = std::move(again), e = own;
    }
    r.text = std::move(d.text);
    r.readIn = e;
    r.escaped = d.escaped;
    r.marked = utf8Flag;
  }
  replaceControls(r.text);
  std::string composed = encoding::composeNfc(r.text);
  if (composed != r.text) {
    r.stored = std::move(r.text);
    r.text = std::move(composed);
  }
  return r;
}

std::string decodeMemberName(std::string_view raw, bool utf8Flag, std::string_view extra,
                             NameOrigin* origin) {
  std::string name = decodeText(raw, utf8Flag, extra, origin);
  // Control characters (terminal escapes, a newline that would forge a line of the output
  // text) never reach listings or the output: they become '_', as in LZH names.
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  return name;
}

}  // namespace zv::zip
