// The start-up messages about the LZH library.
#pragma once
#include <string>

namespace zv {

inline constexpr const char* kLibraryMissingTitle = "ファイル -UNLHA32.DLL- が見つかりません";
inline constexpr const char* kVersionCheckTitle = "バージョンチェック";
// The version the program was released with: older libraries get a warning.
inline constexpr int kReleasedLhaVersion = 130;

// Lines joined by CR LF, naming the folder that was searched.
std::string libraryMissingMessage(const std::string& systemFolder);
// Every line followed by CR LF.
std::string oldVersionMessage(int version);
// 129 -> " 1.29", 120 -> " 1.2", 100 -> " 1".
std::string versionText(int version);

}  // namespace zv
