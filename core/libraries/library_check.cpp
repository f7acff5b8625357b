#include "core/libraries/library_check.h"

#include "core/libraries/shared_object.h"
#include "platform/folders.h"

namespace zv {

bool systemLibraryPresent(Shared& shared, const std::string& fileName) {
  shared.SystemFolder = folders::systemFolder();
  return !findFileIgnoringCase(shared.SystemFolder, fileName).empty();
}

}  // namespace zv
