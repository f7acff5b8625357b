#include "platform/name_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/cp932.h"
#include "platform/encoding.h"

namespace zv::encoding {
namespace {

struct EncodingInfo {
  NameEncoding id;
  std::string_view label, word;
  const char* iconvName;
};
constexpr EncodingInfo kInfo[] = {
    {NameEncoding::Auto, "自動", "auto", nullptr},
    {NameEncoding::Cp932, "Shift_JIS", "sjis", "CP932"},
    {NameEncoding::Utf8, "UTF-8", "utf8", "UTF-8"},
    {NameEncoding::EucJp, "EUC-JP", "euc", "EUC-JP"},
    {NameEncoding::Cp437, "CP437", "cp437", "CP437"},
    {NameEncoding::Latin1, "Latin-1", "latin1", nullptr},  // read by hand: C1 bytes refused
};

const EncodingInfo& info(NameEncoding e) { return kInfo[static_cast<unsigned>(e)]; }

// Code points of well-formed UTF-8 text (as the decoders produce).
std::vector<uint32_t> codePoints(std::string_view s) {
  std::vector<uint32_t> out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (i + n > s.size()) n = s.size() - i;
    uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += n;
  }
  return out;
}

void appendEscape(std::string& out, unsigned char b) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[b >> 4];
  out += kHex[b & 15];
}

// One open converter per encoding and thread: listings decode thousands of names.
iconv_t converter(NameEncoding e) {
  thread_local iconv_t open[6] = {};
  thread_local bool tried[6] = {};
  unsigned k = static_cast<unsigned>(e);
  if (!tried[k]) {
    tried[k] = true;
    iconv_t cd = iconv_open("UTF-8", info(e).iconvName);
    open[k] = cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd;
  }
  if (open[k]) iconv(open[k], nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  return open[k];
}

// Converts with iconv; each byte it refuses is escaped and the rest goes on.
std::string convertEscaping(NameEncoding e, std::string_view in, size_t& escapes) {
  std::string out;
  iconv_t cd = converter(e);
  if (!cd) {
    for (unsigned char b : in) appendEscape(out, b), ++escapes;
    return out;
  }
  char buffer[1024];
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  while (left) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, dst - buffer);
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    appendEscape(out, static_cast<unsigned char>(*src));  // EILSEQ, or cut off at the end
    ++escapes;
    ++src;
    --left;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

// UTF-8 checked byte by byte: a converter from UTF-8 to itself may pass ill-formed bytes
// through, and every later step (composition, the listings) needs well-formed text.
std::string utf8(std::string_view in, size_t& escapes) {
  std::string out;
  for (size_t i = 0; i < in.size();) {
    size_t n = utf8SequenceLength(in.substr(i));
    if (n) {
      out.append(in.substr(i, n));
      i += n;
    } else {
      appendEscape(out, static_cast<unsigned char>(in[i++]));
      ++escapes;
    }
  }
  return out;
}

std::string latin1(std::string_view in, size_t& escapes) {
  std::string out;
  for (unsigned char b : in) {
    if (b >= 0x80 && b < 0xA0) {
      appendEscape(out, b);  // C1 controls: no Latin-1 name has them
      ++escapes;
    } else {
      appendUtf8(out, b);
    }
  }
  return out;
}

// EUC-JP by its structure first: glibc reads a stray 0x80-0x8D as a C1 control character,
// so bytes that cannot begin or continue a character are escaped here and only
// well-formed runs go to iconv.
std::string eucJp(std::string_view in, size_t& escapes) {
  auto trail = [&](size_t i, unsigned char lo, unsigned char hi) {
    return i < in.size() && static_cast<unsigned char>(in[i]) >= lo &&
           static_cast<unsigned char>(in[i]) <= hi;
  };
  std::string out;
  size_t run = 0;  // start of the current well-formed run
  for (size_t i = 0; i < in.size();) {
    unsigned char b = static_cast<unsigned char>(in[i]);
    size_t n = 0;
    if (b < 0x80)
      n = 1;
    else if (b == 0x8E && trail(i + 1, 0xA1, 0xDF))
      n = 2;
    else if (b == 0x8F && trail(i + 1, 0xA1, 0xFE) && trail(i + 2, 0xA1, 0xFE))
      n = 3;
    else if (b >= 0xA1 && b <= 0xFE && trail(i + 1, 0xA1, 0xFE))
      n = 2;
    if (n) {
      i += n;
      continue;
    }
    out += convertEscaping(NameEncoding::EucJp, in.substr(run, i - run), escapes);
    appendEscape(out, b);
    ++escapes;
    run = ++i;
  }
  return out + convertEscaping(NameEncoding::EucJp, in.substr(run), escapes);
}

// Reads bytes in one encoding; C1 control characters that come out (UTF-8 can hold them)
// become '_', as other control characters of names do.
std::string readBytes(std::string_view in, NameEncoding e, size_t& escapes) {
  std::string out = e == NameEncoding::Latin1  ? latin1(in, escapes)
                    : e == NameEncoding::EucJp ? eucJp(in, escapes)
                    : e == NameEncoding::Utf8  ? utf8(in, escapes)
                                               : convertEscaping(e, in, escapes);
  for (size_t i = 0; i + 1 < out.size(); ++i) {
    if (out[i] == '\xC2' && static_cast<unsigned char>(out[i + 1]) < 0xA0) {
      out.replace(i, 2, "_");
    }
  }
  return out;
}

bool isAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// Writes a literal '%' of a name that also holds escapes as "%25".
std::string escapePercents(const std::string& text, std::string_view raw, NameEncoding e) {
  if (raw.find('%') == std::string_view::npos) return text;
  // Decode again with '%' taken as an undecodable byte: the only way to tell a literal '%'
  // from one that begins an escape.
  std::string out;
  size_t from = 0, dummy = 0;
  for (size_t i = 0; i <= raw.size(); ++i) {
    if (i < raw.size() && raw[i] != '%') continue;
    std::string_view piece = raw.substr(from, i - from);
    out += readBytes(piece, e, dummy);
    if (i < raw.size()) out += "%25";
    from = i + 1;
  }
  return out;
}

// Kanji outside the common first level of JIS X 0208, counted from the bytes: they are what a
// name in another encoding mostly turns into.
long rareKanji(std::string_view s, NameEncoding e) {
  long n = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (e == NameEncoding::Cp932 && isCp932LeadByte(c)) {
      if (c >= 0x99) ++n;
      ++i;
    } else if (e == NameEncoding::EucJp && c >= 0x8E) {
      if (c >= 0xD0) ++n;
      i += c == 0x8F ? 2 : 1;
    }
  }
  return n;
}

long characterScore(uint32_t c) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xFFFD) return -50;
  if (c < 0x80) return 0;
  if (c < 0xC0 || c == 0xD7 || c == 0xF7) return -1;  // Latin-1 signs
  if (c < 0x250) return 2;                            // accented Latin letters
  if (c >= 0x2190 && c < 0x2300) return -1;           // arrows, mathematics
  if (c >= 0x2500 && c < 0x2600) return -3;           // box drawing, blocks
  if (c >= 0x3000 && c < 0x3040) return 1;            // Japanese punctuation
  if (c >= 0x3040 && c < 0x3100) return 4;            // hiragana, katakana
  if (c >= 0x4E00 && c < 0xA000) return 3;            // kanji
  if (c >= 0xE000 && c < 0xF900) return -20;          // private use (user-defined characters)
  if (c >= 0xFF01 && c < 0xFF5F) return 1;            // full-width forms
  if (c >= 0xFF65 && c < 0xFFA0) return 2;            // half-width katakana
  return 0;
}

struct Composition {
  uint16_t first, second, composed;
};
constexpr Composition kCompositions[] = {
#include "nfc_pairs.inc"
};

uint32_t composePair(uint32_t a, uint32_t b) {
  // Hangul: leading consonant + vowel, then + trailing consonant, by rule.
  if (a >= 0x1100 && a < 0x1113 && b >= 0x1161 && b < 0x1176)
    return 0xAC00 + ((a - 0x1100) * 21 + (b - 0x1161)) * 28;
  if (a >= 0xAC00 && a < 0xD7A4 && (a - 0xAC00) % 28 == 0 && b > 0x11A7 && b < 0x11C3)
    return a + (b - 0x11A7);
  if (a > 0xFFFF || b > 0xFFFF) return 0;
  auto it = std::lower_bound(std::begin(kCompositions), std::end(kCompositions),
                             Composition{uint16_t(a), uint16_t(b), 0},
                             [](const Composition& x, const Composition& y) {
                               return x.first != y.first ? x.first < y.first : x.second < y.second;
                             });
  if (it != std::end(kCompositions) && it->first == a && it->second == b) return it->composed;
  return 0;
}

bool isCombiningMark(uint32_t c) {
  return (c >= 0x300 && c < 0x370) || (c >= 0x483 && c < 0x48A) || (c >= 0x591 && c < 0x5C8) ||
         (c >= 0x1AB0 && c < 0x1B00) || (c >= 0x1DC0 && c < 0x1E00) ||
         (c >= 0x20D0 && c < 0x2100) || c == 0x3099 || c == 0x309A || (c >= 0xFE20 && c < 0xFE30);
}

// Whether the text holds a character that may compose with the one before it: combining
// marks U+0300-U+037F, Arabic and Indic vowel signs (leads D9, E0), Hangul jamo and other
// marks of U+1xxx (E1), and the kana voiced marks U+3099/U+309A. Japanese text without
// separate voiced marks is left alone, at the cost of one scan.
bool mayNeedComposing(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == 0xCC || c == 0xCD || c == 0xD9 || c == 0xE0 || c == 0xE1) return true;
    if (c == 0xE3 && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x82 &&
        (static_cast<unsigned char>(s[i + 2]) == 0x99 ||
         static_cast<unsigned char>(s[i + 2]) == 0x9A))
      return true;
  }
  return false;
}

}  // namespace

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string_view encodingLabel(NameEncoding e) { return info(e).label; }
std::string_view encodingWord(NameEncoding e) { return info(e).word; }

std::optional<NameEncoding> encodingFromWord(std::string_view word) {
  std::string lower;
  for (char c : word) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  for (const EncodingInfo& i : kInfo)
    if (i.word == lower) return i.id;
  if (lower == "cp932" || lower == "shift_jis" || lower == "sjis") return NameEncoding::Cp932;
  if (lower == "utf-8") return NameEncoding::Utf8;
  if (lower == "euc-jp" || lower == "eucjp") return NameEncoding::EucJp;
  if (lower == "latin-1" || lower == "iso-8859-1") return NameEncoding::Latin1;
  return std::nullopt;
}

std::optional<NameEncoding> encodingFromNumber(unsigned number) {
  if (number < std::size(kInfo)) return static_cast<NameEncoding>(number);
  return std::nullopt;
}

DecodedName decodeName(std::string_view bytes, NameEncoding e) {
  DecodedName d;
  if (isAscii(bytes)) {
    d.text.assign(bytes);
    return d;
  }
  if (e == NameEncoding::Auto) e = bestEncodingForName(bytes);
  size_t escapes = 0;
  d.text = readBytes(bytes, e, escapes);
  d.escaped = escapes > 0;
  if (d.escaped) d.text = escapePercents(d.text, bytes, e);
  return d;
}

long scoreNames(const std::vector<std::string>& names, NameEncoding e) {
  long score = 0;
  for (const std::string& raw : names) {
    if (isAscii(raw)) continue;
    size_t escapes = 0;
    std::string text = readBytes(raw, e, escapes);
    score -= 50 * static_cast<long>(escapes);
    score -= 2 * rareKanji(raw, e);
    for (uint32_t c : codePoints(text)) {
      score += characterScore(c);
      if (e == NameEncoding::Utf8 && c >= 0x80)
        ++score;  // valid multi-byte UTF-8 is rare by chance
    }
  }
  return score;
}

NameEncoding detectNameEncoding(const std::vector<std::string>& names, bool spareWorst) {
  // In order of preference when the scores are equal.
  static const NameEncoding kCandidates[] = {NameEncoding::Cp932, NameEncoding::Utf8,
                                             NameEncoding::EucJp, NameEncoding::Latin1,
                                             NameEncoding::Cp437};
  spareWorst = spareWorst && names.size() >= 3;
  NameEncoding best = NameEncoding::Cp932;
  long bestScore = 0;
  bool first = true;
  for (NameEncoding e : kCandidates) {
    long s = 0, worst = 0;
    for (size_t i = 0; i < names.size(); ++i) {
      long one = spareWorst ? scoreNames({names[i]}, e) : 0;
      if (i == 0 || one < worst) worst = one;
      s += one;
    }
    s = spareWorst ? s - worst : scoreNames(names, e);
    if (first || s > bestScore) {
      best = e;
      bestScore = s;
      first = false;
    }
  }
  return best;
}

NameEncoding bestEncodingForName(std::string_view bytes) {
  return detectNameEncoding({std::string(bytes)});
}

std::string composeNfc(std::string_view utf8) {
  // Ill-formed bytes are left as they are: decoding them would make up characters.
  if (!mayNeedComposing(utf8) || !isValidUtf8(utf8)) return std::string(utf8);
  std::vector<uint32_t> in = codePoints(utf8), out;
  out.reserve(in.size());
  size_t starter = SIZE_MAX;  // where the last starter is in `out`
  for (uint32_t c : in) {
    // Only a starter directly before the character composes with it: once a mark stays
    // apart, the marks after it are left as they are.
    if (starter != SIZE_MAX && starter + 1 == out.size()) {
      if (uint32_t composed = composePair(out[starter], c)) {
        out[starter] = composed;
        continue;
      }
    }
    if (!isCombiningMark(c)) starter = out.size();
    out.push_back(c);
  }
  std::string text;
  text.reserve(utf8.size());
  for (uint32_t c : out) appendUtf8(text, c);
  return text;
}

}  // namespace zv::encoding
