#include "name_codec.h"

#include "platform/cp932.h"
#include "platform/encoding.h"

namespace zv::lzh {
namespace {

bool isSeparatorByte(unsigned char c) { return c == 0xFF || c == '\\' || c == '/'; }

bool hasNonAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80 && c != 0xFF) return true;
  return false;
}

// Control characters in a name would reach terminals and list boxes; they become '_'.
std::string cleanControls(std::string s) {
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  return s;
}

// UTF-16 text split at '\', '/' and U+FFFF.
std::vector<std::string> splitUtf16(std::u16string_view s) {
  std::vector<std::string> parts;
  std::u16string cur;
  for (char16_t c : s) {
    if (c == u'\\' || c == u'/' || c == 0xFFFF) {
      parts.push_back(utf16ToUtf8(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(utf16ToUtf8(cur));
  return parts;
}

// Splits and reads stored name bytes. A code page header marks the name; otherwise the
// reading decides, and a name its encoding cannot read falls back to its own best one unless
// the user chose the encoding.
void readRawName(Member& m, const std::string& bytes, const NameReading& reading,
                 std::vector<std::string>& out) {
  using encoding::NameEncoding;
  m.nameMarked = m.codePage == 65001 || m.codePage == 932;
  NameEncoding enc = m.codePage == 65001 ? NameEncoding::Utf8
                     : m.codePage == 932 ? NameEncoding::Cp932
                                         : reading.encoding;
  std::string probe;
  for (char c : bytes)
    if (static_cast<unsigned char>(c) != 0xFF) probe += c;
  if (!hasNonAscii(probe)) {
    // Plain ASCII needs no conversion; skipping it keeps big listings fast.
    out = splitRawName(bytes, false);
    return;
  }
  if (enc == NameEncoding::Auto) enc = encoding::bestEncodingForName(probe);
  // Valid multi-byte UTF-8 is hardly ever Shift_JIS text by chance.
  if (!m.nameMarked && !reading.forced && enc == NameEncoding::Cp932 &&
      encoding::isValidUtf8(probe))
    enc = NameEncoding::Utf8;
  auto read = [&](NameEncoding e) {
    std::vector<std::string> parts;
    bool escaped = false;
    for (const std::string& p : splitRawName(bytes, e == NameEncoding::Cp932)) {
      encoding::DecodedName d = encoding::decodeName(p, e);
      escaped |= d.escaped;
      parts.push_back(std::move(d.text));
    }
    m.nameEncoding = static_cast<uint8_t>(e);
    m.nameEscaped = escaped;
    return parts;
  };
  out = read(enc);
  if (!m.nameEscaped || m.nameMarked || reading.forced) return;
  NameEncoding own = encoding::bestEncodingForName(probe);
  if (own == enc) return;
  std::vector<std::string> again = read(own);
  if (!m.nameEscaped) {
    out = std::move(again);
  } else {
    read(enc);
  }
}

// Composes the components (NFC); the path as stored stays for matching when that changed it.
void composeParts(Member& m) {
  std::vector<std::string> composed;
  bool changed = false;
  for (const std::string& p : m.parts) {
    composed.push_back(encoding::composeNfc(p));
    changed |= composed.back() != p;
  }
  m.matchPath.clear();
  if (changed) {
    m.matchPath = displayPath(m.parts, m.absolute, m.isFolder);
    m.parts = std::move(composed);
  }
  m.path = displayPath(m.parts, m.absolute, m.isFolder);
}

}  // namespace

std::string utf16ToUtf8(std::u16string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    encoding::appendUtf8(out, c);
  }
  return out;
}

std::vector<std::string> splitRawName(std::string_view bytes, bool cp932) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (cp932 && encoding::isCp932LeadByte(c) && i + 1 < bytes.size()) {
      parts.back() += bytes.substr(i, 2);
      ++i;
    } else if (isSeparatorByte(c)) {
      parts.emplace_back();
    } else {
      parts.back() += static_cast<char>(c);
    }
  }
  return parts;
}

std::string displayPath(const std::vector<std::string>& parts, bool absolute, bool folder) {
  std::string out = absolute ? "\\" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += '\\';
    out += parts[i];
  }
  if (folder && !parts.empty()) out += '\\';
  return out;
}

void decodeMemberName(Member& m, const NameReading& reading) {
  m.nameEncoding = 0;
  m.nameMarked = m.nameEscaped = false;
  std::vector<std::string> raw;  // decoded components, empty ones still in place
  bool endsWithSeparator = false;
  if (m.hasUtf16Name) {
    std::vector<std::string> dir =
        m.utf16Dir.empty() ? std::vector<std::string>{} : splitUtf16(m.utf16Dir);
    std::vector<std::string> name = splitUtf16(m.utf16Name);
    raw = dir;
    raw.insert(raw.end(), name.begin(), name.end());
    endsWithSeparator = name.back().empty();
    m.nameMarked = true;
    m.nameEncoding = static_cast<uint8_t>(encoding::NameEncoding::Utf8);
  } else {
    std::string bytes = m.rawDir;
    if (!bytes.empty() && static_cast<unsigned char>(bytes.back()) != 0xFF && !m.rawName.empty())
      bytes += '\xFF';  // a folder part whose writer left out the closing 0xFF
    bytes += m.rawName;
    readRawName(m, bytes, reading, raw);
    endsWithSeparator = !bytes.empty() && isSeparatorByte(static_cast<unsigned char>(bytes.back()));
  }
  m.absolute = !raw.empty() && raw.front().empty() && raw.size() > 1;

  bool lhd = m.methodIs("-lhd-");
  m.isSymlink = lhd && m.hasUnixMode && (m.unixMode & 0xF000) == 0xA000;
  if (!m.isSymlink && lhd && m.osId == 'U') {
    for (const std::string& p : raw)
      if (p.find('|') != std::string::npos) m.isSymlink = true;
  }
  if (m.isSymlink) {
    // LHa for UNIX stores "link|target" split at the last separator into folder and name,
    // so the '|' can sit in either part: join first, then split at the first '|'.
    std::string joined;
    for (size_t i = 0; i < raw.size(); ++i) joined += (i ? "/" : "") + raw[i];
    size_t bar = joined.find('|');
    std::string link = bar == std::string::npos ? joined : joined.substr(0, bar);
    m.linkTarget = bar == std::string::npos ? "" : cleanControls(joined.substr(bar + 1));
    raw.clear();
    size_t start = 0;
    for (;;) {
      size_t slash = link.find('/', start);
      raw.push_back(link.substr(start, slash - start));
      if (slash == std::string::npos) break;
      start = slash + 1;
    }
    m.absolute = raw.size() > 1 && raw.front().empty();
    endsWithSeparator = false;
  }

  m.parts.clear();
  for (std::string& p : raw) {
    if (p.empty() || p == ".") continue;
    m.parts.push_back(cleanControls(p));
  }
  if (m.isSymlink) {
    m.isFolder = false;  // level 0 marks links with the folder attribute
  } else {
    m.isFolder =
        m.isFolder || lhd || (m.methodIs("-lh0-") && m.originalSize == 0 && endsWithSeparator);
  }
  composeParts(m);
  const std::string& c = m.rawComment;
  m.comment =
      cleanControls(!hasNonAscii(c) || encoding::isValidUtf8(c) ? c : encoding::cp932ToUtf8(c));
}

EncodedName encodeMemberName(const std::vector<std::string>& parts, bool folder) {
  EncodedName out;
  std::vector<std::string> clean;
  bool allFit = true;
  for (std::string p : parts) {
    for (char& c : p)
      if (c == '\\') c = '_';  // a '\' inside a Linux name would read back as a separator
    if (!encoding::fitsCp932(p)) allFit = false;
    clean.push_back(p);
  }
  out.codePage = allFit ? 932 : 65001;
  std::vector<std::string> bytes;
  for (const std::string& p : clean) bytes.push_back(allFit ? encoding::utf8ToCp932(p) : p);
  size_t dirCount = folder ? bytes.size() : (bytes.empty() ? 0 : bytes.size() - 1);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i < dirCount) {
      out.dirBytes += bytes[i];
      out.dirBytes += '\xFF';
    } else {
      out.nameBytes = bytes[i];
    }
    if (i) out.level0 += '\\';
    out.level0 += bytes[i];
  }
  if (folder && !bytes.empty()) out.level0 += '\\';
  return out;
}

}  // namespace zv::lzh
