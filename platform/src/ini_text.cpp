#include "platform/ini_text.h"

#include "platform/encoding.h"

namespace zv::ini {

namespace {

std::string_view trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x -= 32;
    if (y >= 'a' && y <= 'z') y -= 32;
    if (x != y) return false;
  }
  return true;
}

// The section name of a "[name]" line.
std::optional<std::string_view> sectionOf(std::string_view line) {
  std::string_view t = trim(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  size_t close = t.find(']');
  std::string_view name = close == std::string_view::npos ? t.substr(1) : t.substr(1, close - 1);
  return trim(name);
}

struct KeyLine {
  std::string_view key, value;
};
std::optional<KeyLine> keyOf(std::string_view line) {
  std::string_view t = trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{trim(t.substr(0, eq)), trim(t.substr(eq + 1))};
}

// A value enclosed in a pair of matching quotes is given without them.
std::string unquoteValue(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

// Index range [begin, end) of the body of the first section with that name; begin is the
// line after the header. nullopt when the section is missing.
std::optional<std::pair<size_t, size_t>> findSection(const Document& doc,
                                                     std::string_view section) {
  const auto& lines = doc.lines;
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = sectionOf(lines[i]);
    if (!name || !sameName(*name, trim(section))) continue;
    size_t end = i + 1;
    while (end < lines.size() && !sectionOf(lines[end])) ++end;
    return std::make_pair(i + 1, end);
  }
  return std::nullopt;
}

std::optional<size_t> findKey(const Document& doc, std::pair<size_t, size_t> range,
                              std::string_view key) {
  for (size_t i = range.first; i < range.second; ++i) {
    auto kl = keyOf(doc.lines[i]);
    if (kl && sameName(kl->key, trim(key))) return i;
  }
  return std::nullopt;
}

}  // namespace

Document parse(std::string_view bytes) {
  Document doc;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  size_t firstLf = bytes.find('\n');
  if (firstLf != std::string_view::npos && firstLf > 0 && bytes[firstLf - 1] == '\r')
    doc.lineEnd = "\r\n";
  size_t start = 0;
  while (start < bytes.size()) {
    size_t lf = bytes.find('\n', start);
    size_t stop = lf == std::string_view::npos ? bytes.size() : lf;
    std::string_view line = bytes.substr(start, stop - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    doc.lines.push_back(encoding::decodeUnknown(line));
    start = stop + 1;
  }
  return doc;
}

std::string serialize(const Document& doc) {
  std::string out;
  for (const auto& line : doc.lines) {
    out += line;
    out += doc.lineEnd;
  }
  return out;
}

std::optional<std::string> lookup(const Document& doc, std::string_view section,
                                  std::string_view key) {
  auto range = findSection(doc, section);
  if (!range) return std::nullopt;
  auto at = findKey(doc, *range, key);
  if (!at) return std::nullopt;
  return unquoteValue(keyOf(doc.lines[*at])->value);
}

void assign(Document& doc, std::string_view section, std::string_view key, std::string_view value) {
  auto range = findSection(doc, section);
  if (!range) {
    if (!doc.lines.empty() && !trim(doc.lines.back()).empty()) doc.lines.emplace_back();
    doc.lines.push_back("[" + std::string(trim(section)) + "]");
    doc.lines.push_back(std::string(trim(key)) + "=" + std::string(value));
    return;
  }
  if (auto at = findKey(doc, *range, key)) {
    std::string stored(keyOf(doc.lines[*at])->key);
    doc.lines[*at] = stored + "=" + std::string(value);
    return;
  }
  // After the section's last non-blank line, so blank separator lines stay in front of the
  // next section.
  size_t insertAt = range->second;
  while (insertAt > range->first && trim(doc.lines[insertAt - 1]).empty()) --insertAt;
  doc.lines.insert(doc.lines.begin() + insertAt, std::string(trim(key)) + "=" + std::string(value));
}

bool erase(Document& doc, std::string_view section, std::string_view key) {
  auto range = findSection(doc, section);
  if (!range) return false;
  auto at = findKey(doc, *range, key);
  if (!at) return false;
  doc.lines.erase(doc.lines.begin() + *at);
  return true;
}

std::vector<std::pair<std::string, std::string>> entries(const Document& doc,
                                                         std::string_view section) {
  std::vector<std::pair<std::string, std::string>> out;
  auto range = findSection(doc, section);
  if (!range) return out;
  for (size_t i = range->first; i < range->second; ++i)
    if (auto kl = keyOf(doc.lines[i]))
      out.emplace_back(std::string(kl->key), unquoteValue(kl->value));
  return out;
}

}  // namespace zv::ini
