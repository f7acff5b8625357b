#include "extract/name_choice.h"

#include "extract/process_state.h"
#include "platform/winpath.h"

namespace zv::extract {

namespace {
// The same archive is named quoted in one place and unquoted in another.
std::string keyOf(const std::string& archiveText) { return winpath::unquote(archiveText); }
}  // namespace

encoding::NameEncoding chosenNames(const App& app, const std::string& archiveText) {
  const auto& chosen = processState(app).chosenNames;
  auto it = chosen.find(keyOf(archiveText));
  return it == chosen.end() ? encoding::NameEncoding::Auto : it->second;
}

void chooseNames(const App& app, const std::string& archiveText, encoding::NameEncoding e) {
  processState(app).chosenNames[keyOf(archiveText)] = e;
}

encoding::NameEncoding detectedNames(const App& app, const std::string& archiveText) {
  const auto& detected = processState(app).detectedNames;
  auto it = detected.find(keyOf(archiveText));
  return it == detected.end() ? encoding::NameEncoding::Auto : it->second;
}

void noteDetectedNames(const App& app, const std::string& archiveText, encoding::NameEncoding e) {
  processState(app).detectedNames[keyOf(archiveText)] = e;
}

std::string withNameSwitch(const App& app, const std::string& archiveText) {
  encoding::NameEncoding e = chosenNames(app, archiveText);
  if (e == encoding::NameEncoding::Auto) return archiveText;
  return "--charset=" + std::string(encoding::encodingWord(e)) + " " + archiveText;
}

uint32_t listingMode(const App& app, const std::string& archiveText) {
  return static_cast<uint32_t>(chosenNames(app, archiveText));
}

}  // namespace zv::extract
