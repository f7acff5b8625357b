// An archive dropped on the archive selection window by another program is opened as a start
// with it as argument opens it.
#include "tests/extract/extract_fixture.h"

namespace zv::test {
namespace {

using Strings = std::vector<std::string>;

TEST_F(ExtractTest, DroppedArchiveIsOpenedAsTheStartWithAnArgumentOpensIt) {
  root.mkdir("other dl");
  root.write("other dl/b.zip", "x");
  root.write("dl/a.lzh", "x");
  root.write("dl/notes.txt", "x");
  sys.fakes.zip().setMembers(members({"z1", "z2"}));
  Form& f = selection("a.lzh");
  // Not an archive: a message, nothing opened.
  f.onFilesDropped({"Q:\\dl\\notes.txt"});
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, "書庫ファイル（LZH・ZIP・ISH）をドロップしてください");
  EXPECT_FALSE(app.forms.loaded("DeComp2"));

  f.onFilesDropped({"Q:\\dl\\notes.txt", "Q:\\other dl\\b.zip"});
  EXPECT_EQ(app.shared.StartMode, "Command");
  EXPECT_EQ(app.commandLine, "\"Q:\\other dl\\b.zip\"");
  EXPECT_EQ(f.c("Dir1").path(), "Q:\\other dl");
  EXPECT_EQ(f.c("Option2").value(), 1);
  EXPECT_EQ(f.c("File1").fileName(), "b.zip");
  EXPECT_EQ(items("DeComp2", "List1"), (Strings{"z1", "z2"}));
}

}  // namespace
}  // namespace zv::test
