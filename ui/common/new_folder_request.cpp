#include "ui/common/new_folder_request.h"

#include "core/forms/registry.h"

namespace zv {

NewFolderRequest newFolderRequest(FormRegistry& forms, const char* window,
                                  NewFolderRequest::Purpose purpose,
                                  std::function<std::string(Form&)> base, const char* folderList) {
  NewFolderRequest request;
  request.purpose = purpose;
  request.baseFolder = [&forms, window, base]() -> std::optional<std::string> {
    if (Form* self = forms.find(window)) return base(*self);
    return std::nullopt;
  };
  request.done = [&forms, window, folderList](const std::string& made) {
    if (Form* self = forms.find(window)) self->c(folderList).setPath(made);
  };
  return request;
}

}  // namespace zv
