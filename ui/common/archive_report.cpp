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

// "a.txt → a (破損).txt": the member's name and the marked name, each with as many arrows
// of its own as the other, so the middle arrow parts them.
bool splitMarked(const std::string& rest, std::string& name, std::string& marked) {
  const std::string arrow = " → ";
  std::vector<size_t> at;
  for (size_t p = rest.find(arrow); p != std::string::npos; p = rest.find(arrow, p + 1))
    at.push_back(p);
  if (at.size() % 2 == 0) return false;
  size_t mid = at[at.size() / 2];
  name = rest.substr(0, mid);
  marked = rest.substr(mid + arrow.size());
  return true;
}

void attachMarked(ArchiveReport& report, const std::string& rest) {
  std::string name, marked;
  if (splitMarked(rest, name, marked)) {
    for (ReportLine& r : report.members) {
      if (r.damaged() && r.name == name && r.detail.empty()) {
        r.detail = "「" + marked + "」として書き出しました";
        return;
      }
    }
  }
  report.notes.push_back("破損したまま書き出しました: " + rest);
}

// The ZIP library's lines that say the archive itself is damaged: its central directory is
// lost or damaged, or names a member otherwise than the member's own header.
bool archiveDamage(const std::string& line) {
  return line.rfind("中央ディレクトリ", 0) == 0 ||
         line.rfind("ヘッダと中央ディレクトリで名前が違います: ", 0) == 0;
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
    // A member a rescue did not write because the folder holds a file of its name.
    const std::string keptPrefix = "同名のファイルが存在するためスキップしました: ";
    size_t kept = line.find(keptPrefix);
    if (kept == 0 || (kept != std::string::npos && line.rfind("エラー: ", 0) == 0)) {
      ReportLine r;
      r.state = "既にあります";
      r.name = line.substr(kept + keptPrefix.size());
      r.detail = "同じ名前のファイルがあるため取り出していません";
      ++report.kept;
      report.members.push_back(std::move(r));
      continue;
    }
    const std::string markedPrefix = "破損したまま書き出しました: ";
    if (line.rfind(markedPrefix, 0) == 0) {
      attachMarked(report, line.substr(markedPrefix.size()));
      continue;
    }
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
    if (!member) {
      report.archiveDamaged = report.archiveDamaged || archiveDamage(line);
      report.notes.push_back(line);
    }
  }
  return report;
}

ArchiveReport parseIshReport(const std::string& output) {
  ArchiveReport report;
  for (std::string line : splitLines(output)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    ReportLine r;
    r.method = "ish";
    if (line.rfind("復元しました: ", 0) == 0 || line.rfind("復元できます: ", 0) == 0) {
      r.state = "正常";
      // "a.txt (10 バイト, 2 行を修復)" or "a.txt (10 バイト)": the mended lines are the detail.
      std::string inner = line.substr(line.find(": ") + 2);
      r.name = inner;
      size_t open = inner.rfind(" (");
      if (open != std::string::npos && inner.back() == ')') {
        std::string tail = inner.substr(open + 2, inner.size() - open - 3);
        size_t bytes = tail.find(" バイト");
        if (bytes != std::string::npos) {
          r.name = inner.substr(0, open);
          r.size = tail.substr(0, bytes);
          size_t mended = tail.find(", ", bytes);
          if (mended != std::string::npos) r.detail = tail.substr(mended + 2);
        }
      }
    } else if (line.rfind("復元できません: ", 0) == 0) {
      std::string rest = line.substr(line.find(": ") + 2);
      size_t why = rest.find(": ");
      r.name = rest.substr(0, why);
      r.detail = why == std::string::npos ? "" : rest.substr(why + 2);
      r.state = r.detail.find("CRC") != std::string::npos              ? "CRC エラー"
                : r.detail.find("途切れています") != std::string::npos ? "途中で切れています"
                                                                       : "修復できません";
    } else {
      report.notes.push_back(line);
      continue;
    }
    report.damaged += r.damaged();
    report.members.push_back(std::move(r));
  }
  return report;
}

std::string reportText(const std::string& archive, const ArchiveReport& report, bool rescue) {
  const size_t sound = report.members.size() - report.damaged - report.kept;
  if (report.damaged == 0 && report.kept == 0 && report.notes.empty() && !report.archiveDamaged &&
      !report.members.empty())
    return archive + ": 正常です (" + std::to_string(sound) + " 個のメンバー" +
           (rescue ? "をすべて取り出しました" : "") + ")\r\n";
  std::string text = archive + "\r\n";
  text += "破損 " + std::to_string(report.damaged) + " 個，正常 " + std::to_string(sound) + " 個" +
          (report.kept ? "，既にあるため取り出さなかったもの " + std::to_string(report.kept) + " 個"
                       : "") +
          (rescue && sound ? " (正常なメンバーを取り出しました)" : "") + "\r\n\r\n";
  std::vector<const ReportLine*> order;
  for (const ReportLine& r : report.members) order.push_back(&r);
  std::stable_partition(order.begin(), order.end(),
                        [](const ReportLine* r) { return r->damaged(); });
  text += padded("状態", 20) + padded("サイズ", 12) + padded("方式", 9) + "名前\r\n";
  for (const ReportLine* r : order)
    text += padded(r->state, 20) + padded(r->size, 12) + padded(r->method, 9) + r->name +
            (r->detail.empty() ? "" : " (" + r->detail + ")") + "\r\n";
  for (const std::string& note : report.notes) text += note + "\r\n";
  return text;
}

}  // namespace zv
