#include "ui/common/line_splitter.h"

#include <gtest/gtest.h>

#include "platform/runtime_error.h"

namespace zv {
namespace {

using namespace std::string_literals;

std::vector<std::string> allLines(GetLineStr& s, int extra = 2) {
  std::vector<std::string> lines{s.getFirstLine()};
  while (lines.back() != GetLineStr::kEndMarker) lines.push_back(s.getNextLine());
  for (int i = 0; i < extra; ++i) lines.push_back(s.getNextLine());
  return lines;
}

TEST(GetLineStr, SplitsAtLineFeedsUpToTheNul) {
  GetLineStr s;
  s.setTarget("a\nb\0garbage\nafter"s);
  EXPECT_EQ(s.buffer(), "a\nb");
  EXPECT_EQ(allLines(s), (std::vector<std::string>{"a", "b", "(End Of Buffer)", "(End Of Buffer)",
                                                   "(End Of Buffer)"}));
}

TEST(GetLineStr, FinalLineFeedAndEmptyBuffer) {
  GetLineStr s;
  s.setTarget("a\n\0"s);
  EXPECT_EQ(allLines(s, 1), (std::vector<std::string>{"a", "(End Of Buffer)", "(End Of Buffer)"}));
  s.setTarget("\0 rest"s);
  EXPECT_EQ(s.getFirstLine(), "(End Of Buffer)");
}

TEST(GetLineStr, KeepsCarriageReturnsAndEmptyLines) {
  GetLineStr s;
  s.setTarget("one\r\n\n\nthree\r\n\0"s);
  EXPECT_EQ(allLines(s, 0),
            (std::vector<std::string>{"one\r", "", "", "three\r", "(End Of Buffer)"}));
}

TEST(GetLineStr, FirstLineStartsOver) {
  GetLineStr s;
  s.setTarget("x\ny\nz\0"s);
  EXPECT_EQ(s.getFirstLine(), "x");
  EXPECT_EQ(s.getNextLine(), "y");
  EXPECT_EQ(s.getFirstLine(), "x");
  EXPECT_EQ(s.getNextLine(), "y");
  EXPECT_EQ(s.getNextLine(), "z");
}

TEST(GetLineStr, RejectsTextWithoutNul) {
  GetLineStr s;
  try {
    s.setTarget("no terminator");
    FAIL() << "accepted a text without NUL";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kErrInvalidCall);
  }
}

TEST(GetLineStr, SplitsTextsBeyond32767Characters) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "line " + std::to_string(i) + "\n";
  ASSERT_GT(text.size(), 40000u);
  GetLineStr s;
  s.setTarget(text + '\0');
  int count = 0;
  std::string last;
  for (std::string line = s.getFirstLine(); line != GetLineStr::kEndMarker;
       line = s.getNextLine()) {
    ++count;
    last = line;
  }
  EXPECT_EQ(count, 5000);
  EXPECT_EQ(last, "line 4999");
}

}  // namespace
}  // namespace zv
