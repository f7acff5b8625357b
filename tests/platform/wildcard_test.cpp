#include "platform/wildcard.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

namespace zv {
namespace {

// One rule serves the file lists of the windows and the libraries' member arguments.
TEST(Wildcard, TrailingDotMeansNoExtensionForFilesAndMembers) {
  EXPECT_TRUE(matchPattern("*.", "README"));
  EXPECT_FALSE(matchPattern("*.", "a.txt"));
  EXPECT_TRUE(matchPattern("*.", "doc.d\\readme"));  // the extension is the last part's
  EXPECT_FALSE(matchPattern("*.", "doc\\a.txt"));
  EXPECT_TRUE(matchPattern("read?e.", "Readme"));
}

TEST(Wildcard, DotStarAlsoMatchesANameWithoutExtension) {
  EXPECT_TRUE(matchPattern("read?e.*", "README"));
  EXPECT_TRUE(matchPattern("a?c.*", "abc.txt"));
  EXPECT_TRUE(matchPattern("*x.*", "a.bx"));
  EXPECT_FALSE(matchPattern("a?c.*", "abd"));
  EXPECT_TRUE(matchPattern("*.*", "doc\\README"));
}

TEST(Wildcard, SeparatorsAndCase) {
  EXPECT_TRUE(matchPattern("*.TXT", "doc/sub\\a.txt"));
  EXPECT_TRUE(matchPattern("doc\\*", "DOC/a"));
  EXPECT_FALSE(matchPattern("*.txt", "a.txt.bak"));
  EXPECT_TRUE(matchAnyPattern(" *.lzh ; *.exe", "SETUP.EXE"));
  EXPECT_FALSE(matchAnyPattern(";;", "a"));
}

TEST(Cp932, LeadBytesAreTheTwoByteRanges) {
  EXPECT_FALSE(encoding::isCp932LeadByte(0x80));
  EXPECT_TRUE(encoding::isCp932LeadByte(0x81));
  EXPECT_TRUE(encoding::isCp932LeadByte(0x9F));
  EXPECT_FALSE(encoding::isCp932LeadByte(0xA0));
  EXPECT_FALSE(encoding::isCp932LeadByte(0xB1));  // half-width katakana stand alone
  EXPECT_TRUE(encoding::isCp932LeadByte(0xE0));
  EXPECT_TRUE(encoding::isCp932LeadByte(0xFC));
  EXPECT_FALSE(encoding::isCp932LeadByte(0xFD));
}

}  // namespace
}  // namespace zv
