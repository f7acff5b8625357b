// What the user reads about a numbered runtime error that no step skipped, and what the log of
// skipped errors says about one that was.
#pragma once
#include <string>

namespace zv {

// The title of the box that reports an error no handler dealt with.
extern const char* const kRuntimeErrorTitle;

// What the number means ("ファイルが見つかりません。" for 53).
const char* runtimeErrorMeaning(int number);

// "実行時エラー '53':" and the meaning, then the detail after a blank line when there is one.
std::string runtimeErrorText(int number, const std::string& detail);

// A fault that is no numbered runtime error.
std::string unexpectedErrorText(const std::string& what);

}  // namespace zv
