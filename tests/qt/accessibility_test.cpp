// What assistive technology sees of each control kind through Qt's accessibility interfaces,
// and the keys that stand in for the mouse.
#include "qt/accessibility.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>

#include "tests/qt/qt_test_support.h"

namespace zv::qt {
namespace {

using test::HostedApp;

class KindsForm : public Form {
 public:
  std::vector<std::string> log;

  explicit KindsForm(App& app) : Form(app, "Kinds") {
    setCaption("部品の一覧");
    resize(7200, 6000);
    add("menuFile", Kind::MenuItem).setCaption("ファイル(&F)");
    Control& open = add("menuOpen", Kind::MenuItem);
    open.setContainer("menuFile");
    open.setCaption("開く(&O)");
    open.onClick = [this] { log.push_back("menuOpen"); };

    Control& back = add("imgBack", Kind::Picture);  // decoration only
    back.setPicture("menu_background");
    back.move(0, 0, 7200, 5000);
    Control& button = add("Image1", Kind::Picture);
    button.setPicture("menu_compress");
    button.setTooltip("ファイルを圧縮します");
    button.move(120, 120, 960, 960);
    button.onMouseDown = [this](const MouseEvent& e) {
      log.push_back("down " + std::to_string(e.button));
    };
    button.onMouseUp = [this](const MouseEvent& e) {
      log.push_back("up " + std::to_string(e.button));
    };
    button.onClick = [this] { log.push_back("Image1 click"); };
    Control& copy = add("Image2", Kind::Picture);  // no tooltip: the window's phrase
    copy.setPicture("fu_copy_all");
    copy.setDescription("全コピー");
    copy.move(1200, 120, 1110, 465);
    copy.onClick = [this] { log.push_back("Image2 click"); };
    Control& trash = add("Image3", Kind::Picture);
    trash.setPicture("fu_trash_empty");
    trash.setDescription("ゴミ箱");
    trash.move(2400, 120, 480, 480);
    trash.onDragDrop = [](Control&, double, double) {};

    Control& link = add("Label1", Kind::Label);
    link.setCaption("File");
    link.move(3000, 120, 1080, 330);
    link.onClick = [this] { log.push_back("Label1 click"); };

    Control& comboLabel = add("Label2", Kind::Label);
    comboLabel.setCaption("形式：");
    comboLabel.move(120, 1200, 900, 300);
    Control& combo = add("Combo1", Kind::ComboBox);
    combo.comboStyle = ComboStyle::DropdownList;
    for (const char* item : {"lzh", "zip"}) combo.addItem(item);
    combo.setListIndex(0);
    combo.move(1080, 1200, 1800, 300);

    Control& listLabel = add("Label3", Kind::Label);
    listLabel.setCaption("ファイル一覧");
    listLabel.move(120, 1620, 2400, 255);
    Control& list = add("List1", Kind::ListBox);
    list.setMultiSelect(MultiSelect::Extended);
    for (const char* item : {"a", "b", "c", "d"}) list.addItem(item);
    list.move(120, 1920, 2400, 1500);
    list.onDblClick = [this] { log.push_back("List1 dbl " + c("List1").fileName()); };
    list.onMouseDown = [this](const MouseEvent& e) {
      log.push_back("List1 down " + std::to_string(e.button));
    };
    list.onMouseUp = [this](const MouseEvent& e) {
      log.push_back("List1 up " + std::to_string(e.button));
    };
    list.onKeyDown = [this](int& key, int shift) {
      if (key == kKeyDelete) {
        log.push_back("List1 delete " + std::to_string(shift));
        key = 0;
      }
    };

    Control& lamp = add("Lamp1", Kind::Label);
    lamp.setBackColor(0xFF0000);
    lamp.setTooltip("[オプション]で変更できます");
    lamp.setDescription("ファイルモード：点灯");
    lamp.move(3000, 1200, 195, 195);

    Control& status = add("lblStatus", Kind::Label);
    status.move(3000, 1620, 3000, 300);

    Control& frame = add("Frame1", Kind::Frame);
    frame.setCaption("モード");
    frame.move(3000, 2100, 3000, 1200);
    for (int i = 1; i <= 2; ++i) {
      Control& opt = add("Option" + std::to_string(i), Kind::OptionButton);
      opt.setContainer("Frame1");
      opt.setCaption("選択" + std::to_string(i));
      opt.move(120, 240 + (i - 1) * 360, 2000, 300);
    }
    c("Option1").setValue(1);
    Control& check = add("Check1", Kind::CheckBox);
    check.setCaption("確認する");
    check.move(3000, 3400, 2400, 300);
    check.onClick = [this] { log.push_back("Check1 " + std::to_string(c("Check1").value())); };
    Control& marker = add("ImgZip", Kind::Picture);  // shows a state only
    marker.setPicture("ext_zip_marker");
    marker.setDescription("ZIP書庫");
    marker.move(2400, 700, 480, 300);
    Control& all = add("ImgAll", Kind::Picture);
    all.setPicture("comp_select_all");
    all.setTooltip("すべて選択");
    all.selectsAll = true;
    all.move(120, 3500, 480, 480);
    all.onClick = [this] { log.push_back("ImgAll click"); };
    Control& close = add("ImgClose", Kind::Picture);
    close.setPicture("fu_house");
    close.setDescription("閉じる");
    close.setCancel(true);
    close.move(720, 3500, 480, 480);
    close.onClick = [this] { log.push_back("ImgClose click"); };
    Control& text = add("Text1", Kind::TextBox);
    text.setDescription("下段の名前");  // no label in front: the window's short name
    text.setText("abc");
    text.move(1320, 3500, 1200, 300);
  }
};

struct AccessibilityTest : ::testing::Test {
  HostedApp h;
  KindsForm* form = nullptr;
  FormWindow* window = nullptr;

  static std::vector<std::pair<int, QString>>& events() {
    static std::vector<std::pair<int, QString>> list;
    return list;
  }
  static void record(QAccessibleEvent* e) {
    QString text;
    if (e->type() == QAccessible::TextUpdated)
      text = static_cast<QAccessibleTextUpdateEvent*>(e)->textInserted();
    events().emplace_back(e->type(), text);
  }

  void SetUp() override {
    h.app.forms.define("Kinds", [](App& a) { return std::make_unique<KindsForm>(a); });
    form = &h.app.forms.get<KindsForm>("Kinds");
    form->show();
    window = h.host.window("Kinds");
    ASSERT_NE(window, nullptr);
    test::settle();
  }
  void TearDown() override {
    h.app.forms.unload("Kinds");
    h.app.forms.collect();
    test::settle();
  }
  QAccessibleInterface* of(const std::string& control) {
    QWidget* w = window->widgetOf(control);
    return w ? QAccessible::queryAccessibleInterface(w) : nullptr;
  }
  static QStringList actions(QAccessibleInterface* iface) {
    return iface->actionInterface() ? iface->actionInterface()->actionNames() : QStringList();
  }
};

TEST_F(AccessibilityTest, PictureButtonsArePushButtonsWhosePressDoesWhatAClickDoes) {
  QAccessibleInterface* button = of("Image1");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->role(), QAccessible::Button);
  EXPECT_EQ(button->text(QAccessible::Name), QStringLiteral("ファイルを圧縮します"));
  EXPECT_TRUE(button->state().focusable);
  ASSERT_TRUE(actions(button).contains(QAccessibleActionInterface::pressAction()));
  button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(form->log.empty());  // after the caller has its answer
  test::settle();
  EXPECT_EQ(form->log, (std::vector<std::string>{"down 1", "up 1", "Image1 click"}));

  // Without a tooltip the window's phrase says what the button does.
  EXPECT_EQ(of("Image2")->text(QAccessible::Name), QStringLiteral("全コピー"));
  form->c("Image2").setEnabled(false);
  form->log.clear();
  of("Image2")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  test::settle();
  EXPECT_TRUE(form->log.empty());
}

TEST_F(AccessibilityTest, DecorationPicturesAreLeftOutAndMarkersAreNamedGraphics) {
  QAccessibleInterface* canvas = QAccessible::queryAccessibleInterface(window->canvas());
  auto inTree = [&](const char* control) {
    for (int i = 0; i < canvas->childCount(); ++i)
      if (canvas->child(i)->object() == window->widgetOf(control)) return true;
    return false;
  };
  EXPECT_FALSE(inTree("imgBack"));
  EXPECT_TRUE(inTree("Image1"));
  EXPECT_EQ(window->widgetOf("imgBack")->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(of("Image3")->role(), QAccessible::Graphic);
  EXPECT_EQ(of("Image3")->text(QAccessible::Name), QStringLiteral("ゴミ箱"));

  // A marker is a graphic named by what it shows; a new state is told as a new name.
  EXPECT_EQ(of("ImgZip")->role(), QAccessible::Graphic);
  events().clear();
  observeAnnouncements(record);
  form->c("ImgZip").setDescription("ZIP書庫（閉）");
  observeAnnouncements(nullptr);
  ASSERT_EQ(events().size(), 1u);
  EXPECT_EQ(events()[0].first, QAccessible::NameChanged);
  EXPECT_EQ(of("ImgZip")->text(QAccessible::Name), QStringLiteral("ZIP書庫（閉）"));
}

TEST_F(AccessibilityTest, LinksAreInTheTabOrderAndJumpOrPressLikeAClick) {
  QAccessibleInterface* link = of("Label1");
  EXPECT_EQ(link->role(), QAccessible::Link);
  EXPECT_EQ(link->text(QAccessible::Name), QStringLiteral("File"));
  EXPECT_TRUE(actions(link).contains(QStringLiteral("Jump")));
  EXPECT_TRUE(actions(link).contains(QAccessibleActionInterface::pressAction()));
  link->actionInterface()->doAction(QStringLiteral("Jump"));
  test::settle();
  EXPECT_EQ(form->log, std::vector<std::string>{"Label1 click"});

  // Tab reaches it from the picture button before it; Space and Enter press it.
  QWidget* label = window->widgetOf("Label1");
  QWidget* next = window->widgetOf("Image2")->nextInFocusChain();
  while (next && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
  EXPECT_EQ(next, label);
  label->setFocus();
  QTest::keyClick(label, Qt::Key_Space);
  QTest::keyClick(label, Qt::Key_Return);
  EXPECT_EQ(form->log.size(), 3u);
  EXPECT_EQ(form->log.back(), "Label1 click");
  // An ordinary label is static text whose text can be read.
  QAccessibleInterface* text = of("Label2");
  EXPECT_EQ(text->role(), QAccessible::StaticText);
  ASSERT_NE(text->textInterface(), nullptr);
  EXPECT_EQ(text->textInterface()->text(0, text->textInterface()->characterCount()),
            QStringLiteral("形式："));
}

TEST_F(AccessibilityTest, ComboBoxesListsAndTextBoxesAreNamedByTheLabelInFront) {
  QAccessibleInterface* combo = of("Combo1");
  EXPECT_EQ(combo->role(), QAccessible::ComboBox);
  EXPECT_EQ(combo->text(QAccessible::Name), QStringLiteral("形式："));
  EXPECT_EQ(combo->text(QAccessible::Value), QStringLiteral("lzh"));
  auto labelOf = [](QAccessibleInterface* iface) {
    auto rel = iface->relations(QAccessible::Label);
    return rel.isEmpty() ? QString() : rel.first().first->text(QAccessible::Name);
  };
  EXPECT_EQ(labelOf(combo), QStringLiteral("形式："));  // beside it
  // The label just above the list says whom it names, and the list names its label in turn
  // while keeping Qt's items.
  auto named = of("Label3")->relations(QAccessible::Labelled);
  ASSERT_EQ(named.size(), 1);
  EXPECT_EQ(named.first().first->object(), window->widgetOf("List1"));
  QAccessibleInterface* list = of("List1");
  EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("ファイル一覧"));
  EXPECT_EQ(list->role(), QAccessible::List);
  // Without a label in front, the short name the window gives it.
  EXPECT_EQ(of("Text1")->text(QAccessible::Name), QStringLiteral("下段の名前"));
  ASSERT_EQ(list->childCount(), 4);
  EXPECT_EQ(list->child(2)->text(QAccessible::Name), QStringLiteral("c"));
  EXPECT_EQ(list->child(2)->parent(), list);
  EXPECT_EQ(list->indexOfChild(list->child(3)), 3);
  EXPECT_NE(list->tableInterface(), nullptr);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(window->widgetOf("List1")), list);
  ASSERT_TRUE(actions(combo).contains(QAccessibleActionInterface::showMenuAction()));
  combo->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
  test::settle();
  EXPECT_TRUE(static_cast<QComboBox*>(window->widgetOf("Combo1"))->view()->isVisible());
  static_cast<QComboBox*>(window->widgetOf("Combo1"))->hidePopup();
}

// The list's interface and its items' go with the window and come back with it.
TEST_F(AccessibilityTest, AListsInterfaceGoesWithItsWindow) {
  QAccessibleInterface* list = of("List1");
  const QAccessible::Id id = QAccessible::uniqueId(list);
  const QAccessible::Id item = QAccessible::uniqueId(list->child(0));
  h.app.forms.unload("Kinds");
  h.app.forms.collect();
  test::settle();
  EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
  EXPECT_EQ(QAccessible::accessibleInterface(item), nullptr);
  SetUp();
  list = of("List1");
  ASSERT_EQ(list->childCount(), 4);
  EXPECT_EQ(list->child(0)->text(QAccessible::Name), QStringLiteral("a"));
  EXPECT_EQ(list->relations(QAccessible::Label).size(), 1);
}

TEST_F(AccessibilityTest, OptionButtonsAreRadioButtonsFollowingTheModel) {
  QAccessibleInterface* option = of("Option2");
  EXPECT_EQ(option->role(), QAccessible::RadioButton);
  EXPECT_EQ(option->text(QAccessible::Name), QStringLiteral("選択2"));
  ASSERT_TRUE(actions(option).contains(QAccessibleActionInterface::toggleAction()));
  option->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  test::settle();
  EXPECT_EQ(form->c("Option2").value(), 1);
  EXPECT_EQ(form->c("Option1").value(), 0);
  EXPECT_TRUE(option->state().checked);
  // A check box toggled by assistive technology is clicked in the model once.
  QAccessibleInterface* check = of("Check1");
  EXPECT_EQ(check->role(), QAccessible::CheckBox);
  check->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  test::settle();
  EXPECT_EQ(form->log, std::vector<std::string>{"Check1 1"});
  QTest::mouseClick(window->widgetOf("Check1"), Qt::LeftButton, {}, QPoint(6, 10));
  test::settle();
  EXPECT_EQ(form->log, (std::vector<std::string>{"Check1 1", "Check1 0"}));
  // The model may clear every option; the radio buttons follow.
  form->c("Option2").setValue(0);
  EXPECT_FALSE(static_cast<QRadioButton*>(window->widgetOf("Option2"))->isChecked());
  EXPECT_FALSE(static_cast<QRadioButton*>(window->widgetOf("Option1"))->isChecked());
}

TEST_F(AccessibilityTest, WindowsAreFramesOrDialogsNamedByTheirTitle) {
  QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(window);
  EXPECT_EQ(frame->role(), QAccessible::Window);
  EXPECT_EQ(frame->text(QAccessible::Name), QStringLiteral("部品の一覧"));
  form->setCaption("新しい題");
  EXPECT_EQ(frame->text(QAccessible::Name), QStringLiteral("新しい題"));

  h.app.forms.define("Fixed", [](App& a) {
    auto f = std::make_unique<Form>(a, "Fixed");
    f->fixedDialog = true;
    return f;
  });
  h.app.forms.get("Fixed").show();
  EXPECT_EQ(QAccessible::queryAccessibleInterface(h.host.window("Fixed"))->role(),
            QAccessible::Dialog);
  h.app.forms.unload("Fixed");
  h.app.forms.collect();
  // A fixed-size window of its own (the main menu) is still a frame.
  h.app.forms.define("Main", [](App& a) {
    auto f = std::make_unique<Form>(a, "Main");
    f->fixedDialog = f->mainWindow = true;
    return f;
  });
  h.app.forms.get("Main").show();
  EXPECT_EQ(QAccessible::queryAccessibleInterface(h.host.window("Main"))->role(),
            QAccessible::Window);
  h.app.forms.unload("Main");
}

// Under the test switch every name is the control or window name, and what a user reads
// moves to the description.
TEST_F(AccessibilityTest, TheTestSwitchNamesControlsAndWindowsByTheirNames) {
  TearDown();
  setenv("ZORVEX_ACCESSIBLE_IDS", "1", 1);
  SetUp();
  EXPECT_EQ(QAccessible::queryAccessibleInterface(window)->text(QAccessible::Name),
            QStringLiteral("Kinds"));
  for (const char* control : {"Image1", "Label1", "Combo1", "List1", "Option2", "Lamp1"})
    EXPECT_EQ(of(control)->text(QAccessible::Name), QString(control));
  EXPECT_EQ(of("Image2")->text(QAccessible::Description), QStringLiteral("全コピー"));
  QAccessibleInterface* item =
      QAccessible::queryAccessibleInterface(window->findChild<QAction*>("menuOpen"));
  EXPECT_EQ(item->text(QAccessible::Name), QStringLiteral("menuOpen"));
  unsetenv("ZORVEX_ACCESSIBLE_IDS");
}

// Escape is the window's Close and Ctrl+A its select-all picture, wherever the focus is; in a
// text box Ctrl+A selects its text.
TEST_F(AccessibilityTest, EscapeClosesAndCtrlASelectsAllThroughTheWindowsPictures) {
  QWidget* list = window->widgetOf("List1");
  list->setFocus();
  QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(window->widgetOf("Check1"), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(list, Qt::Key_Escape);
  QTest::keyClick(window->widgetOf("Text1"), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(form->log,
            (std::vector<std::string>{"ImgAll click", "ImgAll click", "ImgClose click"}));
  EXPECT_EQ(static_cast<QLineEdit*>(window->widgetOf("Text1"))->selectedText(),
            QStringLiteral("abc"));
}

TEST_F(AccessibilityTest, MenuItemsAreNamedByTheirCaptionAndPressLikeAChoice) {
  QAction* open = window->findChild<QAction*>("menuOpen");
  ASSERT_NE(open, nullptr);
  QAccessibleInterface* item = QAccessible::queryAccessibleInterface(open);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->role(), QAccessible::MenuItem);
  EXPECT_EQ(item->text(QAccessible::Name), QStringLiteral("開く(O)"));
  // Reached from the menu bar through the File menu.
  QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window->menuBar());
  QAccessibleInterface* file = bar->child(0);
  EXPECT_EQ(file->text(QAccessible::Name), QStringLiteral("ファイル(F)"));
  EXPECT_EQ(actions(file), QStringList{QAccessibleActionInterface::showMenuAction()});
  ASSERT_EQ(file->childCount(), 1);
  EXPECT_EQ(file->child(0)->child(0)->object(), open);
  EXPECT_EQ(item->parent()->object(), file->child(0)->object());
  item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  test::settle();
  EXPECT_EQ(form->log, std::vector<std::string>{"menuOpen"});
}

TEST_F(AccessibilityTest, LampsAreGraphicsNamedByTheirStateAndLabelsAnnounceNewText) {
  EXPECT_EQ(of("Lamp1")->role(), QAccessible::Graphic);
  EXPECT_EQ(of("Lamp1")->text(QAccessible::Name), QStringLiteral("ファイルモード：点灯"));
  EXPECT_EQ(of("Lamp1")->text(QAccessible::Description),
            QStringLiteral("[オプション]で変更できます"));
  form->c("Lamp1").setDescription("ファイルモード：消灯");
  EXPECT_EQ(of("Lamp1")->text(QAccessible::Name), QStringLiteral("ファイルモード：消灯"));

  events().clear();
  observeAnnouncements(record);
  form->c("lblStatus").setCaption("しばらくお待ちください");
  observeAnnouncements(nullptr);
  bool heard = false;
  for (auto& [type, text] : events())
    heard |= type == QAccessible::TextUpdated && text == QStringLiteral("しばらくお待ちください");
  EXPECT_TRUE(heard);
  EXPECT_EQ(of("lblStatus")->text(QAccessible::Value), QStringLiteral("しばらくお待ちください"));
}

TEST_F(AccessibilityTest, ListKeysOpenMoveTheFocusToggleAndOpenTheContextMenu) {
  auto* list = static_cast<QListWidget*>(window->widgetOf("List1"));
  Control& model = form->c("List1");
  list->setFocus();
  model.userSelect(0);
  QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
  QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(model.listIndex(), 2);
  EXPECT_TRUE(model.selected(0));  // the focus moved, the selection stayed
  EXPECT_FALSE(model.selected(2));
  QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_TRUE(model.selected(0));
  EXPECT_TRUE(model.selected(2));
  QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_FALSE(model.selected(2));

  form->log.clear();
  QTest::keyClick(list, Qt::Key_Return);
  QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
  QTest::keyClick(list, Qt::Key_Menu);
  QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(form->log, (std::vector<std::string>{"List1 dbl c", "List1 down 2", "List1 up 2",
                                                 "List1 down 2", "List1 up 2", "List1 delete 1"}));

  // Where Space chooses (a simple multi-selection list), the arrows only move the focus.
  model.setMultiSelect(MultiSelect::Simple);
  int chosen = model.selCount();
  QTest::keyClick(list, Qt::Key_Up);
  EXPECT_EQ(model.listIndex(), 1);
  EXPECT_EQ(model.selCount(), chosen);
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_TRUE(model.selected(1));
}

}  // namespace
}  // namespace zv::qt
