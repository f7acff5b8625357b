// What the help viewer says when the help file lacks the page a window asked for.
#pragma once
#include <string>

namespace zv {

extern const char* const kHelpPageMissingTitle;  // "ヘルプを表示できません"

// "ヘルプファイル「<file>」に「<page>」が見つかりません。"
std::string helpPageMissingText(const std::string& helpFile, const std::string& page);

}  // namespace zv
