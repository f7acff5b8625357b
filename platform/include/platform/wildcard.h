// Windows-style name patterns, shared by the file lists of the windows and the archiver
// libraries' member arguments: '*' and '?' without regard to ASCII case, '\' and '/' alike.
// "*" and "*.*" match every name; a pattern ending in ".*" also matches a name whose last part
// has no extension ("read?e.*" matches "README"); a pattern ending in a lone "." matches only
// names without an extension ("*." matches "readme", not "a.txt").
#pragma once
#include <string_view>

namespace zv {

bool matchPattern(std::string_view pattern, std::string_view name);
// Several patterns separated by ';' (blanks around each ignored): true when any matches.
bool matchAnyPattern(std::string_view patterns, std::string_view name);

}  // namespace zv
