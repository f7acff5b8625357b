// A window's control table becomes its controls: in the rows' order, with each row's
// properties, and an unmoved row is the same as a control that was never moved.
#include "core/forms/control_table.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/app.h"
#include "core/services/scripted_services.h"

namespace zv {
namespace {

struct ControlTableTest : ::testing::Test {
  ScriptedServices services;
  App app{services};
  Form form{app, "Table"};
};

TEST_F(ControlTableTest, RowsBecomeControlsInOrderWithTheirProperties) {
  const FontSpec bold{"Arial", 8.25, true};
  const ControlRow rows[] = {
      {.name = "Label1",
       .kind = Kind::Label,
       .at = {720, 270, 3840, 240},
       .caption = "見出し",
       .tooltip = "ヒント",
       .font = bold,
       .foreColor = 0x0000FF,
       .backColor = 0xFFFFC0,
       .autoSize = true,
       .alignment = Control::AlignRight},
      {.name = "Image1",
       .kind = Kind::Picture,
       .at = {120, 90, 525, 525},
       .picture = "ext_help",
       .description = "ヘルプ",
       .hidden = true,
       .selectsAll = true},
      {.name = "Command1",
       .kind = Kind::CommandButton,
       .caption = "OK",
       .disabled = true,
       .isDefault = true,
       .isCancel = true},
      {.name = "Text1",
       .kind = Kind::TextBox,
       .multiLine = true,
       .locked = true,
       .scrollBars = true,
       .maxLength = 12},
      {.name = "List1",
       .kind = Kind::ListBox,
       .multiSelect = MultiSelect::Extended,
       .sorted = true},
      {.name = "Combo1", .kind = Kind::ComboBox, .comboStyle = ComboStyle::DropdownList},
      {.name = "File1", .kind = Kind::FileList, .pattern = "*.lzh"},
  };
  addControlRows(form, rows);

  ASSERT_EQ(form.controls().size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(form.controls()[i]->name(), rows[i].name);
    EXPECT_EQ(form.controls()[i]->tabIndex(), static_cast<int>(i));
  }
  const Control& label = form.c("Label1");
  EXPECT_EQ(label.kind(), Kind::Label);
  EXPECT_EQ(label.left(), 720);
  EXPECT_EQ(label.top(), 270);
  EXPECT_EQ(label.width(), 3840);
  EXPECT_EQ(label.height(), 240);
  EXPECT_EQ(label.caption(), "見出し");
  EXPECT_EQ(label.tooltip(), "ヒント");
  EXPECT_EQ(label.font(), bold);
  EXPECT_EQ(label.foreColor(), 0x0000FFu);
  EXPECT_EQ(label.backColor(), 0xFFFFC0u);
  EXPECT_TRUE(label.autoSize);
  EXPECT_EQ(label.alignment(), Control::AlignRight);
  EXPECT_TRUE(label.visible());

  const Control& image = form.c("Image1");
  EXPECT_EQ(image.picture(), "ext_help");
  EXPECT_EQ(image.description(), "ヘルプ");
  EXPECT_TRUE(image.selectsAll);
  EXPECT_FALSE(image.visible());

  const Control& button = form.c("Command1");
  EXPECT_FALSE(button.enabled());
  EXPECT_TRUE(button.isDefault());
  EXPECT_TRUE(button.isCancel());

  const Control& text = form.c("Text1");
  EXPECT_TRUE(text.multiLine && text.locked && text.scrollBars);
  EXPECT_EQ(text.maxLength, 12);
  EXPECT_EQ(form.c("List1").multiSelect(), MultiSelect::Extended);
  EXPECT_TRUE(form.c("List1").sorted);
  EXPECT_EQ(form.c("Combo1").comboStyle, ComboStyle::DropdownList);
  EXPECT_EQ(form.c("File1").pattern(), "*.lzh");
}

TEST_F(ControlTableTest, AnUnmovedRowKeepsTheDefaultsOfAnAddedControl) {
  const Control& plain = form.add("Plain", Kind::Label);
  const ControlRow rows[] = {{.name = "Row", .kind = Kind::Label}};
  addControlRows(form, rows);
  const Control& row = form.c("Row");
  EXPECT_EQ(row.left(), plain.left());
  EXPECT_EQ(row.top(), plain.top());
  EXPECT_EQ(row.width(), plain.width());
  EXPECT_EQ(row.height(), plain.height());
  EXPECT_EQ(row.font(), plain.font());
  EXPECT_EQ(row.backColor(), plain.backColor());
  EXPECT_EQ(row.caption(), "");
}

// A chosen option button clears only the option buttons of its own frame, and its click is not
// wired yet while the table is built.
TEST_F(ControlTableTest, ChosenOptionButtonsStayChosenInTheirOwnFrames) {
  const ControlRow rows[] = {
      {.name = "Option1", .kind = Kind::OptionButton, .value = 1},
      {.name = "Option2", .kind = Kind::OptionButton},
      {.name = "Frame1", .kind = Kind::Frame},
      {.name = "Option3", .kind = Kind::OptionButton, .container = "Frame1"},
      {.name = "Option4", .kind = Kind::OptionButton, .container = "Frame1", .value = 1},
      {.name = "Menu1", .kind = Kind::MenuItem, .caption = "表示"},
      {.name = "Menu2", .kind = Kind::MenuItem, .caption = "10", .container = "Menu1", .value = 1},
  };
  addControlRows(form, rows);
  EXPECT_EQ(form.c("Option1").value(), 1);
  EXPECT_EQ(form.c("Option2").value(), 0);
  EXPECT_EQ(form.c("Option3").value(), 0);
  EXPECT_EQ(form.c("Option4").value(), 1);
  EXPECT_EQ(form.c("Option4").container(), "Frame1");
  EXPECT_EQ(form.c("Menu2").parentMenu(), "Menu1");
  EXPECT_TRUE(form.c("Menu2").checked());
}

TEST_F(ControlTableTest, ANameTwiceIsAProgrammingError) {
  const ControlRow rows[] = {{.name = "Label1", .kind = Kind::Label},
                             {.name = "Label1", .kind = Kind::TextBox}};
  EXPECT_THROW(addControlRows(form, rows), std::logic_error);
}

}  // namespace
}  // namespace zv
