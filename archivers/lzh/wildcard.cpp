#include "wildcard.h"

#include "archive_index.h"
#include "platform/wildcard.h"

namespace zv::lzh {

bool hasWildcard(const std::string& p) { return p.find_first_of("*?") != std::string::npos; }

bool wildcardMatch(const std::string& pattern, std::string_view name) {
  return matchPattern(foldPath(pattern), foldPath(name));
}

bool selectsMember(const std::string& pattern, std::string_view memberPath) {
  if (hasWildcard(pattern)) return wildcardMatch(pattern, memberPath);
  std::string p = foldPath(pattern), m = foldPath(memberPath);
  while (!p.empty() && p.front() == '\\') p.erase(0, 1);
  while (!m.empty() && m.front() == '\\') m.erase(0, 1);
  if (p.empty()) return false;
  return m == p || (m.size() > p.size() && m.compare(0, p.size(), p) == 0 && m[p.size()] == '\\');
}

}  // namespace zv::lzh
