#include "auxwin/picview_form.h"

#include "core/app.h"
#include "core/forms/control_table.h"
#include "ui/common/picture_file.h"

namespace zv {

namespace {
const ControlRow kControls[] = {
    // the picture shown; the window takes its size
    {.name = "Image1", .kind = Kind::Picture, .at = {0, 0, 0, 0}},
};
}  // namespace

PicViewForm::PicViewForm(App& app) : Form(app, windows::kPicture) {
  setBackColor(kWindowBack);
  resize(4800, 3600);
  addControlRows(*this, kControls);
}

void PicViewForm::load() {
  // One fifth of the free space above and left of the window.
  move((services().screenWidth() - width()) / 5, (services().screenHeight() - height()) / 5);
}

void PicViewForm::showPicture(const std::string& path) {
  Control& image = c("Image1");
  image.setPicture("");
  loadPictureFile(image, path, services());
  resize(image.width(), image.height() + 600);
  show();
}

}  // namespace zv
