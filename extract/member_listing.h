// The member-name listing behind AddList, AddList2 and ZipAddList: one entry per member the
// library reports, in its order, names exactly as stored.
#pragma once
#include <string>

#include "extract/archive_access.h"

namespace zv {
class Control;
class Form;
}  // namespace zv

namespace zv::extract {

// Appends the archive's member names to `target`. An archive without members adds nothing;
// one the library cannot read adds nothing and says so; one whose listing stops at damage adds
// the names read and says so. Returns the number of names added.
int appendMemberNames(Form& owner, ArchiveKind kind, const std::string& archivePath,
                      Control& target);

// The message shown for an archive the library cannot read (`archivePath` quoted or not); one
// that begins as an archive does is damaged, and the message says where it may be rescued.
void showUnreadableArchive(Form& owner, const std::string& archivePath);

}  // namespace zv::extract
