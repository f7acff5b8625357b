#include "qt/form_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDrag>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app.h"
#include "qt/accessibility.h"
#include "qt/accessible_names.h"
#include "qt/control_view.h"
#include "qt/file_exchange.h"
#include "qt/fonts.h"
#include "qt/form_host.h"
#include "qt/picture_widget.h"

namespace zv::qt {

namespace {

// Window sizes in the forms include the frame and the title bar, as the windows were laid
// out with them.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 31;

QColor toColor(uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

QIcon artworkIcon(const std::string& name) {
  QString path = artworkPath(name);
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return QIcon();
  QIcon icon;
  for (int size : {16, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    renderer.render(&p);
    icon.addPixmap(pixmap);
  }
  return icon;
}

bool hasChildren(const Form& form, const std::string& name) {
  for (const auto& c : form.controls())
    if (c->kind() == Kind::MenuItem && c->parentMenu() == name) return true;
  return false;
}

}  // namespace

FormWindow::FormWindow(Form& form, FormHost& host) : QWidget(nullptr), form_(&form), host_(host) {
  installAccessibility();
  tppX_ = form.services().twipsPerPixelX();
  tppY_ = form.services().twipsPerPixelY();
  setObjectName(QString::fromStdString(form.name()));
  setFont(toQFont(FontSpec{}));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  menuBar_ = new QMenuBar(this);
  layout->setMenuBar(menuBar_);
  canvas_ = new QWidget(this);
  canvas_->setObjectName(QStringLiteral("canvas"));
  canvas_->setAutoFillBackground(true);
  canvas_->setAcceptDrops(true);
  canvas_->installEventFilter(this);
  layout->addWidget(canvas_, 1);

  buildMenus();
  buildControls();
  applyTabOrder();
  relateLabels(*this);
  syncForm();
}

FormWindow::~FormWindow() = default;

void FormWindow::detach() {
  // The views stay until the window itself goes (they may be inside one of their own event
  // handlers now); they check detached() before touching their controls.
  form_ = nullptr;
}

bool FormWindow::dispatch(const std::function<void()>& action) {
  if (!form_) return false;
  host_.dispatcher().run(action, form_->name());
  return form_ != nullptr;
}

void FormWindow::buildMenus() {
  Form& form = *form_;
  for (const auto& owned : form.controls()) {
    Control& item = *owned;
    if (item.kind() != Kind::MenuItem) continue;
    QMenu* parent = nullptr;
    if (!item.parentMenu().empty()) {
      auto it = menus_.find(item.parentMenu());
      if (it == menus_.end()) continue;  // a parent that is not a menu item
      parent = it->second;
    }
    QAction* action = nullptr;
    Control* c = &item;
    if (hasChildren(form, item.name())) {
      auto* menu = parent ? parent->addMenu(QString()) : menuBar_->addMenu(QString());
      menu->setObjectName(QString::fromStdString(item.name()));
      menus_[item.name()] = menu;
      action = menu->menuAction();
      // Opening a menu is its Click: the window updates checks and states there.
      connect(menu, &QMenu::aboutToShow, this, [this, c] {
        if (c->onClick) dispatch([c] { c->click(); });
      });
    } else if (item.isSeparator()) {
      action = parent ? parent->addSeparator() : menuBar_->addSeparator();
    } else {
      action = parent ? parent->addAction(QString()) : menuBar_->addAction(QString());
      connect(action, &QAction::triggered, this, [this, c] { dispatch([c] { c->click(); }); });
    }
    action->setObjectName(QString::fromStdString(item.name()));
    action->setProperty(kMenuItemProperty, true);
    menuActions_[&item] = action;
    syncMenuItem(item);
  }
  syncMenuBarVisibility();
}

void FormWindow::buildControls() {
  Form& form = *form_;
  // Frames first, so that the controls inside them can be placed into them.
  std::map<std::string, QWidget*> frames;
  for (const auto& owned : form.controls()) {
    if (owned->kind() != Kind::Frame) continue;
    QWidget* parent = canvas_;
    auto it = frames.find(owned->container());
    if (it != frames.end()) parent = it->second;
    auto view = std::make_unique<ControlView>(*owned, *this, parent);
    frames[owned->name()] = view->widget();
    views_[owned.get()] = std::move(view);
  }
  for (const auto& owned : form.controls()) {
    Kind k = owned->kind();
    if (k == Kind::Frame || k == Kind::MenuItem || k == Kind::Hidden) continue;
    QWidget* parent = canvas_;
    auto it = frames.find(owned->container());
    if (it != frames.end()) parent = it->second;
    views_[owned.get()] = std::make_unique<ControlView>(*owned, *this, parent);
  }
  // Later controls lie on top, as they were added.
  for (const auto& owned : form.controls()) {
    auto it = views_.find(owned.get());
    if (it != views_.end() && it->second->widget()) it->second->widget()->raise();
  }
}

void FormWindow::applyTabOrder() {
  std::vector<ControlView*> order;
  for (auto& [control, view] : views_)
    if (view->focusable()) order.push_back(view.get());
  std::stable_sort(order.begin(), order.end(), [](ControlView* a, ControlView* b) {
    return a->control().tabIndex() < b->control().tabIndex();
  });
  for (size_t i = 1; i < order.size(); ++i)
    QWidget::setTabOrder(order[i - 1]->widget(), order[i]->widget());
}

QSize FormWindow::clientSize() const {
  QSize size(qRound(form_->width() / tppX_) - kFrameWidth,
             qRound(form_->height() / tppY_) - kFrameHeight);
  // Never cut off a control that was laid out to the window's outer edge: the window grows
  // to show every control where the form put it. Hidden controls count too, so that one the
  // window shows later (the ZIP marker of the archive contents) is not cut off then.
  int right = 0, bottom = 0;
  for (const auto& c : form_->controls()) {
    Kind k = c->kind();
    if (k == Kind::MenuItem || k == Kind::Hidden || !c->container().empty()) continue;
    right = std::max(right, qRound((c->left() + c->width()) / tppX_));
    bottom = std::max(bottom, qRound((c->top() + c->height()) / tppY_));
  }
  int menu = menuBar_->isVisibleTo(this) ? menuBar_->sizeHint().height() : 0;
  size = size.expandedTo(QSize(right + 2, bottom + menu + 2));
  return size.expandedTo(QSize(60, 30));
}

void FormWindow::syncForm() {
  if (!form_) return;
  syncing_ = true;
  Form& form = *form_;
  setWindowTitle(QString::fromStdString(form.caption()));
  if (accessibleName() != windowName(form)) setAccessibleName(windowName(form));
  if (namesAreIds()) setAccessibleDescription(QString::fromStdString(form.caption()));
  QPalette pal = canvas_->palette();
  pal.setColor(QPalette::Window, toColor(form.backColor()));
  canvas_->setPalette(pal);
  if (!form.icon.empty()) setWindowIcon(artworkIcon(form.icon));

  Qt::WindowFlags flags =
      Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (!form.fixedDialog) flags |= Qt::WindowMinMaxButtonsHint;
  if (form.topMost()) flags |= Qt::WindowStaysOnTopHint;
  if (windowFlags() != flags) {
    bool wasVisible = isVisible();
    setWindowFlags(flags);
    if (wasVisible) show();
  }
  QSize size = clientSize();
  if (form.fixedDialog) {
    setFixedSize(size);
  } else if (this->size() != size) {
    resize(size);
  }
  QPoint pos(qRound(form.left() / tppX_), qRound(form.top() / tppY_));
  if (this->pos() != pos) move(pos);
  switch (form.windowState()) {
    case 1:
      if (isVisible() && !isMinimized()) showMinimized();
      break;
    case 2:
      if (isVisible() && !isMaximized()) showMaximized();
      break;
    default:
      if (isVisible() && (isMinimized() || isMaximized())) showNormal();
      break;
  }
  syncing_ = false;
}

void FormWindow::syncControl(Control& control) {
  if (!form_) return;
  if (control.kind() == Kind::MenuItem) {
    syncMenuItem(control);
    syncMenuBarVisibility();
    return;
  }
  if (auto* view = viewOf(control)) view->sync();
}

void FormWindow::syncMenuItem(Control& item) {
  auto it = menuActions_.find(&item);
  if (it == menuActions_.end()) return;
  QAction* action = it->second;
  if (!item.isSeparator()) action->setText(QString::fromStdString(item.caption()));
  action->setVisible(item.visible());
  action->setEnabled(item.enabled());
  bool checkable = item.value() != 0 || action->isCheckable();
  action->setCheckable(checkable && !hasChildren(*form_, item.name()));
  action->setChecked(item.value() != 0);
}

void FormWindow::syncMenuBarVisibility() {
  bool any = false;
  for (auto& [control, action] : menuActions_)
    if (control->parentMenu().empty() && control->visible()) any = true;
  menuBar_->setVisible(any);
}

ControlView* FormWindow::viewOf(const Control& control) const {
  auto it = views_.find(&control);
  return it == views_.end() ? nullptr : it->second.get();
}

QWidget* FormWindow::widgetOf(const std::string& controlName) const {
  if (!form_) return nullptr;
  Control* c = form_->find(controlName);
  ControlView* view = c ? viewOf(*c) : nullptr;
  return view ? view->widget() : nullptr;
}

void FormWindow::focusControl(Control& control) {
  if (auto* view = viewOf(control); view && view->widget()) view->widget()->setFocus();
}

void FormWindow::startDrag(Control& control) {
  if (ControlView* view = viewOf(control)) view->armDrag();
}

void FormWindow::popupMenu(const std::string& menu) {
  auto it = menus_.find(menu);
  if (it == menus_.end()) return;
  it->second->exec(QCursor::pos());
}

bool FormWindow::pressFirst(const std::function<bool(const Control&)>& wanted) {
  if (!form_) return false;
  for (const auto& c : form_->controls()) {
    if (!c->visible() || !c->enabled() || !wanted(*c)) continue;
    Control* control = c.get();
    if (ControlView* view = viewOf(*control))
      view->press();  // as a click: a picture acts on its press and release
    else
      dispatch([control] { control->click(); });  // a menu item
    return true;
  }
  return false;
}

bool FormWindow::pressDefault() {
  return pressFirst(
      [](const Control& c) { return c.kind() == Kind::CommandButton && c.isDefault(); });
}
bool FormWindow::pressCancel() {
  return pressFirst([](const Control& c) { return c.isCancel(); });
}
bool FormWindow::pressSelectAll() {
  return pressFirst([](const Control& c) { return c.selectsAll; });
}

void FormWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!form_) return;
  Form* form = form_;
  // The window closes when the registry unloads the form (formDestroying).
  dispatch([form] { form->unload(UnloadMode::CloseBox); });
}

void FormWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (!form_ || syncing_ || !isVisible()) return;
  double left = pos().x() * tppX_, top = pos().y() * tppY_;
  if (qAbs(left - form_->left()) >= tppX_ || qAbs(top - form_->top()) >= tppY_) {
    syncing_ = true;
    form_->move(left, top);
    syncing_ = false;
  }
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!form_ || syncing_ || !isVisible() || form_->fixedDialog) return;
  if (size() == clientSize()) return;  // the size the form asked for (or grew to)
  double w = (width() + kFrameWidth) * tppX_, h = (height() + kFrameHeight) * tppY_;
  if (qAbs(w - form_->width()) >= tppX_ || qAbs(h - form_->height()) >= tppY_) {
    syncing_ = true;
    form_->resize(w, h);
    syncing_ = false;
  }
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && pressDefault()) return;
  if (event->key() == Qt::Key_Escape && pressCancel()) return;
  if (event->matches(QKeySequence::SelectAll) && pressSelectAll()) return;
  QWidget::keyPressEvent(event);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != canvas_ || !form_) return QWidget::eventFilter(watched, event);
  Form* form = form_;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* me = static_cast<QMouseEvent*>(event);
      formPressed_ = true;
      MouseEvent e{modelButton(me->button()), modelShift(me->modifiers()),
                   me->position().x() * tppX_, me->position().y() * tppY_};
      if (form->onMouseDown) dispatch([form, e] { form->onMouseDown(e); });
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      MouseEvent e{modelButton(me->button()), modelShift(me->modifiers()),
                   me->position().x() * tppX_, me->position().y() * tppY_};
      bool click = formPressed_ && me->button() == Qt::LeftButton;
      formPressed_ = false;
      if (form->onMouseUp && !dispatch([form, e] { form->onMouseUp(e); })) return true;
      if (click && form->onClick) dispatch([form] { form->onClick(); });
      return true;
    }
    case QEvent::MouseButtonDblClick:
      formPressed_ = false;
      if (form->onDblClick) dispatch([form] { form->onDblClick(); });
      return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
      auto* de = static_cast<QDropEvent*>(event);
      const QMimeData* mime = de->mimeData();
      if (mime && !mime->hasFormat(kControlMimeType) && carriesFiles(mime))
        return filesDropEvent(de, nullptr);
      if (!mime || !mime->hasFormat(kControlMimeType)) return false;
      QStringList parts = QString::fromUtf8(mime->data(kControlMimeType)).split('\n');
      Control* source = parts.size() == 2 && parts[0].toStdString() == form->name()
                            ? form->find(parts[1].toStdString())
                            : nullptr;
      if (!source && carriesFiles(mime)) return filesDropEvent(de, nullptr);
      if (!source || !form->onDragDrop) {
        if (event->type() != QEvent::Drop) static_cast<QDragMoveEvent*>(event)->ignore();
        return true;
      }
      de->acceptProposedAction();
      if (event->type() == QEvent::Drop) {
        double x = de->position().x() * tppX_, y = de->position().y() * tppY_;
        dispatch([form, source, x, y] { form->onDragDrop(*source, x, y); });
      }
      return true;
    }
    default:
      return QWidget::eventFilter(watched, event);
  }
}

}  // namespace zv::qt
