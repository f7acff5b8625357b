// Files from other programs in the file selection window: dropped on its file list (or on the
// main menu's compression picture, which hands them here) or pasted with Ctrl+V, they become
// the chosen files, the folder panel moving to their folder first. An archive is made of the
// files of one folder, so files from several folders are refused with a message. Ctrl+C
// offers the chosen files to other programs.
#pragma once
#include <string>
#include <vector>

namespace zv::compress {

class Comp1Form;

// Chooses `paths` (program paths) in the file selection window.
void chooseDroppedFiles(Comp1Form& selection, const std::vector<std::string>& paths);

// The file list's Ctrl+V and Ctrl+C; a key it handles becomes 0.
void fileListKey(Comp1Form& selection, int& key, int shift);

}  // namespace zv::compress
