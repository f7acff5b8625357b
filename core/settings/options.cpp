#include "core/settings/options.h"

namespace zv::options {

void readChoice(const Profile& profile, const std::string& key, const std::string& def,
                std::initializer_list<std::pair<const char*, const char*>> mapping,
                OptionText& target) {
  std::string value = profile.read(kSection, key, def, kBuffer);
  for (const auto& [stored, word] : mapping) {
    if (value == stored) {
      target = word;
      return;
    }
  }
}

void readYesNo(const Profile& profile, const std::string& key, const std::string& def,
               YesNo& target) {
  target = profile.read(kSection, key, def, kBuffer);
}

void readMode(const Profile& p, Shared& s) {
  readChoice(p, kKeyMode, "5", {{"4", "ADD"}, {"5", "UPDATE"}, {"6", "MOVE"}}, s.PackMode);
}

void readWithDirectory(const Profile& p, Shared& s) {
  readChoice(p, kKeyWithDirectory, "1", {{"1", "NO"}, {"2", "YES"}, {"3", "ALL"}}, s.DirectoryMode);
}

void readProgress(const Profile& p, Shared& s) {
  readYesNo(p, kKeyProgress, "NO", s.ShowExtractProgress);
}
void readProgress2(const Profile& p, Shared& s) {
  readYesNo(p, kKeyProgress2, "NO", s.ShowCompressProgress);
}
void readSfx(const Profile& p, Shared& s) { readYesNo(p, kKeySfx, "NO", s.CustomizeSfx); }
void readVCheck(const Profile& p, Shared& s) { readYesNo(p, kKeyVCheck, "YES", s.VersionCheck); }
void readFileUtility(const Profile& p, Shared& s) {
  readYesNo(p, kKeyFileUtility, "YES", s.OpenFileUtility);
}
void readSameFolder(const Profile& p, Shared& s) {
  readYesNo(p, kKeySameFolder, "NO", s.SameFolder);
}
void readOverwrite(const Profile& p, Shared& s) {
  readYesNo(p, kKeyOverwrite, "NO", s.OverwriteAll);
}

void readMenuOptions(const Profile& p, Shared& s) {
  readMode(p, s);
  readProgress(p, s);
  readProgress2(p, s);
  readSfx(p, s);
  readFileUtility(p, s);
  readWithDirectory(p, s);
  readSameFolder(p, s);
  readOverwrite(p, s);
}

}  // namespace zv::options
