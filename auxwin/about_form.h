// frmAbout: the program's version, on top of the other windows.
#pragma once
#include "core/forms/form.h"

namespace zv {

class AboutForm : public Form {
 public:
  explicit AboutForm(App& app);
  void load() override;
};

}  // namespace zv
