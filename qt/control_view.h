// One control's widget: built for the control's kind, kept in step with the model, and the
// user's mouse, keyboard and drop actions sent to the model's entry points.
#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

#include "core/forms/control.h"

namespace zv::qt {

class FormWindow;

// MIME type of a drag between controls of one window: "<form name>\n<control name>".
inline constexpr const char* kControlMimeType = "application/x-zorvex-control";

class ControlView : public QObject {
 public:
  ControlView(Control& control, FormWindow& window, QWidget* parent);
  ~ControlView() override;

  Control& control() const { return control_; }
  QWidget* widget() const { return widget_; }
  // The widget that receives mouse events and drops (the viewport of a list).
  QWidget* inputWidget() const;
  // Copies the model into the widget.
  void sync();
  // Accepts keyboard focus (the control can be reached by Tab).
  bool focusable() const;
  // The window logic asked for a drag: it starts once the held mouse moves a little, so a
  // plain click stays a click.
  void armDrag();
  // Does what a click with the mouse does (a picture button's or link's action).
  void press();
  // The label in front of the control, whose caption names it for assistive technology.
  void setLabel(const Control* label);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void create(QWidget* parent);
  void connectSignals();
  void syncCommon();
  void syncKind();
  void syncList();
  void syncFolders();
  void syncCombo();
  bool mouseEvent(QEvent* event);
  bool keyEvent(QEvent* event);
  bool dropEvent(QEvent* event);
  bool listNavigation(int key, int shift);
  // Shift+F10 / Menu key: a right click on the focused item; false when nothing takes it.
  bool contextClick();
  void execDrag();
  // Runs model code; false when the window went away meanwhile (the control is gone too).
  bool run(const std::function<void()>& action);

  Control& control_;
  FormWindow& window_;
  QPointer<QWidget> widget_;
  bool updating_ = false;
  bool afterDoubleClick_ = false;
  bool dragArmed_ = false;
  bool announcedShown_ = true;
  const Control* label_ = nullptr;
  // The window logic asked for the drag (a drag between its own controls), not only the
  // binding for a drag of files out.
  bool windowDrag_ = false;
  // The chosen item pressed on in a list that drags files out; chosen alone on release.
  int pendingRow_ = -1;
  // The items the list widget shows, so that appending to a long list adds only the new ones.
  std::vector<std::string> shownItems_;
  std::vector<bool> shownSelected_;
  QPoint pressPos_;
  int appliedSelStart_ = -1, appliedSelLength_ = -1;
};

// Button and Shift/Ctrl/Alt state in the model's terms.
int modelButton(Qt::MouseButton button);
int modelShift(Qt::KeyboardModifiers modifiers);
// Caption text in Qt's terms: CR LF and CR become line breaks.
QString captionText(const std::string& caption);
// A label's caption with its '&' markers taken out ("&&" stays one '&').
QString withoutMnemonics(const QString& text);

}  // namespace zv::qt
