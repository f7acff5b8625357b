#include "qt/accessible_names.h"

#include <cstdlib>
#include <cstring>

#include "core/forms/form.h"
#include "qt/control_view.h"

namespace zv::qt {

namespace {

// A caption as heard: no mnemonic marks, line breaks and runs of blanks as one space.
QString heard(const std::string& text) {
  return withoutMnemonics(captionText(text)).simplified().left(200);
}

bool namedByLabel(Kind k) {
  return k == Kind::ComboBox || k == Kind::DriveList || k == Kind::ListBox || k == Kind::FileList ||
         k == Kind::FolderList || k == Kind::TextBox;
}

}  // namespace

bool namesAreIds() {
  const char* v = std::getenv("ZORVEX_ACCESSIBLE_IDS");
  return v && std::strcmp(v, "1") == 0;
}

QString readName(const Control& c, const Control* label) {
  QString caption = heard(c.caption());
  QString description = heard(c.description());
  QString tooltip = heard(c.tooltip());
  QString name;
  if (c.kind() == Kind::Picture || c.kind() == Kind::Shape)
    name = description;             // the window's phrase for it
  else if (namedByLabel(c.kind()))  // the window's short name, else the label in front
    name = !description.isEmpty() ? description : label ? heard(label->caption()) : QString();
  else
    name = caption.isEmpty() ? description : caption;  // a lamp without caption: its state
  return name.isEmpty() ? tooltip : name;
}

QString accessibleName(const Control& c, const Control* label) {
  return namesAreIds() ? QString::fromStdString(c.name()) : readName(c, label);
}

QString accessibleDescription(const Control& c, const Control* label) {
  QString name = readName(c, label);
  if (namesAreIds()) return name;
  QString tooltip = heard(c.tooltip());
  return tooltip == name ? QString() : tooltip;
}

QString windowName(const Form& form) {
  return QString::fromStdString(namesAreIds() ? form.name() : form.caption());
}

QString menuItemName(const QString& caption, const QString& controlName) {
  // A caption "書庫のテスト(&T)\tCtrl+T" shows its key in the menu's key column; the key is
  // announced as the item's accelerator, not as part of its name.
  return namesAreIds() ? controlName : withoutMnemonics(caption.section('\t', 0, 0)).simplified();
}

}  // namespace zv::qt
