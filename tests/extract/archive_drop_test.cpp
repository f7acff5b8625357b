// A file dropped on the archive selection window that is no archive opens nothing (archives
// dropped there are opened in the end-to-end scenarios).
#include "core/forms/window_names.h"
#include "tests/extract/extract_fixture.h"

namespace zv::test {
namespace {

TEST_F(ExtractTest, DroppedFileThatIsNoArchiveIsRefused) {
  root.write("dl/notes.txt", "x");
  selection().onFilesDropped({"Q:\\dl\\notes.txt"});
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "書庫ファイル（LZH・ZIP・ISH）をドロップしてください");
  EXPECT_NE(app.shared.StartMode, "Command");
  EXPECT_FALSE(app.forms.loaded(zv::windows::kArchiveContents));
}

}  // namespace
}  // namespace zv::test
