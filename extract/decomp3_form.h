// DeComp3, the extraction window: the destination (folder panel, registered destinations,
// new folder) and the extract button, which runs the extraction and ends the flow.
#pragma once
#include <string>

#include "core/forms/form.h"

namespace zv::extract {

class DeComp3Form : public Form {
 public:
  explicit DeComp3Form(App& app);

  void load() override;
  void unloading(bool& cancel) override;
  // The picture and instruction shown when the contents window opens this window.
  void showDestinationPrompt();

 private:
  void wireEvents();
  void registeredPathPicked();
  void newFolder();
  void extract();
  void runExtraction();
  // The folder list moves to `folder` (a folder the new-folder dialog made).
  void moveTo(const std::string& folder);
  // The destination as typed or chosen.
  std::string destination() const;
};

}  // namespace zv::extract
