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
  Marker,         // a picture that does nothing but shows a state: a graphic with a name
  Decoration,     // a picture or shape that says nothing: not shown to assistive technology
  Panel,          // a frame without caption: holds controls, has no name of its own
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
// A control's accessible name changed (Qt tells the bridge; this tells the observer).
void announceNameChange(QWidget* widget);
// A control was shown or hidden in an open window: it joins or leaves its parent's children.
void announceShown(QWidget* widget, bool shown);
// Tests see the announcements also where no accessibility bridge runs (offscreen).
void observeAnnouncements(void (*observer)(QAccessibleEvent*));

// Relates each list, combo box and text box of the window to the label in front of it (or
// just above it) in the same container, so a screen reader says what the control is for.
void relateLabels(FormWindow& window);

}  // namespace zv::qt
