#include "zip_command.h"

#include "platform/command_words.h"

namespace zv::zip {

bool parseUnZipCommand(std::string_view line, UnZipCommand& cmd, std::string& why) {
  cmd = UnZipCommand{};
  bool destinationNext = false;
  for (auto& [text, quoted] : command_words::split(line)) {
    if (destinationNext) {
      cmd.destination = text;
      destinationNext = false;
      continue;
    }
    if (!quoted && text.size() > 1 && text[0] == '-') {
      if (text == "--i") {
        cmd.ignoreCase = true;
        continue;
      }
      if (text.starts_with("--charset=")) {
        auto e = encoding::encodingFromWord(std::string_view(text).substr(10));
        if (!e) {
          why = "知らない文字コードです: " + text;
          return false;
        }
        cmd.names = *e;
        continue;
      }
      if (text == "--rescue") {
        cmd.rescue = true;
        continue;
      }
      if (text == "--keep-damaged") {
        cmd.rescue = cmd.keepDamaged = true;
        continue;
      }
      for (size_t k = 1; k < text.size(); ++k) {
        switch (text[k]) {
          case 'x':
            cmd.action = UnZipCommand::Action::Extract;
            cmd.keepFolders = true;
            break;
          case 'e':
          case 'j':
            cmd.action = UnZipCommand::Action::Extract;
            cmd.keepFolders = false;
            break;
          case 'n':
            cmd.overwrite = false;
            break;
          case 'o':
            cmd.overwrite = true;
            break;
          case 'l':
            cmd.action = UnZipCommand::Action::List;
            break;
          case 'v':
            cmd.action = UnZipCommand::Action::Verbose;
            break;
          case 't':
            cmd.action = UnZipCommand::Action::Test;
            break;
          case 'C':
            cmd.ignoreCase = true;
            break;
          case 'd':
            destinationNext = true;
            break;
          case 'q':
          case '-':
            break;
          default:
            why = "不明なスイッチです: " + text;
            return false;
        }
      }
      continue;
    }
    if (cmd.archive.empty()) {
      cmd.archive = text;
    } else if (cmd.destination.empty() && !text.empty() &&
               (text.back() == '\\' || text.back() == '/')) {
      cmd.destination = text;
    } else {
      cmd.members.push_back(text);
    }
  }
  if (cmd.archive.empty()) {
    why = "書庫が指定されていません";
    return false;
  }
  return true;
}

namespace {
char fold(char c, bool ignoreCase) {
  return ignoreCase && c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
}  // namespace

bool wildcardMatch(std::string_view p, std::string_view s, bool ignoreCase) {
  if (p == "*.*" || p == "*") return true;
  size_t pi = 0, si = 0, star = std::string_view::npos, mark = 0;
  while (si < s.size()) {
    if (pi < p.size() && (p[pi] == '?' || fold(p[pi], ignoreCase) == fold(s[si], ignoreCase))) {
      ++pi, ++si;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++, mark = si;
    } else if (star != std::string_view::npos) {
      pi = star + 1, si = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace zv::zip
