#include "qt/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include "core/forms/form.h"
#include "qt/accessibility_list.h"
#include "qt/accessibility_menu.h"
#include "qt/control_view.h"
#include "qt/form_window.h"
#include "qt/message_box.h"

namespace zv::qt {

namespace {

AccessibleKind kindOf(const QObject* object) {
  return static_cast<AccessibleKind>(object->property(kRoleProperty).toInt());
}

ControlView* viewOf(const QObject* widget) {
  return static_cast<ControlView*>(widget->property(kViewProperty).value<QObject*>());
}

// Runs what a click on the widget does, after the caller returned: an action may open a modal
// window, and the assistive technology that asked must get its answer first.
void pressLater(QWidget* widget) {
  QPointer<QWidget> w(widget);
  QTimer::singleShot(0, widget, [w] {
    if (ControlView* view = w ? viewOf(w) : nullptr) view->press();
  });
}

// A picture that acts on a click: a push button with a Press action.
class PictureButtonAccessible : public QAccessibleWidget {
 public:
  explicit PictureButtonAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}
  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (name == pressAction()) {
      if (widget()->isEnabled()) pressLater(widget());
      return;
    }
    QAccessibleWidget::doAction(name);
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    if (name == pressAction()) return {QStringLiteral("Space"), QStringLiteral("Return")};
    return QAccessibleWidget::keyBindingsForAction(name);
  }
};

// A label: its text can be read through the text interface; a label that acts on a click is
// a link with Jump and Press actions.
class LabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  LabelAccessible(QWidget* w, bool link)
      : QAccessibleWidget(w, link ? QAccessible::Link : QAccessible::StaticText), link_(link) {}

  // A label without text that the window describes is a lamp: a graphic named by its state.
  QAccessible::Role role() const override {
    if (link_ || !static_cast<QLabel*>(widget())->text().isEmpty())
      return QAccessibleWidget::role();
    ControlView* view = viewOf(widget());
    return view && !view->control().description().empty() ? QAccessible::Graphic
                                                          : QAccessibleWidget::role();
  }

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return labelText();
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    if (link_)
      s.linked = true;
    else
      s.readOnly = true;
    return s;
  }
  QStringList actionNames() const override {
    if (!link_) return QAccessibleWidget::actionNames();
    return QStringList{jumpAction(), pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (link_ && (name == jumpAction() || name == pressAction())) {
      if (widget()->isEnabled()) pressLater(widget());
      return;
    }
    QAccessibleWidget::doAction(name);
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    if (link_ && (name == jumpAction() || name == pressAction()))
      return {QStringLiteral("Space"), QStringLiteral("Return")};
    return QAccessibleWidget::keyBindingsForAction(name);
  }
  static QString jumpAction() { return QStringLiteral("Jump"); }
  // A label that names a control is its label (the control reports the label in turn).
  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    auto rels = QAccessibleWidget::relations(match);
    QWidget* buddy = static_cast<QLabel*>(widget())->buddy();
    if ((match & QAccessible::Labelled) && buddy)
      rels.append({QAccessible::queryAccessibleInterface(buddy), QAccessible::Labelled});
    return rels;
  }

  // The text interface: the label's whole text, nothing selectable.
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int start, int end) const override { return labelText().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(labelText().size()); }
  QRect characterRect(int) const override { return QRect(); }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return QString();
  }

 private:
  QString labelText() const {
    // A message box shows its paths with break marks; the box keeps the text without them.
    if (auto* box = dynamic_cast<MessageBox*>(widget()->parentWidget())) return box->plainText();
    return static_cast<QLabel*>(widget())->text();
  }
  bool link_;
};

// A message box is an alert whose value is its text as written, without break marks.
class MessageBoxAccessible : public QAccessibleWidget {
 public:
  explicit MessageBoxAccessible(MessageBox* box)
      : QAccessibleWidget(box, QAccessible::AlertMessage) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return static_cast<MessageBox*>(widget())->plainText();
    return QAccessibleWidget::text(t);
  }
};

// Combo boxes and drive lists keep the name they were given (Qt would name them by their
// current text); the current text is their value.
class ComboAccessible : public QAccessibleWidget {
 public:
  explicit ComboAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::ComboBox) {}
  QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }

  int childCount() const override { return combo()->lineEdit() ? 2 : 1; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(combo()->view());
    if (index == 1 && combo()->lineEdit())
      return QAccessible::queryAccessibleInterface(combo()->lineEdit());
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child) return -1;
    if (child->object() == combo()->view()) return 0;
    if (combo()->lineEdit() && child->object() == combo()->lineEdit()) return 1;
    return -1;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return combo()->currentText();
    return QAccessibleWidget::text(t);  // the name is the widget's accessible name
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.expandable = true;
    s.expanded = combo()->view()->isVisible();
    s.editable = combo()->isEditable();
    return s;
  }
  QStringList actionNames() const override {
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (name == showMenuAction() || name == pressAction()) {
      if (combo()->view()->isVisible())
        combo()->hidePopup();
      else
        combo()->showPopup();
      return;
    }
    QAccessibleWidget::doAction(name);
  }
};

// The surface of a window: its shown controls; decoration pictures are left out.
class CanvasAccessible : public QAccessibleWidget {
 public:
  explicit CanvasAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Pane) {}
  QList<QWidget*> shown() const {
    QList<QWidget*> out;
    for (QObject* o : widget()->children()) {
      auto* w = qobject_cast<QWidget*>(o);
      if (w && !w->isWindow() && w->isVisibleTo(widget()) &&
          kindOf(w) != AccessibleKind::Decoration)
        out.append(w);
    }
    return out;
  }
  int childCount() const override { return static_cast<int>(shown().size()); }
  QAccessibleInterface* child(int index) const override {
    QList<QWidget*> kids = shown();
    return index >= 0 && index < kids.size() ? QAccessible::queryAccessibleInterface(kids[index])
                                             : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child) return -1;
    return static_cast<int>(shown().indexOf(qobject_cast<QWidget*>(child->object())));
  }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
  if (!object) return nullptr;
  // Qt asks once per class up the hierarchy; only the most derived class is answered here.
  if (className != QLatin1String(object->metaObject()->className())) return nullptr;
  if (auto* action = qobject_cast<QAction*>(object)) {
    if (action->property(kMenuItemProperty).toBool()) return menuItemAccessible(action);
    return nullptr;
  }
  if (!object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  if (auto* window = dynamic_cast<FormWindow*>(widget)) {
    // A window of its own is a frame; a fixed-size step of another window is a dialog.
    const Form* form = window->form();
    bool dialog = form && form->fixedDialog && !form->mainWindow;
    return new QAccessibleWidget(widget, dialog ? QAccessible::Dialog : QAccessible::Window);
  }
  if (widget->objectName() == QLatin1String("canvas") &&
      dynamic_cast<FormWindow*>(widget->parentWidget()))
    return new CanvasAccessible(widget);
  // Lists are known by their class: with a screen reader running, Qt makes a list's interface
  // while the list is being built, before a property could say what it stands for.
  if (className == QLatin1String("QListWidget")) return labelledListAccessible(widget);
  if (auto* box = dynamic_cast<MessageBox*>(widget)) return new MessageBoxAccessible(box);
  if (widget->objectName() == QLatin1String("qt_msgbox_label") &&
      dynamic_cast<MessageBox*>(widget->parentWidget()))
    return new LabelAccessible(widget, false);
  switch (kindOf(widget)) {
    case AccessibleKind::PictureButton:
      return new PictureButtonAccessible(widget);
    case AccessibleKind::DropTarget:
    case AccessibleKind::Marker:
    case AccessibleKind::Decoration:
      return new QAccessibleWidget(widget, QAccessible::Graphic);
    case AccessibleKind::Link:
      return new LabelAccessible(widget, true);
    case AccessibleKind::Text:
      return new LabelAccessible(widget, false);
    case AccessibleKind::Combo:
      return new ComboAccessible(widget);
    case AccessibleKind::Panel:
      return new QAccessibleWidget(widget, QAccessible::Pane);
    case AccessibleKind::Other:
      break;
  }
  return nullptr;
}

bool takesLabel(Kind k) {
  return k == Kind::ComboBox || k == Kind::DriveList || k == Kind::ListBox || k == Kind::FileList ||
         k == Kind::FolderList || k == Kind::TextBox;
}

// How far a label may sit from the control it names, in twips.
constexpr double kBesideGap = 1500;
constexpr double kAboveGap = 500;
constexpr double kSlack = 60;

// Distance from the label to the control when the label is in front of it or just above it;
// negative when it is neither.
double labelDistance(const Control& label, const Control& c) {
  const double lRight = label.left() + label.width(), lBottom = label.top() + label.height();
  const bool sameRow = label.top() < c.top() + c.height() && lBottom > c.top();
  if (sameRow && lRight <= c.left() + kSlack && c.left() - lRight <= kBesideGap)
    return std::max(0.0, c.left() - lRight);
  const bool sameColumn = label.left() < c.left() + c.width() && lRight > c.left();
  if (sameColumn && lBottom <= c.top() + kSlack && c.top() - lBottom <= kAboveGap)
    return std::max(0.0, c.top() - lBottom) + kBesideGap;  // beside wins over above
  return -1;
}

}  // namespace

void installAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(factory);
}

void renewAccessibility(QWidget* widget) {
  if (!widget) return;
  if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget))
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

namespace {
void (*eventObserver)(QAccessibleEvent*) = nullptr;
}

void observeAnnouncements(void (*observer)(QAccessibleEvent*)) { eventObserver = observer; }

namespace {
void announce(QAccessibleEvent& event) {
  if (eventObserver) eventObserver(&event);
  if (QAccessible::isActive()) QAccessible::updateAccessibility(&event);
}
}  // namespace

void announceTextChange(QWidget* label, const QString& oldText, const QString& newText) {
  if (!label || (!QAccessible::isActive() && !eventObserver)) return;
  QAccessibleTextUpdateEvent event(label, 0, oldText, newText);
  announce(event);
}

void announceNameChange(QWidget* widget) {
  if (!eventObserver) return;  // QWidget::setAccessibleName told the bridge
  QAccessibleEvent event(widget, QAccessible::NameChanged);
  eventObserver(&event);
}

void announceShown(QWidget* widget, bool shown) {
  if (!widget || (!QAccessible::isActive() && !eventObserver)) return;
  // Created and destroyed are what the bridge turns into a change of the parent's children.
  QAccessibleEvent event(widget, shown ? QAccessible::ObjectCreated : QAccessible::ObjectDestroyed);
  announce(event);
}

void relateLabels(FormWindow& window) {
  Form* form = window.form();
  if (!form) return;
  for (const auto& owned : form->controls()) {
    const Control& c = *owned;
    if (!takesLabel(c.kind())) continue;
    QWidget* target = window.widgetOf(c.name());
    if (!target) continue;
    QLabel* best = nullptr;
    double bestDistance = 0;
    for (const auto& other : form->controls()) {
      const Control& l = *other;
      if (l.kind() != Kind::Label || l.container() != c.container() || l.onClick ||
          l.caption().empty())
        continue;
      auto* label = qobject_cast<QLabel*>(window.widgetOf(l.name()));
      if (!label || label->buddy()) continue;
      double d = labelDistance(l, c);
      if (d >= 0 && (!best || d < bestDistance)) best = label, bestDistance = d;
    }
    if (!best) continue;
    best->setBuddy(target);
    if (ControlView* view = window.viewOf(c))
      view->setLabel(form->find(best->objectName().toStdString()));
  }
}

}  // namespace zv::qt
