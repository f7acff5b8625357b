// Command strings as the windows build them, switches, and member patterns.
#include "command_line.h"

#include <gtest/gtest.h>

#include <cstring>

#include "lzh_error.h"
#include "run_context.h"
#include "wildcard.h"

using namespace zv::lzh;

TEST(CommandLine, ProgramStringsSplitIntoCommandSwitchesAndPaths) {
  Command x = parseCommand("x -n1 \"C:\\dl\\a.lzh\" \"C:\\out\\\" \"doc\\readme.txt\"");
  EXPECT_EQ(x.verb, 'x');
  EXPECT_TRUE(x.noProgress);
  EXPECT_EQ(x.archive, "C:\\dl\\a.lzh");
  ASSERT_EQ(x.args.size(), 2u);
  EXPECT_EQ(x.args[0], "C:\\out\\");  // a quoted folder may end in a backslash
  EXPECT_EQ(x.args[1], "doc\\readme.txt");

  Command a = parseCommand("a -d1 -n1 \"C:\\out\\x y.lzh\" \"C:\\data\\\" \"proj\\*.*\"");
  EXPECT_EQ(a.verb, 'a');
  EXPECT_TRUE(a.storeFolders);
  EXPECT_EQ(a.archive, "C:\\out\\x y.lzh");
  EXPECT_EQ(a.args, (std::vector<std::string>{"C:\\data\\", "proj\\*.*"}));

  Command gn = parseCommand("x -gn C:\\dl\\a.lzh \"C:\\tmp\\\" \"a b.txt\"");
  EXPECT_FALSE(gn.noProgress);
  EXPECT_EQ(gn.archive, "C:\\dl\\a.lzh");  // the unquoted command-line text

  Command s = parseCommand("s -jw3 -jyo \"C:\\dl\\a.lzh\" \"C:\\prog\\自己解凍書庫\\\"");
  EXPECT_EQ(s.sfxMode, 3);
  EXPECT_TRUE(s.replaceExisting);
  EXPECT_EQ(s.args.front(), "C:\\prog\\自己解凍書庫\\");

  Command m = parseCommand("u -o7 -h1 a.lzh b");
  EXPECT_EQ(m.method, 7);
  EXPECT_EQ(m.level, 1);
  EXPECT_EQ(m.packLevel, 0);
  EXPECT_EQ(parseCommand("a -9 a.lzh b").packLevel, 9);
}

TEST(CommandLine, BadCommandsAreRefused) {
  for (const char* bad : {"", "q a.lzh", "xx a.lzh", "x", "x -k9 a.lzh", "-n1"}) {
    try {
      parseCommand(bad);
      ADD_FAILURE() << "accepted: " << bad;
    } catch (const LzhError& e) {
      EXPECT_EQ(e.code(), ZV_ERROR_COMMAND) << bad;
    }
  }
}

TEST(Wildcards, MatchWithoutCaseAndAcrossFolders) {
  EXPECT_TRUE(wildcardMatch("*.*", "README"));
  EXPECT_TRUE(wildcardMatch("*.*", "doc\\a.txt"));
  EXPECT_TRUE(wildcardMatch("*.TXT", "doc/sub\\a.txt"));
  EXPECT_TRUE(wildcardMatch("a?c.*", "ABC"));
  EXPECT_FALSE(wildcardMatch("*.txt", "a.txt.bak"));
  EXPECT_FALSE(wildcardMatch("a?c", "ac"));
  EXPECT_TRUE(selectsMember("doc", "DOC\\readme.txt"));
  EXPECT_TRUE(selectsMember("doc\\", "doc\\readme.txt"));
  EXPECT_TRUE(selectsMember("doc/readme.txt", "doc\\README.TXT"));
  EXPECT_FALSE(selectsMember("doc", "doc2\\readme.txt"));
  EXPECT_FALSE(selectsMember("readme.txt", "doc\\readme.txt"));
}

TEST(OutputText, CutAtALineEndAndAlwaysTerminated) {
  OutputText t;
  t.line("first");
  t.line("second line");
  char buf[12];
  std::memset(buf, 'X', sizeof buf);
  t.copyTo(buf, 10);
  EXPECT_STREQ(buf, "first\n");
  EXPECT_EQ(buf[10], 'X');  // nothing past the given size
  t.copyTo(buf, 1);
  EXPECT_STREQ(buf, "");
  t.copyTo(nullptr, 0);  // no buffer: nothing written, no crash
  char big[64];
  t.copyTo(big, sizeof big);
  EXPECT_STREQ(big, "first\nsecond line\n");
}

// Streamed into the caller's buffer, the output is cut exactly where copyTo cuts it: whole
// lines only, and nothing after the first line that does not fit.
TEST(OutputText, StreamedOutputIsCutAsTheCollectedOne) {
  for (uint32_t size = 1; size <= 26; ++size) {
    OutputText collected, streamed;
    char a[32], b[32];
    std::memset(a, 'X', sizeof a);
    std::memset(b, 'X', sizeof b);
    streamed.streamTo(b, size);
    for (const char* text : {"first", "second line", "3"}) {
      collected.line(text);
      streamed.line(text);
    }
    collected.copyTo(a, size);
    streamed.copyTo(b, size);
    EXPECT_STREQ(a, b) << size;
    EXPECT_EQ(b[size], 'X') << size;
  }
}
