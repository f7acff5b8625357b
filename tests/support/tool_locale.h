// Shell commands that run other archivers (lhasa, bsdtar, 7z, jlha, zip) in tests.
// Those tools convert member names through the locale: without a UTF-8 one, bsdtar and 7z
// refuse CP932 names. C.UTF-8 exists on every Debian system, so every command gets it
// whatever the user running the tests has set.
#pragma once

#include <string>

namespace zv::test {

inline std::string inToolLocale(const std::string& command) {
  return "export LC_ALL=C.UTF-8 LANG=C.UTF-8; " + command;
}

}  // namespace zv::test
