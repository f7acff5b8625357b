#include "qt/accessibility_menu.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include "qt/accessible_names.h"
#include "qt/control_view.h"

namespace zv::qt {

namespace {

class MenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  explicit MenuItemAccessible(QAction* action) : action_(action) {}

  bool isValid() const override { return action_ != nullptr; }
  QObject* object() const override { return action_; }
  QWindow* window() const override {
    QWidget* o = owner();
    return o ? o->window()->windowHandle() : nullptr;
  }
  // The menu bar or menu the item sits in.
  QWidget* owner() const {
    if (!action_) return nullptr;
    for (QObject* o : action_->associatedObjects()) {
      if (o == action_->menu()) continue;
      if (qobject_cast<QMenu*>(o) || qobject_cast<QMenuBar*>(o)) return static_cast<QWidget*>(o);
    }
    return nullptr;
  }
  QAccessibleInterface* parent() const override {
    QWidget* o = owner();
    return o ? QAccessible::queryAccessibleInterface(o) : nullptr;
  }
  int childCount() const override { return action_ && action_->menu() ? 1 : 0; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0 && action_ && action_->menu())
      return QAccessible::queryAccessibleInterface(action_->menu());
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child && action_ && action_->menu() && child->object() == action_->menu() ? 0 : -1;
  }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    if (!action_) return QString();
    switch (t) {
      case QAccessible::Name:
        return menuItemName(action_->text(), action_->objectName());
      case QAccessible::Description:
        return namesAreIds() ? withoutMnemonics(action_->text()) : QString();
      case QAccessible::Accelerator:
        return action_->shortcut().isEmpty()
                   ? action_->text().section('\t', 1)
                   : action_->shortcut().toString(QKeySequence::NativeText);
      default:
        return QString();
    }
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    QWidget* o = owner();
    QRect r;
    if (auto* bar = qobject_cast<QMenuBar*>(o))
      r = bar->actionGeometry(action_);
    else if (auto* menu = qobject_cast<QMenu*>(o))
      r = menu->actionGeometry(action_);
    else
      return QRect();
    return QRect(o->mapToGlobal(r.topLeft()), r.size());
  }
  QAccessible::Role role() const override {
    return action_ && action_->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    if (!action_) return s;
    QWidget* o = owner();
    s.disabled = !action_->isEnabled();
    s.invisible = !action_->isVisible() || !o || !o->isVisible();
    s.focusable = !action_->isSeparator();
    bool active = false;
    if (auto* bar = qobject_cast<QMenuBar*>(o))
      active = bar->activeAction() == action_;
    else if (auto* menu = qobject_cast<QMenu*>(o))
      active = menu->activeAction() == action_;
    s.focused = s.hotTracked = active;
    s.checkable = action_->isCheckable();
    s.checked = action_->isChecked();
    s.hasPopup = action_->menu() != nullptr;
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
  }

  QStringList actionNames() const override {
    if (!action_ || action_->isSeparator()) return {};
    return {action_->menu() ? showMenuAction() : pressAction()};
  }
  void doAction(const QString& name) override {
    if (!action_ || !action_->isEnabled()) return;
    if (name == pressAction() && !action_->menu()) {
      // After the caller has its answer: the item may open a modal window.
      QPointer<QAction> a(action_);
      QTimer::singleShot(0, action_, [a] {
        if (a) a->trigger();
      });
    } else if (name == showMenuAction() && action_->menu()) {
      QWidget* o = owner();
      if (action_->menu()->isVisible())
        action_->menu()->hide();
      else if (auto* bar = qobject_cast<QMenuBar*>(o))
        bar->setActiveAction(action_);
      else if (auto* menu = qobject_cast<QMenu*>(o))
        menu->setActiveAction(action_);
    }
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<QAction> action_;
};

}  // namespace

QAccessibleInterface* menuItemAccessible(QAction* action) { return new MenuItemAccessible(action); }

}  // namespace zv::qt
