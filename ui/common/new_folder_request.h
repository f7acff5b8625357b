// The request a window sets before it opens the new-folder dialog for itself (see
// NewFolderRequest in core/shared_state.h).
#pragma once
#include <functional>
#include <string>

#include "core/shared_state.h"

namespace zv {

class Form;
class FormRegistry;

// The new folder goes below the folder `base` reads from the window `window`, and `done` then
// hands the made folder to that window. Both happen only while the window is open.
NewFolderRequest newFolderRequest(FormRegistry& forms, const char* window,
                                  NewFolderRequest::Purpose purpose,
                                  std::function<std::string(Form&)> base,
                                  std::function<void(Form&, const std::string&)> done);

// Sets the request and opens the dialog with the request's caption, prompt and path.
void openNewFolderDialog(Form& opener, NewFolderRequest request);

}  // namespace zv
