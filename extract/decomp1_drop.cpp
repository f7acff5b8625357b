// An archive dropped on the archive selection window (or on the main menu's extraction
// picture, which hands it here) is opened the way a start with the archive as argument opens
// it: its folder in the panel, the filter of its kind, its members listed.
#include "core/app.h"
#include "core/forms/steps.h"
#include "extract/decomp1_form.h"
#include "extract/option_reading.h"
#include "platform/fileops.h"
#include "platform/winpath.h"

namespace zv::extract {

namespace {
bool endsWithNoCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    char a = text[text.size() - tail.size() + i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != tail[i]) return false;
  }
  return true;
}

bool isArchive(const std::string& path) {
  if (!endsWithNoCase(path, ".lzh") && !endsWithNoCase(path, ".zip") &&
      !endsWithNoCase(path, ".ish"))
    return false;
  Steps steps;
  bool file = false;
  steps([&] { file = fs::isFile(path); });
  return file;
}
}  // namespace

void DeComp1Form::openDroppedArchive(const std::vector<std::string>& paths) {
  const std::string* archive = nullptr;
  for (const std::string& path : paths)
    if (!archive && isArchive(path)) archive = &path;
  if (!archive) {
    services().messageBox("書庫ファイル（LZH・ZIP・ISH）をドロップしてください", MsgButtons::OK,
                          MsgIcon::Exclamation, "Zorvex 32");
    return;
  }
  // The argument text as the start-up makes it: quoted when it holds a blank.
  app().commandLine = archive->find(' ') == std::string::npos ? *archive : winpath::quote(*archive);
  shared().StartMode = "Command";
  Steps steps;
  steps([&] { readOption2(*this); });
  steps([&] { loadCommandLineFolder(); });
  steps([&] { commandLineOpen(); });
}

}  // namespace zv::extract
