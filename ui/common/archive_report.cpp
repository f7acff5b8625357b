#include "ui/common/archive_report.h"

#include <algorithm>

namespace zv {

namespace {

const char* const kStates[] = {"正常", "取り出しました", "CRC エラー", "ヘッダ破損",
                               "途中で切れています"};

// "name (1234 バイト, lh5)" into its parts; names with brackets of their own keep them.
void splitTail(const std::string& rest, ReportLine& line) {
  line.name = rest;
  size_t open = rest.rfind(" (");
  if (open == std::string::npos || rest.back() != ')') return;
  std::string inner = rest.substr(open + 2, rest.size() - open - 3);
  size_t bytes = inner.find(" バイト, ");
  if (bytes == std::string::npos) return;
  line.name = rest.substr(0, open);
  line.size = inner.substr(0, bytes);
  line.method = inner.substr(bytes + std::string(" バイト, ").size());
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::string padded(const std::string& text, size_t width) {
  // Display width: the Japanese characters of the states count twice.
  size_t shown = 0;
  for (unsigned char ch : text)
    if ((ch & 0xC0) != 0x80) shown += ch >= 0xE0 ? 2 : 1;
  return shown >= width ? text + " " : text + std::string(width - shown, ' ');
}

}  // namespace

ArchiveReport parseReport(const std::string& output) {
  ArchiveReport report;
  for (std::string line : splitLines(output)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.rfind("失われたメンバー: ", 0) == 0 ||
        line.find(" 個正常、") != std::string::npos)
      continue;
    bool member = false;
    for (const char* state : kStates) {
      std::string prefix = std::string(state) + ": ";
      if (line.rfind(prefix, 0) != 0) continue;
      ReportLine r;
      r.state = std::string(state) == "取り出しました" ? "正常" : state;
      splitTail(line.substr(prefix.size()), r);
      report.damaged += r.damaged();
      report.members.push_back(std::move(r));
      member = true;
      break;
    }
    if (!member) report.notes.push_back(line);
  }
  return report;
}

std::string reportText(const std::string& archive, const ArchiveReport& report, bool rescue) {
  const size_t sound = report.members.size() - report.damaged;
  if (report.damaged == 0 && report.notes.empty() && !report.members.empty())
    return archive + ": 正常です (" + std::to_string(sound) + " 個のメンバー" +
           (rescue ? "をすべて取り出しました" : "") + ")\r\n";
  std::string text = archive + "\r\n";
  text += "破損 " + std::to_string(report.damaged) + " 個、正常 " + std::to_string(sound) + " 個" +
          (rescue ? " (正常なメンバーを取り出しました)" : "") + "\r\n\r\n";
  std::vector<const ReportLine*> order;
  for (const ReportLine& r : report.members) order.push_back(&r);
  std::stable_partition(order.begin(), order.end(),
                        [](const ReportLine* r) { return r->damaged(); });
  text += padded("状態", 20) + padded("サイズ", 12) + padded("方式", 9) + "名前\r\n";
  for (const ReportLine* r : order)
    text += padded(r->state, 20) + padded(r->size, 12) + padded(r->method, 9) + r->name + "\r\n";
  for (const std::string& note : report.notes) text += note + "\r\n";
  return text;
}

}  // namespace zv
