#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "auxwin/picview_form.h"
#include "auxwin/register_forms.h"
#include "core/forms/window_names.h"
#include "platform/drives.h"
#include "qt/picture_widget.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/stand_in_form.h"
#include "tests/support/temp_dir.h"
#include "ui/menu/register_forms.h"

namespace zv::qt {
namespace {

struct WindowsFixture : test::HostedWindows {
  void SetUp() override {
    HostedWindows::SetUp();
    registerMenuForms(h.app.forms);
    registerViewerForms(h.app.forms);
    for (const char* name : {"Comp1", "DeComp1", "DeComp4", "frmOption"})
      zv::testing::defineStandIn(h.app.forms, name, {});
  }
};

TEST_F(WindowsFixture, MainMenuDrawsItsPicturesAndRoutesClicks) {
  FormWindow* w = show(zv::windows::kMenu);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Zorvex 32    -Menu-"));
  EXPECT_EQ(w->accessibleName(), QStringLiteral("Zorvex 32    -Menu-"));
  for (const char* name : {"imgBack", "Image1", "Image2", "Image3"}) {
    auto* pic = static_cast<PictureWidget*>(w->widgetOf(name));
    ASSERT_NE(pic, nullptr) << name;
    EXPECT_TRUE(pic->hasImage()) << name;
  }
  EXPECT_EQ(qobject_cast<QLabel*>(w->widgetOf("Label2"))->text(), QStringLiteral("File"));
  EXPECT_EQ(w->widgetOf("Image2")->accessibleName(), QStringLiteral("書庫を解凍します"));
  test::screenshot(w, "frmMenu");

  // The options link opens the options window and leaves the menu up.
  QTest::mouseClick(w->widgetOf("Label1"), Qt::LeftButton);
  EXPECT_TRUE(h.app.forms.get(zv::windows::kOptions).visible());
  EXPECT_TRUE(w->isVisible());

  // The extract picture moves 2 pixels while held, then opens the archive selection.
  QWidget* extract = w->widgetOf("Image2");
  QPoint start = extract->pos();
  QTest::mousePress(extract, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(extract->pos(), start + QPoint(2, 2));
  QTest::mouseRelease(extract, Qt::LeftButton, {}, QPoint(20, 20));
  test::settle();
  EXPECT_TRUE(h.app.forms.get(zv::windows::kArchiveSelection).visible());
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(extract->pos(), start);
}

TEST_F(WindowsFixture, MainMenuCloseBoxAsksAndNoKeepsItOpen) {
  FormWindow* w = show(zv::windows::kMenu);
  h.services.answers.push_back(MsgAnswer::No);
  w->close();
  test::settle();
  EXPECT_TRUE(h.app.forms.loaded(zv::windows::kMenu));
  EXPECT_TRUE(w->isVisible());
  ASSERT_EQ(h.services.messages.size(), 1u);
  EXPECT_EQ(h.services.messages[0].text, "終了してもいいですか");
  h.services.answers.push_back(MsgAnswer::Yes);
  w->close();
  test::settle();
  EXPECT_TRUE(h.app.forms.ended());
}

TEST_F(WindowsFixture, MainMenuBackgroundDoubleClickOpensTheVersionWindow) {
  FormWindow* w = show(zv::windows::kMenu);
  QTest::mouseDClick(w->widgetOf("imgBack"), Qt::LeftButton, {}, QPoint(150, 120));
  test::settle();
  ASSERT_TRUE(h.app.forms.loaded(zv::windows::kAbout));
  FormWindow* about = h.host.window(zv::windows::kAbout);
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_TRUE(about->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(WindowsFixture, VersionWindowShowsItsTextAndClosesOnEnter) {
  FormWindow* w = show(zv::windows::kAbout);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("バージョン情報"));
  EXPECT_EQ(qobject_cast<QLabel*>(w->widgetOf("Label2"))->text(), QStringLiteral("Version 2.0"));
  EXPECT_TRUE(static_cast<PictureWidget*>(w->widgetOf("Image2"))->hasImage());
  EXPECT_TRUE(w->widgetOf("Command1")->isVisible());
  test::screenshot(w, "frmAbout");
  QTest::keyClick(w->widgetOf("Command1"), Qt::Key_Return);
  test::settle();
  EXPECT_FALSE(h.app.forms.loaded(zv::windows::kAbout));
}

TEST_F(WindowsFixture, ViewerShowsTextInGothicAndCloseMenuUnloads) {
  h.app.forms.get(zv::windows::kViewer)
      .c("Text1")
      .setText("書庫  a.lzh\r\n  名前        サイズ\r\n  readme.txt    1200\r\n");
  FormWindow* w = show(zv::windows::kViewer);
  auto* text = qobject_cast<QPlainTextEdit*>(w->widgetOf("Text1"));
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("readme.txt")));
  EXPECT_EQ(w->windowTitle(), QStringLiteral("書庫詳細データ"));
  EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::NoWrap);
  test::screenshot(w, "Viewer");
  // Typing keeps the program's CR LF line ends in the model.
  text->moveCursor(QTextCursor::End);
  QTest::keyClicks(text, "x");
  EXPECT_EQ(h.app.forms.get(zv::windows::kViewer).c("Text1").text().substr(0, 15),
            "書庫  a.lzh\r\n");
  QAction* close = w->findChild<QAction*>("menuClose");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), QStringLiteral("閉じる(&X)"));
  close->trigger();
  test::settle();
  EXPECT_FALSE(h.app.forms.loaded(zv::windows::kViewer));
}

TEST_F(WindowsFixture, WaitWindowSaysPleaseWait) {
  FormWindow* w = show(zv::windows::kWait);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("処理中です．．．"));
  EXPECT_TRUE(qobject_cast<QLabel*>(w->widgetOf("lblText"))
                  ->text()
                  .contains(QStringLiteral("しばらくお待ちください")));
  test::screenshot(w, "frmWait");
}

TEST_F(WindowsFixture, PictureViewerShowsTheFileAtItsSize) {
  QImage image(120, 60, QImage::Format_RGB32);
  image.fill(QColor(30, 120, 200));
  ASSERT_TRUE(image.save(QString::fromStdString(dir / "blue.png")));
  auto& view = h.app.forms.get<PicViewForm>(zv::windows::kPicture);
  h.host.dispatcher().run([&] { view.showPicture("Q:\\blue.png"); });
  test::settle();
  FormWindow* w = h.host.window(zv::windows::kPicture);
  auto* pic = static_cast<PictureWidget*>(w->widgetOf("Image1"));
  EXPECT_TRUE(pic->hasImage());
  EXPECT_EQ(pic->size(), QSize(120, 60));
  EXPECT_EQ(w->windowTitle(), QString());
  test::screenshot(w, "PicView");
}

}  // namespace
}  // namespace zv::qt
