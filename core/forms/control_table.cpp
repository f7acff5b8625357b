#include "core/forms/control_table.h"

#include "core/forms/form.h"

namespace zv {

namespace {

void applyRow(Control& c, const ControlRow& row) {
  // The container first: an option button that starts chosen clears only its own group.
  if (*row.container) c.setContainer(row.container);
  c.move(row.at.left, row.at.top, row.at.width, row.at.height);
  if (*row.caption) c.setCaption(row.caption);
  if (*row.picture) c.setPicture(row.picture);
  if (*row.tooltip) c.setTooltip(row.tooltip);
  if (*row.description) c.setDescription(row.description);
  if (row.font) c.setFont(*row.font);
  if (row.foreColor) c.setForeColor(*row.foreColor);
  if (row.backColor) c.setBackColor(*row.backColor);
  if (row.isDefault) c.setDefault(true);
  if (row.isCancel) c.setCancel(true);
  c.selectsAll = row.selectsAll;
  c.autoSize = row.autoSize;
  c.multiLine = row.multiLine;
  c.locked = row.locked;
  c.scrollBars = row.scrollBars;
  c.maxLength = row.maxLength;
  if (row.multiSelect != MultiSelect::None) c.setMultiSelect(row.multiSelect);
  c.comboStyle = row.comboStyle;
  c.sorted = row.sorted;
  if (row.alignment != Control::AlignLeft) c.setAlignment(row.alignment);
  if (*row.pattern) c.setPattern(row.pattern);
  if (row.value) c.setValue(row.value);
  if (row.hidden) c.setVisible(false);
  if (row.disabled) c.setEnabled(false);
}

}  // namespace

void addControlRows(Form& form, std::span<const ControlRow> rows) {
  for (const ControlRow& row : rows) applyRow(form.add(row.name, row.kind), row);
}

}  // namespace zv
