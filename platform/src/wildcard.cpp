#include "platform/wildcard.h"

namespace zv {

namespace {
unsigned char fold(unsigned char c) {
  if (c == '/') return '\\';
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool hasExtension(std::string_view name) {
  size_t part = name.find_last_of("\\/");
  size_t dot = name.rfind('.');
  return dot != std::string_view::npos && (part == std::string_view::npos || dot > part);
}

// Iterative glob with backtracking to the last '*': linear in practice, no recursion. A ".*"
// left over when the name is used up matches the missing extension.
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
  if (pi + 2 == p.size() && p[pi] == '.' && p[pi + 1] == '*') return true;
  return pi == p.size();
}
}  // namespace

bool matchPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*" || pattern == "*") return true;
  // A trailing "." stands for "no extension".
  if (pattern.size() >= 2 && pattern.back() == '.') {
    return !hasExtension(name) && glob(pattern.substr(0, pattern.size() - 1), name);
  }
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
