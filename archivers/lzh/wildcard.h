// Member and file patterns, matched by the program's one pattern rule (platform/wildcard.h):
// '*' also crosses folders, so "*.txt" matches "doc\a.txt"; "*.*" matches every name, with
// or without a dot.
#pragma once
#include <string>
#include <string_view>

namespace zv::lzh {

bool hasWildcard(const std::string& pattern);
bool wildcardMatch(const std::string& pattern, std::string_view name);
// A member argument selects a member when it matches its path, or names a folder that
// contains it ("doc" and "doc\" select "doc\a.txt").
bool selectsMember(const std::string& pattern, std::string_view memberPath);

}  // namespace zv::lzh
