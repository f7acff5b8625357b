#include "core/messages/help_texts.h"

namespace zv {

const char* const kHelpPageMissingTitle = "ヘルプを表示できません";

std::string helpPageMissingText(const std::string& helpFile, const std::string& page) {
  return "ヘルプファイル「" + helpFile + "」に「" + page + "」が見つかりません。";
}

}  // namespace zv
