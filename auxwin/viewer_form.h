// Viewer: one multi-line text box that other windows fill (a text file, a library's detailed
// listing) and then show.
#pragma once
#include "core/forms/form.h"

namespace zv {

class ViewerForm : public Form {
 public:
  explicit ViewerForm(App& app);
  void load() override;
};

}  // namespace zv
