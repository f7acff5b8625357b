// Files from other programs in the file selection window: dropped on its file list (or on the
// main menu's compression picture, which hands them here) or pasted with Ctrl+V, they become
// the chosen files, the folder panel moving to their folder first. An archive is made of the
// files of one folder, so files from several folders are refused with a message. Ctrl+C
// offers the chosen files to other programs.
#pragma once
#include <string>
#include <vector>

namespace zv {
class Form;
}

namespace zv::compress {

// Chooses `paths` (program paths) in the file selection window `selection`.
void chooseFiles(Form& selection, const std::vector<std::string>& paths);

// The file list's drop, Ctrl+V and Ctrl+C.
void wireDroppedFiles(Form& selection);

}  // namespace zv::compress
