// The names the windows are registered and found by. Windows reach each other through these
// constants only, so a mistyped name fails to build instead of failing at run time.
#pragma once

namespace zv::windows {

inline constexpr const char* kMenu = "frmMenu";              // the main menu
inline constexpr const char* kFileSelection = "Comp1";       // compression: pick the files
inline constexpr const char* kArchiveCreation = "Comp2";     // compression: name and make it
inline constexpr const char* kArchiveSelection = "DeComp1";  // extraction: pick the archive
inline constexpr const char* kArchiveContents = "DeComp2";   // extraction: pick the members
inline constexpr const char* kExtraction = "DeComp3";        // extraction: destination, run
inline constexpr const char* kFileUtility = "DeComp4";       // the two-pane file utility
inline constexpr const char* kIshRestore = "frmish";         // restores an ISH file or text
inline constexpr const char* kNewFolder = "Dialog";          // new folder or new file name
inline constexpr const char* kFileInfo = "frmFP";            // path, time and size of a file
inline constexpr const char* kOptions = "frmOption";         // the Option settings
inline constexpr const char* kAbout = "frmAbout";            // the program's version
inline constexpr const char* kWait = "frmWait";              // the "please wait" notice
inline constexpr const char* kViewer = "Viewer";             // a text file or listing
inline constexpr const char* kPicture = "PicView";           // a picture at natural size
inline constexpr const char* kArchiveReport = "frmReport";  // an archive test or rescue, per member

}  // namespace zv::windows
