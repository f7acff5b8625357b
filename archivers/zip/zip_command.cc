#include "zip_command.h"

namespace zv::zip {

std::vector<std::pair<std::string, bool>> splitCommand(std::string_view line) {
  std::vector<std::pair<std::string, bool>> out;  // text, was quoted
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string token;
    bool quoted = false;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
      if (line[i] == '"') {
        quoted = true;
        size_t end = line.find('"', i + 1);
        if (end == std::string_view::npos) end = line.size();
        token.append(line.substr(i + 1, end - i - 1));
        i = end + 1;
      } else {
        token.push_back(line[i++]);
      }
    }
    out.emplace_back(std::move(token), quoted);
  }
  return out;
}

bool parseUnZipCommand(std::string_view line, UnZipCommand& cmd, std::string& why) {
  cmd = UnZipCommand{};
  auto tokens = splitCommand(line);
  bool destinationNext = false;
  for (auto& [text, quoted] : tokens) {
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
      if (text == "--rescue") {
        cmd.rescue = true;
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
