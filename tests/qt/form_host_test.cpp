#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "platform/drives.h"
#include "platform/runtime_error.h"
#include "qt/control_view.h"
#include "qt/fonts.h"
#include "qt/picture_widget.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/temp_dir.h"

namespace zv::qt {
namespace {

using test::HostedApp;

// A window with a control of every kind, wired to record what reaches the models.
class AllKindsForm : public Form {
 public:
  std::vector<std::string> log;

  explicit AllKindsForm(App& app) : Form(app, "AllKinds") {
    setCaption("すべての部品");
    resize(7200, 6000);
    Control& file = add("menuFile", Kind::MenuItem);
    file.setCaption("ファイル(&F)");
    Control& open = add("menuOpen", Kind::MenuItem);
    open.setContainer("menuFile");
    open.setCaption("開く(&O)");
    open.onClick = [this] { log.push_back("menuOpen"); };
    add("Sep1", Kind::MenuItem).setContainer("menuFile");
    c("Sep1").setCaption("-");
    Control& pop = add("menuPop", Kind::MenuItem);
    pop.setCaption("ポップアップ");
    pop.setVisible(false);
    add("menuPopItem", Kind::MenuItem).setContainer("menuPop");
    c("menuPopItem").setCaption("項目");

    Control& label = add("Label1", Kind::Label);
    label.setCaption("ラベル&A");
    label.move(120, 120, 2400, 300);
    label.onClick = [this] { log.push_back("Label1 click"); };

    Control& text = add("Text1", Kind::TextBox);
    text.move(120, 480, 2400, 300);
    text.onChange = [this] { log.push_back("Text1 change " + c("Text1").text()); };

    Control& list = add("List1", Kind::ListBox);
    list.setMultiSelect(MultiSelect::Extended);
    for (const char* item : {"いち", "に", "さん", "し"}) list.addItem(item);
    list.move(120, 900, 2400, 1500);
    list.onMouseDown = [this](const MouseEvent& e) {
      log.push_back("List1 down " + std::to_string(e.button));
      if (e.button == kLeftButton) c("List1").drag();
    };
    list.onDblClick = [this] { log.push_back("List1 dbl"); };

    Control& target = add("List2", Kind::ListBox);
    target.move(2700, 900, 2400, 1500);
    target.onDragDrop = [this](Control& source, double, double) {
      log.push_back("List2 drop from " + source.name());
    };

    Control& frame = add("Frame1", Kind::Frame);
    frame.setCaption("枠");
    frame.move(120, 2520, 3000, 1200);
    for (int i = 1; i <= 2; ++i) {
      Control& opt = add("Option" + std::to_string(i), Kind::OptionButton);
      opt.setContainer("Frame1");
      opt.setCaption("選択" + std::to_string(i));
      opt.move(120, 240 + (i - 1) * 360, 2000, 300);
    }
    c("Option1").setValue(1);

    Control& check = add("Check1", Kind::CheckBox);
    check.setCaption("確認する");
    check.move(3300, 2520, 2400, 300);

    Control& combo = add("Combo1", Kind::ComboBox);
    combo.comboStyle = ComboStyle::DropdownList;
    for (const char* item : {"lzh", "zip", "ish"}) combo.addItem(item);
    combo.move(3300, 2940, 1800, 300);

    Control& folders = add("Dir1", Kind::FolderList);
    folders.move(5200, 120, 1800, 2000);
    folders.onDblClick = [this] { log.push_back("Dir1 dbl " + c("Dir1").path()); };

    Control& pic = add("Image1", Kind::Picture);
    pic.setPicture("menu_compress");
    pic.setTooltip("圧縮");
    pic.move(5300, 2400, 960, 960);
    pic.onMouseDown = [this](const MouseEvent&) {
      log.push_back("Image1 down");
      c("Image1").move(5330, 2430, 960, 960);
    };
    pic.onMouseUp = [this](const MouseEvent&) {
      log.push_back("Image1 up");
      c("Image1").move(5300, 2400, 960, 960);
    };

    Control& ok = add("Command1", Kind::CommandButton);
    ok.setCaption("OK");
    ok.setDefault(true);
    ok.move(3300, 4200, 1200, 375);
    ok.onClick = [this] { log.push_back("OK"); };
    Control& cancel = add("Command2", Kind::CommandButton);
    cancel.setCaption("キャンセル");
    cancel.setCancel(true);
    cancel.move(4680, 4200, 1200, 375);
    cancel.onClick = [this] { log.push_back("Cancel"); };
    Control& fail = add("Command3", Kind::CommandButton);
    fail.setCaption("失敗");
    fail.move(120, 4200, 1200, 375);
    fail.onClick = [] { raiseError(kErrFileNotFound, "Q:\\none.txt"); };

    Control& typed = add("Combo2", Kind::ComboBox);
    typed.addItem("C:\\x\\chosen");
    typed.move(3300, 3360, 2400, 300);

    Control& sized = add("Label9", Kind::Label);
    sized.move(120, 5400, 3600, 240);
    sized.setBackColor(0xFFFFC0);
    sized.autoSize = true;
    add("lblBuf", Kind::Hidden);
    // The tab order differs from the order of adding.
    c("Command2").setTabIndex(0);
  }
};

struct HostFixture : ::testing::Test {
  zv::test::TempDir dir;
  HostedApp h;
  AllKindsForm* form = nullptr;
  FormWindow* window = nullptr;

  void SetUp() override {
    dir.mkdir("top/alpha");
    dir.mkdir("top/beta");
    DriveTable::instance().set('Q', dir.path());
    h.app.forms.define("AllKinds", [](App& a) { return std::make_unique<AllKindsForm>(a); });
    form = &h.app.forms.get<AllKindsForm>("AllKinds");
    form->c("Dir1").setPath("Q:\\top");
    form->show();
    window = h.host.window("AllKinds");
    ASSERT_NE(window, nullptr);
    test::settle();
  }
  void TearDown() override {
    h.app.forms.unload("AllKinds");
    h.app.forms.collect();
    test::settle();
    DriveTable::instance().remove('Q');
  }
  template <class W>
  W* widget(const std::string& name) {
    return qobject_cast<W*>(window->widgetOf(name));
  }
};

TEST_F(HostFixture, BuildsAWidgetForEveryControlAtItsTwipPosition) {
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("すべての部品"));
  EXPECT_EQ(window->accessibleName(), QStringLiteral("すべての部品"));
  auto* label = widget<QLabel>("Label1");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QStringLiteral("ラベルA"));
  EXPECT_EQ(label->geometry(), QRect(8, 8, 160, 20));
  EXPECT_EQ(label->accessibleName(), QStringLiteral("ラベルA"));
  EXPECT_NE(widget<QLineEdit>("Text1"), nullptr);
  EXPECT_EQ(widget<QListWidget>("List1")->count(), 4);
  EXPECT_NE(widget<QGroupBox>("Frame1"), nullptr);
  // Controls inside a frame are children of the frame's widget.
  EXPECT_EQ(widget<QRadioButton>("Option1")->parentWidget(), widget<QGroupBox>("Frame1"));
  EXPECT_TRUE(widget<QRadioButton>("Option1")->isChecked());
  EXPECT_NE(widget<QCheckBox>("Check1"), nullptr);
  EXPECT_EQ(widget<QComboBox>("Combo1")->count(), 3);
  EXPECT_EQ(window->widgetOf("lblBuf"), nullptr);
  auto* pic = static_cast<PictureWidget*>(window->widgetOf("Image1"));
  EXPECT_TRUE(pic->hasImage());
  EXPECT_EQ(pic->accessibleName(), QStringLiteral("圧縮"));
  // Japanese gothic fonts stand in for the Windows ones.
  EXPECT_EQ(label->font().family(), fontFamily("ＭＳ Ｐゴシック"));
  EXPECT_TRUE(fontFamily("ＭＳ ゴシック").contains("Gothic") ||
              fontFamily("ＭＳ ゴシック").contains("CJK"));
  test::screenshot(window, "all_kinds");
}

TEST_F(HostFixture, ModelChangesReachTheWidgets) {
  form->c("Label1").setCaption("変更後");
  form->c("Label1").setTooltip("説明");
  form->c("Text1").setText("テキスト");
  form->c("List1").addItem("ご");
  form->c("Check1").setValue(2);
  form->c("Option2").setValue(1);
  form->c("Command1").setEnabled(false);
  form->c("Label1").move(240, 240, 2400, 300);
  form->setCaption("新しい題");
  EXPECT_EQ(widget<QLabel>("Label1")->text(), QStringLiteral("変更後"));
  EXPECT_EQ(widget<QLabel>("Label1")->toolTip(), QStringLiteral("説明"));
  EXPECT_EQ(widget<QLabel>("Label1")->pos(), QPoint(16, 16));
  EXPECT_EQ(widget<QLineEdit>("Text1")->text(), QStringLiteral("テキスト"));
  EXPECT_EQ(widget<QListWidget>("List1")->count(), 5);
  form->c("List1").removeItem(1);
  form->c("List1").setList(0, "最初");
  auto* list = widget<QListWidget>("List1");
  ASSERT_EQ(list->count(), 4);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(list->item(i)->text().toStdString(), form->c("List1").list(i));
  EXPECT_EQ(widget<QCheckBox>("Check1")->checkState(), Qt::PartiallyChecked);
  EXPECT_FALSE(widget<QRadioButton>("Option1")->isChecked());
  EXPECT_TRUE(widget<QRadioButton>("Option2")->isChecked());
  EXPECT_FALSE(widget<QPushButton>("Command1")->isEnabled());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("新しい題"));
}

TEST_F(HostFixture, MouseAndKeyboardReachTheModels) {
  QTest::mouseClick(widget<QLabel>("Label1"), Qt::LeftButton);
  EXPECT_EQ(form->log.back(), "Label1 click");

  QTest::keyClicks(widget<QLineEdit>("Text1"), "ab");
  EXPECT_EQ(form->c("Text1").text(), "ab");
  EXPECT_EQ(form->log.back(), "Text1 change ab");

  // Clicking list items selects them as the list's mode says: Ctrl adds, Shift extends.
  auto* list = widget<QListWidget>("List1");
  auto itemPos = [&](int row) { return list->visualItemRect(list->item(row)).center(); };
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, itemPos(0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, itemPos(2));
  test::settle();
  EXPECT_TRUE(form->c("List1").selected(0));
  EXPECT_FALSE(form->c("List1").selected(1));
  EXPECT_TRUE(form->c("List1").selected(2));
  EXPECT_TRUE(list->item(2)->isSelected());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, itemPos(3));
  test::settle();
  EXPECT_EQ(form->c("List1").selCount(), 2);  // 2..3 from the anchor
  QTest::mouseClick(list->viewport(), Qt::RightButton, {}, itemPos(1));
  test::settle();
  EXPECT_EQ(form->log.back(), "List1 down 2");
  EXPECT_FALSE(form->c("List1").selected(1));  // a right-click does not select
  QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(list->item(1)->isSelected());  // the view cannot select behind the model

  QTest::mouseClick(widget<QCheckBox>("Check1"), Qt::LeftButton, {}, QPoint(6, 10));
  EXPECT_EQ(form->c("Check1").value(), 1);
  QTest::mouseClick(widget<QRadioButton>("Option2"), Qt::LeftButton, {}, QPoint(6, 10));
  EXPECT_EQ(form->c("Option2").value(), 1);
  EXPECT_EQ(form->c("Option1").value(), 0);

  QComboBox* combo = widget<QComboBox>("Combo1");
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  test::settle();
  EXPECT_EQ(form->c("Combo1").listIndex(), combo->currentIndex());

  // Enter and Esc press the default and the cancel button.
  widget<QLineEdit>("Text1")->setFocus();
  QTest::keyClick(widget<QLineEdit>("Text1"), Qt::Key_Return);
  EXPECT_EQ(form->log.back(), "OK");
  QTest::keyClick(widget<QLineEdit>("Text1"), Qt::Key_Escape);
  EXPECT_EQ(form->log.back(), "Cancel");
  // On a focused button Enter presses that button, not the default one.
  form->log.clear();
  widget<QPushButton>("Command2")->setFocus();
  QTest::keyClick(widget<QPushButton>("Command2"), Qt::Key_Return);
  EXPECT_EQ(form->log, std::vector<std::string>{"Cancel"});
}

// A disabled list (the file list in folder mode) is drawn in the disabled colours.
TEST_F(HostFixture, DisabledListLooksDisabled) {
  auto* list = widget<QListWidget>("List1");
  QColor enabledText = list->palette().color(QPalette::Active, QPalette::Text);
  form->c("List1").setEnabled(false);
  test::settle();
  EXPECT_FALSE(list->isEnabled());
  EXPECT_NE(list->palette().color(QPalette::Disabled, QPalette::Text), enabledText);
  form->c("List1").setEnabled(true);
  test::settle();
  EXPECT_EQ(list->palette().color(QPalette::Active, QPalette::Text), enabledText);
}

// A label sized to its text shows nothing while empty (no coloured strip over the controls
// below it) and grows with its text.
TEST_F(HostFixture, LabelSizedToItsTextIsHiddenWhileEmpty) {
  auto* label = widget<QLabel>("Label9");
  EXPECT_FALSE(label->isVisibleTo(label->parentWidget()));
  form->c("Label9").setCaption("1999/03/05 14:07:09 1234 ﾊﾞｲﾄ");
  test::settle();
  EXPECT_TRUE(label->isVisibleTo(label->parentWidget()));
  EXPECT_EQ(label->size(), label->sizeHint());
  EXPECT_LT(label->width(), 3600 / 15);
  form->c("Label9").setCaption("");
  test::settle();
  EXPECT_FALSE(label->isVisibleTo(label->parentWidget()));
}

// An editable combo box keeps what the user typed: no inline completion from its items.
TEST_F(HostFixture, TypedComboTextStaysAsTyped) {
  QComboBox* combo = widget<QComboBox>("Combo2");
  ASSERT_NE(combo->lineEdit(), nullptr);
  combo->setFocus();
  QTest::keyClicks(combo->lineEdit(), QStringLiteral("C:\\x"));
  test::settle();
  EXPECT_EQ(combo->lineEdit()->text(), QStringLiteral("C:\\x"));
  QTest::keyClick(combo->lineEdit(), Qt::Key_Tab);
  test::settle();
  EXPECT_EQ(form->c("Combo2").text(), "C:\\x");
  EXPECT_EQ(combo->currentText(), QStringLiteral("C:\\x"));
}

TEST_F(HostFixture, PictureMovesWhileHeldAndActsOnSpace) {
  auto* pic = window->widgetOf("Image1");
  QPoint start = pic->pos();
  QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(pic->pos(), start + QPoint(2, 2));
  QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(pic->pos(), start);
  form->log.clear();
  EXPECT_NE(pic->focusPolicy(), Qt::NoFocus);
  pic->setFocus();
  QTest::keyClick(pic, Qt::Key_Space);
  EXPECT_EQ(form->log, (std::vector<std::string>{"Image1 down", "Image1 up"}));
  EXPECT_EQ(pic->pos(), start);
}

TEST_F(HostFixture, FolderListShowsIndentedEntriesAndOpensOnDoubleClick) {
  auto* list = widget<QListWidget>("Dir1");
  const auto& entries = form->c("Dir1").folderEntries();
  ASSERT_EQ(list->count(), static_cast<int>(entries.size()));
  int alpha = -1;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->text() == QStringLiteral("alpha")) alpha = i;
  ASSERT_GE(alpha, 0);
  QPoint at = list->visualItemRect(list->item(alpha)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(form->c("Dir1").listIndex(), alpha);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  test::settle();
  EXPECT_EQ(form->c("Dir1").path(), "Q:\\top\\alpha");
  EXPECT_EQ(form->log.back(), "Dir1 dbl Q:\\top\\alpha");
  EXPECT_EQ(list->count(), static_cast<int>(form->c("Dir1").folderEntries().size()));
}

TEST_F(HostFixture, DropOnAnotherControlReachesItsDragDrop) {
  auto* target = widget<QListWidget>("List2");
  QMimeData mime;
  mime.setData(kControlMimeType, QByteArray("AllKinds\nList1"));
  QPoint at(20, 20);
  QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, {});
  QApplication::sendEvent(target->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, {});
  QApplication::sendEvent(target->viewport(), &drop);
  ASSERT_FALSE(form->log.empty());
  EXPECT_EQ(form->log.back(), "List2 drop from List1");

  // A drag from another window is refused.
  QMimeData foreign;
  foreign.setData(kControlMimeType, QByteArray("Other\nList1"));
  QDragEnterEvent refused(at, Qt::MoveAction, &foreign, Qt::LeftButton, {});
  QApplication::sendEvent(target->viewport(), &refused);
  EXPECT_FALSE(refused.isAccepted());
}

TEST_F(HostFixture, MenusAreBuiltFromMenuItems) {
  QMenuBar* bar = window->menuBar();
  ASSERT_TRUE(bar->isVisibleTo(window));
  QAction* open = window->findChild<QAction*>("menuOpen");
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->text(), QStringLiteral("開く(&O)"));
  open->trigger();
  EXPECT_EQ(form->log.back(), "menuOpen");
  form->c("menuOpen").setEnabled(false);
  form->c("menuOpen").setChecked(true);
  EXPECT_FALSE(open->isEnabled());
  EXPECT_TRUE(open->isChecked());
  // The hidden popup menu is not on the bar.
  QAction* pop = window->findChild<QAction*>("menuPop");
  ASSERT_NE(pop, nullptr);
  EXPECT_FALSE(pop->isVisible());
}

TEST_F(HostFixture, TabOrderFollowsTabIndex) {
  QWidget* first = window->widgetOf("Command2");
  auto after = [](QWidget* w) {
    QWidget* next = w->nextInFocusChain();
    while (next && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
    return next;
  };
  // The link label takes the focus too, in its place.
  EXPECT_EQ(after(first), window->widgetOf("Label1"));
  EXPECT_EQ(after(after(first)), window->widgetOf("Text1"));
}

TEST_F(HostFixture, RuntimeErrorInAHandlerIsShownNotFatal) {
  QString text;
  test::answerNextMessageBox(QStringLiteral("OK"), [&](QMessageBox* box) { text = box->text(); });
  QTest::mouseClick(widget<QPushButton>("Command3"), Qt::LeftButton);
  EXPECT_TRUE(text.contains(QStringLiteral("実行時エラー '53'"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("ファイルが見つかりません")));
  // The window still works.
  QTest::mouseClick(widget<QPushButton>("Command1"), Qt::LeftButton);
  EXPECT_EQ(form->log.back(), "OK");
}

TEST_F(HostFixture, TextSetThroughTheAccessibilityInterfaceReachesTheModelOnce) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget<QLineEdit>("Text1"));
  ASSERT_NE(iface->editableTextInterface(), nullptr);
  iface->editableTextInterface()->insertText(0, QStringLiteral("名前"));
  EXPECT_EQ(form->c("Text1").text(), "名前");
  ASSERT_FALSE(form->log.empty());
  EXPECT_EQ(form->log.back(), "Text1 change 名前");
  iface->setText(QAccessible::Value, QStringLiteral("new.txt"));
  EXPECT_EQ(form->c("Text1").text(), "new.txt");
  // The model's own change reaches the box without coming back as the user's.
  const size_t before = form->log.size();
  form->c("Text1").setText("set");
  test::settle();
  EXPECT_EQ(widget<QLineEdit>("Text1")->text(), QStringLiteral("set"));
  EXPECT_EQ(form->log.size(), before + 1);
}

// A window that closes while it has the keys gives them back to the window it came up over.
TEST_F(HostFixture, KeysGoBackToTheWindowBelowWhenAWindowOrMessageBoxCloses) {
  h.app.forms.define("Second", [](App& a) {
    auto f = std::make_unique<Form>(a, "Second");
    f->add("Text1", Kind::TextBox).move(120, 120, 2400, 300);
    return f;
  });
  window->activateWindow();
  test::settle();
  ASSERT_EQ(QApplication::activeWindow(), window);
  Form& second = h.app.forms.get("Second");
  second.show();
  test::settle();
  ASSERT_EQ(QApplication::activeWindow(), h.host.window("Second"));
  second.hide();
  test::settle();
  EXPECT_EQ(QApplication::activeWindow(), window);
  second.show();
  test::settle();
  h.app.forms.unload("Second");
  test::settle();
  EXPECT_EQ(QApplication::activeWindow(), window);
  h.app.forms.collect();
}

TEST_F(HostFixture, CloseBoxUnloadsAndAWindowThatRefusesStays) {
  // The registry decides; the stand-in form has no close handler, so it goes.
  window->close();
  test::settle();
  EXPECT_FALSE(h.app.forms.loaded("AllKinds"));
  h.app.forms.collect();
  test::settle();
  EXPECT_EQ(h.host.window("AllKinds"), nullptr);
  // Shown again: a fresh window.
  form = &h.app.forms.get<AllKindsForm>("AllKinds");
  form->show();
  window = h.host.window("AllKinds");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace zv::qt

namespace zv::qt {
namespace {

TEST(DispatcherTest, AWindowUnloadedInItsOwnHandlerLivesUntilTheOutermostActionEnds) {
  HostedApp h;
  bool destroyed = false;
  struct Watched : Form {
    bool* flag;
    Watched(App& a, bool* f) : Form(a, "Watched"), flag(f) { add("Command1", Kind::CommandButton); }
    ~Watched() override { *flag = true; }
  };
  h.app.forms.define("Watched", [&](App& a) { return std::make_unique<Watched>(a, &destroyed); });
  Form& form = h.app.forms.get("Watched");
  bool aliveAfterNested = false;
  form.c("Command1").onClick = [&] {
    form.unload();
    // An event handled meanwhile (as inside a message box's loop) must not destroy it.
    h.host.dispatcher().run([] {});
    aliveAfterNested = !destroyed;
    form.c("Command1").setCaption("まだ使える");
  };
  h.host.dispatcher().run([&] { form.c("Command1").click(); });
  EXPECT_TRUE(aliveAfterNested);
  EXPECT_TRUE(destroyed);
}

TEST(PopupMenuTest, PopupShowsTheMenuItemsAndRunsTheChosenOne) {
  HostedApp h;
  h.app.forms.define("Pop", [](App& a) {
    auto f = std::make_unique<Form>(a, "Pop");
    Control& top = f->add("menuEdit", Kind::MenuItem);
    top.setCaption("編集");
    top.setVisible(false);
    Control& del = f->add("menuDelete", Kind::MenuItem);
    del.setContainer("menuEdit");
    del.setCaption("削除(&D)");
    f->add("Label1", Kind::Label).setCaption("右クリック");
    return f;
  });
  Form& form = h.app.forms.get("Pop");
  std::string ran;
  form.c("menuDelete").onClick = [&] { ran = "delete"; };
  form.c("Label1").onMouseUp = [&](const MouseEvent& e) {
    if (e.button == kRightButton) form.popupMenu("menuEdit");
  };
  form.show();
  test::settle();
  QStringList seen;
  QTimer::singleShot(50, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* a : menu->actions()) seen << a->text();
    menu->actions().front()->trigger();
    menu->close();
  });
  QTest::mouseClick(h.host.widget("Pop", "Label1"), Qt::RightButton);
  EXPECT_EQ(seen, QStringList{QStringLiteral("削除(&D)")});
  EXPECT_EQ(ran, "delete");
  h.app.forms.unload("Pop");
  h.app.forms.collect();
  test::settle();
}

}  // namespace
}  // namespace zv::qt
