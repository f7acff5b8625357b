// What assistive technology sees of the forms: roles, names, descriptions and actions by
// control kind, on top of Qt's own accessibility interfaces.
#pragma once
#include <QString>

class QAccessibleEvent;
class QAction;
class QWidget;

namespace zv::qt {

class ControlView;
class FormWindow;

// Widget properties that tell the interfaces what a widget stands for.
inline constexpr const char* kViewProperty = "zvView";          // its ControlView (QObject*)
inline constexpr const char* kRoleProperty = "zvRole";          // an AccessibleKind value
inline constexpr const char* kMenuItemProperty = "zvMenuItem";  // a menu item's action

enum class AccessibleKind : int {
  Other = 0,
  PictureButton,  // a picture that acts on a click
  DropTarget,     // a picture that takes drops (the trash can)
  Decoration,     // a picture that does nothing: not shown to assistive technology
  Link,           // a label that acts on a click
  Text,           // any other label: its text can be read and changes are told
  Combo,          // combo boxes and drive lists
};

// Installs the interfaces once per process.
void installAccessibility();

// Drops the interface Qt may have made for `widget` while it was being built, before its
// class and properties could tell what it stands for; the next query makes it anew.
void renewAccessibility(QWidget* widget);

// A label's text changed: assistive technology hears the new text.
void announceTextChange(QWidget* label, const QString& oldText, const QString& newText);
// Tests see the announcements also where no accessibility bridge runs (offscreen).
void observeAnnouncements(void (*observer)(QAccessibleEvent*));

// Relates each list, combo box and text box of the window to the label in front of it (or
// just above it) in the same container, so a screen reader says what the control is for.
void relateLabels(FormWindow& window);

}  // namespace zv::qt
