// The register / delete operations of a registered path list on a window's combo box; the
// list file itself is core/settings/path_list_file.h.
#pragma once
#include <string>

#include "core/settings/path_list_file.h"

namespace zv {
class Control;
class Form;
}  // namespace zv

namespace zv::pathlist {
// Fills the combo box's items from the list file; a missing file leaves the combo box as it is.
void loadInto(Control& combo, const std::string& listFile);
// Appends the combo box's text as a new item and rewrites the file. Shows the window's
// messages itself; true only when an entry was added and saved (the caller then confirms).
bool registerCurrent(Form& form, Control& combo, const Files& files);
// After confirmation removes the selected item and rewrites the file; true when removed.
// An item counts as selected only while the combo box's text is still that item.
bool deleteSelected(Form& form, Control& combo, const Files& files);

}  // namespace zv::pathlist
