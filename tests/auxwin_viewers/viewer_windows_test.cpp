#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "auxwin/about_form.h"
#include "auxwin/picview_form.h"
#include "auxwin/register_forms.h"
#include "auxwin/viewer_form.h"
#include "auxwin/wait_form.h"
#include "core/app.h"
#include "core/services/scripted_services.h"
#include "platform/drives.h"
#include "platform/runtime_error.h"
#include "tests/support/temp_dir.h"
#include "ui/common/picture_file.h"

namespace zv {
namespace {

class ScreenServices : public ScriptedServices {
 public:
  double tpp = 15;
  double twipsPerPixelX() override { return tpp; }
  double twipsPerPixelY() override { return tpp; }
};

struct ViewerFixture : ::testing::Test {
  test::TempDir dir;
  ScreenServices services;
  App app{services};
  void SetUp() override {
    DriveTable::instance().set('Q', dir.path());
    registerViewerForms(app.forms);
  }
  void TearDown() override { DriveTable::instance().remove('Q'); }
};

// A BMP header of the given size (the pixel data is not needed to know the size).
std::string bmp(int w, int h) {
  std::string b(54, '\0');
  b[0] = 'B';
  b[1] = 'M';
  b[14] = 40;
  for (int i = 0; i < 4; ++i) {
    b[18 + i] = static_cast<char>((w >> (8 * i)) & 0xFF);
    b[22 + i] = static_cast<char>((h >> (8 * i)) & 0xFF);
  }
  return b;
}

std::string png(int w, int h) {
  std::string b = "\x89PNG\r\n\x1a\n";
  b += std::string("\0\0\0\x0dIHDR", 8);
  for (int v : {w, h})
    for (int i = 3; i >= 0; --i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
  b += std::string(5, '\0');
  return b;
}

TEST_F(ViewerFixture, ViewerShowsLibraryListingInGothicAndCloses) {
  auto& viewer = app.forms.get<ViewerForm>(zv::windows::kViewer);
  EXPECT_EQ(viewer.caption(), "書庫詳細データ");
  EXPECT_EQ(viewer.c("menuClose").caption(), "閉じる(&X)");
  Control& text = viewer.c("Text1");
  EXPECT_TRUE(text.multiLine);
  EXPECT_TRUE(text.scrollBars);
  EXPECT_EQ(text.font().name, "ＭＳ ゴシック");
  // Centred on the 1024 x 768 pixel screen.
  EXPECT_DOUBLE_EQ(viewer.left(), (services.screenW - viewer.width()) / 2);
  EXPECT_DOUBLE_EQ(viewer.top(), (services.screenH - viewer.height()) / 2);
  text.setText("a\r\nb");
  viewer.show();
  viewer.c("menuClose").click();
  app.forms.collect();
  EXPECT_FALSE(app.forms.loaded(zv::windows::kViewer));
}

TEST(PictureFile, ReadsNaturalSizesOfCommonFormats) {
  EXPECT_EQ(pictureSize(bmp(120, 80))->width, 120);
  // Bottom-up and top-down bitmaps have the same height.
  EXPECT_EQ(pictureSize(bmp(120, -80))->height, 80);
  auto p = pictureSize(png(300, 200));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 300);
  EXPECT_EQ(p->height, 200);
  std::string gif = "GIF89a";
  gif += std::string("\x40\x01\xf0\x00", 4);  // 320 x 240
  gif += std::string(10, '\0');
  EXPECT_EQ(pictureSize(gif)->width, 320);
  EXPECT_EQ(pictureSize(gif)->height, 240);
  std::string ico("\0\0\1\0\1\0\0\x30", 8);  // 256 x 48 icon
  ico += std::string(16, '\0');
  EXPECT_EQ(pictureSize(ico)->width, 256);
  EXPECT_EQ(pictureSize(ico)->height, 48);
  std::string jpeg("\xff\xd8\xff\xe0\x00\x04\x00\x00\xff\xc0\x00\x11\x08\x00\x64\x00\xc8", 17);
  jpeg += std::string(8, '\0');
  EXPECT_EQ(pictureSize(jpeg)->width, 200);
  EXPECT_EQ(pictureSize(jpeg)->height, 100);
  EXPECT_FALSE(pictureSize("plain text, not a picture"));
  EXPECT_FALSE(pictureSize(bmp(0, 10)));
}

TEST_F(ViewerFixture, PicViewSizesItselfToThePictureAndStaysPut) {
  dir.write("a.bmp", bmp(200, 100));
  dir.write("b.png", png(64, 32));
  auto& view = app.forms.get<PicViewForm>(zv::windows::kPicture);
  EXPECT_EQ(view.caption(), "");
  double left = (services.screenW - view.width()) / 5, top = (services.screenH - view.height()) / 5;
  EXPECT_DOUBLE_EQ(view.left(), left);
  EXPECT_DOUBLE_EQ(view.top(), top);

  view.showPicture("Q:\\a.bmp");
  EXPECT_TRUE(view.visible());
  EXPECT_EQ(pictureFilePath(view.c("Image1").picture()), "Q:\\a.bmp");
  EXPECT_DOUBLE_EQ(view.c("Image1").width(), 200 * 15);
  EXPECT_DOUBLE_EQ(view.width(), 200 * 15);
  EXPECT_DOUBLE_EQ(view.height(), 100 * 15 + 600);

  view.showPicture("Q:\\b.png");
  EXPECT_DOUBLE_EQ(view.width(), 64 * 15);
  EXPECT_DOUBLE_EQ(view.height(), 32 * 15 + 600);
  EXPECT_DOUBLE_EQ(view.left(), left);  // a second picture does not move the window
  EXPECT_DOUBLE_EQ(view.top(), top);
}

TEST_F(ViewerFixture, PicViewRejectsFilesThatAreNoPictures) {
  dir.write("notes.bmp", "just text");
  auto& view = app.forms.get<PicViewForm>(zv::windows::kPicture);
  auto errorOf = [&](const std::string& path) {
    try {
      view.showPicture(path);
    } catch (const RuntimeError& e) {
      return e.number();
    }
    return 0;
  };
  EXPECT_EQ(errorOf("Q:\\notes.bmp"), kErrInvalidPicture);
  EXPECT_EQ(errorOf("Q:\\missing.bmp"), kErrFileNotFound);
  EXPECT_EQ(view.c("Image1").picture(), "");
  EXPECT_FALSE(view.visible());
}

TEST_F(ViewerFixture, WaitWindowSaysPleaseWaitAndTakesThePointer) {
  for (double tpp : {15.0, 12.0}) {
    services.tpp = tpp;
    services.calls.clear();
    auto& wait = app.forms.get<WaitForm>(zv::windows::kWait);
    EXPECT_EQ(wait.caption(), "処理中です．．．");
    EXPECT_EQ(wait.c("lblText").caption(), " \r\n        しばらくお待ちください");
    EXPECT_DOUBLE_EQ(wait.left(), (services.screenW - wait.width()) / 2);
    EXPECT_DOUBLE_EQ(wait.top(), (services.screenH - wait.height()) / 2);
    int x = static_cast<int>(std::lround(wait.left() / tpp + 50));
    int y = static_cast<int>(std::lround(wait.top() / tpp + 20));
    ASSERT_EQ(services.calls.size(), 1u);
    EXPECT_EQ(services.calls[0], "cursor " + std::to_string(x) + " " + std::to_string(y));
    app.forms.unload(zv::windows::kWait);
    app.forms.collect();
  }
}

// A run holds the program once the notice is shown: showing it lets it be drawn first.
TEST_F(ViewerFixture, WaitWindowIsDrawnBeforeTheRunGoesOn) {
  int before = services.doEventsCount;
  app.forms.show(zv::windows::kWait);
  EXPECT_GT(services.doEventsCount, before);
}

TEST_F(ViewerFixture, VersionWindowStaysOnTopAndCloses) {
  auto& about = app.forms.get<AboutForm>(zv::windows::kAbout);
  EXPECT_EQ(about.caption(), "バージョン情報");
  EXPECT_EQ(about.c("Label2").caption(), "Version 2.0");
  EXPECT_EQ(about.c("Command1").caption(), "Close");
  EXPECT_TRUE(about.c("Command1").visible());
  EXPECT_FALSE(about.c("Label3").caption().empty());
  EXPECT_EQ(about.c("Frame2").backColor(), kWindowBack);
  EXPECT_EQ(about.c("Image2").picture(), "aux_logo");
  EXPECT_TRUE(about.topMost());
  EXPECT_DOUBLE_EQ(about.left(), (services.screenW - about.width()) / 2);
  about.show();
  about.show();  // opening it again keeps the one window
  EXPECT_EQ(app.forms.loadedNames().size(), 1u);
  about.c("Command1").click();
  EXPECT_FALSE(app.forms.loaded(zv::windows::kAbout));
}

}  // namespace
}  // namespace zv
