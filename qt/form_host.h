// The generic form host: mirrors every window of the registry as a Qt window, keeps the
// widgets in step with the models and runs the user's actions through one dispatcher.
#pragma once
#include <QObject>
#include <QPointer>
#include <map>
#include <string>

#include "core/forms/registry.h"
#include "qt/dispatch.h"

class QWidget;

namespace zv {
struct App;
}

namespace zv::qt {

class FormWindow;

class FormHost : public FormObserver {
 public:
  // Becomes the registry's observer.
  explicit FormHost(App& app);
  ~FormHost() override;

  Dispatcher& dispatcher() { return dispatcher_; }
  App& app() const { return app_; }

  // The Qt window of a form (built on first use), nullptr for a form that is not loaded.
  FormWindow* window(const std::string& formName);
  FormWindow* existingWindow(const Form& form) const;
  // The widget of a control of a loaded form's window.
  QWidget* widget(const std::string& formName, const std::string& controlName);

  void formShown(Form& form) override;
  void formHidden(Form& form) override;
  void formDestroying(Form& form) override;
  void formChanged(Form& form) override;
  void controlChanged(Control& control) override;
  void focusRequested(Control& control) override;
  void dragRequested(Control& control) override;
  void popupMenu(Form& form, const std::string& menu) override;

 private:
  FormWindow& windowFor(Form& form);
  // A window that goes away while it has the keys gives them back to the window that had
  // them when it came up, as a window manager would (and where none runs, nothing else does).
  void returnKeys(const Form& form, bool wasActive);

  App& app_;
  Dispatcher dispatcher_;
  std::map<const Form*, QPointer<FormWindow>> windows_;
  std::map<const Form*, QPointer<QWidget>> openers_;
};

}  // namespace zv::qt
