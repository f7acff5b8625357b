#include "extract/member_listing.h"

#include "core/forms/form.h"
#include "core/services/services.h"
#include "extract/name_choice.h"
#include "ui/common/archive_check.h"

namespace zv::extract {

void showUnreadableArchive(Form& owner, const std::string& archivePath) {
  std::string path = archivePath;
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  std::string text = "書庫ファイルを読み込めません．壊れているか，対応していない形式です．";
  if (beginsLikeAnArchive(path)) text += std::string("\r\n") + kRescueHint;
  owner.services().messageBox(text, MsgButtons::OK, MsgIcon::Exclamation, "エラーです");
}

int appendMemberNames(Form& owner, ArchiveKind kind, const std::string& archivePath,
                      Control& target) {
  Listing listing = listMembers(owner, kind, archivePath, listingMode(owner.app(), archivePath));
  if (listing.namesDecided >= 0) {
    if (auto e = encoding::encodingFromNumber(unsigned(listing.namesDecided)))
      noteDetectedNames(owner.app(), archivePath, *e);
  }
  if (!listing.readable) {
    showUnreadableArchive(owner, archivePath);
    return 0;
  }
  for (const auto& m : listing.members) target.addItem(m.name);
  if (listing.stopsAtDamage)
    owner.services().messageBox(
        std::string("書庫の途中が壊れているため，一部のメンバーしか表示できません．\r\n") +
            kRescueHint,
        MsgButtons::OK, MsgIcon::Exclamation, "エラーです");
  return static_cast<int>(listing.members.size());
}

}  // namespace zv::extract
