// Long paths and mixed names as the user sees them: a one-line label shows both ends of a
// path with the whole path as its tooltip, a message box wraps a path at its folders instead
// of cutting it, and a list's rows are one height whatever script the names are in.
#include "qt/text_fit.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QScreen>

#include "auxwin/register_forms.h"
#include "core/forms/window_names.h"
#include "platform/drives.h"
#include "qt/qt_services.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/stand_in_form.h"
#include "tests/support/temp_dir.h"

namespace zv::qt {
namespace {

std::string longPath() {
  std::string path = "Q:\\";
  for (int i = 0; i < 10; ++i) path += "長いフォルダ名の階層" + std::to_string(i) + "\\";
  return path + "新しいフォルダ";
}

// Latin folder names break only at their separators.
std::string longLatinPath() {
  std::string path = "Q:\\";
  for (int i = 0; i < 8; ++i) path += "Archive_Folder_Number_" + std::to_string(i) + "\\";
  return path + "new_folder";
}

struct TextFit : ::testing::Test {
  zv::test::TempDir dir;
  test::HostedApp h;

  void SetUp() override {
    DriveTable::instance().set('Q', dir.path());
    h.app.programFolder = "Q:\\";
    h.app.shared.IniFile = "Q:\\ZORVEX.INI";
    registerInfoForms(h.app.forms);
  }
  void TearDown() override {
    for (const auto& name : h.app.forms.loadedNames()) h.app.forms.unload(name);
    h.app.forms.collect();
    test::settle();
    DriveTable::instance().remove('Q');
  }
};

TEST_F(TextFit, NewFolderDialogShowsBothEndsOfALongPathAndTheWholePathAsTooltip) {
  h.app.forms.show(zv::windows::kNewFolder);
  Form& dialog = h.app.forms.get(zv::windows::kNewFolder);
  dialog.c("Label2").setCaption(longPath());
  test::settle();
  FormWindow* w = h.host.window(zv::windows::kNewFolder);
  ASSERT_NE(w, nullptr);
  auto* label = qobject_cast<QLabel*>(w->widgetOf("Label2"));
  ASSERT_NE(label, nullptr);
  test::screenshot(w, "new_folder_long_path");
  const QString full = QString::fromStdString(longPath());
  EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()),
            label->contentsRect().width());
  EXPECT_TRUE(label->text().startsWith(QStringLiteral("Q:\\長いフォルダ名の階層0")));
  EXPECT_TRUE(label->text().endsWith(QStringLiteral("\\新しいフォルダ")));
  EXPECT_EQ(label->toolTip(), full);

  // A path that fits is shown as it is, without a tooltip.
  dialog.c("Label2").setCaption("Q:\\短い\\x");
  test::settle();
  EXPECT_EQ(label->text(), QStringLiteral("Q:\\短い\\x"));
  EXPECT_TRUE(label->toolTip().isEmpty());
}

// The alignment switch of the path labels stays visible on a path too long for its label, and
// a fixed instruction is never shortened.
TEST_F(TextFit, ARightAlignedPathKeepsItsEndAndInstructionsAreNotCut) {
  QLabel label;
  label.resize(220, 20);
  const QString path = QString::fromStdString(longLatinPath());
  label.setAlignment(Qt::AlignRight);
  QString right = fittedLabelText(label, path);
  EXPECT_TRUE(right.startsWith(QChar(0x2026))) << right.toStdString();
  EXPECT_TRUE(right.endsWith(QStringLiteral("_7\\new_folder"))) << right.toStdString();
  label.setAlignment(Qt::AlignLeft);
  QString left = fittedLabelText(label, path);
  EXPECT_TRUE(left.startsWith(QStringLiteral("Q:\\Archive"))) << left.toStdString();
  EXPECT_TRUE(left.endsWith(QStringLiteral("\\new_folder"))) << left.toStdString();
  const QString instruction =
      QStringLiteral("解凍するファイルを選択してから［解凍］ボタンをクリックしてください．");
  EXPECT_EQ(fittedLabelText(label, instruction), instruction);
}

TEST_F(TextFit, MessageBoxWrapsALongPathAtItsFoldersAndKeepsAllOfIt) {
  QtServices services;
  QString shown;
  int minimumWidth = 0, labelWidth = 0, labelHeight = 0, neededHeight = 0, boxWidth = 0;
  test::answerNextMessageBox(QStringLiteral("OK"), [&](QMessageBox* box) {
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label) return;
    test::screenshot(box, "message_long_path");
    shown = label->text();
    minimumWidth = label->minimumSizeHint().width();
    labelWidth = label->width();
    labelHeight = label->height();
    neededHeight = label->heightForWidth(label->width());
    boxWidth = box->frameGeometry().width();
  });
  services.messageBox("フォルダを作成できませんでした\r\n" + longLatinPath(), MsgButtons::OK,
                      MsgIcon::Exclamation, "新規フォルダの作成");
  EXPECT_EQ(shown.remove(QChar(0x200B)), QStringLiteral("フォルダを作成できませんでした\n") +
                                             QString::fromStdString(longLatinPath()));
  EXPECT_LE(minimumWidth, labelWidth);   // no unbreakable run wider than the text area
  EXPECT_GE(labelHeight, neededHeight);  // every wrapped line is inside the label
  EXPECT_LE(boxWidth, QGuiApplication::primaryScreen()->availableGeometry().width());
}

// The break marks are for the layout only: a screen reader and the clipboard get the text as
// the program wrote it.
TEST_F(TextFit, MessageBoxReadsAndCopiesItsTextWithoutBreakMarks) {
  QtServices services;
  const QString text = QStringLiteral("名前に次の文字は使えません\n\\ / : * ? \" < > |\n") +
                       QString::fromStdString(longLatinPath());
  QString shown, boxValue, boxDescription, labelName, labelValue, labelText, copied;
  QGuiApplication::clipboard()->clear();
  test::answerNextMessageBox(QStringLiteral("OK"), [&](QMessageBox* box) {
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label) return;
    shown = label->text();
    QAccessibleInterface* boxAccess = QAccessible::queryAccessibleInterface(box);
    QAccessibleInterface* labelAccess = QAccessible::queryAccessibleInterface(label);
    if (!boxAccess || !labelAccess) return;
    boxValue = boxAccess->text(QAccessible::Value);
    boxDescription = boxAccess->text(QAccessible::Description);
    labelName = labelAccess->text(QAccessible::Name);
    labelValue = labelAccess->text(QAccessible::Value);
    if (QAccessibleTextInterface* t = labelAccess->textInterface())
      labelText = t->text(0, t->characterCount());
    // Ctrl+C where the keys are: the default button passes it on to the box.
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"));
    QApplication::sendEvent(box->defaultButton(), &copy);
    copied = QGuiApplication::clipboard()->text();
  });
  services.messageBox(text.toStdString(), MsgButtons::OK, MsgIcon::Exclamation, "ファイル名の変更");
  EXPECT_TRUE(shown.contains(QChar(0x200B)));  // the wrapping stays
  EXPECT_EQ(boxValue, text);
  EXPECT_EQ(boxDescription, text);
  EXPECT_EQ(labelName, text);
  EXPECT_EQ(labelValue, text);
  EXPECT_EQ(labelText, text);
  EXPECT_TRUE(copied.contains(QStringLiteral("ファイル名の変更\n")));
  EXPECT_TRUE(copied.contains(text + u'\n'));
  EXPECT_FALSE(copied.contains(QChar(0x200B)));
}

TEST_F(TextFit, ListRowsAreOneHeightForAsciiAndJapaneseNames) {
  zv::testing::defineStandIn(
      h.app.forms, "Lists",
      {{"List1", Kind::ListBox}, {"List2", Kind::ListBox}, {"List3", Kind::ListBox}});
  Form& f = h.app.forms.get("Lists");
  f.resize(6000, 4500);
  f.c("List1").move(60, 60, 2800, 2000);
  f.c("List2").move(3000, 60, 2800, 2000);
  f.c("List3").move(60, 2200, 2800, 2000);
  f.c("List2").setFont({"ＭＳ ゴシック", 11.25});
  // A Latin face, as a desktop without the Japanese gothic gives: Japanese names are drawn
  // with a fallback face whose lines are taller.
  f.c("List3").setFont({"DejaVu Sans", 9});
  for (const char* list : {"List1", "List2", "List3"}) {
    f.c(list).addItem("readme.txt");
    f.c(list).addItem("日本語の名前.txt");
    f.c(list).addItem("ascii-only.lzh");
  }
  h.app.forms.show("Lists");
  test::settle();
  FormWindow* w = h.host.window("Lists");
  ASSERT_NE(w, nullptr);
  test::screenshot(w, "list_rows_mixed_names");
  for (const char* list : {"List1", "List2", "List3"}) {
    auto* view = qobject_cast<QListWidget*>(w->widgetOf(list));
    ASSERT_NE(view, nullptr);
    int ascii = view->visualItemRect(view->item(0)).height();
    EXPECT_EQ(view->visualItemRect(view->item(1)).height(), ascii) << list;
    EXPECT_EQ(view->visualItemRect(view->item(2)).height(), ascii) << list;
    // The rows follow each other without gaps or overlaps.
    EXPECT_EQ(view->visualItemRect(view->item(2)).top() - view->visualItemRect(view->item(0)).top(),
              2 * ascii)
        << list;
  }
}

}  // namespace
}  // namespace zv::qt
