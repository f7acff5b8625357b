// Judging the name of an archive member before anything is written for it: names come from
// the archive and are not trusted. The archiver libraries and the extraction window use these
// same functions, so a name one refuses the other refuses too. No file system access here; the
// checks of what already stands on disk (links) are made where the files are written.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zv {

enum class NameProblem { None, Empty, Absolute, Drive, ParentStep, Control, TooLong, Separator };

// Splits a decoded (UTF-8) member name at '/' and '\' into its components. Refuses names
// that are absolute, carry a drive letter, step up with "..", or contain control characters;
// "." components and empty components from doubled separators are dropped.
NameProblem splitMemberName(std::string_view name, std::vector<std::string>& parts);
// The same checks for a name the library has already split into components: also refuses
// empty and "." components, a separator or NUL inside one, and over-long components.
NameProblem checkParts(const std::vector<std::string>& parts);
// Japanese description of a problem, for the library's text output.
const char* describe(NameProblem p);

// An LZH member's components as it is placed in the destination: a stored drive ("C:", as
// some Windows tools write) is dropped, so the member lands inside the destination as other
// readers place it. checkParts judges the rest.
std::vector<std::string> withoutStoredDrive(std::vector<std::string> parts);

// The components of a name as an LZH member's display path shows them ("\dir\a.txt" for a
// stored root, '\' between components): split at '/' and '\', a leading root, empty and "."
// components dropped. Nothing is judged; withoutStoredDrive and checkParts do that.
std::vector<std::string> displayedParts(std::string_view path);

}  // namespace zv
