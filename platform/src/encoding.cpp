#include "platform/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace zv::encoding {

namespace {

// One conversion with glibc iconv. On a byte sequence the target cannot take, `onBad` appends
// a replacement and returns how many input bytes to skip.
template <typename OnBad>
std::string convert(const char* to, const char* from, std::string_view in, OnBad onBad) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  std::string out;
  out.reserve(in.size() * 3 / 2 + 8);
  char buffer[4096];
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  while (true) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    size_t r =
        left ? iconv(cd, &src, &left, &dst, &room) : iconv(cd, nullptr, nullptr, &dst, &room);
    out.append(buffer, dst - buffer);
    if (r != static_cast<size_t>(-1)) {
      if (!left) break;
      continue;
    }
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (a sequence cut off at the end): replace and go on.
    size_t skip = onBad(out, std::string_view(src, left));
    if (skip > left) skip = left;
    src += skip;
    left -= skip;
    if (!left) {
      dst = buffer;
      room = sizeof buffer;
      iconv(cd, nullptr, nullptr, &dst, &room);
      out.append(buffer, dst - buffer);
      break;
    }
  }
  iconv_close(cd);
  return out;
}

// Characters that other systems write for symbols CP932 has under other code points (wave
// dash, double vertical line, minus sign, cent, pound, not sign), mapped to those points so
// Japanese names from other systems still convert.
std::string foldToCp932Forms(std::string_view text) {
  static const std::pair<std::string_view, std::string_view> kFolds[] = {
      {"\xE3\x80\x9C", "\xEF\xBD\x9E"},  // U+301C -> U+FF5E
      {"\xE2\x80\x96", "\xE2\x88\xA5"},  // U+2016 -> U+2225
      {"\xE2\x88\x92", "\xEF\xBC\x8D"},  // U+2212 -> U+FF0D
      {"\xC2\xA2", "\xEF\xBF\xA0"},      // U+00A2 -> U+FFE0
      {"\xC2\xA3", "\xEF\xBF\xA1"},      // U+00A3 -> U+FFE1
      {"\xC2\xAC", "\xEF\xBF\xA2"},      // U+00AC -> U+FFE2
  };
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    bool folded = false;
    for (auto& [from, to] : kFolds) {
      if (text.substr(i, from.size()) == from) {
        out += to;
        i += from.size();
        folded = true;
        break;
      }
    }
    if (!folded) out += text[i++];
  }
  return out;
}

const std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

size_t utf8SequenceLength(std::string_view s) {
  unsigned char c = s[0];
  size_t n;
  uint32_t cp;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    cp = c & 0x07;
  } else
    return 0;
  if (s.size() < n) return 0;
  for (size_t i = 1; i < n; ++i) {
    unsigned char d = s[i];
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return n;
}

bool isValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    size_t n = utf8SequenceLength(bytes.substr(i));
    if (!n) return false;
    i += n;
  }
  return true;
}

std::string cp932ToUtf8(std::string_view bytes) {
  return convert("UTF-8", "CP932", bytes, [](std::string& out, std::string_view) {
    out += kReplacement;
    return size_t{1};
  });
}

std::string utf8ToCp932(std::string_view text, bool* lossless) {
  bool clean = true;
  std::string out = convert("CP932", "UTF-8", foldToCp932Forms(text),
                            [&clean](std::string& o, std::string_view rest) {
                              clean = false;
                              o += '?';
                              size_t n = utf8SequenceLength(rest);
                              return n ? n : size_t{1};
                            });
  if (lossless) *lossless = clean;
  return out;
}

bool fitsCp932(std::string_view text) {
  bool lossless = true;
  utf8ToCp932(text, &lossless);
  return lossless;
}

std::string cp437ToUtf8(std::string_view bytes) {
  return convert("UTF-8", "CP437", bytes, [](std::string& out, std::string_view) {
    out += kReplacement;
    return size_t{1};
  });
}

std::string decodeUnknown(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  return cp932ToUtf8(bytes);
}

std::string utf16leToUtf8(std::string_view bytes) {
  return convert("UTF-8", "UTF-16LE", bytes, [](std::string& out, std::string_view) {
    out += kReplacement;
    return size_t{2};
  });
}

std::string utf8ToUtf16le(std::string_view text) {
  return convert("UTF-16LE", "UTF-8", text, [](std::string& out, std::string_view rest) {
    out += std::string("\xFD\xFF", 2);
    size_t n = utf8SequenceLength(rest);
    return n ? n : size_t{1};
  });
}

}  // namespace zv::encoding
