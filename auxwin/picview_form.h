// PicView: shows one picture file at its natural size. Callers clear Image1, load the file
// into it (loadPictureFile), size the window to it and show it.
#pragma once
#include <string>

#include "core/forms/form.h"

namespace zv {

class PicViewForm : public Form {
 public:
  explicit PicViewForm(App& app);
  void load() override;

  // The callers' whole sequence in one: clear, load, size the window (picture height plus
  // 600 twips for the title bar and frame), show. Raises what loading raises, with the
  // previous picture cleared.
  void showPicture(const std::string& path);
};

}  // namespace zv
