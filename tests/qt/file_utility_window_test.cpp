// The file utility's windows through the Qt host: what the user sees follows the window logic.
#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <filesystem>

#include "app/register_all_forms.h"
#include "core/forms/window_names.h"
#include "platform/drives.h"
#include "platform/folders.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/temp_dir.h"

namespace zv::qt {
namespace {

struct FileUtilityWindow : ::testing::Test {
  zv::test::TempDir dir;
  std::unique_ptr<test::HostedApp> h;

  void SetUp() override {
    dir.mkdir("prog/Temp");
    dir.write("prog/alpha.txt", "first file\r\n");
    dir.write("prog/beta.txt", "second file\r\n");
    dir.write("prog/gamma.txt", "third file\r\n");
    DriveTable::instance().set('Q', dir.path());
    folders::overrideProgramFolder("Q:\\prog");
    h = std::make_unique<test::HostedApp>();
    h->app.programFolder = "Q:\\prog";
    h->app.shared.IniFile = "Q:\\prog\\ZORVEX.INI";
    h->app.helpFile = "Q:\\prog\\ZORVEX.HLP";
    registerAllForms(h->app.forms);
  }
  void TearDown() override {
    h->app.forms.endProgram();
    h->app.forms.collect();
    test::settle();
    h.reset();
    folders::overrideProgramFolder("");
    DriveTable::instance().remove('Q');
  }
  FormWindow* show(const char* name) {
    h->host.dispatcher().run([&] { h->app.forms.show(name); });
    test::settle();
    return h->host.window(name);
  }
};

std::vector<int> highlightedRows(QListWidget* list) {
  std::vector<int> rows;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) rows.push_back(i);
  return rows;
}

std::vector<int> chosenRows(const Control& list) {
  std::vector<int> rows;
  for (int i = 0; i < list.listCount(); ++i)
    if (list.selected(i)) rows.push_back(i);
  return rows;
}

// A press and a release on the row, each event delivered and handled before the next, as
// the user's click on the row arrives.
void clickRow(QListWidget* list, int row) {
  QPoint at = list->visualItemRect(list->item(row)).center();
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
  test::settle();
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
  test::settle();
}

// The lower list holds one choice: each click moves the highlight, the path label follows.
// The folder lists keep their whole frame also where a logical pixel is not a whole device
// pixel (run at QT_SCALE_FACTOR=1.5 by the CMake file): the bottom row of each list is its
// border, darker than the list's inside.
TEST_F(FileUtilityWindow, FolderListsKeepTheirBottomBorder) {
  FormWindow* w = show(zv::windows::kFileUtility);
  ASSERT_NE(w, nullptr);
  QImage shot = w->grab().toImage();
  test::screenshot(w, QStringLiteral("file_utility_scale_%1").arg(w->devicePixelRatioF()));
  const double ratio = shot.devicePixelRatioF();
  for (const char* name : {"Dir1", "Dir2", "File1", "File2"}) {
    QWidget* list = w->widgetOf(name);
    ASSERT_NE(list, nullptr);
    QRect r(list->mapTo(w, QPoint(0, 0)), list->size());
    int bottom = static_cast<int>(std::ceil((r.bottom() + 1) * ratio)) - 1;
    int inside = static_cast<int>((r.top() + r.height() / 2) * ratio);
    int x = static_cast<int>((r.left() + r.width() / 3) * ratio);
    bool border = false;
    for (int y = bottom; y >= bottom - 1; --y)
      border = border || qGray(shot.pixel(x, y)) + 24 < qGray(shot.pixel(x, inside));
    EXPECT_TRUE(border) << name << " at ratio " << ratio;
  }
}

TEST_F(FileUtilityWindow, LowerFileListHighlightMovesWithEachClick) {
  FormWindow* w = show(zv::windows::kFileUtility);
  ASSERT_NE(w, nullptr);
  auto* list = qobject_cast<QListWidget*>(w->widgetOf("File2"));
  ASSERT_NE(list, nullptr);
  ASSERT_GE(list->count(), 3);
  Control& files = w->form()->c("File2");

  for (int row : {0, 1, 2, 0}) {
    clickRow(list, row);
    EXPECT_EQ(files.listIndex(), row);
    EXPECT_EQ(highlightedRows(list), std::vector<int>{row}) << "after clicking row " << row;
    EXPECT_EQ(list->currentRow(), row);
    EXPECT_TRUE(QString::fromStdString(w->form()->c("Label3").caption())
                    .endsWith(list->item(row)->text(), Qt::CaseInsensitive));
  }

  // A choice made by the window logic alone shows as well.
  h->host.dispatcher().run([&] { files.setListIndex(1); });
  test::settle();
  EXPECT_EQ(highlightedRows(list), std::vector<int>{1});
  EXPECT_EQ(list->currentRow(), 1);
}

// Every press on a file list starts a drag once the mouse moves; a press that turns into a
// drag has chosen its item all the same.
TEST_F(FileUtilityWindow, LowerFileListPressThatDragsStillMovesTheHighlight) {
  FormWindow* w = show(zv::windows::kFileUtility);
  ASSERT_NE(w, nullptr);
  auto* list = qobject_cast<QListWidget*>(w->widgetOf("File2"));
  ASSERT_NE(list, nullptr);
  ASSERT_GE(list->count(), 3);
  clickRow(list, 0);

  QPoint at = list->visualItemRect(list->item(1)).center();
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
  // The drag runs its own event loop; the release that ends it comes from a timer, which
  // goes with the list should the drag have ended before it fires.
  QTimer::singleShot(50, list, [list, at] {
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at + QPoint(0, 20));
  });
  QTest::mouseMove(list->viewport(), at + QPoint(0, 20));
  test::settle();
  EXPECT_EQ(w->form()->c("File2").listIndex(), 1);
  EXPECT_EQ(highlightedRows(list), std::vector<int>{1});

  clickRow(list, 2);
  EXPECT_EQ(highlightedRows(list), std::vector<int>{2});
}

// In the upper list a plain click toggles its item: the highlight is exactly the window's
// chosen set after every click, and the current row is the last one clicked.
TEST_F(FileUtilityWindow, UpperFileListHighlightIsTheChosenSet) {
  FormWindow* w = show(zv::windows::kFileUtility);
  ASSERT_NE(w, nullptr);
  auto* list = qobject_cast<QListWidget*>(w->widgetOf("File1"));
  ASSERT_NE(list, nullptr);
  ASSERT_GE(list->count(), 3);
  Control& files = w->form()->c("File1");

  const std::vector<std::vector<int>> expected = {{0}, {0, 1}, {0, 1, 2}, {1, 2}};
  const int clicks[] = {0, 1, 2, 0};
  for (int n = 0; n < 4; ++n) {
    clickRow(list, clicks[n]);
    EXPECT_EQ(chosenRows(files), expected[n]) << "after click " << n;
    EXPECT_EQ(highlightedRows(list), expected[n]) << "after click " << n;
    EXPECT_EQ(list->currentRow(), clicks[n]);
  }

  // Clearing the choice in the window logic clears the highlight.
  h->host.dispatcher().run([&] {
    for (int i = 0; i < files.listCount(); ++i) files.setSelected(i, false);
  });
  test::settle();
  EXPECT_TRUE(highlightedRows(list).empty());
}

// After F5 copies the chosen files the list is re-read: the focus frame stays on the row the
// keys act on, so Space chooses it at once; a focused file that is gone leaves no frame.
TEST_F(FileUtilityWindow, UpperFileListKeysActOnTheFocusedRowAfterARefresh) {
  FormWindow* w = show(zv::windows::kFileUtility);
  ASSERT_NE(w, nullptr);
  auto* list = qobject_cast<QListWidget*>(w->widgetOf("File1"));
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 3);
  Control& files = w->form()->c("File1");
  h->host.dispatcher().run([&] { w->form()->c("Dir2").setPath("Q:\\prog\\Temp"); });
  test::settle();
  clickRow(list, 0);
  clickRow(list, 2);  // alpha and gamma chosen, the focus on gamma

  list->setFocus();
  QTest::keyClick(list, Qt::Key_F5);
  test::settle();
  EXPECT_TRUE(std::filesystem::exists(dir / "prog/Temp/alpha.txt"));
  EXPECT_TRUE(std::filesystem::exists(dir / "prog/Temp/gamma.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "prog/Temp/beta.txt"));
  EXPECT_EQ(files.listIndex(), 2);
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_EQ(w->form()->c("Label2").caption(), "Q:\\prog\\gamma.txt");

  QTest::keyClick(list, Qt::Key_Space);  // the focused gamma is no longer chosen
  test::settle();
  EXPECT_EQ(chosenRows(files), std::vector<int>{0});
  EXPECT_EQ(highlightedRows(list), std::vector<int>{0});

  std::filesystem::remove(dir / "prog/gamma.txt");
  h->host.dispatcher().run([&] { files.refresh(); });
  test::settle();
  EXPECT_EQ(files.listIndex(), -1);
  EXPECT_EQ(list->currentRow(), -1);
}

}  // namespace
}  // namespace zv::qt
