#include "extract/destination_list.h"

#include "core/app.h"
#include "ui/common/path_list_combo.h"

namespace zv::extract {

std::string destinationListFile(const Form& window) {
  return pathlist::extractionFiles(window.app().programFolder).list;
}
std::string destinationTempFile(const Form& window) {
  return pathlist::extractionFiles(window.app().programFolder).temp;
}

void loadDestinations(Form& window, Control& combo) {
  pathlist::loadInto(combo, destinationListFile(window));
}

bool registerDestination(Form& window, Control& combo) {
  return pathlist::registerCurrent(window, combo,
                                   pathlist::extractionFiles(window.app().programFolder));
}

void deleteDestination(Form& window, Control& combo) {
  pathlist::deleteSelected(window, combo, pathlist::extractionFiles(window.app().programFolder));
}

}  // namespace zv::extract
