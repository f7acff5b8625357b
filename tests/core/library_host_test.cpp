// The library questions as the user answers them through the services.
#include "core/libraries/library_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/services/scripted_services.h"

namespace zv {
namespace {

TEST(LibraryHost, OverwriteAllAnswersTheRestOfTheRunOnly) {
  ScriptedServices services;
  LibraryHost host(services);
  const ZvHost* h = host.host();
  ZvDecision d{ZV_DECIDE_OVERWRITE, "C:\\dest\\a.txt", nullptr, 0};
  services.choiceAnswers = {2, 3, 1};  // いいえ, キャンセル, すべて上書き
  EXPECT_EQ(h->decide(h->user, &d), 0);
  EXPECT_EQ(h->decide(h->user, &d), -1);
  EXPECT_EQ(h->decide(h->user, &d), 1);
  EXPECT_EQ(h->decide(h->user, &d), 1);
  EXPECT_EQ(services.choiceAnswers.size(), 0u);
  EXPECT_EQ(std::count(services.calls.begin(), services.calls.end(),
                       "choice C:\\dest\\a.txt\nは既に存在します。上書きしますか？"),
            3);
  ZvProgress begin{"C:\\b.lzh", nullptr, 0, 10, ZV_PROGRESS_BEGIN};
  ZvProgress end{"C:\\b.lzh", nullptr, 10, 10, ZV_PROGRESS_END};
  h->progress(h->user, &begin);  // a new run asks again
  services.choiceAnswers = {1};
  EXPECT_EQ(h->decide(h->user, &d), 1);
  // The runs of one span (one library call per member) share the answer.
  h->progress(h->user, &end);
  host.setSpan(0, 2);
  h->progress(h->user, &begin);
  services.choiceAnswers = {1};
  EXPECT_EQ(h->decide(h->user, &d), 1);
  h->progress(h->user, &end);
  host.setSpan(1, 2);
  h->progress(h->user, &begin);
  EXPECT_EQ(h->decide(h->user, &d), 1);
  EXPECT_TRUE(services.choiceAnswers.empty());
  host.endSpan();
}

// One dialog asks for the self-extractor's title, message and folder; the later questions get
// its answers; キャンセル makes no file. A password that does not fit the buffer gives up.
TEST(LibraryHost, SelfExtractorAndPasswordAnswers) {
  ScriptedServices services;
  LibraryHost host(services);
  const ZvHost* h = host.host();
  char title[64] = "multiple";
  ZvDecision askTitle{ZV_DECIDE_SFX_TITLE, "C:\\a\\multiple.lzh", title, sizeof title};
  services.fieldAnswers = {std::vector<std::string>{"配布用", "ようこそ", "展開先"}, std::nullopt};
  EXPECT_EQ(h->decide(h->user, &askTitle), 1);
  EXPECT_STREQ(title, "配布用");
  ASSERT_EQ(services.fieldDialogs.size(), 1u);
  EXPECT_EQ(services.fieldDialogs[0][0].value, "multiple");
  char message[64] = "", folder[64] = "";
  ZvDecision askMessage{ZV_DECIDE_SFX_MESSAGE, "C:\\a\\multiple.lzh", message, sizeof message};
  ZvDecision askFolder{ZV_DECIDE_SFX_FOLDER, "C:\\a\\multiple.lzh", folder, sizeof folder};
  EXPECT_EQ(h->decide(h->user, &askMessage), 1);
  EXPECT_EQ(h->decide(h->user, &askFolder), 1);
  EXPECT_STREQ(message, "ようこそ");
  EXPECT_STREQ(folder, "展開先");
  EXPECT_EQ(h->decide(h->user, &askTitle), -1);

  char password[8] = "";
  ZvDecision ask{ZV_DECIDE_PASSWORD, "C:\\a.zip", password, sizeof password};
  services.inputAnswers = {"secret", "far too long", std::nullopt};
  EXPECT_EQ(h->decide(h->user, &ask), 1);
  EXPECT_STREQ(password, "secret");
  EXPECT_EQ(h->decide(h->user, &ask), 0);
  EXPECT_EQ(h->decide(h->user, &ask), 0);
}

// The windows run the library once per member: the password typed for the first member
// answers the next ones of the same archive; a member asked for again says why when the user
// typed the answer; another archive is asked afresh.
TEST(LibraryHost, PasswordTypedOnceServesTheArchive) {
  ScriptedServices services;
  LibraryHost host(services);
  const ZvHost* h = host.host();
  auto run = [&](const char* archive) {
    ZvProgress begin{archive, nullptr, 0, 0, ZV_PROGRESS_BEGIN};
    h->progress(h->user, &begin);
  };
  char password[16] = "";
  auto ask = [&](const char* member) {
    ZvDecision d{ZV_DECIDE_PASSWORD, member, password, sizeof password};
    return h->decide(h->user, &d) == 1 ? std::string(password) : std::string("(none)");
  };
  services.inputAnswers = {"wrong", "secret", "other", "third"};
  run("C:\\a.zip");
  EXPECT_EQ(ask("one.txt"), "wrong");
  EXPECT_EQ(ask("one.txt"), "secret");
  run("C:\\a.zip");
  EXPECT_EQ(ask("two.txt"), "secret");
  EXPECT_EQ(ask("two.txt"), "other");
  run("C:\\b.zip");
  EXPECT_EQ(ask("x.txt"), "third");
  std::vector<std::string> asked;
  for (const std::string& c : services.calls)
    if (c.rfind("password ", 0) == 0) asked.push_back(c);
  EXPECT_EQ(asked, (std::vector<std::string>{
                       "password one.txt\nのパスワードを入力してください。",
                       "password パスワードが違います。\none.txt\nのパスワードを入力してください。",
                       "password two.txt\nのパスワードを入力してください。",
                       "password x.txt\nのパスワードを入力してください。"}));
}

// Two members' runs in a span: one progress window for both, its bar across the two halves,
// closed by the end of the span.
TEST(LibraryHost, MemberRunsOfASpanShareOneProgressWindow) {
  ScriptedServices services;
  LibraryHost host(services);
  const ZvHost* h = host.host();
  for (size_t i = 0; i < 2; ++i) {
    host.setSpan(i, 2);
    ZvProgress begin{"C:\\a.zip", nullptr, 0, 100, ZV_PROGRESS_BEGIN};
    ZvProgress half{"C:\\a.zip", "m", 50, 100, ZV_PROGRESS_MEMBER};
    ZvProgress end{"C:\\a.zip", nullptr, 100, 100, ZV_PROGRESS_END};
    for (const ZvProgress* p : {&begin, &half, &end}) h->progress(h->user, p);
  }
  EXPECT_EQ(services.calls,
            (std::vector<std::string>{"progress 書庫 C:\\a.zip", "step  0", "step C:\\a.zip\nm 250",
                                      "step  500", "step C:\\a.zip\nm 750", "progress end"}));
  host.endSpan();
  EXPECT_EQ(std::count(services.calls.begin(), services.calls.end(), "progress end"), 1);
}

TEST(LibraryHost, ProgressInPerMilleAndCancel) {
  ScriptedServices services;
  LibraryHost host(services);
  const ZvHost* h = host.host();
  ZvProgress begin{"C:\\big.lzh", nullptr, 0, 8ull << 30, ZV_PROGRESS_BEGIN};
  ZvProgress member{"C:\\big.lzh", "x", 6ull << 30, 8ull << 30, ZV_PROGRESS_MEMBER};
  EXPECT_EQ(h->progress(h->user, &begin), 0);
  EXPECT_EQ(h->progress(h->user, &member), 0);
  services.cancelProgress = true;
  EXPECT_NE(h->progress(h->user, &member), 0);
  EXPECT_EQ(services.calls[0], "progress 書庫 C:\\big.lzh");
  EXPECT_EQ(services.calls[2], "step C:\\big.lzh\nx 750");  // beyond 4 GiB still in range
}

}  // namespace
}  // namespace zv
