// frmWait: the "please wait" notice shown while the program is busy (opening the file
// utility, archive runs). Others only show and unload it.
#pragma once
#include "core/forms/form.h"

namespace zv {

class WaitForm : public Form {
 public:
  explicit WaitForm(App& app);
  void load() override;
  void activate() override;
};

}  // namespace zv
