// The window registry: every window is a process-wide singleton, created and loaded when first
// touched, kept with its state while hidden, destroyed when unloaded (a later touch creates a
// fresh one).
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/forms/form.h"

namespace zv {

// Implemented by the Qt binding to mirror windows and controls; all calls are notifications.
class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void formShown(Form&) {}
  virtual void formHidden(Form&) {}
  virtual void formDestroying(Form&) {}
  virtual void formChanged(Form&) {}
  virtual void controlChanged(Control&) {}
  virtual void focusRequested(Control&) {}
  virtual void dragRequested(Control&) {}
  virtual void popupMenu(Form&, const std::string& menu) {}
};

class FormRegistry {
 public:
  using Factory = std::function<std::unique_ptr<Form>(App&)>;

  explicit FormRegistry(App& app) : app_(app) {}
  ~FormRegistry();

  // Makes a window known by its name ("frmMenu", "Comp1", ...).
  void define(const std::string& name, Factory factory);
  bool defined(const std::string& name) const;

  // The window, created and loaded (its load() runs) when it does not exist yet.
  Form& get(const std::string& name);
  template <class T>
  T& get(const std::string& name) {
    return dynamic_cast<T&>(get(name));
  }
  // The window when it exists, without creating it.
  Form* find(const std::string& name) const;
  bool loaded(const std::string& name) const { return find(name) != nullptr; }
  std::vector<std::string> loadedNames() const;

  void show(const std::string& name);
  void hide(const std::string& name);
  // Runs the window's queryUnload and unloading hooks; unless one cancels, hides the window and
  // destroys it at the next safe point. False when the window refused to close.
  bool unload(const std::string& name, UnloadMode mode = UnloadMode::Code);

  // Ends the program at once: no window runs its closing steps.
  void endProgram();
  bool ended() const { return ended_; }

  // Destroys windows unloaded since the last call. The binding calls it after each event; a
  // window may unload itself inside its own handler and keep running to the handler's end.
  void collect();

  void setObserver(FormObserver* observer) { observer_ = observer; }
  FormObserver* observer() const { return observer_; }

  // Log of "show Name" / "hide Name" / "unload Name" / "load Name" for tests.
  const std::vector<std::string>& history() const { return history_; }

 private:
  App& app_;
  std::map<std::string, Factory> factories_;
  std::map<std::string, std::unique_ptr<Form>> forms_;
  std::vector<std::unique_ptr<Form>> graveyard_;
  std::vector<std::string> history_;
  FormObserver* observer_ = nullptr;
  bool ended_ = false;
};

}  // namespace zv
