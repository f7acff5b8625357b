// Names and folders that once broke the command strings (blanks, quotes, a trailing '\',
// paths of 600 bytes, CP932 characters whose second byte is 0x5C such as 表 and ソ) go through
// every command builder and come back out of the reader of the library the command is for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"
#include "compress/creation_commands.h"
#include "extract/extract_commands.h"
#include "fileutil/sfx_command.h"
#include "ish_command.h"
#include "platform/winpath.h"
#include "zip_command.h"

namespace zv {
namespace {

std::string longPath() {
  std::string p;
  while (p.size() < 600) p += std::string(40, 'd') + "\\";
  return p + "end.txt";
}

const std::vector<std::string>& names() {
  static const std::vector<std::string> all = {"a b.txt", "a\"b.txt",     "\"q\".txt",  "a\"\"b",
                                               "sub\\",   "表\\ソ能.txt", "x /r y.txt", longPath()};
  return all;
}
const std::vector<std::string>& folders() {
  static const std::vector<std::string> all = {"C:\\out\\", "C:\\my \"dl\"\\", "C:\\表\\",
                                               "C:\\a b\\ /f=x\\", "C:\\"};
  return all;
}

lzh::Command lha(const std::string& line) { return lzh::parseCommand(line); }

TEST(CommandRoundTrip, ExtractionAndViewingCommandsGiveBackEveryPath) {
  for (const auto& folder : folders()) {
    for (const auto& name : names()) {
      SCOPED_TRACE(folder + " | " + name);
      std::string archive = extract::quotedArchivePath(folder, name + ".lzh");
      std::string archivePath = folder + name + ".lzh";
      std::string tail = extract::memberTail(folder, name);

      lzh::Command run = lha(*extract::lhaRunCommand("YES", archive, tail));
      EXPECT_EQ(run.verb, 'x');
      EXPECT_FALSE(run.noProgress);
      EXPECT_EQ(run.archive, archivePath);
      EXPECT_EQ(run.args, (std::vector<std::string>{folder, name}));
      EXPECT_TRUE(lha(*extract::lhaRunCommand("NO", archive, tail)).noProgress);

      lzh::Command quick = lha(extract::quickExtractCommand(archive, folder, name));
      EXPECT_EQ(quick.archive, archivePath);
      EXPECT_EQ(quick.args, (std::vector<std::string>{folder, extract::lowerAscii(name)}));

      lzh::Command view =
          lha(extract::viewMemberCommand(archive, folder + "Temp", winpath::quote(name)));
      EXPECT_EQ(view.args, (std::vector<std::string>{folder + "Temp\\", name}));
      EXPECT_EQ(lha(extract::detailListCommand(archive)).archive, archivePath);

      zip::UnZipCommand unzip;
      std::string why;
      ASSERT_TRUE(zip::parseUnZipCommand(extract::zipRunCommand(archive, tail), unzip, why));
      EXPECT_EQ(unzip.archive, archivePath);
      EXPECT_EQ(unzip.destination, folder);
      EXPECT_EQ(unzip.members, std::vector<std::string>{name});

      for (auto mode :
           {extract::IshMode::New, extract::IshMode::All, extract::IshMode::WithQuestion}) {
        ish::IshCommand restore;
        ASSERT_TRUE(
            ish::parseCommand(extract::ishRestoreCommand(archivePath, mode, folder), restore, why));
        EXPECT_EQ(restore.source, archivePath);
        EXPECT_EQ(restore.folder, folder);
        EXPECT_FALSE(restore.encode);
        EXPECT_EQ(restore.restoreMode, "raq"[static_cast<int>(mode)]);
      }
    }
  }
}

TEST(CommandRoundTrip, CreationAndSelfExtractingCommandsGiveBackEveryPath) {
  for (const auto& folder : folders()) {
    for (const auto& name : names()) {
      SCOPED_TRACE(folder + " | " + name);
      std::string archive = folder + name + ".lzh";
      lzh::Command add =
          lha(compress::lzhFileCommand({"MOVE", "YES", "NO"}, archive, folder, name));
      EXPECT_EQ(add.verb, 'm');
      EXPECT_TRUE(add.storeFolders);
      EXPECT_TRUE(add.noProgress);
      EXPECT_EQ(add.archive, archive);
      EXPECT_EQ(add.args, std::vector<std::string>{folder + name});
      EXPECT_EQ(lha(compress::lzhFileCommand({"ADD", "NO", "YES"}, archive, folder, name)).verb,
                'a');

      lzh::Command tree = lha(compress::lzhFolderCommand("YES", archive, folder + "proj"));
      EXPECT_EQ(tree.archive, archive);
      EXPECT_EQ(tree.args, (std::vector<std::string>{winpath::normalize(folder), "proj\\*.*"}));
      // A drive root has no parent: everything on it, relative to the root.
      EXPECT_EQ(lha(compress::lzhFolderCommand("NO", archive, "D:")).args,
                (std::vector<std::string>{"D:\\", "*.*"}));

      ish::IshCommand encode;
      std::string why;
      ASSERT_TRUE(ish::parseCommand(
          compress::ishCommand(folder, name, compress::IshCodeType::PcNetwork, archive, folder),
          encode, why));
      EXPECT_TRUE(encode.encode);
      EXPECT_EQ(encode.source, folder + name);
      EXPECT_EQ(encode.output, archive);
      EXPECT_EQ(encode.folder, folder);

      lzh::Command sfx = lha(sfxCommand(archive, folder + name, "YES"));
      EXPECT_EQ(sfx.verb, 's');
      EXPECT_EQ(sfx.sfxMode, 3);
      EXPECT_EQ(sfx.archive, archive);
      EXPECT_EQ(sfx.args, std::vector<std::string>{folder + name + "\\"});
    }
  }
}

// Strings typed for the companions or written by other programs before quotes could be
// doubled mean what they meant.
TEST(CommandRoundTrip, EarlierCommandStringsKeepTheirMeaning) {
  lzh::Command typed = lha("x -n1 \"C:\\a b.lzh\" \"C:\\out\\\" doc\\a.txt \"\" \"x\"y");
  EXPECT_EQ(typed.archive, "C:\\a b.lzh");
  EXPECT_EQ(typed.args, (std::vector<std::string>{"C:\\out\\", "doc\\a.txt", "", "xy"}));

  zip::UnZipCommand unzip;
  std::string why;
  ASSERT_TRUE(zip::parseUnZipCommand("-x -n --i \"C:\\a.zip\" C:\\out\\ a\"b c\"", unzip, why));
  EXPECT_EQ(unzip.destination, "C:\\out\\");
  EXPECT_EQ(unzip.members, std::vector<std::string>{"ab c"});

  ish::IshCommand ish;
  ASSERT_TRUE(
      ish::parseCommand("C:\\my files\\a\"b.txt /ss /ya \"C:\\o o\\m.ish\" /f=C:\\o o", ish, why));
  EXPECT_EQ(ish.source, "C:\\my files\\a\"b.txt");
  EXPECT_EQ(ish.output, "C:\\o o\\m.ish");
  EXPECT_EQ(ish.folder, "C:\\o o");
  EXPECT_FALSE(extract::lhaRunCommand("yes", "a", "b").has_value());
}

}  // namespace
}  // namespace zv
