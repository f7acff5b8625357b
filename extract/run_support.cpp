#include "extract/run_support.h"

#include "core/app.h"
#include "core/forms/steps.h"
#include "core/messages/failure_cause.h"
#include "ui/common/window_ports.h"

namespace zv::extract {

void showExtractError(Form& form, const std::string& cause) {
  form.services().messageBox(withCause("解凍中にエラーが生じました．終了します", cause),
                             MsgButtons::OK, MsgIcon::Exclamation, " LHA解凍");
}

void refreshFileUtilityList(Form& form) {
  auto* util = openPort<FileUtilityPort>(form.forms(), windows::kFileUtility);
  if (!util) return;
  Steps steps;
  steps([&] { util->refreshFiles(); });
}

void showRefusedMembers(Form& form, const std::vector<std::string>& names) {
  if (names.empty()) return;
  std::string text = "次のファイルは解凍先フォルダの外を指す名前のため，解凍しませんでした．\r\n";
  for (const auto& n : names) text += "\r\n" + n;
  form.services().messageBox(text, MsgButtons::OK, MsgIcon::Exclamation, "解凍");
}

void endRun(Form& form, const std::vector<std::string>& refused) {
  refreshFileUtilityList(form);
  showRefusedMembers(form, refused);
}

void endFailedRun(Form& form, const std::vector<std::string>& refused, const std::string& cause) {
  showExtractError(form, cause);
  endRun(form, refused);
}

void pointFileUtilityAt(Form& form, const std::string& drive, const std::string& folder) {
  Form* util = form.forms().find(windows::kFileUtility);
  if (!util || !util->visible()) return;
  dynamic_cast<FileUtilityPort&>(*util).pointAt(drive, folder);
}

}  // namespace zv::extract
