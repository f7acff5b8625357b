// The extraction window's registered destinations: the list file "\ZORVEX.DAT" in the program
// folder, rewritten through "\ZORVEX.$$$", kept in Combo1 (the shared registered-path-list
// operations of the compression area, with this window's pair of files).
#pragma once
#include <string>

namespace zv {
class Control;
class Form;
}  // namespace zv

namespace zv::extract {

std::string destinationListFile(const Form& window);
std::string destinationTempFile(const Form& window);

void loadDestinations(Form& window, Control& combo);
// True when an entry was added.
bool registerDestination(Form& window, Control& combo);
void deleteDestination(Form& window, Control& combo);

}  // namespace zv::extract
