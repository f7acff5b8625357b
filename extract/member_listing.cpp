#include "extract/member_listing.h"

#include "core/forms/form.h"
#include "core/services/services.h"
#include "extract/name_choice.h"

namespace zv::extract {

void showUnreadableArchive(Form& owner) {
  owner.services().messageBox(
      "書庫ファイルを読み込めません．壊れているか，対応していない形式です．", MsgButtons::OK,
      MsgIcon::Exclamation, "エラーです");
}

int appendMemberNames(Form& owner, ArchiveKind kind, const std::string& archivePath,
                      Control& target) {
  Listing listing = listMembers(owner, kind, archivePath, listingMode(owner.app(), archivePath));
  if (listing.namesDecided >= 0) {
    if (auto e = encoding::encodingFromNumber(unsigned(listing.namesDecided)))
      noteDetectedNames(owner.app(), archivePath, *e);
  }
  if (!listing.readable) {
    showUnreadableArchive(owner);
    return 0;
  }
  for (const auto& m : listing.members) target.addItem(m.name);
  if (listing.stopsAtDamage)
    owner.services().messageBox(
        "書庫の途中が壊れているため，一部のメンバーしか表示できません．\r\n"
        "ファイル操作ユーティリティーの「書庫」メニューの「壊れた書庫から取り出す」で，"
        "無事なメンバーを取り出せます．",
        MsgButtons::OK, MsgIcon::Exclamation, "エラーです");
  return static_cast<int>(listing.members.size());
}

}  // namespace zv::extract
