#include "ish_command.h"

#include <cctype>
#include <vector>

#include "platform/command_words.h"

namespace zv::ish {
namespace {

std::string trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return command_words::unquote(s);
}

std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = char(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

// Length of a switch word starting at line[at] ('/'), or 0 when it is no switch we know
// (then the '/' belongs to a path such as a host path).
size_t switchLength(std::string_view line, size_t at) {
  if (at > 0 && line[at - 1] != ' ' && line[at - 1] != '\t') return 0;
  size_t end = line.find_first_of(" \t", at);
  if (end == std::string_view::npos) end = line.size();
  std::string word = lower(line.substr(at + 1, end - at - 1));
  static const char* known[] = {"s7", "s8", "ss", "sn", "ya", "y", "r", "a", "q", "n"};
  for (const char* k : known)
    if (word == k) return end - at;
  if (word.rfind("f=", 0) == 0) return 3;  // its value follows, blanks included
  return 0;
}

// A quote opens a quoted path only where a path starts: at the start of the line, after a
// blank or right after "/f="; elsewhere it is a character of an unquoted path.
bool startsPath(std::string_view line, size_t at) {
  if (at == 0 || line[at - 1] == ' ' || line[at - 1] == '\t') return true;
  return at >= 3 && lower(line.substr(at - 3, 3)) == "/f=";
}

}  // namespace

bool parseCommand(std::string_view line, IshCommand& cmd, std::string& why) {
  cmd = IshCommand{};
  struct Switch {
    size_t at, length;
  };
  std::vector<Switch> switches;
  bool inQuotes = false;  // a '/' inside a quoted path is part of the path
  for (size_t i = 0; i < line.size(); ++i) {
    if (inQuotes) {
      if (line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"')
        ++i;  // a quote inside the path
      else if (line[i] == '"')
        inQuotes = false;
    } else if (line[i] == '"') {
      inQuotes = startsPath(line, i);
    } else if (line[i] == '/') {
      if (size_t n = switchLength(line, i)) switches.push_back({i, n}), i += n - 1;
    }
  }

  std::vector<std::string> plain;  // the texts between switches
  size_t pos = 0;
  for (size_t k = 0; k < switches.size(); ++k) {
    const Switch& s = switches[k];
    plain.push_back(trim(line.substr(pos, s.at - pos)));
    std::string word = lower(line.substr(s.at + 1, s.length - 1));
    size_t next = k + 1 < switches.size() ? switches[k + 1].at : line.size();
    if (word == "f=") {
      cmd.folder = trim(line.substr(s.at + 3, next - s.at - 3));
      pos = next;
      continue;
    }
    if (word == "s7") cmd.encode = true, cmd.type = CodeType::Jis7;
    if (word == "s8") cmd.encode = true, cmd.type = CodeType::Jis8;
    if (word == "ss") cmd.encode = true, cmd.type = CodeType::Sjis;
    if (word == "sn") cmd.encode = true, cmd.type = CodeType::Nsjis;
    if (word == "ya" || word == "y") cmd.replaceOutput = true;
    if (word == "r" || word == "a" || word == "q" || word == "n") cmd.restoreMode = word[0];
    pos = s.at + s.length;
  }
  plain.push_back(trim(line.substr(pos)));

  for (const auto& p : plain) {
    if (p.empty()) continue;
    if (cmd.source.empty()) {
      cmd.source = p;
    } else if (cmd.output.empty()) {
      cmd.output = p;
    } else {
      why = "コマンドの解釈できない部分があります: " + p;
      return false;
    }
  }
  if (cmd.source.empty()) {
    why = "ファイルが指定されていません";
    return false;
  }
  return true;
}

}  // namespace zv::ish
