// Pieces the extraction runs share: their error message, the refresh of the file utility's
// list, and the report of members that were not extracted because of their names.
#pragma once
#include <string>
#include <vector>

namespace zv {
class Form;
}

namespace zv::extract {

// "解凍中にエラーが生じました．終了します", title " LHA解凍", with the cause of the failure
// on a line of its own when it is known (see core/messages/failure_cause.h).
void showExtractError(Form& form, const std::string& cause);

// Refreshes DeComp4's upper file list when that window is loaded (a window that is not loaded
// yet reads its folder fresh when it opens).
void refreshFileUtilityList(Form& form);

// One message naming the members whose names would have led outside the destination.
void showRefusedMembers(Form& form, const std::vector<std::string>& names);

// How every extraction run ends: the file utility's list refreshed, then the refused members
// named. A run that failed shows its error message first.
void endRun(Form& form, const std::vector<std::string>& refused);
void endFailedRun(Form& form, const std::vector<std::string>& refused, const std::string& cause);

// Points DeComp4's upper pane at a folder when it is visible.
void pointFileUtilityAt(Form& form, const std::string& drive, const std::string& folder);

}  // namespace zv::extract
