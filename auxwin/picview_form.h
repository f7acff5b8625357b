// PicView: shows one picture file at its natural size.
#pragma once
#include <string>

#include "core/forms/form.h"
#include "ui/common/window_ports.h"

namespace zv {

class PicViewForm : public Form, public PictureViewerPort {
 public:
  explicit PicViewForm(App& app);
  void load() override;

  // The callers' whole sequence in one: clear, load, size the window (picture height plus
  // 600 twips for the title bar and frame), show. Raises what loading raises, with the
  // previous picture cleared.
  void showPicture(const std::string& path) override;
};

}  // namespace zv
