#include "core/forms/control.h"

#include <algorithm>

#include "core/forms/form.h"
#include "platform/runtime_error.h"

namespace zv {

namespace {
constexpr int kErrBadIndex = kErrBadPropertyIndex;

bool isList(Kind k) {
  return k == Kind::ListBox || k == Kind::ComboBox || k == Kind::FileList || k == Kind::DriveList;
}
}  // namespace

Control::Control(Form& form, std::string name, Kind kind)
    : form_(form), name_(std::move(name)), kind_(kind) {
  if (kind == Kind::TextBox || kind == Kind::ListBox || kind == Kind::FileList ||
      kind == Kind::FolderList || kind == Kind::DriveList || kind == Kind::ComboBox) {
    backColor_ = kWindowBack;
  }
  if (kind == Kind::Hidden) visible_ = false;
}

void Control::notify() { form_.controlChanged(*this); }

void Control::setText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  if (kind_ == Kind::TextBox || kind_ == Kind::ComboBox) {
    selStart_ = std::min<int>(selStart_, static_cast<int>(text_.size()));
    selLength_ = 0;
  }
  notify();
  if ((kind_ == Kind::TextBox || kind_ == Kind::ComboBox) && onChange) onChange();
}

void Control::setVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  notify();
}
void Control::setEnabled(bool e) {
  if (e == enabled_) return;
  enabled_ = e;
  notify();
}
void Control::setTooltip(const std::string& t) {
  tooltip_ = t;
  notify();
}
void Control::setDescription(const std::string& d) {
  if (d == description_) return;
  description_ = d;
  notify();
}
void Control::setLeft(double v) {
  left_ = v;
  notify();
}
void Control::setTop(double v) {
  top_ = v;
  notify();
}
void Control::setWidth(double v) {
  width_ = v;
  notify();
}
void Control::setHeight(double v) {
  height_ = v;
  notify();
}
void Control::move(double left, double top, double width, double height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  notify();
}
void Control::setFont(const FontSpec& f) {
  font_ = f;
  notify();
}
void Control::setFontName(const std::string& n) {
  font_.name = n;
  notify();
}
void Control::setFontSize(double s) {
  font_.size = s;
  notify();
}
void Control::setForeColor(uint32_t c) {
  foreColor_ = c;
  notify();
}
void Control::setBackColor(uint32_t c) {
  backColor_ = c;
  notify();
}
void Control::setPicture(const std::string& artwork) {
  picture_ = artwork;
  notify();
}
void Control::setContainer(const std::string& frame) {
  container_ = frame;
  notify();
}
void Control::setTabIndex(int i) {
  tabIndex_ = i;
  notify();
}
void Control::setDefault(bool d) {
  default_ = d;
  notify();
}
void Control::setCancel(bool c) {
  cancel_ = c;
  notify();
}

void Control::setValue(int v) {
  if (kind_ == Kind::OptionButton) {
    v = v ? 1 : 0;
    if (v == 1) {
      for (const auto& other : form_.controls()) {
        if (other.get() != this && other->kind_ == Kind::OptionButton &&
            other->container_ == container_ && other->value_ != 0) {
          other->value_ = 0;
          other->notify();
        }
      }
    }
    bool changed = v != value_;
    value_ = v;
    notify();
    // Setting an option button fires its click, as a user's choice does.
    if (v == 1 && onClick) onClick();
    (void)changed;
    return;
  }
  if (v == value_) return;
  value_ = v;
  notify();
  if (kind_ == Kind::CheckBox && onClick) onClick();
}

void Control::setChecked(bool c) { setValue(c ? 1 : 0); }

void Control::setSelection(int start, int length) {
  int n = static_cast<int>(text_.size());
  selStart_ = std::clamp(start, 0, n);
  selLength_ = std::clamp(length, 0, n - selStart_);
  notify();
}

void Control::setMultiSelect(MultiSelect m) {
  multiSelect_ = m;
  notify();
}

int Control::listCount() const {
  if (kind_ == Kind::FolderList) {
    int n = 0;
    for (const auto& e : folders_) n += e.open ? 0 : 1;
    return n;
  }
  return static_cast<int>(items_.size());
}

std::string Control::list(int index) const {
  if (kind_ == Kind::FolderList) {
    // Index -1 is the current folder, 0.. its subfolders, -2.. its ancestors upwards.
    int current = -1;
    for (size_t i = 0; i < folders_.size(); ++i)
      if (folders_[i].open) current = static_cast<int>(i);
    int pos = current + 1 + index;
    if (pos < 0 || pos >= static_cast<int>(folders_.size()))
      raiseError(kErrBadIndex, "folder list index");
    return folders_[pos].path;
  }
  if (index < 0 || index >= listCount()) raiseError(kErrBadIndex, "list index");
  return items_[index];
}

void Control::setList(int index, const std::string& text) {
  if (index < 0 || index >= listCount()) raiseError(kErrBadIndex, "list index");
  items_[index] = text;
  notify();
}

void Control::addItem(const std::string& text, int index) {
  if (index > listCount()) raiseError(kErrBadIndex, "list index");
  if (index < 0 && sorted) {
    auto it = std::upper_bound(items_.begin(), items_.end(), text);
    index = static_cast<int>(it - items_.begin());
  }
  if (index < 0) index = listCount();
  items_.insert(items_.begin() + index, text);
  selected_.insert(selected_.begin() + index, false);
  if (listIndex_ >= index) ++listIndex_;
  notify();
}

void Control::removeItem(int index) {
  if (index < 0 || index >= listCount()) raiseError(kErrBadIndex, "list index");
  items_.erase(items_.begin() + index);
  selected_.erase(selected_.begin() + index);
  if (listIndex_ == index)
    listIndex_ = -1;
  else if (listIndex_ > index)
    --listIndex_;
  notify();
}

void Control::clear() {
  items_.clear();
  selected_.clear();
  listIndex_ = -1;
  anchor_ = -1;
  if (kind_ == Kind::ComboBox) text_.clear();
  notify();
}

void Control::setListIndex(int index) {
  if (kind_ == Kind::FolderList) {
    if (index < -1 || index >= static_cast<int>(folders_.size()))
      raiseError(kErrBadIndex, "list index");
    listIndex_ = index;
    notify();
    if (onClick) onClick();
    return;
  }
  if (index < -1 || index >= listCount()) raiseError(kErrBadIndex, "list index");
  listIndex_ = index;
  if (multiSelect_ == MultiSelect::None) {
    std::fill(selected_.begin(), selected_.end(), false);
    if (index >= 0) selected_[index] = true;
  }
  if (kind_ == Kind::ComboBox && index >= 0) {
    text_ = items_[index];
  }
  notify();
  if (isList(kind_) && kind_ != Kind::DriveList && onClick) onClick();
}

bool Control::selected(int index) const {
  if (index < 0 || index >= listCount()) raiseError(kErrBadIndex, "list index");
  return selected_[index];
}

void Control::setSelected(int index, bool sel) {
  if (index < 0 || index >= listCount()) raiseError(kErrBadIndex, "list index");
  if (multiSelect_ == MultiSelect::None) {
    if (sel) {
      setListIndex(index);
    } else if (selected_[index]) {
      selected_[index] = false;
      notify();
    }
    return;
  }
  selected_[index] = sel;
  listIndex_ = index;
  notify();
}

int Control::selCount() const {
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void Control::setAlignment(int a) {
  alignment_ = a;
  notify();
}

void Control::setHorizontalExtent(int px) {
  hExtent_ = px;
  notify();
}

void Control::userSelect(int index, int shift) {
  if (index < 0 || index >= listCount()) return;
  switch (multiSelect_) {
    case MultiSelect::None:
      std::fill(selected_.begin(), selected_.end(), false);
      selected_[index] = true;
      anchor_ = index;
      break;
    case MultiSelect::Simple:
      selected_[index] = !selected_[index];
      anchor_ = index;
      break;
    case MultiSelect::Extended:
      if ((shift & kShiftKey) && anchor_ >= 0) {
        if (!(shift & kCtrlKey)) std::fill(selected_.begin(), selected_.end(), false);
        int lo = std::min(anchor_, index), hi = std::max(anchor_, index);
        for (int i = lo; i <= hi; ++i) selected_[i] = true;
      } else if (shift & kCtrlKey) {
        selected_[index] = !selected_[index];
        anchor_ = index;
      } else {
        std::fill(selected_.begin(), selected_.end(), false);
        selected_[index] = true;
        anchor_ = index;
      }
      break;
  }
  listIndex_ = index;
  if (kind_ == Kind::ComboBox) text_ = items_[index];
  notify();
  if (kind_ == Kind::ComboBox) {
    if (onClick) onClick();
    return;
  }
  if (kind_ == Kind::DriveList) {
    std::string chosen = items_[index];
    applyDrive(chosen.substr(0, 2), false);  // a user may pick a drive that is not ready
    return;
  }
  if (onClick) onClick();
}

void Control::click() {
  if (kind_ == Kind::OptionButton) {
    if (value_ != 1) {
      setValue(1);  // fires onClick
      return;
    }
  } else if (kind_ == Kind::CheckBox) {
    setValue(value_ == 1 ? 0 : 1);  // fires onClick
    return;
  }
  if (onClick) onClick();
}

void Control::dblClick() {
  if (kind_ == Kind::FolderList && listIndex_ >= 0 &&
      listIndex_ < static_cast<int>(folders_.size())) {
    setPath(folders_[listIndex_].path);
  }
  if (onDblClick) onDblClick();
}

void Control::mouseDown(int button, int shift, double x, double y) {
  if (onMouseDown) onMouseDown(MouseEvent{button, shift, x, y});
}
void Control::mouseUp(int button, int shift, double x, double y) {
  if (onMouseUp) onMouseUp(MouseEvent{button, shift, x, y});
}
void Control::mouseMove(int button, int shift, double x, double y) {
  if (onMouseMove) onMouseMove(MouseEvent{button, shift, x, y});
}

void Control::userType(const std::string& text) {
  text_ = text;
  selStart_ = static_cast<int>(text_.size());
  selLength_ = 0;
  notify();
  if (onChange) onChange();
}

void Control::keyPress(int& keyAscii) {
  if (onKeyPress) onKeyPress(keyAscii);
}

void Control::keyDown(int& keyCode, int shift) {
  if (onKeyDown) onKeyDown(keyCode, shift);
}

void Control::moveFocusTo(int index) {
  if (index < 0 || index >= listCount()) return;
  if (multiSelect_ == MultiSelect::None) {
    userSelect(index);  // in a single-choice list the focused item is the chosen one
    return;
  }
  listIndex_ = index;
  notify();
}

void Control::dragDrop(Control& source, double x, double y) {
  if (onDragDrop) onDragDrop(source, x, y);
}

void Control::filesDropped(const std::vector<std::string>& paths) {
  if (onFilesDropped) onFilesDropped(paths);
}

std::vector<std::string> Control::dragOut() {
  return onDragOut ? onDragOut() : std::vector<std::string>{};
}

void Control::setFocus() { form_.focusRequested(*this); }

void Control::drag() { form_.dragRequested(*this); }

}  // namespace zv
