#include "auxwin/archive_report_form.h"

#include "core/app.h"
#include "core/forms/control_table.h"
#include "core/forms/steps.h"
#include "core/messages/failure_cause.h"
#include "core/services/services.h"
#include "platform/fileops.h"

namespace zv {

namespace {
const ControlRow kControls[] = {
    // what was tested and how many archives were damaged
    {.name = "Label1", .kind = Kind::Label, .at = {120, 120, 9240, 255}},
    // the report: one line per member, the damaged ones first
    {.name = "Text1",
     .kind = Kind::TextBox,
     .at = {120, 480, 9240, 4800},
     .description = "報告",
     .font = FontSpec{"ＭＳ ゴシック", 10},
     .backColor = kWindowBack,
     .multiLine = true,
     .locked = true,
     .scrollBars = true},
    // copies the report to the clipboard
    {.name = "Command1",
     .kind = Kind::CommandButton,
     .at = {120, 5400, 1695, 375},
     .caption = "コピー(&C)"},
    // saves the report as a text file
    {.name = "Command2",
     .kind = Kind::CommandButton,
     .at = {1935, 5400, 1695, 375},
     .caption = "保存(&S)..."},
    // closes the window
    {.name = "Command3",
     .kind = Kind::CommandButton,
     .at = {7665, 5400, 1695, 375},
     .caption = "閉じる",
     .isDefault = true,
     .isCancel = true},
};
}  // namespace

ArchiveReportForm::ArchiveReportForm(App& app) : Form(app, windows::kArchiveReport) {
  setCaption("書庫のテスト");
  resize(9600, 6300);
  addControlRows(*this, kControls);
  c("Command1").onClick = [this] { services().setClipboardText(document()); };
  c("Command2").onClick = [this] { save(); };
  c("Command3").onClick = [this] { unload(); };
}

void ArchiveReportForm::load() { centreOnScreen(); }

// What is copied and saved: the totals line, then the report as shown.
std::string ArchiveReportForm::document() {
  return c("Label1").caption() + "\r\n\r\n" + c("Text1").text();
}

void ArchiveReportForm::refresh() {
  const ArchiveReportRequest& r = shared().Report;
  setCaption(r.title);
  c("Label1").setCaption(r.summary);
  c("Text1").setText(r.text);
}

// Asks for the file name; an existing file is replaced only when the user says so, and the
// new one is written beside it first and then renamed into place.
void ArchiveReportForm::save() {
  std::optional<std::string> path = services().inputBox("保存するファイル名を入力してください",
                                                        "報告の保存", shared().Report.saveAs);
  if (!path || path->empty()) return;
  if (fs::isFile(*path) &&
      services().messageBox(*path + " は既にあります。置き換えますか？", MsgButtons::YesNo,
                            MsgIcon::Question, "報告の保存") != MsgAnswer::Yes)
    return;
  Steps steps;
  if (!steps([&] { fs::writeAllAtomically(*path, document()); }))
    services().messageBox(withCause("保存できませんでした", failureCause(steps.err())),
                          MsgButtons::OK, MsgIcon::Exclamation, "報告の保存");
}

}  // namespace zv
