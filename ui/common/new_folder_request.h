// The request a window sets before it opens the new-folder dialog for itself (see
// NewFolderRequest in core/shared_state.h).
#pragma once
#include <functional>
#include <string>

#include "core/shared_state.h"

namespace zv {

class Form;
class FormRegistry;

// The new folder goes below the folder `base` reads from the window `window`, and the
// window's folder list `folderList` then moves to it. Both happen only while the window is
// open.
NewFolderRequest newFolderRequest(FormRegistry& forms, const char* window,
                                  NewFolderRequest::Purpose purpose,
                                  std::function<std::string(Form&)> base, const char* folderList);

}  // namespace zv
