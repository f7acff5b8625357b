#include "ui/common/new_folder_request.h"

#include "core/forms/registry.h"
#include "core/forms/steps.h"
#include "ui/common/window_ports.h"

namespace zv {

NewFolderRequest newFolderRequest(FormRegistry& forms, const char* window,
                                  NewFolderRequest::Purpose purpose,
                                  std::function<std::string(Form&)> base,
                                  std::function<void(Form&, const std::string&)> done) {
  NewFolderRequest request;
  request.purpose = purpose;
  request.baseFolder = [&forms, window, base]() -> std::optional<std::string> {
    if (Form* self = forms.find(window)) return base(*self);
    return std::nullopt;
  };
  request.done = [&forms, window, done](const std::string& made) {
    if (Form* self = forms.find(window)) done(*self, made);
  };
  return request;
}

void openNewFolderDialog(Form& opener, NewFolderRequest request) {
  opener.shared().NewFolder = std::move(request);
  Steps steps;
  steps([&] { port<NewFolderPort>(opener.forms(), windows::kNewFolder).present(); });
  steps([&] { opener.forms().show(windows::kNewFolder); });
}

}  // namespace zv
