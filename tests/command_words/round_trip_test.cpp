// Names and folders that once broke the command strings (blanks, quotes, a trailing '\',
// paths of 600 bytes, CP932 characters whose second byte is 0x5C such as 表 and ソ) go through
// every command builder and come back out of the reader of the library the command is for.
#include <gtest/gtest.h>

#include "command_line.h"
#include "compress/creation_commands.h"
#include "extract/extract_commands.h"
#include "fileutil/sfx_command.h"
#include "ish_command.h"
#include "platform/winpath.h"
#include "zip_command.h"

namespace zv {
namespace {

using Strings = std::vector<std::string>;

const Strings kNames = {
    "a b.txt", "a\"b.txt",     "\"q\".txt",  "a\"\"b",
    "sub\\",   "表\\ソ能.txt", "x /r y.txt", std::string(600, 'd') + "\\end.txt"};
const Strings kFolders = {"C:\\out\\", "C:\\my \"dl\"\\", "C:\\表\\", "C:\\a b\\ /f=x\\", "C:\\"};

lzh::Command lha(const std::string& line) { return lzh::parseCommand(line); }
zip::UnZipCommand unzip(const std::string& line) {
  zip::UnZipCommand c;
  std::string why;
  EXPECT_TRUE(zip::parseUnZipCommand(line, c, why)) << why;
  return c;
}
ish::IshCommand ish(const std::string& line) {
  ish::IshCommand c;
  std::string why;
  EXPECT_TRUE(ish::parseCommand(line, c, why)) << why;
  return c;
}

TEST(CommandRoundTrip, EveryBuilderGivesBackEveryPath) {
  for (const auto& folder : kFolders) {
    for (const auto& name : kNames) {
      SCOPED_TRACE(folder + " | " + name);
      const std::string path = folder + name;
      const std::string quoted = extract::quotedArchivePath(folder, name);
      const std::string tail = extract::memberTail(folder, name);

      lzh::Command run = lha(*extract::lhaRunCommand("NO", quoted, tail));
      EXPECT_EQ(run.archive, path);
      EXPECT_EQ(run.args, (Strings{folder, name}));
      EXPECT_TRUE(run.noProgress);
      EXPECT_EQ(lha(extract::quickExtractCommand(quoted, folder, name)).args,
                (Strings{folder, extract::lowerAscii(name)}));
      EXPECT_EQ(lha(extract::viewMemberCommand(quoted, folder + "T", winpath::quote(name))).args,
                (Strings{folder + "T\\", name}));
      EXPECT_EQ(lha(extract::detailListCommand(quoted)).archive, path);

      zip::UnZipCommand z = unzip(extract::zipRunCommand(quoted, tail));
      EXPECT_EQ(z.archive + "|" + z.destination, path + "|" + folder);
      EXPECT_EQ(z.members, Strings{name});

      ish::IshCommand restore =
          ish(extract::ishRestoreCommand(path, extract::IshMode::WithQuestion, folder));
      EXPECT_EQ(restore.source + "|" + restore.folder, path + "|" + folder);
      EXPECT_EQ(restore.restoreMode, 'q');

      lzh::Command add = lha(compress::lzhFileCommand({"MOVE", "YES", "NO"}, path, folder, name));
      EXPECT_EQ(add.archive, path);
      EXPECT_EQ(add.args, Strings{path});
      EXPECT_TRUE(add.verb == 'm' && add.storeFolders && add.noProgress);
      EXPECT_EQ(lha(compress::lzhFolderCommand("YES", path, folder + "p")).args,
                (Strings{winpath::normalize(folder), "p\\*.*"}));

      ish::IshCommand encode =
          ish(compress::ishCommand(folder, name, compress::IshCodeType::PcNetwork, path, folder));
      EXPECT_EQ(encode.source + "|" + encode.output + "|" + encode.folder,
                path + "|" + path + "|" + folder);

      lzh::Command sfx = lha(sfxCommand(path, path, "YES"));
      EXPECT_EQ(sfx.archive, path);
      EXPECT_EQ(sfx.args, Strings{path + "\\"});
    }
  }
}

// Strings typed for the companions or written by other programs before quotes could be
// doubled mean what they meant.
TEST(CommandRoundTrip, EarlierCommandStringsKeepTheirMeaning) {
  lzh::Command typed = lha("x -n1 \"C:\\a b.lzh\" \"C:\\out\\\" doc\\a.txt \"\" \"x\"y");
  EXPECT_EQ(typed.archive, "C:\\a b.lzh");
  EXPECT_EQ(typed.args, (Strings{"C:\\out\\", "doc\\a.txt", "", "xy"}));
  zip::UnZipCommand z = unzip("-x -n --i \"C:\\a.zip\" C:\\out\\ a\"b c\"");
  EXPECT_EQ(z.destination, "C:\\out\\");
  EXPECT_EQ(z.members, Strings{"ab c"});
  ish::IshCommand i = ish("C:\\my files\\a\"b.txt /ss /ya \"C:\\o o\\m.ish\" /f=C:\\o o");
  EXPECT_EQ(i.source + "|" + i.output + "|" + i.folder,
            "C:\\my files\\a\"b.txt|C:\\o o\\m.ish|C:\\o o");
}

}  // namespace
}  // namespace zv
