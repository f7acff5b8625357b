// The names assistive technology announces: what a sighted user reads for each control and
// window. Test scripts may ask for the control and window names instead (ZORVEX_ACCESSIBLE_IDS=1).
#pragma once
#include <QString>

namespace zv {
class Control;
class Form;
}  // namespace zv

namespace zv::qt {

// True when the environment variable ZORVEX_ACCESSIBLE_IDS is 1.
bool namesAreIds();

// What a user reads for the control: its caption; a picture's phrase; for a list, combo box
// or text box the short name the window gives it as description, else the label in front of
// it (`label`, may be null); else its tooltip. Lamps say their state.
QString readName(const Control& c, const Control* label);
// The accessible name: readName, or the control name under the test switch.
QString accessibleName(const Control& c, const Control* label);
// The accessible description: the tooltip where it says more than the name.
QString accessibleDescription(const Control& c, const Control* label);
// A window is announced by its title (its name under the test switch).
QString windowName(const Form& form);
// A menu item is announced by its caption without the mnemonic.
QString menuItemName(const QString& caption, const QString& controlName);

}  // namespace zv::qt
