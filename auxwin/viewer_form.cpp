#include "auxwin/viewer_form.h"

namespace zv {

ViewerForm::ViewerForm(App& app) : Form(app, windows::kViewer) {
  setCaption("書庫詳細データ");
  resize(9600, 6600);

  Control& menu = add("menuClose", Kind::MenuItem);
  menu.setCaption("閉じる(&X)");
  menu.onClick = [this] { unload(); };

  Control& text = add("Text1", Kind::TextBox);
  text.multiLine = true;
  text.scrollBars = true;
  text.setFont(FontSpec{"ＭＳ ゴシック", 10});
  text.setBackColor(kWindowBack);
  // The client area below the menu bar.
  text.move(0, 0, 9480, 5940);
}

void ViewerForm::load() { centreOnScreen(); }

}  // namespace zv
