#include <gtest/gtest.h>

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/services/scripted_services.h"
#include "core/services/skipped_error_log.h"
#include "platform/wildcard.h"

namespace zv {
namespace {

class CountingForm : public Form {
 public:
  CountingForm(App& app, int* loads, bool* refuse)
      : Form(app, "Counting"), loads_(loads), refuse_(refuse) {
    add("Text1", Kind::TextBox);
    add("Option1", Kind::OptionButton);
    add("Option2", Kind::OptionButton);
    add("Frame1", Kind::Frame);
    add("Option3", Kind::OptionButton).setContainer("Frame1");
    add("List1", Kind::ListBox);
  }
  void load() override { ++*loads_; }
  void queryUnload(bool& cancel, UnloadMode) override { cancel = *refuse_; }

 private:
  int* loads_;
  bool* refuse_;
};

struct FormsFixture : ::testing::Test {
  ScriptedServices services;
  App app{services};
  int loads = 0;
  bool refuse = false;
  void SetUp() override {
    app.forms.define("Counting",
                     [this](App& a) { return std::make_unique<CountingForm>(a, &loads, &refuse); });
  }
};

TEST_F(FormsFixture, WindowIsCreatedOnFirstTouchAndKeepsStateWhileHidden) {
  EXPECT_FALSE(app.forms.loaded("Counting"));
  app.forms.get("Counting").c("Text1").setText("kept");
  EXPECT_EQ(loads, 1);
  app.forms.show("Counting");
  app.forms.hide("Counting");
  EXPECT_EQ(app.forms.get("Counting").c("Text1").text(), "kept");
  EXPECT_EQ(loads, 1);
  EXPECT_FALSE(app.forms.get("Counting").visible());
}

TEST_F(FormsFixture, UnloadDestroysAndTheNextTouchStartsFresh) {
  app.forms.get("Counting").c("Text1").setText("old");
  EXPECT_TRUE(app.forms.unload("Counting"));
  EXPECT_FALSE(app.forms.loaded("Counting"));
  app.forms.collect();
  EXPECT_EQ(app.forms.get("Counting").c("Text1").text(), "");
  EXPECT_EQ(loads, 2);
}

TEST_F(FormsFixture, QueryUnloadCanKeepTheWindow) {
  app.forms.show("Counting");
  refuse = true;
  EXPECT_FALSE(app.forms.unload("Counting", UnloadMode::CloseBox));
  EXPECT_TRUE(app.forms.loaded("Counting"));
  EXPECT_TRUE(app.forms.get("Counting").visible());
}

TEST_F(FormsFixture, EndProgramSkipsClosingStepsAndQuits) {
  app.forms.show("Counting");
  refuse = true;  // would refuse a normal close
  app.forms.endProgram();
  EXPECT_TRUE(app.forms.ended());
  EXPECT_FALSE(app.forms.loaded("Counting"));
  EXPECT_TRUE(services.called("quit"));
}

TEST_F(FormsFixture, WindowMayUnloadItselfInsideItsOwnHandler) {
  Form& f = app.forms.get("Counting");
  f.c("Text1").onChange = [&f] {
    f.unload();
    f.c("Text1").setCaption("still alive until collected");
  };
  f.c("Text1").userType("x");
  EXPECT_FALSE(app.forms.loaded("Counting"));
  app.forms.collect();
}

TEST_F(FormsFixture, OptionButtonsAreExclusiveWithinTheirContainer) {
  Form& f = app.forms.get("Counting");
  int clicks = 0;
  f.c("Option2").onClick = [&] { ++clicks; };
  f.c("Option1").click();
  f.c("Option3").click();
  f.c("Option2").setValue(1);
  EXPECT_EQ(f.c("Option1").value(), 0);
  EXPECT_EQ(f.c("Option2").value(), 1);
  EXPECT_EQ(f.c("Option3").value(), 1) << "a frame is a separate group";
  EXPECT_EQ(clicks, 1);
}

TEST_F(FormsFixture, ExtendedListSelectionFollowsCtrlAndShift) {
  Control& list = app.forms.get("Counting").c("List1");
  list.setMultiSelect(MultiSelect::Extended);
  for (const char* s : {"a", "b", "c", "d", "e"}) list.addItem(s);
  list.userSelect(1);
  list.userSelect(3, kShiftKey);
  EXPECT_EQ(list.selCount(), 3);
  list.userSelect(0, kCtrlKey);
  EXPECT_EQ(list.selCount(), 4);
  list.userSelect(2, kCtrlKey);
  EXPECT_FALSE(list.selected(2));
  list.userSelect(4);
  EXPECT_EQ(list.selCount(), 1);
  EXPECT_TRUE(list.selected(4));
  EXPECT_THROW(list.list(5), RuntimeError);
}

TEST_F(FormsFixture, MovingTheFocusKeepsAMultiSelectionButChoosesInASingleChoiceList) {
  Control& list = app.forms.get("Counting").c("List1");
  int clicks = 0;
  list.onClick = [&] { ++clicks; };
  list.setMultiSelect(MultiSelect::Extended);
  for (const char* s : {"a", "b", "c"}) list.addItem(s);
  list.userSelect(0);
  clicks = 0;
  list.moveFocusTo(2);
  EXPECT_EQ(list.listIndex(), 2);
  EXPECT_EQ(list.fileName(), "c");
  EXPECT_TRUE(list.selected(0));
  EXPECT_FALSE(list.selected(2));
  EXPECT_EQ(clicks, 0);
  list.userSelect(2, kCtrlKey);  // Ctrl+Space toggles the focused item
  EXPECT_EQ(list.selCount(), 2);
  list.moveFocusTo(7);  // out of range: nothing moves
  EXPECT_EQ(list.listIndex(), 2);

  list.setMultiSelect(MultiSelect::None);
  list.moveFocusTo(1);
  EXPECT_TRUE(list.selected(1));
  EXPECT_EQ(list.selCount(), 1);
  EXPECT_EQ(clicks, 2);
}

TEST_F(FormsFixture, KeyDownReachesTheWindowWhichMaySwallowTheKey) {
  Control& list = app.forms.get("Counting").c("List1");
  int key = kKeyDelete;
  list.keyDown(key, kShiftKey);  // nobody listens: the key stays
  EXPECT_EQ(key, kKeyDelete);
  std::vector<int> seen;
  list.onKeyDown = [&](int& k, int shift) {
    seen = {k, shift};
    if (k == kKeyF2) k = 0;
  };
  list.keyDown(key, kShiftKey);
  EXPECT_EQ(key, kKeyDelete);
  EXPECT_EQ(seen, (std::vector<int>{kKeyDelete, kShiftKey}));
  key = kKeyF2;
  list.keyDown(key);
  EXPECT_EQ(key, 0);
}

TEST_F(FormsFixture, RemovingItemsKeepsTheIndexOnTheSameItem) {
  Control& list = app.forms.get("Counting").c("List1");
  for (const char* s : {"a", "b", "c"}) list.addItem(s);
  list.setListIndex(2);
  list.removeItem(0);
  EXPECT_EQ(list.listIndex(), 1);
  EXPECT_EQ(list.list(list.listIndex()), "c");
  list.removeItem(1);
  EXPECT_EQ(list.listIndex(), -1);
}

TEST(Steps, RecordsTheNumberOfTheFailedStepAndGoesOn) {
  Steps steps;
  int ran = 0;
  EXPECT_FALSE(steps([] { raiseError(kErrDeviceUnavailable); }));
  EXPECT_TRUE(steps([&] { ++ran; }));
  EXPECT_EQ(steps.err(), kErrDeviceUnavailable) << "a later success keeps the number, as Err does";
  steps.clear();
  steps([] { throw std::bad_alloc(); });
  EXPECT_EQ(steps.err(), kErrOutOfMemory);
  EXPECT_EQ(ran, 1);
}

TEST(Steps, TheProgramsLogNamesEverySkippedErrorAndItsWindow) {
  SkippedErrorListener saved = std::exchange(skippedErrorListener(), {});
  std::string window = "DeComp1";
  skippedErrorListener() = skippedErrorLog([&] { return window; });
  ::testing::internal::CaptureStderr();
  Steps steps;
  steps([] { raiseError(kErrFileNotFound, "Q:\\a.lzh"); });
  window.clear();
  steps([] { raiseError(kErrBadPicture); });
  std::string log = ::testing::internal::GetCapturedStderr();
  skippedErrorListener() = std::move(saved);
  EXPECT_NE(
      log.find("error 53 (ファイルが見つかりません。) in DeComp1: runtime error 53: Q:\\a.lzh\n"),
      std::string::npos)
      << log;
  EXPECT_NE(log.find("481 (ピクチャが不正です。) in start-up"), std::string::npos) << log;
  EXPECT_EQ(steps.err(), kErrBadPicture);
}

// A mistyped control name is a fault of the program: it must not pass as a skipped step.
TEST_F(FormsFixture, AMistypedControlNameEscapesTheSteps) {
  Form& form = app.forms.get("Counting");
  Steps steps;
  EXPECT_THROW(steps([&] { form.c("Txet1").setText("x"); }), std::logic_error);
  EXPECT_EQ(steps.err(), 0);
}

TEST_F(FormsFixture, TheScriptedServicesFailATestOnARuntimeErrorItDoesNotExpect) {
  Steps steps;
  EXPECT_THROW(steps([] { raiseError(kErrPathNotFound); }), RuntimeError);
  services.expectedErrors = {kErrPathNotFound};
  EXPECT_FALSE(steps([] { raiseError(kErrPathNotFound); }));
  EXPECT_THROW(steps([] { raiseError(kErrFileNotFound); }), RuntimeError);
  EXPECT_EQ(services.skippedErrors, std::vector<int>{kErrPathNotFound});
}

TEST(Wildcard, MatchesWindowsStyle) {
  EXPECT_TRUE(matchAnyPattern("*.lzh;*.exe", "SETUP.EXE"));
  EXPECT_TRUE(matchAnyPattern("*.lzh;*.exe", "a.b.lzh"));
  EXPECT_FALSE(matchAnyPattern("*.lzh;*.exe", "a.zip"));
  EXPECT_TRUE(matchPattern("*.*", "README"));
  EXPECT_TRUE(matchPattern("read?e.*", "README"));
  EXPECT_TRUE(matchPattern("日本*.txt", "日本語.TXT"));
  EXPECT_FALSE(matchPattern("a*b", "aXc"));
  EXPECT_TRUE(matchPattern("*a*a*a*b", "aaaaaaaaaaaaaaaaab"));
  EXPECT_FALSE(matchPattern("*a*a*a*b", "aaaaaaaaaaaaaaaaaa"));
}

}  // namespace
}  // namespace zv
