// Loading the "Option" section of the settings file into the shared option values
// (core/settings/option_values.h), as the windows' ReadOption procedures do. Each helper reads
// one key with its default and its 13-character buffer; the windows call the ones they need.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "core/settings/profile.h"
#include "core/shared_state.h"

namespace zv::options {

inline constexpr const char* kSection = "Option";
inline constexpr int kBuffer = 13;

// The keys of the section, shared by the readers here and the options window that writes them.
inline constexpr const char* kKeyMode = "Mode";
inline constexpr const char* kKeyWithDirectory = "WithDirectory";
inline constexpr const char* kKeyProgress = "Progress";
inline constexpr const char* kKeyProgress2 = "Progress2";
inline constexpr const char* kKeySfx = "SFX";
inline constexpr const char* kKeyVCheck = "VCheck";
inline constexpr const char* kKeyFileUtility = "FileUtility";
inline constexpr const char* kKeySameFolder = "SAMEFOLDER";
inline constexpr const char* kKeyOverwrite = "OVERWRITE";

// A fixed-value option: the text is compared exactly with each allowed value in turn; on a
// match the mapped word is stored, otherwise `target` keeps what it had.
void readChoice(const Profile& profile, const std::string& key, const std::string& def,
                std::initializer_list<std::pair<const char*, const char*>> mapping,
                OptionText& target);
// A yes/no option: the text itself is stored (a hand-edited "Yes" stays "Yes").
void readYesNo(const Profile& profile, const std::string& key, const std::string& def,
               YesNo& target);

// One helper per key of the Option section.
void readMode(const Profile& p, Shared& s);           // Mode "4"/"5"/"6" -> PackMode
void readWithDirectory(const Profile& p, Shared& s);  // WithDirectory "1"/"2"/"3" -> DirectoryMode
void readProgress(const Profile& p, Shared& s);       // Progress -> ShowExtractProgress
void readProgress2(const Profile& p, Shared& s);      // Progress2 -> ShowCompressProgress
void readSfx(const Profile& p, Shared& s);            // SFX -> CustomizeSfx
void readVCheck(const Profile& p, Shared& s);         // VCheck -> VersionCheck
void readFileUtility(const Profile& p, Shared& s);    // FileUtility -> OpenFileUtility
void readSameFolder(const Profile& p, Shared& s);     // SAMEFOLDER -> SameFolder
void readOverwrite(const Profile& p, Shared& s);      // OVERWRITE -> OverwriteAll

// Every option except VCheck, as the main menu loads them.
void readMenuOptions(const Profile& p, Shared& s);

// The settings file of the shared state.
inline Profile profileOf(const Shared& s) { return Profile(s.IniFile); }

}  // namespace zv::options
