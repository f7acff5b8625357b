// The top-level widget of one form: its menu bar, a canvas with the controls' widgets at
// their twip positions, and the window's own events (close box, moves, Enter and Esc).
#pragma once
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "core/forms/form.h"

class QAction;
class QDropEvent;
class QMenu;
class QMenuBar;

namespace zv::qt {

class ControlView;
class FormHost;

class FormWindow : public QWidget {
 public:
  FormWindow(Form& form, FormHost& host);
  ~FormWindow() override;

  Form* form() const { return form_; }
  // The form is being destroyed: from now on nothing reaches it.
  void detach();
  bool detached() const { return form_ == nullptr; }

  // Runs model code for a user action; false when this window went away meanwhile.
  bool dispatch(const std::function<void()>& action);

  void syncForm();
  void syncControl(Control& control);
  void focusControl(Control& control);
  void startDrag(Control& control);
  // Files from another program dragged over or dropped on `control` (nullptr: the window
  // itself): taken by the control's files handler, else by the window's. The drop is
  // answered at once and the handler runs after it, so its questions do not hold up the
  // program the files came from.
  bool filesDropEvent(QDropEvent* event, Control* control);
  // Shows the popup menu under the menu item `menu` at the mouse pointer.
  void popupMenu(const std::string& menu);

  // Enter, Esc and Ctrl+A: the default command button, the window's Close (button, picture or
  // menu item) and its select-all picture; false when there is none.
  bool pressDefault();
  bool pressCancel();
  bool pressSelectAll();

  double twipsPerPixelX() const { return tppX_; }
  double twipsPerPixelY() const { return tppY_; }
  ControlView* viewOf(const Control& control) const;
  QWidget* widgetOf(const std::string& controlName) const;
  QWidget* canvas() const { return canvas_; }
  QMenuBar* menuBar() const { return menuBar_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  void buildControls();
  void applyTabOrder();
  void syncMenuItem(Control& item);
  void syncMenuBarVisibility();
  bool pressFirst(const std::function<bool(const Control&)>& wanted);
  QSize clientSize() const;

  Form* form_;
  FormHost& host_;
  double tppX_ = 15, tppY_ = 15;
  QMenuBar* menuBar_ = nullptr;
  QWidget* canvas_ = nullptr;
  std::map<const Control*, std::unique_ptr<ControlView>> views_;
  std::map<const Control*, QAction*> menuActions_;
  std::map<std::string, QMenu*> menus_;
  bool syncing_ = false;
  bool formPressed_ = false;
};

}  // namespace zv::qt
