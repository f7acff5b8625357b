#include "core/forms/registry.h"

#include <stdexcept>

#include "core/app.h"

namespace zv {

FormRegistry::~FormRegistry() {
  // Windows may touch each other while being destroyed; drop the observer first.
  observer_ = nullptr;
  forms_.clear();
  graveyard_.clear();
}

void FormRegistry::define(const std::string& name, Factory factory) {
  factories_[name] = std::move(factory);
}

bool FormRegistry::defined(const std::string& name) const { return factories_.count(name) != 0; }

Form& FormRegistry::get(const std::string& name) {
  auto it = forms_.find(name);
  if (it != forms_.end()) return *it->second;
  auto f = factories_.find(name);
  if (f == factories_.end()) throw std::logic_error("unknown window " + name);
  auto form = f->second(app_);
  Form& ref = *form;
  forms_[name] = std::move(form);
  history_.push_back("load " + name);
  ref.load();
  return ref;
}

Form* FormRegistry::find(const std::string& name) const {
  auto it = forms_.find(name);
  return it == forms_.end() ? nullptr : it->second.get();
}

std::vector<std::string> FormRegistry::loadedNames() const {
  std::vector<std::string> names;
  for (const auto& [name, form] : forms_) names.push_back(name);
  return names;
}

void FormRegistry::show(const std::string& name) {
  Form& form = get(name);
  history_.push_back("show " + name);
  form.visible_ = true;
  if (observer_) observer_->formShown(form);
  form.activate();
}

void FormRegistry::hide(const std::string& name) {
  Form& form = get(name);
  history_.push_back("hide " + name);
  if (!form.visible_) return;
  form.visible_ = false;
  if (observer_) observer_->formHidden(form);
}

bool FormRegistry::unload(const std::string& name, UnloadMode mode) {
  auto it = forms_.find(name);
  if (it == forms_.end()) return true;
  Form& form = *it->second;
  bool cancel = false;
  form.queryUnload(cancel, mode);
  if (cancel) return false;
  form.unloading(cancel);
  if (cancel) return false;
  // The hooks may have unloaded the window themselves.
  it = forms_.find(name);
  if (it == forms_.end() || it->second.get() != &form) return true;
  history_.push_back("unload " + name);
  form.visible_ = false;
  if (observer_) observer_->formDestroying(form);
  graveyard_.push_back(std::move(it->second));
  forms_.erase(it);
  return true;
}

void FormRegistry::endProgram() {
  history_.push_back("end");
  ended_ = true;
  app_.workCopies.removeAll(app_.shared.TempFolder);
  for (auto& [name, form] : forms_) {
    form->visible_ = false;
    if (observer_) observer_->formDestroying(*form);
    graveyard_.push_back(std::move(form));
  }
  forms_.clear();
  app_.services.quit();
}

void FormRegistry::collect() { graveyard_.clear(); }

}  // namespace zv
