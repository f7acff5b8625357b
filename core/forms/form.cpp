#include "core/forms/form.h"

#include <stdexcept>

#include "core/app.h"
#include "core/forms/registry.h"

namespace zv {

Form::Form(App& app, std::string name) : app_(app), name_(std::move(name)) {}
Form::~Form() = default;

Services& Form::services() const { return app_.services; }
Shared& Form::shared() const { return app_.shared; }
FormRegistry& Form::forms() const { return app_.forms; }
Form& Form::form(const std::string& name) const { return app_.forms.get(name); }

Control& Form::add(const std::string& name, Kind kind) {
  if (byName_.count(name)) throw std::logic_error("duplicate control " + name_ + "." + name);
  controls_.push_back(std::make_unique<Control>(*this, name, kind));
  Control& c = *controls_.back();
  c.setTabIndex(static_cast<int>(controls_.size()) - 1);
  byName_[name] = &c;
  return c;
}

Control& Form::c(const std::string& name) const {
  auto it = byName_.find(name);
  if (it == byName_.end()) throw std::logic_error("no control " + name_ + "." + name);
  return *it->second;
}

Control* Form::find(const std::string& name) const {
  auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

void Form::setCaption(const std::string& caption) {
  caption_ = caption;
  formChanged();
}
void Form::setLeft(double v) {
  left_ = v;
  formChanged();
}
void Form::setTop(double v) {
  top_ = v;
  formChanged();
}
void Form::move(double left, double top) {
  left_ = left;
  top_ = top;
  formChanged();
}
void Form::resize(double width, double height) {
  width_ = width;
  height_ = height;
  formChanged();
}
void Form::centreOnScreen() {
  move((services().screenWidth() - width_) / 2, (services().screenHeight() - height_) / 2);
}
void Form::setTopMost(bool t) {
  topMost_ = t;
  formChanged();
}
void Form::setWindowState(int s) {
  windowState_ = s;
  formChanged();
}
void Form::setBackColor(uint32_t c) {
  backColor_ = c;
  formChanged();
}

void Form::show() { app_.forms.show(name_); }
void Form::hide() { app_.forms.hide(name_); }
bool Form::unload(UnloadMode mode) { return app_.forms.unload(name_, mode); }

void Form::popupMenu(const std::string& menu) {
  if (auto* o = app_.forms.observer()) o->popupMenu(*this, menu);
}

void Form::controlChanged(Control& control) {
  if (auto* o = app_.forms.observer()) o->controlChanged(control);
}
void Form::focusRequested(Control& control) {
  focused_ = &control;
  if (auto* o = app_.forms.observer()) o->focusRequested(control);
}
void Form::dragRequested(Control& control) {
  if (auto* o = app_.forms.observer()) o->dragRequested(control);
}
void Form::formChanged() {
  if (auto* o = app_.forms.observer()) o->formChanged(*this);
}

}  // namespace zv
