// DeComp2, the archive contents window: the member names of the chosen archive, selection of
// the members to extract, viewing of single members, the detailed listing, and the way on to
// the extraction window.
#pragma once
#include <string>
#include <vector>

#include "core/forms/form.h"
#include "extract/archive_access.h"
#include "platform/name_encoding.h"

namespace zv::extract {

class DeComp2Form : public Form {
 public:
  explicit DeComp2Form(App& app);

  void load() override;
  void queryUnload(bool& cancel, UnloadMode mode) override;
  void unloading(bool& cancel) override;

  void clearMembers();
  // The members of the archive at `path`, listed by `lister` (the window whose library call it
  // is); a ZIP archive shows the ZIP picture.
  void listMembers(Form& lister, ArchiveKind kind, const std::string& path);
  // The selected members' names as listed, in list order.
  std::vector<std::string> chosenMembers() const;
  // The way on is disabled while the extraction window is open.
  void allowNextStep();

 private:
  void wireEvents();
  void memberClicked();
  void nextStep();
  void toggleSelectAll();
  void openClickedMember();
  void openInNotepad();
  // The names' context menu: ticks the choice of this archive, then reads the names again.
  void markNameChoice();
  void readNamesAs(encoding::NameEncoding e);
  // decomp2_archive_test.cpp: the context menu and Ctrl+T test the open archive.
  void wireArchiveTest();
  void testOpenArchive();

  bool anySelected_ = false;
  bool allSelected_ = false;
};

}  // namespace zv::extract
