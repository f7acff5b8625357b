// frmMenu: the main menu, hub of a normal run. It prepares the work folders, loads the
// options into the shared state, opens the compression, extraction and file utility flows,
// and ends the program after a confirmation.
#pragma once
#include <string>

#include "core/forms/form.h"

namespace zv {

class MenuForm : public Form {
 public:
  explicit MenuForm(App& app);

  void load() override;
  void queryUnload(bool& cancel, UnloadMode mode) override;

  // Screen twips per pixel divided by the 15 the layout was designed at.
  float layoutScaleX() const { return layoutScaleX_; }
  float layoutScaleY() const { return layoutScaleY_; }

  // Public so that the options window can make changed options take effect at once.
  void readOption();

 private:
  void scaleLayout();
  void prepareWorkFolders();
  void loadWindowPosition();
  void saveWindowPosition();
  void clearTempFolder();
  void openCompression();
  void openExtraction();
  void openFileUtility();

  float layoutScaleX_ = 1, layoutScaleY_ = 1;
};

}  // namespace zv
