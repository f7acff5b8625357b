#include "platform/command_words.h"

namespace zv::command_words {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::vector<Word> split(std::string_view line) {
  std::vector<Word> out;
  Word cur;
  bool inQuotes = false, any = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      if (inQuotes && i + 1 < line.size() && line[i + 1] == '"') {
        cur.text += '"';
        ++i;
      } else {
        inQuotes = !inQuotes;
      }
      cur.quoted = any = true;
    } else if (!inQuotes && isBlank(c)) {
      if (any) out.push_back(std::move(cur));
      cur = Word{};
      any = false;
    } else {
      cur.text += c;
      any = true;
    }
  }
  if (any) out.push_back(std::move(cur));
  return out;
}

std::string quote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
  return out;
}

std::string unquote(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::string(text);
  std::string out;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '"') {
      // Only a doubled quote may stand inside; a lone one means the text is more than one
      // quoted stretch, which is taken as it was always taken: outer quotes dropped.
      if (i + 2 < text.size() && text[i + 1] == '"') {
        out += '"';
        ++i;
        continue;
      }
      return std::string(text.substr(1, text.size() - 2));
    }
    out += text[i];
  }
  return out;
}

std::string switchLinePath(std::string_view path) {
  bool plain = !path.empty() && !isBlank(path.front()) && !isBlank(path.back()) &&
               path.find('"') == std::string_view::npos;
  for (size_t i = 1; plain && i < path.size(); ++i)
    if (path[i] == '/' && isBlank(path[i - 1])) plain = false;
  return plain ? std::string(path) : quote(path);
}

}  // namespace zv::command_words
