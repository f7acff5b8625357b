// A window's controls as data: one row per control, the way a form designer file describes a
// window. The rows are added in order, so their order is the tab order and the stacking order.
// Events are wired in code after the table is built.
#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "core/forms/control.h"

namespace zv {

class Form;

// Position and size in twips; the defaults are those of a control that is never moved.
struct Place {
  double left = 0, top = 0, width = 1215, height = 375;
};

struct ControlRow {
  const char* name;
  Kind kind;
  Place at{};
  const char* caption = "";
  const char* picture = "";  // artwork name
  const char* tooltip = "";
  const char* description = "";  // what a screen reader says where caption and tooltip do not
  std::optional<FontSpec> font{};
  const char* container = "";  // the frame it sits in, or the parent menu item
  std::optional<uint32_t> foreColor{};
  std::optional<uint32_t> backColor{};
  bool hidden = false;
  bool disabled = false;
  int value = 0;  // option buttons, check boxes, ticked menu items
  bool isDefault = false;
  bool isCancel = false;    // Esc presses it: the window's Close
  bool selectsAll = false;  // Ctrl+A presses it: the window's select-all picture
  bool autoSize = false;
  bool multiLine = false;
  bool locked = false;
  bool scrollBars = false;
  int maxLength = 0;
  MultiSelect multiSelect = MultiSelect::None;
  ComboStyle comboStyle = ComboStyle::Dropdown;
  bool sorted = false;
  int alignment = Control::AlignLeft;
  const char* pattern = "";  // file lists: the names listed
};

// Adds every row's control to the window with its static properties.
void addControlRows(Form& form, std::span<const ControlRow> rows);

}  // namespace zv
