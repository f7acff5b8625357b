#include "core/forms/wildcard.h"

#include <cctype>
#include <string>

namespace zv {

namespace {
unsigned char fold(unsigned char c) { return c < 0x80 ? std::tolower(c) : c; }

// Iterative glob with backtracking to the last '*': linear in practice, no recursion.
bool glob(std::string_view p, std::string_view n) {
  size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (pi < p.size() && (p[pi] == '?' || fold(p[pi]) == fold(n[ni]))) {
      ++pi;
      ++ni;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}
}  // namespace

bool matchPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*" || pattern == "*") return true;
  // "x.*" also matches "x" without an extension, as on Windows.
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos &&
      glob(pattern.substr(0, pattern.size() - 2), name))
    return true;
  // A trailing "." stands for "no extension": "*." matches "readme" but not "a.txt".
  if (pattern.size() >= 2 && pattern.back() == '.' && name.find('.') == std::string_view::npos)
    return glob(pattern.substr(0, pattern.size() - 1), name);
  return glob(pattern, name);
}

bool matchAnyPattern(std::string_view patterns, std::string_view name) {
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string_view::npos) end = patterns.size();
    std::string_view one = patterns.substr(start, end - start);
    while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
    while (!one.empty() && one.back() == ' ') one.remove_suffix(1);
    if (!one.empty() && matchPattern(one, name)) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace zv
