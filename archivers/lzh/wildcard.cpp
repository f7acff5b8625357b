#include "wildcard.h"

#include "archive_index.h"

namespace zv::lzh {

bool hasWildcard(const std::string& p) { return p.find_first_of("*?") != std::string::npos; }

bool wildcardMatch(const std::string& pattern, const std::string& name) {
  std::string p = foldPath(pattern), n = foldPath(name);
  if (p == "*.*") return true;
  // Iterative match with one back-tracking point for the last '*'.
  size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  // "name.*" also matches "name" without an extension, as Windows patterns do.
  if (pi + 2 == p.size() && p[pi] == '.' && p[pi + 1] == '*') return true;
  return pi == p.size();
}

bool selectsMember(const std::string& pattern, const std::string& memberPath) {
  if (hasWildcard(pattern)) return wildcardMatch(pattern, memberPath);
  std::string p = foldPath(pattern), m = foldPath(memberPath);
  while (!p.empty() && p.front() == '\\') p.erase(0, 1);
  while (!m.empty() && m.front() == '\\') m.erase(0, 1);
  if (p.empty()) return false;
  return m == p || (m.size() > p.size() && m.compare(0, p.size(), p) == 0 && m[p.size()] == '\\');
}

}  // namespace zv::lzh
