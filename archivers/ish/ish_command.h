// The command lines the program hands ISH32.DLL. Paths are mostly not quoted and may contain
// blanks, so the line is cut at its switches ("/ss", "/ya", "/f=...", "/r", ...) outside
// quotes, not at blanks; a path that could be misread is quoted as platform/command_words.h
// says (command_words::switchLinePath):
//   creation: C:\src\memo.txt /ss /ya C:\out\memo.ish /f=C:\out
//   restore:  C:\in\a.ish /r /f=C:\out
#pragma once
#include <string>
#include <string_view>

#include "ish_types.h"

namespace zv::ish {

struct IshCommand {
  bool encode = false;  // a code-type switch was given
  CodeType type = CodeType::Jis7;
  bool replaceOutput = false;  // "/ya": an existing ISH file may be replaced
  char restoreMode = 'r';      // 'r' missing or older files, 'a' all, 'q' ask, 'n' missing only
  std::string source;          // the file to encode, or the ISH file to restore
  std::string output;          // creation: the ISH file (may be empty or a bare name)
  std::string folder;          // "/f=": destination folder
};

// False (with a Japanese reason) when the line names no source file.
bool parseCommand(std::string_view line, IshCommand& cmd, std::string& why);

}  // namespace zv::ish
