#include "qt/accessibility_list.h"

#include <QAccessible>
#include <QLabel>
#include <QWidget>

namespace zv::qt {

namespace {

// Qt does not let its item view interface be subclassed, and it does not report the labels
// that name a view. This interface passes everything to Qt's own one and adds those labels.
// Qt's interface is made by asking Qt again while the factory steps aside; Qt then keeps both
// interfaces for the list and hands out this one, the one made last. Qt's is deleted with it.
class LabelledList : public QAccessibleInterface {
 public:
  explicit LabelledList(QAccessibleInterface* inner)
      : inner_(inner), innerId_(QAccessible::uniqueId(inner)) {}
  ~LabelledList() override { QAccessible::deleteAccessibleInterface(innerId_); }

  bool isValid() const override { return inner_->isValid(); }
  QObject* object() const override { return inner_->object(); }
  QWindow* window() const override { return inner_->window(); }
  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    auto rels = inner_->relations(match);
    if (!(match & QAccessible::Label)) return rels;
    auto* list = static_cast<QWidget*>(object());
    if (QWidget* parent = list->parentWidget()) {
      for (QObject* o : parent->children()) {
        auto* label = qobject_cast<QLabel*>(o);
        if (label && label->buddy() == list)
          rels.append({QAccessible::queryAccessibleInterface(label), QAccessible::Label});
      }
    }
    return rels;
  }
  QAccessibleInterface* focusChild() const override { return inner_->focusChild(); }
  QAccessibleInterface* childAt(int x, int y) const override { return inner_->childAt(x, y); }
  QAccessibleInterface* parent() const override { return inner_->parent(); }
  QAccessibleInterface* child(int index) const override { return inner_->child(index); }
  int childCount() const override { return inner_->childCount(); }
  int indexOfChild(const QAccessibleInterface* c) const override { return inner_->indexOfChild(c); }
  QString text(QAccessible::Text t) const override { return inner_->text(t); }
  void setText(QAccessible::Text t, const QString& text) override { inner_->setText(t, text); }
  QRect rect() const override { return inner_->rect(); }
  QAccessible::Role role() const override { return inner_->role(); }
  QAccessible::State state() const override { return inner_->state(); }
  QColor foregroundColor() const override { return inner_->foregroundColor(); }
  QColor backgroundColor() const override { return inner_->backgroundColor(); }
  void virtual_hook(int id, void* data) override { inner_->virtual_hook(id, data); }
  void* interface_cast(QAccessible::InterfaceType t) override { return inner_->interface_cast(t); }

 private:
  QAccessibleInterface* inner_;
  QAccessible::Id innerId_;
};

QObject* steppingAsideFor = nullptr;

}  // namespace

QAccessibleInterface* labelledListAccessible(QObject* list) {
  if (steppingAsideFor == list) return nullptr;
  steppingAsideFor = list;
  QAccessibleInterface* inner = QAccessible::queryAccessibleInterface(list);
  steppingAsideFor = nullptr;
  return inner ? new LabelledList(inner) : nullptr;
}

}  // namespace zv::qt
