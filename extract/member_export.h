// Members of the archive contents window handed to other programs: dragged out of the member
// list onto a file manager, an editor or the desktop, or copied with Ctrl+C. The chosen
// members are extracted first, into a private folder of their own under the Temp work folder
// (with the library's progress and cancel, and the name checks of every extraction), and the
// extracted files are what the other program receives.
#pragma once
#include <string>
#include <vector>

namespace zv {
class Form;
}

namespace zv::extract {

// Extracts `members` (folder entries are left out) of the archive the contents window
// `contents` shows and answers the paths of the extracted files. Empty when none is left or
// the run failed or was cancelled (then the user has been told; members refused for their
// names are named and left out).
std::vector<std::string> exportMembers(Form& contents, const std::vector<std::string>& members);

// Extracts `members` as exportMembers does and offers the files on the clipboard.
void copyMembers(Form& contents, const std::vector<std::string>& members);

}  // namespace zv::extract
