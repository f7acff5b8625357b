// Viewer: one multi-line text box that other windows fill (a text file, a library's detailed
// listing) and then show.
#pragma once
#include <string>

#include "core/forms/form.h"
#include "ui/common/window_ports.h"

namespace zv {

class ViewerForm : public Form, public TextViewerPort {
 public:
  explicit ViewerForm(App& app);
  void load() override;
  void showText(const std::string& text) override;
};

}  // namespace zv
