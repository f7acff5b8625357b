// Windows-style path text: '\' separators, drive roots written "C:\", other folders without a
// trailing '\'. Both '\' and '/' are accepted as separators in input.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv::winpath {

// Folder, a '\' unless the folder already ends with one, then the name.
std::string join(std::string_view folder, std::string_view name);

// '/' becomes '\'.
std::string normalize(std::string_view path);

// Removes one pair of enclosing double quotes, if present (command_words::unquote).
std::string unquote(std::string_view text);
// Encloses in double quotes, a quote inside written twice (command_words::quote).
std::string quote(std::string_view text);

// True for "C:\" , "C:" and "C:/".
bool isDriveRoot(std::string_view path);
// True when the text starts with a letter and a colon.
bool hasDrive(std::string_view path);
// "First character and colon": "c:\x" gives "c:". Empty text gives ":".
std::string driveOf(std::string_view path);
// "C" gives "C:\".
std::string driveRoot(char letter);

// Ensures exactly one trailing '\'.
std::string withTrailingSeparator(std::string_view path);
// Drops a trailing '\' except from a drive root ("C:\" stays).
std::string withoutTrailingSeparator(std::string_view path);

// Splits at the last separator: "C:\data\proj" -> {"C:\data\", "proj"}; a trailing separator is
// ignored ("C:\data\proj\" gives the same); "C:\" -> {"C:\", ""}.
std::pair<std::string, std::string> splitParentTail(std::string_view path);

// The name after the last separator.
std::string fileName(std::string_view path);
// The folder before the last separator, in folder-list form (drive root keeps its '\').
std::string parentFolder(std::string_view path);

// Components after the drive: "C:\a\b" -> {"a","b"}.
std::vector<std::string> components(std::string_view path);

// Compares two paths without regard to ASCII case and separator style.
bool samePath(std::string_view a, std::string_view b);

}  // namespace zv::winpath
