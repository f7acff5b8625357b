// Windows-style file name patterns: '*' and '?', without regard to case; "*.*" matches every
// name; several patterns separated by ';'.
#pragma once
#include <string_view>

namespace zv {

bool matchPattern(std::string_view pattern, std::string_view name);
bool matchAnyPattern(std::string_view patterns, std::string_view name);

}  // namespace zv
