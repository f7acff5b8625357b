#include "platform/ini_text.h"

#include <gtest/gtest.h>

namespace ini = zv::ini;

TEST(IniText, LookupIgnoresCaseAndBlanks) {
  auto doc =
      ini::parse("; comment\n[Option]\n  mode = 4  \nVCheck=\"NO\"\n[CompPosition]\nTop=1\n");
  EXPECT_EQ(ini::lookup(doc, "OPTION", "Mode"), "4");
  EXPECT_EQ(ini::lookup(doc, "option", "VCHECK"), "NO");
  EXPECT_EQ(ini::lookup(doc, "CompPosition", "Top"), "1");
  EXPECT_FALSE(ini::lookup(doc, "Option", "Top"));  // keys belong to their section
  EXPECT_FALSE(ini::lookup(doc, "Missing", "Mode"));
}

TEST(IniText, AssignReplacesInPlaceAndAppendsWhatIsMissing) {
  auto doc = ini::parse("[A]\r\nk=1\r\n; keep me\r\n\r\n[B]\r\nx=2\r\n");
  ini::assign(doc, "a", "K", "10");
  ini::assign(doc, "A", "new", "n");
  ini::assign(doc, "C", "z", "3");
  EXPECT_EQ(ini::serialize(doc),
            "[A]\r\nk=10\r\n; keep me\r\nnew=n\r\n\r\n[B]\r\nx=2\r\n\r\n[C]\r\nz=3\r\n");
  EXPECT_TRUE(ini::erase(doc, "B", "x"));
  EXPECT_FALSE(ini::erase(doc, "B", "x"));
}

TEST(IniText, MixedEncodingsDecodeLineByLine) {
  // "[ish]" with a CP932 path, followed by a UTF-8 line written by this program.
  auto doc = ini::parse("\xEF\xBB\xBF[ish]\nPath=C:\\\x95\x5C\nOther=C:\\表\n");
  EXPECT_EQ(ini::lookup(doc, "ish", "Path"), "C:\\表");
  EXPECT_EQ(ini::lookup(doc, "ish", "Other"), "C:\\表");
  EXPECT_EQ(ini::entries(doc, "ISH").size(), 2u);
}
