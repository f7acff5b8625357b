// A window: its caption and position, its controls and its load/unload handlers. What other
// windows may ask of it is a typed port its class implements (ui/common/window_ports.h). Window
// classes derive from Form, add their controls in the constructor and wire the controls' events.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/forms/control.h"
#include "core/forms/window_names.h"

namespace zv {

struct App;
struct Shared;
class FormRegistry;
class Services;

// Why a window is being closed, passed to queryUnload.
enum class UnloadMode { CloseBox = 0, Code = 1, SessionEnd = 2, TaskManager = 3 };

class Form {
 public:
  Form(App& app, std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  App& app() const { return app_; }
  Services& services() const;
  Shared& shared() const;
  FormRegistry& forms() const;
  // Another window by name (created and loaded on first touch).
  Form& form(const std::string& name) const;

  // ---- controls ----
  // Adds a control; the order of adding is the default tab order.
  Control& add(const std::string& name, Kind kind);
  // The control of that name; a missing name is a programming error (std::logic_error).
  Control& c(const std::string& name) const;
  Control* find(const std::string& name) const;
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  // ---- window properties (twips) ----
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& caption);
  double left() const { return left_; }
  double top() const { return top_; }
  double width() const { return width_; }
  double height() const { return height_; }
  void setLeft(double v);
  void setTop(double v);
  void move(double left, double top);
  void resize(double width, double height);
  // Places the window in the middle of the screen (screen size from the services).
  void centreOnScreen();
  bool visible() const { return visible_; }
  bool topMost() const { return topMost_; }
  void setTopMost(bool t);
  // 0 normal, 1 minimised, 2 maximised.
  int windowState() const { return windowState_; }
  void setWindowState(int s);
  uint32_t backColor() const { return backColor_; }
  void setBackColor(uint32_t c);
  // Artwork name of the window icon.
  std::string icon;
  // Fixed-size dialog (no resizing, no minimise box).
  bool fixedDialog = false;
  // A window of its own rather than a step of another (the main menu): assistive technology
  // calls it a frame even when its size is fixed.
  bool mainWindow = false;

  // ---- show / hide / unload through the registry ----
  void show();
  void hide();
  // Runs queryUnload and unload; false when the window refused to close.
  bool unload(UnloadMode mode = UnloadMode::Code);
  // Opens the popup menu whose top item is `menu`.
  void popupMenu(const std::string& menu);

  // ---- window-level events ----
  Control::Handler onClick, onDblClick;
  Control::MouseHandler onMouseDown, onMouseUp;
  Control::DropHandler onDragDrop;
  // Files from another program dropped anywhere on the window that no control takes.
  Control::FilesHandler onFilesDropped;

  // ---- lifecycle hooks (called by the registry) ----
  virtual void load() {}
  // Set cancel to keep the window.
  virtual void queryUnload(bool& cancel, UnloadMode mode) {}
  virtual void unloading(bool& cancel) {}
  virtual void activate() {}

  // Used by controls to tell the binding about changes.
  void controlChanged(Control& control);
  void focusRequested(Control& control);
  void dragRequested(Control& control);
  // The control that most recently asked for the focus.
  Control* focused() const { return focused_; }

 private:
  friend class FormRegistry;
  void formChanged();

  App& app_;
  std::string name_;
  std::string caption_;
  double left_ = 0, top_ = 0, width_ = 4800, height_ = 3600;
  bool visible_ = false, topMost_ = false;
  int windowState_ = 0;
  uint32_t backColor_ = kDefaultBack;
  std::vector<std::unique_ptr<Control>> controls_;
  std::map<std::string, Control*> byName_;
  Control* focused_ = nullptr;
};

}  // namespace zv
