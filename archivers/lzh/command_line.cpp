#include "command_line.h"

#include <cctype>

#include "lzh_error.h"
#include "platform/command_words.h"

namespace zv::lzh {
namespace {

void applySwitch(Command& c, const std::string& sw) {
  std::string s = sw.substr(1);
  std::string lower;
  for (char ch : s) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (lower == "n1" || lower == "n") {
    c.noProgress = true;
  } else if (lower == "n0" || lower == "gn" || lower == "g") {
    c.noProgress = false;
  } else if (lower == "d1" || lower == "d") {
    c.storeFolders = true;
  } else if (lower == "d0") {
    c.storeFolders = false;
  } else if (lower == "r" || lower == "r1" || lower == "r2") {
    c.recurse = true;
  } else if (lower == "r0") {
    c.recurse = false;
  } else if (lower == "o5" || lower == "o6" || lower == "o7") {
    c.method = lower[1] - '0';
  } else if (lower == "z" || lower == "o0") {
    c.method = 0;
  } else if (lower == "9") {
    c.packLevel = 9;
  } else if (lower == "h0" || lower == "h1" || lower == "h2") {
    c.level = lower[1] - '0';
  } else if (lower == "jw3" || lower == "jw4") {
    c.sfxMode = lower[2] - '0';
  } else if (lower == "jyo") {
    c.replaceExisting = true;
  } else if (lower == "jr" || lower == "jr1") {
    c.rescue = true;
  } else if (lower == "jr2") {
    c.rescue = c.keepDamaged = true;
  } else if (lower == "jb1" || lower == "jb0") {
    c.keepMacBinary = lower[2] == '1';
  } else if (lower.starts_with("-charset=")) {
    auto e = encoding::encodingFromWord(lower.substr(9));
    if (!e) fail(ZV_ERROR_COMMAND, "知らない文字コードです: " + sw);
    c.names = *e;
  } else {
    fail(ZV_ERROR_COMMAND, "知らないスイッチです: " + sw);
  }
}

}  // namespace

bool endsWithSeparator(const std::string& arg) {
  return !arg.empty() && (arg.back() == '\\' || arg.back() == '/');
}

Command parseCommand(const std::string& text) {
  Command c;
  bool haveArchive = false;
  for (const command_words::Word& t : command_words::split(text)) {
    if (!t.quoted && t.text.size() > 1 && t.text[0] == '-') {
      applySwitch(c, t.text);
    } else if (c.verb == 0) {
      if (t.text.size() != 1) fail(ZV_ERROR_COMMAND, "知らないコマンドです: " + t.text);
      char v = static_cast<char>(std::tolower(static_cast<unsigned char>(t.text[0])));
      static const std::string verbs = "aumxelvtds";
      if (verbs.find(v) == std::string::npos)
        fail(ZV_ERROR_COMMAND, "知らないコマンドです: " + t.text);
      c.verb = v;
    } else if (!haveArchive) {
      c.archive = t.text;
      haveArchive = true;
    } else {
      c.args.push_back(t.text);
    }
  }
  if (c.verb == 0) fail(ZV_ERROR_COMMAND, "コマンドがありません");
  if (!haveArchive || c.archive.empty()) fail(ZV_ERROR_COMMAND, "書庫名がありません");
  return c;
}

}  // namespace zv::lzh
