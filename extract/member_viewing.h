// What the archive contents window does with single members and with the whole archive:
// extract the clicked member into the Temp work folder, read a text member into the viewer,
// and build the detailed listing. ZIP archives go to the ZIP library throughout.
#pragma once
#include <string>

namespace zv {
class TextViewerPort;
class Form;
}  // namespace zv

namespace zv::extract {

// Whether the archive selection window's "zip" filter is chosen (the archive is a ZIP).
bool selectionIsZip(Form& form);

// ExtractClickedMember: the clicked member into TempFolder, where it is removed when the
// program ends. False when nothing was run: no member was clicked yet, or its name leads
// outside the work folder.
bool extractClickedMember(Form& contents);

// LoadTextIntoViewer: the first 1000 characters of a text file into a text box.
void loadTextIntoViewer(Form& form, const std::string& path, TextViewerPort& viewer);

// ShowArchiveList: the detailed listing into the viewer's text box.
void showArchiveList(Form& contents);

// The detailed listing text of an LZH archive from the library's "v" output: its first line
// and 2 * count + 6 more, each ended by CR LF; it stops early where the output ends.
std::string listingText(const std::string& output, int count);

}  // namespace zv::extract
