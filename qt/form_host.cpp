#include "qt/form_host.h"

#include <QApplication>

#include "core/app.h"
#include "qt/form_window.h"

namespace zv::qt {

FormHost::FormHost(App& app) : app_(app), dispatcher_(app.forms) { app.forms.setObserver(this); }

FormHost::~FormHost() {
  if (app_.forms.observer() == this) app_.forms.setObserver(nullptr);
  for (auto& [form, window] : windows_) {
    if (window) {
      window->detach();
      delete window.data();
    }
  }
}

FormWindow& FormHost::windowFor(Form& form) {
  auto it = windows_.find(&form);
  if (it != windows_.end() && it->second) return *it->second;
  auto* window = new FormWindow(form, *this);
  windows_[&form] = window;
  return *window;
}

FormWindow* FormHost::existingWindow(const Form& form) const {
  auto it = windows_.find(&form);
  return it == windows_.end() ? nullptr : it->second.data();
}

FormWindow* FormHost::window(const std::string& formName) {
  Form* form = app_.forms.find(formName);
  return form ? &windowFor(*form) : nullptr;
}

QWidget* FormHost::widget(const std::string& formName, const std::string& controlName) {
  FormWindow* w = window(formName);
  return w ? w->widgetOf(controlName) : nullptr;
}

void FormHost::formShown(Form& form) {
  FormWindow& window = windowFor(form);
  if (QWidget* active = QApplication::activeWindow(); active && active != &window)
    openers_[&form] = active;
  window.syncForm();
  if (!window.isVisible()) window.show();
  window.syncForm();  // the state (minimised, maximised) applies to a shown window
  window.raise();
  window.activateWindow();
}

void FormHost::formHidden(Form& form) {
  if (FormWindow* w = existingWindow(form)) {
    const bool active = w->isActiveWindow();
    w->hide();
    returnKeys(form, active);
  }
}

void FormHost::returnKeys(const Form& form, bool wasActive) {
  auto it = openers_.find(&form);
  if (it == openers_.end()) return;
  QPointer<QWidget> opener = it->second;
  openers_.erase(it);
  if (wasActive && opener && opener->isVisible()) opener->activateWindow();
}

void FormHost::formDestroying(Form& form) {
  auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  QPointer<FormWindow> window = it->second;
  windows_.erase(it);
  if (!window) {
    openers_.erase(&form);
    return;
  }
  window->detach();
  const bool active = window->isActiveWindow();
  window->hide();
  returnKeys(form, active);
  // The window may be inside one of its own event handlers right now.
  window->deleteLater();
}

void FormHost::formChanged(Form& form) {
  if (FormWindow* w = existingWindow(form)) w->syncForm();
}

void FormHost::controlChanged(Control& control) {
  if (FormWindow* w = existingWindow(control.form())) w->syncControl(control);
}

void FormHost::focusRequested(Control& control) {
  if (FormWindow* w = existingWindow(control.form())) w->focusControl(control);
}

void FormHost::dragRequested(Control& control) {
  if (FormWindow* w = existingWindow(control.form())) w->startDrag(control);
}

void FormHost::popupMenu(Form& form, const std::string& menu) { windowFor(form).popupMenu(menu); }

}  // namespace zv::qt
