// The compression windows, the file information window and the new-folder dialog drawn by
// the Qt host: every picture button has its artwork, Japanese texts arrive, and a screenshot
// of each window is saved for a person to look at.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "auxwin/register_forms.h"
#include "compress/register_forms.h"
#include "core/forms/window_names.h"
#include "core/settings/profile.h"
#include "platform/drives.h"
#include "qt/picture_widget.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/stand_in_form.h"
#include "tests/support/temp_dir.h"

namespace zv::qt {
namespace {

struct CompressWindows : test::HostedWindows {
  void SetUp() override {
    HostedWindows::SetUp();
    dir.mkdir("out");
    dir.write("src/readme.txt", "text");
    dir.write("src/日本語.txt", "text");
    dir.write("src/photo.bmp", "x");
    h.app.shared.DirectoryMode = "NO";
    Profile(h.app.shared.IniFile).write("Comp1Dir", "Path", "Q:\\src");
    Profile(h.app.shared.IniFile).write("Comp2Dir", "Path", "Q:\\out");
    registerCompressForms(h.app.forms);
    registerInfoForms(h.app.forms);
    for (const char* name : {"frmMenu", "frmOption", "DeComp4"})
      zv::testing::defineStandIn(h.app.forms, name, {});
  }
  void expectArtwork(FormWindow* w, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      auto* pic = static_cast<PictureWidget*>(w->widgetOf(name));
      ASSERT_NE(pic, nullptr) << name;
      EXPECT_TRUE(pic->hasImage()) << name;
    }
  }
};

TEST_F(CompressWindows, FileSelectionAndArchiveCreation) {
  FormWindow* w1 = show(zv::windows::kFileSelection);
  ASSERT_NE(w1, nullptr);
  expectArtwork(w1, {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6", "Image7"});
  h.app.forms.get(zv::windows::kFileSelection).c("List1").userSelect(0);
  test::settle();
  test::screenshot(w1, "Comp1");
  // The buttons stay inside the frame around them, clear of its edge and of each other.
  QRect frame = w1->widgetOf("Shape1")->geometry();
  QRect options = w1->widgetOf("Command1")->geometry(),
        close = w1->widgetOf("Command2")->geometry();
  EXPECT_LT(close.bottom(), frame.bottom() - 1);
  EXPECT_FALSE(options.intersects(close));

  Form& c1 = h.app.forms.get(zv::windows::kFileSelection);
  c1.c("Image4").mouseDown();
  c1.c("Image4").mouseUp();
  test::settle();
  FormWindow* w2 = h.host.window(zv::windows::kArchiveCreation);
  ASSERT_NE(w2, nullptr);
  expectArtwork(w2, {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6", "Image7"});
  h.app.forms.get(zv::windows::kArchiveCreation).c("Text1").userType("書庫");
  test::settle();
  EXPECT_EQ(qobject_cast<QLabel*>(w2->widgetOf("Label3"))->text(),
            QStringLiteral("Q:\\out\\書庫.lzh"));
  // The full path stays readable: no picture covers it, also while one is held down.
  QRect path = w2->widgetOf("Label3")->geometry();
  for (const char* name : {"Image1", "Image2", "Image7", "Image3", "Image6"}) {
    QRect pic = w2->widgetOf(name)->geometry();
    EXPECT_FALSE(pic.translated(2, 2).intersects(path)) << name;
  }
  test::screenshot(w2, "Comp2");
}

TEST_F(CompressWindows, FileInformationAndNewFolderDialog) {
  h.app.forms.get(zv::windows::kFileSelection);
  h.app.shared.InfoCaller = FileInfoCaller::FileSelection;
  FormWindow* info = show(zv::windows::kFileInfo);
  ASSERT_NE(info, nullptr);
  test::screenshot(info, "frmFP");

  Form& d = h.app.forms.get(zv::windows::kNewFolder);
  d.c("Label2").setCaption("Q:\\out\\");
  FormWindow* dialog = show(zv::windows::kNewFolder);
  ASSERT_NE(dialog, nullptr);
  d.setCaption("新規フォルダの作成 -圧縮-");
  d.c("Text1").userType("新しいフォルダ");
  test::settle();
  expectArtwork(dialog, {"Image1"});
  test::screenshot(dialog, "Dialog");
}

}  // namespace
}  // namespace zv::qt
