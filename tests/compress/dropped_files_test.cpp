// Files from other programs in the file selection window (a drop of files of one folder is
// in the end-to-end scenarios).
#include "core/forms/window_names.h"
#include "tests/compress/compress_fixture.h"

namespace zv::test {
namespace {

using Strings = std::vector<std::string>;

TEST_F(CompressTest, DroppedAndPastedFilesNeedOneFolderAndCopiedOnesGoOut) {
  root.write("other/x.txt", "x");
  Form& f = app.forms.get(zv::windows::kFileSelection);
  app.forms.show(zv::windows::kFileSelection);
  f.c("List1").filesDropped({"Q:\\src\\a.txt", "Q:\\other\\x.txt"});
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text.substr(0, 30), "一度に圧縮できるのは");
  EXPECT_EQ(f.c("List1").selCount(), 0);
  f.c("List1").filesDropped({"Q:\\other"});  // a folder alone is opened
  EXPECT_EQ(f.c("List1").items(), Strings{"x.txt"});

  services.clipboardPaths = {"Q:\\src\\a.txt", "Q:\\src\\c d.txt"};
  int key = 'V';
  f.c("List1").keyDown(key, kCtrlKey);
  EXPECT_EQ(f.c("Dir1").path(), "Q:\\src");
  EXPECT_FALSE(f.c("List1").selected(1));  // b.txt
  services.clipboardPaths.clear();
  f.c("List1").keyDown(key = 'C', kCtrlKey);
  EXPECT_EQ(services.clipboardPaths, (Strings{"Q:\\src\\a.txt", "Q:\\src\\c d.txt"}));
}

}  // namespace
}  // namespace zv::test
