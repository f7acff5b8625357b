#include "qt/control_view.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <cmath>

#include "core/forms/form.h"
#include "qt/accessibility.h"
#include "qt/accessible_names.h"
#include "qt/control_keys.h"
#include "qt/file_exchange.h"
#include "qt/fonts.h"
#include "qt/form_window.h"
#include "qt/picture_widget.h"
#include "qt/text_fit.h"

namespace zv::qt {

namespace {

constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kOpenRole = Qt::UserRole + 2;

// Folder list entries: indented by their depth, with an open or closed folder icon.
// The whole caption of a label, which may show only part of it.
constexpr char kFullTextProperty[] = "zvFullText";

class FolderDelegate : public UniformRowDelegate {
 public:
  using UniformRowDelegate::UniformRowDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem o(option);
    o.rect.adjust(index.data(kDepthRole).toInt() * 14, 0, 0, 0);
    QStyledItemDelegate::paint(painter, o, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = UniformRowDelegate::sizeHint(option, index);
    return QSize(s.width() + index.data(kDepthRole).toInt() * 14, s.height());
  }
};

QColor toColor(uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

bool isListKind(Kind k) { return k == Kind::ListBox || k == Kind::FileList; }
bool isWhiteByDefault(Kind k) {
  return k == Kind::TextBox || k == Kind::ListBox || k == Kind::FileList || k == Kind::FolderList ||
         k == Kind::ComboBox || k == Kind::DriveList;
}
// Controls that get their Click from a press and release on them (not from a Qt signal).
bool clicksOnRelease(Kind k) {
  return k == Kind::Label || k == Kind::Picture || k == Kind::Frame || k == Kind::Shape;
}

// The size, at most three pixels smaller each way, whose last pixel row and column begin on a
// whole device pixel at `ratio` when the widget's top-left is at `origin` in its window.
QSize wholeDeviceFrame(QPoint origin, QSize size, double ratio) {
  auto whole = [ratio](int at) { return std::abs(at * ratio - std::round(at * ratio)) < 1e-6; };
  auto snapped = [&](int start, int length) {
    for (int k = 0; k < 4 && length - k > 1; ++k)
      if (whole(start + length - 1 - k)) return length - k;
    return length;
  };
  return QSize(snapped(origin.x(), size.width()), snapped(origin.y(), size.height()));
}

Qt::Alignment alignmentOf(int a) {
  switch (a) {
    case Control::AlignRight:
      return Qt::AlignRight;
    case Control::AlignCenter:
      return Qt::AlignHCenter;
    default:
      return Qt::AlignLeft;
  }
}

}  // namespace

int modelButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return kRightButton;
    case Qt::MiddleButton:
      return kMiddleButton;
    default:
      return kLeftButton;
  }
}

int modelShift(Qt::KeyboardModifiers m) {
  int s = 0;
  if (m & Qt::ShiftModifier) s |= kShiftKey;
  if (m & Qt::ControlModifier) s |= kCtrlKey;
  if (m & Qt::AltModifier) s |= kAltKey;
  return s;
}

QString captionText(const std::string& caption) {
  QString t = QString::fromStdString(caption);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QChar('\r'), QChar('\n'));
  return t;
}

QString withoutMnemonics(const QString& text) {
  QString out;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

ControlView::ControlView(Control& control, FormWindow& window, QWidget* parent)
    : control_(control), window_(window) {
  create(parent);
  if (!widget_) return;
  widget_->setObjectName(QString::fromStdString(control.name()));
  widget_->setProperty(kViewProperty, QVariant::fromValue<QObject*>(this));
  widget_->installEventFilter(this);
  if (inputWidget() != widget_) inputWidget()->installEventFilter(this);
  inputWidget()->setAcceptDrops(true);
  connectSignals();
  sync();
}

ControlView::~ControlView() {
  if (widget_) widget_->setProperty(kViewProperty, QVariant());
}

QWidget* ControlView::inputWidget() const {
  if (auto* view = qobject_cast<QAbstractItemView*>(widget_.data())) return view->viewport();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data())) return edit->viewport();
  return widget_;
}

bool ControlView::focusable() const { return widget_ && widget_->focusPolicy() != Qt::NoFocus; }

void ControlView::create(QWidget* parent) {
  switch (control_.kind()) {
    case Kind::Label: {
      auto* label = new QLabel(parent);
      label->setWordWrap(true);
      label->setFocusPolicy(Qt::NoFocus);
      label->setProperty(kRoleProperty, static_cast<int>(AccessibleKind::Text));
      if (control_.onClick) {
        // A label used as a link: reached by Tab, pressed by Space or Enter.
        label->setCursor(Qt::PointingHandCursor);
        label->setFocusPolicy(Qt::StrongFocus);
        label->setProperty(kRoleProperty, static_cast<int>(AccessibleKind::Link));
        label->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted palette(text); }"));
      }
      widget_ = label;
      break;
    }
    case Kind::TextBox:
      if (control_.multiLine) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setLineWrapMode(control_.scrollBars ? QPlainTextEdit::NoWrap
                                                  : QPlainTextEdit::WidgetWidth);
        edit->setTabChangesFocus(true);
        widget_ = edit;
      } else {
        widget_ = new QLineEdit(parent);
      }
      break;
    case Kind::ListBox:
    case Kind::FileList:
    case Kind::FolderList: {
      auto* list = new QListWidget(parent);
      // The model decides the selection; the view only shows it.
      list->setSelectionMode(QAbstractItemView::MultiSelection);
      list->setDragDropMode(QAbstractItemView::NoDragDrop);
      list->setEditTriggers(QAbstractItemView::NoEditTriggers);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      if (control_.kind() == Kind::FolderList)
        list->setItemDelegate(new FolderDelegate(list));
      else
        list->setItemDelegate(new UniformRowDelegate(list));
      widget_ = list;
      break;
    }
    case Kind::ComboBox:
    case Kind::DriveList: {
      auto* combo = new QComboBox(parent);
      combo->setProperty(kRoleProperty, static_cast<int>(AccessibleKind::Combo));
      combo->setEditable(control_.kind() == Kind::ComboBox &&
                         control_.comboStyle != ComboStyle::DropdownList);
      combo->setInsertPolicy(QComboBox::NoInsert);
      // Typed text stays as typed: Qt's default completer would complete it inline from the
      // items, so a typed folder became a registered folder below it.
      if (combo->isEditable()) combo->setCompleter(nullptr);
      widget_ = combo;
      break;
    }
    case Kind::OptionButton: {
      auto* radio = new QRadioButton(parent);
      // Exclusive in its container as the model's option buttons are; this also makes it a
      // radio button to assistive technology and lets the arrow keys move within the group.
      radio->setAutoExclusive(true);
      widget_ = radio;
      break;
    }
    case Kind::CheckBox: {
      auto* check = new QCheckBox(parent);
      check->setTristate(true);
      widget_ = check;
      break;
    }
    case Kind::CommandButton:
      widget_ = new QPushButton(parent);
      break;
    case Kind::Picture: {
      auto* picture = new PictureWidget(parent);
      const Control& c = control_;
      // A picture that only reacts to double-clicks (a background) is no button to tab to.
      bool acts = c.onClick || c.onMouseDown || c.onMouseUp;
      picture->setFocusPolicy(acts ? Qt::StrongFocus : Qt::NoFocus);
      // A picture that does nothing but says something (a marker, the full trash) is a
      // graphic named by what it says; one that says nothing is decoration.
      bool says = !c.description().empty() || !c.tooltip().empty();
      AccessibleKind role = acts           ? AccessibleKind::PictureButton
                            : c.onDragDrop ? AccessibleKind::DropTarget
                            : says         ? AccessibleKind::Marker
                                           : AccessibleKind::Decoration;
      picture->setProperty(kRoleProperty, static_cast<int>(role));
      widget_ = picture;
      break;
    }
    case Kind::Frame: {
      auto* box = new QGroupBox(parent);
      box->setFocusPolicy(Qt::NoFocus);
      // A frame without a caption only holds controls: a panel with nothing to say itself.
      if (control_.caption().empty())
        box->setProperty(kRoleProperty, static_cast<int>(AccessibleKind::Panel));
      widget_ = box;
      break;
    }
    case Kind::Shape: {
      auto* shape = new QFrame(parent);
      shape->setFrameShape(QFrame::Box);
      shape->setFocusPolicy(Qt::NoFocus);
      // A line or box drawn around others says nothing.
      shape->setProperty(kRoleProperty, static_cast<int>(control_.description().empty()
                                                             ? AccessibleKind::Decoration
                                                             : AccessibleKind::Marker));
      widget_ = shape;
      break;
    }
    case Kind::MenuItem:
    case Kind::Hidden:
      break;
  }
}

void ControlView::connectSignals() {
  Control* c = &control_;
  if (auto* edit = qobject_cast<QLineEdit*>(widget_.data())) {
    // Any change the model did not make is the user's: typed, or set by assistive technology
    // through the text interface (which does not count as an edit to Qt).
    connect(edit, &QLineEdit::textChanged, this, [this, c](const QString& text) {
      std::string typed = text.toStdString();
      if (!updating_ && typed != c->text()) run([&] { c->userType(typed); });
    });
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data())) {
    connect(edit, &QPlainTextEdit::textChanged, this, [this, c, edit] {
      if (updating_) return;
      std::string text = edit->toPlainText().toStdString();
      // The program's text boxes keep CR LF line ends.
      std::string crlf;
      for (char ch : text) {
        if (ch == '\n') crlf += '\r';
        crlf += ch;
      }
      run([&] { c->userType(crlf); });
    });
  } else if (auto* combo = qobject_cast<QComboBox*>(widget_.data())) {
    connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, c](int index) {
      if (!updating_) run([&] { c->userSelect(index); });
    });
    if (combo->lineEdit()) {
      connect(combo->lineEdit(), &QLineEdit::textEdited, this,
              [this, c](const QString& text) { run([&] { c->userType(text.toStdString()); }); });
    }
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget_.data())) {
    connect(button, &QAbstractButton::clicked, this, [this, c] {
      if (updating_) return;
      if (run([&] { c->click(); })) sync();  // the model decides the checked state
    });
    if (button->isCheckable()) {
      // Assistive technology toggles without a click: once the event is over, a state the
      // model has not followed is the user's click.
      connect(button, &QAbstractButton::toggled, this, [this, c, button](bool on) {
        // A radio button cleared by its neighbour's check is no action of the user's.
        if (updating_ || (!on && qobject_cast<QRadioButton*>(button))) return;
        QTimer::singleShot(0, this, [this, c, button] {
          if (window_.detached() || !widget_) return;
          int shown = 0;
          if (auto* check = qobject_cast<QCheckBox*>(button))
            shown = check->checkState() == Qt::Checked            ? 1
                    : check->checkState() == Qt::PartiallyChecked ? 2
                                                                  : 0;
          else
            shown = button->isChecked() ? 1 : 0;
          if (shown == c->value()) return;
          if (run([&] { c->click(); })) sync();
        });
      });
    }
  }
}

bool ControlView::run(const std::function<void()>& action) { return window_.dispatch(action); }

void ControlView::sync() {
  if (!widget_ || window_.detached()) return;
  updating_ = true;
  syncCommon();
  syncKind();
  updating_ = false;
  // A control shown or hidden while its window is open joins or leaves the tree, and
  // assistive technology is told (Qt tells the showing state itself).
  bool shown = widget_->isVisibleTo(widget_->parentWidget());
  if (shown != announcedShown_) {
    announcedShown_ = shown;
    if (window_.isVisible()) announceShown(widget_, shown);
  }
}

void ControlView::setLabel(const Control* label) {
  label_ = label;
  sync();
}

void ControlView::syncCommon() {
  const Control& c = control_;
  const double tx = window_.twipsPerPixelX(), ty = window_.twipsPerPixelY();
  QRect geometry(qRound(c.left() / tx), qRound(c.top() / ty), qRound(c.width() / tx),
                 qRound(c.height() / ty));
  // A label sized to its text takes its size from the text (see syncKind).
  if (c.kind() == Kind::Label && c.autoSize) geometry.setSize(widget_->size());
  // At a scale such as 1.5 a frame line at an odd logical pixel falls between device pixels
  // and the list's inside paints over it: a framed list or text area gives up a pixel or two
  // so its last row and column start on a whole device pixel.
  if (qobject_cast<QAbstractScrollArea*>(widget_.data())) {
    QWidget* parent = widget_->parentWidget();
    QPoint origin =
        geometry.topLeft() + (parent ? parent->mapTo(parent->window(), QPoint()) : QPoint());
    geometry.setSize(wholeDeviceFrame(origin, geometry.size(), widget_->devicePixelRatioF()));
  }
  if (widget_->geometry() != geometry) widget_->setGeometry(geometry);
  widget_->setEnabled(c.enabled());
  widget_->setToolTip(QString::fromStdString(c.tooltip()));
  QFont font = toQFont(c.font());
  if (widget_->font() != font) widget_->setFont(font);

  QPalette pal = widget_->palette();
  QColor fore = toColor(c.foreColor());
  // The disabled group keeps the style's grey, so a disabled control looks disabled.
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(group, QPalette::WindowText, fore);
    pal.setColor(group, QPalette::Text, fore);
    pal.setColor(group, QPalette::ButtonText, fore);
  }
  bool ownBack = c.backColor() != kDefaultBack || !isWhiteByDefault(c.kind());
  QColor back = toColor(isWhiteByDefault(c.kind()) && !ownBack ? kWindowBack : c.backColor());
  if (isWhiteByDefault(c.kind())) {
    pal.setColor(QPalette::Base, back);
  } else if (c.kind() == Kind::Label || c.kind() == Kind::Frame || c.kind() == Kind::Shape) {
    pal.setColor(QPalette::Window, back);
    widget_->setAutoFillBackground(true);
  }
  widget_->setPalette(pal);

  // Assistive technology announces what a user reads there (see accessible_names.h).
  QString name = accessibleName(c, label_);
  if (widget_->accessibleName() != name) {
    widget_->setAccessibleName(name);
    announceNameChange(widget_);
  }
  QString said = accessibleDescription(c, label_);
  if (widget_->accessibleDescription() != said) widget_->setAccessibleDescription(said);
  if (widget_->isVisibleTo(widget_->parentWidget()) != c.visible())
    widget_->setVisible(c.visible());
}

void ControlView::syncKind() {
  const Control& c = control_;
  switch (c.kind()) {
    case Kind::Label: {
      auto* label = static_cast<QLabel*>(widget_.data());
      QString text = withoutMnemonics(captionText(c.caption()));
      QString old = label->property(kFullTextProperty).toString();
      if (old != text) {
        label->setProperty(kFullTextProperty, text);
        announceTextChange(label, old, text);  // status lines and the wait window are heard
        // The control this label names is called by the new text.
        if (QWidget* named = label->buddy())
          if (QObject* view = named->property(kViewProperty).value<QObject*>())
            static_cast<ControlView*>(view)->sync();
      }
      // A one-line label too narrow for its text (a long path) shows both ends and gives
      // the whole text as its tooltip.
      label->setAlignment(alignmentOf(c.alignment()) | Qt::AlignTop);
      QString shown = c.autoSize ? text : fittedLabelText(*label, text);
      if (label->text() != shown) label->setText(shown);
      if (shown != text && c.tooltip().empty()) label->setToolTip(text);
      if (c.autoSize) {
        // Sized to its text, so an empty label leaves no coloured strip over what lies below.
        if (label->size() != label->sizeHint()) label->resize(label->sizeHint());
        if (label->isVisibleTo(label->parentWidget()) != (c.visible() && !text.isEmpty()))
          label->setVisible(c.visible() && !text.isEmpty());
      }
      break;
    }
    case Kind::TextBox:
      if (auto* edit = qobject_cast<QLineEdit*>(widget_.data())) {
        QString text = QString::fromStdString(c.text());
        if (edit->text() != text) edit->setText(text);
        edit->setReadOnly(c.locked);
        if (c.maxLength > 0) edit->setMaxLength(c.maxLength);
        edit->setAlignment(alignmentOf(c.alignment()) | Qt::AlignVCenter);
        if (c.selStart() != appliedSelStart_ || c.selLength() != appliedSelLength_) {
          appliedSelStart_ = c.selStart();
          appliedSelLength_ = c.selLength();
          if (c.selLength() > 0)
            edit->setSelection(c.selStart(), c.selLength());
          else
            edit->setCursorPosition(c.selStart());
        }
      } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data())) {
        QString text = captionText(c.text());
        if (edit->toPlainText() != text) edit->setPlainText(text);
        edit->setReadOnly(c.locked);
      }
      break;
    case Kind::ListBox:
    case Kind::FileList:
      syncList();
      break;
    case Kind::FolderList:
      syncFolders();
      break;
    case Kind::ComboBox:
    case Kind::DriveList:
      syncCombo();
      break;
    case Kind::OptionButton:
    case Kind::CheckBox:
    case Kind::CommandButton: {
      auto* button = static_cast<QAbstractButton*>(widget_.data());
      QString text = captionText(c.caption());
      if (button->text() != text) button->setText(text);
      if (auto* check = qobject_cast<QCheckBox*>(button)) {
        check->setCheckState(c.value() == 2   ? Qt::PartiallyChecked
                             : c.value() == 1 ? Qt::Checked
                                              : Qt::Unchecked);
      } else if (auto* radio = qobject_cast<QRadioButton*>(button)) {
        if (c.value() != 1 && radio->isChecked()) {
          // An exclusive radio button refuses to be cleared; the model may clear them all.
          radio->setAutoExclusive(false);
          radio->setChecked(false);
          radio->setAutoExclusive(true);
        } else if (c.value() == 1) {
          radio->setChecked(true);
        }
      } else if (auto* push = qobject_cast<QPushButton*>(button)) {
        push->setDefault(c.isDefault());
      }
      break;
    }
    case Kind::Picture:
      static_cast<PictureWidget*>(widget_.data())->setPicture(c.picture());
      break;
    case Kind::Frame:
      static_cast<QGroupBox*>(widget_.data())->setTitle(captionText(c.caption()));
      break;
    default:
      break;
  }
}

void ControlView::syncList() {
  auto* list = static_cast<QListWidget*>(widget_.data());
  const auto& items = control_.items();
  if (shownItems_ != items) {
    // Keep what is unchanged at the front; long lists are usually filled by appending.
    size_t same = 0;
    while (same < items.size() && same < shownItems_.size() && items[same] == shownItems_[same])
      ++same;
    while (list->count() > static_cast<int>(same)) delete list->takeItem(list->count() - 1);
    for (size_t i = same; i < items.size(); ++i) list->addItem(QString::fromStdString(items[i]));
    shownItems_ = items;
    list->clearSelection();
    shownSelected_.assign(items.size(), false);
  }
  // Only items whose selection changed are touched: the view's selection model is slow.
  for (int i = 0; i < list->count(); ++i) {
    bool sel = control_.selected(i);
    if (shownSelected_[i] == sel) continue;
    shownSelected_[i] = sel;
    list->item(i)->setSelected(sel);
  }
  int index = control_.listIndex();
  if (index >= 0 && index < list->count() && list->currentRow() != index) {
    list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    list->scrollToItem(list->item(index));
  } else if (index < 0 && list->currentRow() >= 0) {
    // No item has the focus: no row may show a focus frame the keys would not act on.
    list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
}

void ControlView::syncFolders() {
  auto* list = static_cast<QListWidget*>(widget_.data());
  const auto& entries = control_.folderEntries();
  bool same = list->count() == static_cast<int>(entries.size());
  for (int i = 0; same && i < list->count(); ++i)
    same = list->item(i)->data(Qt::UserRole).toString().toStdString() == entries[i].path &&
           list->item(i)->data(kOpenRole).toBool() == entries[i].open;
  if (!same) {
    list->clear();
    QIcon open = list->style()->standardIcon(QStyle::SP_DirOpenIcon);
    QIcon closed = list->style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const auto& e : entries) {
      auto* item = new QListWidgetItem(e.open ? open : closed, QString::fromStdString(e.label));
      item->setData(Qt::UserRole, QString::fromStdString(e.path));
      item->setData(kDepthRole, e.depth);
      item->setData(kOpenRole, e.open);
      list->addItem(item);
    }
  }
  int index = control_.listIndex();
  for (int i = 0; i < list->count(); ++i) list->item(i)->setSelected(i == index);
  if (index >= 0 && index < list->count()) {
    list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    list->scrollToItem(list->item(index));
  }
}

void ControlView::syncCombo() {
  auto* combo = static_cast<QComboBox*>(widget_.data());
  const auto& items = control_.items();
  bool same = combo->count() == static_cast<int>(items.size());
  for (int i = 0; same && i < combo->count(); ++i)
    same = combo->itemText(i).toStdString() == items[i];
  if (!same) {
    combo->clear();
    for (const auto& item : items) combo->addItem(QString::fromStdString(item));
  }
  int index = control_.listIndex();
  if (control_.kind() == Kind::DriveList) {
    index = -1;
    QString drive = QString::fromStdString(control_.drive());
    for (int i = 0; i < combo->count(); ++i)
      if (!drive.isEmpty() && combo->itemText(i).startsWith(drive, Qt::CaseInsensitive)) index = i;
  }
  if (combo->currentIndex() != index) combo->setCurrentIndex(index);
  if (combo->isEditable()) {
    QString text = QString::fromStdString(control_.text());
    if (combo->currentText() != text) combo->setEditText(text);
  }
}

bool ControlView::eventFilter(QObject* watched, QEvent* event) {
  if (window_.detached()) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      if (watched == inputWidget()) return mouseEvent(event);
      return false;
    case QEvent::KeyPress:
      if (watched == widget_) return keyEvent(event);
      return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      if (watched == inputWidget()) return dropEvent(event);
      return false;
    case QEvent::FocusIn:
      if (watched == widget_ && control_.onGotFocus) run([this] { control_.onGotFocus(); });
      return false;
    case QEvent::FocusOut:
      if (watched == widget_ && control_.onLostFocus) run([this] { control_.onLostFocus(); });
      return false;
    default:
      return false;
  }
}

bool ControlView::mouseEvent(QEvent* event) {
  auto* me = static_cast<QMouseEvent*>(event);
  Control* c = &control_;
  const Kind kind = c->kind();
  const int button = modelButton(me->button());
  const int shift = modelShift(me->modifiers());
  QPoint at = me->position().toPoint();
  const double x = at.x() * window_.twipsPerPixelX(), y = at.y() * window_.twipsPerPixelY();
  auto* list = qobject_cast<QListWidget*>(widget_.data());
  // Mouse events on the text inside these are the widgets' own business.
  const bool ownMouse = kind == Kind::TextBox || kind == Kind::ComboBox || kind == Kind::DriveList;

  if (event->type() == QEvent::MouseMove) {
    if (dragArmed_ && (me->buttons() & (Qt::LeftButton | Qt::RightButton)) &&
        (at - pressPos_).manhattanLength() >= QApplication::startDragDistance()) {
      dragArmed_ = false;
      execDrag();
      return true;
    }
    if (c->onMouseMove && (me->buttons() != Qt::NoButton)) {
      int held = 0;
      if (me->buttons() & Qt::LeftButton) held |= kLeftButton;
      if (me->buttons() & Qt::RightButton) held |= kRightButton;
      run([&] { c->mouseMove(held, shift, x, y); });
    }
    return list != nullptr;  // the model owns the list's selection, also while dragging
  }
  if (event->type() == QEvent::MouseButtonPress) {
    afterDoubleClick_ = false;
    dragArmed_ = false;
    windowDrag_ = false;
    pressPos_ = at;
    if (list || clicksOnRelease(kind)) widget_->setFocus(Qt::MouseFocusReason);
    if (list) {
      // The item is chosen first so that the window's MouseDown sees the new selection.
      int row = list->indexAt(at).row();
      // In a file list a right press also chooses its item: a right-button drag moves the
      // file under the pointer.
      const bool chooses = me->button() == Qt::LeftButton ||
                           (me->button() == Qt::RightButton && kind == Kind::FileList);
      // A plain press on a chosen item of an extended-choice list that drags files out keeps
      // the other chosen items, so that all of them can be dragged; without a drag the release
      // chooses it alone, as the press would have.
      const bool keepsChoice = c->onDragOut && me->button() == Qt::LeftButton && shift == 0 &&
                               row >= 0 && c->multiSelect() == MultiSelect::Extended &&
                               c->selected(row);
      pendingRow_ = keepsChoice ? row : -1;
      if (c->onDragOut && row >= 0) dragArmed_ = true;
      if (chooses && row >= 0 && !keepsChoice) {
        if (!run([&] {
              if (kind == Kind::FolderList)
                c->setListIndex(row);
              else
                c->userSelect(row, shift);
            }))
          return true;
      }
      run([&] { c->mouseDown(button, shift, x, y); });
      return true;
    }
    if (!run([&] { c->mouseDown(button, shift, x, y); })) return true;
    return clicksOnRelease(kind);
  }
  if (event->type() == QEvent::MouseButtonRelease) {
    bool inside = inputWidget()->rect().contains(at);
    bool wasDouble = afterDoubleClick_;
    afterDoubleClick_ = false;
    dragArmed_ = false;
    if (pendingRow_ >= 0 && inside) {
      const int row = pendingRow_;
      pendingRow_ = -1;
      if (!run([&] { c->userSelect(row, 0); })) return true;
    }
    pendingRow_ = -1;
    if (!run([&] { c->mouseUp(button, shift, x, y); })) return true;
    if (clicksOnRelease(kind) && inside && me->button() == Qt::LeftButton && !wasDouble)
      run([&] { c->click(); });
    return list || clicksOnRelease(kind);
  }
  // Double click.
  afterDoubleClick_ = true;
  if (ownMouse || kind == Kind::CommandButton || kind == Kind::OptionButton ||
      kind == Kind::CheckBox) {
    if (c->onDblClick) run([&] { c->dblClick(); });
    return false;
  }
  if (me->button() != Qt::LeftButton) return true;
  if (list) {
    // The double-clicked item is the chosen one, also when the first press went elsewhere.
    int row = list->indexAt(at).row();
    if (row >= 0 && row != c->listIndex() && !run([&] {
          if (kind == Kind::FolderList)
            c->setListIndex(row);
          else
            c->userSelect(row, shift);
        }))
      return true;
  }
  run([&] { c->dblClick(); });
  return true;
}

void ControlView::armDrag() {
  // Either button drags: the window tells a copy (left) from a move (right).
  if (QApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton)) {
    dragArmed_ = true;
    windowDrag_ = true;
  }
}

void ControlView::execDrag() {
  Control& c = control_;
  pendingRow_ = -1;
  std::vector<std::string> files;
  if (c.onDragOut) {
    if (!run([&] { files = c.dragOut(); })) return;
    // Preparing the files may take a while (members are extracted first): a button let go
    // meanwhile means the drag is over before it began.
    if (!(QApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton))) return;
  }
  if (!windowDrag_ && files.empty()) return;
  auto* drag = new QDrag(widget_);
  auto* mime = new QMimeData;
  if (windowDrag_) {
    mime->setData(kControlMimeType,
                  QString::fromStdString(c.form().name() + "\n" + c.name()).toUtf8());
    bool list = c.kind() == Kind::FileList || c.kind() == Kind::ListBox;
    mime->setText(QString::fromStdString(list ? c.fileName() : c.caption()));
  }
  if (!files.empty()) addFiles(*mime, files);
  drag->setMimeData(mime);
  // Another program gets copies: the program never deletes anything for a drop elsewhere.
  if (files.empty())
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
  else
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

bool ControlView::listNavigation(int key, int shift) {
  auto* list = qobject_cast<QListWidget*>(widget_.data());
  if (!list || list->count() == 0) return false;
  int current = control_.listIndex();
  int page = std::max(1, list->viewport()->height() / std::max(1, list->sizeHintForRow(0)) - 1);
  int next = current;
  switch (key) {
    case Qt::Key_Up:
      next = current - 1;
      break;
    case Qt::Key_Down:
      next = current + 1;
      break;
    case Qt::Key_PageUp:
      next = current - page;
      break;
    case Qt::Key_PageDown:
      next = current + page;
      break;
    case Qt::Key_Home:
      next = 0;
      break;
    case Qt::Key_End:
      next = list->count() - 1;
      break;
    default:
      return false;
  }
  next = std::clamp(next, 0, list->count() - 1);
  if (current < 0) next = 0;
  Control* c = &control_;
  run([&] {
    if (c->kind() == Kind::FolderList)
      c->setListIndex(next);
    else if (((shift & kCtrlKey) && !(shift & kShiftKey)) ||
             c->multiSelect() == MultiSelect::Simple)
      c->moveFocusTo(next);  // Ctrl+arrow (or any arrow where Space chooses): the focus moves
    else
      c->userSelect(next, shift & kShiftKey);
  });
  return true;
}

void ControlView::press() {
  if (!widget_ || window_.detached()) return;
  Control* c = &control_;
  if (clicksOnRelease(c->kind())) {
    // As a click with the mouse: press, release, click.
    if (!run([&] { c->mouseDown(kLeftButton, 0, 0, 0); })) return;
    if (!run([&] { c->mouseUp(kLeftButton, 0, 0, 0); })) return;
    run([&] { c->click(); });
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget_.data())) {
    button->click();
  } else {
    run([&] { c->click(); });
  }
}

bool ControlView::contextClick() {
  Control* c = &control_;
  if (!c->onMouseDown && !c->onMouseUp) return false;
  // The right click lands on the focused item of a list, else in the middle of the control.
  QPoint at = inputWidget()->rect().center();
  if (auto* list = qobject_cast<QListWidget*>(widget_.data());
      list && c->listIndex() >= 0 && c->listIndex() < list->count())
    at = list->visualItemRect(list->item(c->listIndex())).center();
  const double x = at.x() * window_.twipsPerPixelX(), y = at.y() * window_.twipsPerPixelY();
  if (!run([&] { c->mouseDown(kRightButton, 0, x, y); })) return true;
  run([&] { c->mouseUp(kRightButton, 0, x, y); });
  return true;
}

bool ControlView::keyEvent(QEvent* event) {
  auto* ke = static_cast<QKeyEvent*>(event);
  Control* c = &control_;
  const Kind kind = c->kind();
  const int key = ke->key();
  const int shift = modelShift(ke->modifiers());
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;

  // The window logic sees the key first (Delete, F2, ... on the file utility's lists).
  if (int code = modelKeyCode(key); c->onKeyDown && code != 0) {
    if (!run([&] { c->keyDown(code, shift); })) return true;
    if (code == 0) return true;
  }
  // Shift+F10 and the Menu key give the right click that opens a context menu.
  if ((key == Qt::Key_Menu || (key == Qt::Key_F10 && shift == kShiftKey)) && contextClick())
    return true;

  if (isListKind(kind) || kind == Kind::FolderList) {
    if (listNavigation(key, shift)) return true;
    // Enter, and Space on a file list, do what a double-click on the focused item does.
    const bool opens =
        enter || (key == Qt::Key_Space && kind == Kind::FileList && !(shift & kCtrlKey));
    if (opens && (kind == Kind::FolderList || (c->onDblClick && c->listIndex() >= 0))) {
      run([&] { c->dblClick(); });
      return true;
    }
    if (key == Qt::Key_Space) {
      int index = c->listIndex();
      if (kind != Kind::FolderList && index >= 0)
        run([&] {
          c->userSelect(index, shift | (c->multiSelect() == MultiSelect::Extended ? kCtrlKey : 0));
        });
      return true;
    }
    // The model owns the selection: Ctrl+A is the window's select-all picture, if any.
    if (ke->matches(QKeySequence::SelectAll)) {
      window_.pressSelectAll();
      return true;
    }
  }
  if ((kind == Kind::Picture || (kind == Kind::Label && c->onClick)) &&
      (key == Qt::Key_Space || enter)) {
    press();  // a focused picture button or link acts as if it had been clicked
    return true;
  }
  if (enter && kind == Kind::CommandButton) {
    run([&] { c->click(); });  // Enter presses the focused button itself
    return true;
  }
  if (enter && window_.pressDefault()) return true;
  if (key == Qt::Key_Escape && window_.pressCancel()) return true;

  // The window logic may look at, change or swallow typed characters.
  if (c->onKeyPress) {
    int ascii = 0;
    if (enter)
      ascii = 13;
    else if (key == Qt::Key_Escape)
      ascii = 27;
    else if (key == Qt::Key_Backspace)
      ascii = 8;
    else if (ke->text().size() == 1 && ke->text()[0].unicode() < 128)
      ascii = ke->text()[0].unicode();
    if (ascii != 0) {
      int k = ascii;
      if (!run([&] { c->keyPress(k); })) return true;
      if (k == 0) return true;
    }
  }
  return false;
}

bool ControlView::dropEvent(QEvent* event) {
  auto* de = static_cast<QDropEvent*>(event);
  const QMimeData* mime = de->mimeData();
  if (mime && !mime->hasFormat(kControlMimeType) && carriesFiles(mime))
    return window_.filesDropEvent(de, &control_);
  if (!mime || !mime->hasFormat(kControlMimeType)) return false;
  QStringList parts = QString::fromUtf8(mime->data(kControlMimeType)).split('\n');
  Control* source = nullptr;
  if (parts.size() == 2 && parts[0].toStdString() == control_.form().name())
    source = control_.form().find(parts[1].toStdString());
  if (!source) {
    // Files dragged from another of the program's windows come as from any other program.
    if (carriesFiles(mime)) return window_.filesDropEvent(de, &control_);
    if (event->type() != QEvent::Drop) static_cast<QDragMoveEvent*>(event)->ignore();
    return true;
  }
  QPoint at = de->position().toPoint();
  const double x = at.x() * window_.twipsPerPixelX(), y = at.y() * window_.twipsPerPixelY();
  Control* target = &control_;
  if (event->type() == QEvent::Drop) {
    de->acceptProposedAction();
    run([&] { target->dragDrop(*source, x, y); });
  } else {
    static_cast<QDragMoveEvent*>(event)->acceptProposedAction();
    if (target->onDragOver && event->type() == QEvent::DragMove)
      run([&] { target->onDragOver(*source, x, y); });
  }
  return true;
}

}  // namespace zv::qt
