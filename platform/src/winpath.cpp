#include "platform/winpath.h"

#include <cctype>

#include "platform/command_words.h"

namespace zv::winpath {

namespace {
bool isSep(char c) { return c == '\\' || c == '/'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// Length of the "C:" or "C:\" prefix of a path (0 without a drive).
size_t rootLength(std::string_view p) {
  if (!hasDrive(p)) return 0;
  return (p.size() > 2 && isSep(p[2])) ? 3 : 2;
}
}  // namespace

std::string join(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (out.empty() || !isSep(out.back())) out += '\\';
  out += name;
  return out;
}

std::string normalize(std::string_view path) {
  std::string out(path);
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

std::string unquote(std::string_view text) { return command_words::unquote(text); }

std::string quote(std::string_view text) { return command_words::quote(text); }

bool hasDrive(std::string_view path) {
  return path.size() >= 2 && isLetter(path[0]) && path[1] == ':';
}

bool isDriveRoot(std::string_view path) {
  return hasDrive(path) && (path.size() == 2 || (path.size() == 3 && isSep(path[2])));
}

std::string driveOf(std::string_view path) {
  std::string out;
  if (!path.empty()) out += path[0];
  out += ':';
  return out;
}

std::string driveRoot(char letter) {
  std::string out(1, letter);
  out += ":\\";
  return out;
}

std::string withTrailingSeparator(std::string_view path) {
  std::string out = normalize(path);
  while (!out.empty() && out.back() == '\\') out.pop_back();
  out += '\\';
  return out;
}

std::string withoutTrailingSeparator(std::string_view path) {
  std::string out = normalize(path);
  size_t keep = rootLength(out);
  if (keep == 2 && isDriveRoot(out)) return out + '\\';
  while (out.size() > keep && out.size() > 1 && out.back() == '\\') out.pop_back();
  return out;
}

std::pair<std::string, std::string> splitParentTail(std::string_view path) {
  std::string p = normalize(path);
  size_t root = rootLength(p);
  while (p.size() > root && p.size() > 1 && p.back() == '\\') p.pop_back();
  if (p.size() <= root) return {withoutTrailingSeparator(p), ""};
  size_t cut = p.find_last_of('\\');
  if (cut == std::string::npos || cut < root) {
    // "C:name" or a bare name: the parent is whatever precedes the name.
    return {p.substr(0, root), p.substr(root)};
  }
  return {p.substr(0, cut + 1), p.substr(cut + 1)};
}

std::string fileName(std::string_view path) {
  size_t cut = path.find_last_of("\\/");
  std::string_view tail = cut == std::string_view::npos ? path : path.substr(cut + 1);
  if (cut == std::string_view::npos && hasDrive(tail)) tail.remove_prefix(2);
  return std::string(tail);
}

std::string parentFolder(std::string_view path) {
  auto [parent, tail] = splitParentTail(path);
  return withoutTrailingSeparator(parent);
}

std::vector<std::string> components(std::string_view path) {
  std::vector<std::string> out;
  std::string_view rest = path.substr(hasDrive(path) ? 2 : 0);
  std::string current;
  for (char c : rest) {
    if (isSep(c)) {
      if (!current.empty()) out.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) out.push_back(std::move(current));
  return out;
}

bool samePath(std::string_view a, std::string_view b) {
  std::string x = withoutTrailingSeparator(a), y = withoutTrailingSeparator(b);
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(x[i])) !=
        std::tolower(static_cast<unsigned char>(y[i])))
      return false;
  return true;
}

}  // namespace zv::winpath
