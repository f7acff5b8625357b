// DeComp3, the extraction window: the destination (folder panel, registered destinations,
// new folder) and the extract button, which runs the extraction and ends the flow.
#pragma once
#include "core/forms/form.h"

namespace zv::extract {

class DeComp3Form : public Form {
 public:
  explicit DeComp3Form(App& app);

  void load() override;
  void unloading(bool& cancel) override;

 private:
  void wireEvents();
  void registeredPathPicked();
  void newFolder();
  void extract();
  void runExtraction();
};

}  // namespace zv::extract
