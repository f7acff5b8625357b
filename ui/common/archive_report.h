// The per-member report of an archive test or rescue, read from the libraries' text output
// ("CRC エラー: name (1234 バイト, lh5)" a member) and laid out for the report window: the
// damaged members first, then the sound ones, then totals.
#pragma once
#include <string>
#include <vector>

namespace zv {

struct ReportLine {
  // 正常, CRC エラー, ヘッダ破損, 途中で切れています, or 既にあります (a rescue kept the file
  // of that name already in the folder)
  std::string state;
  std::string name;
  std::string size;    // in bytes, empty when the header was lost
  std::string method;  // lh5, deflate, ...
  std::string detail;  // what else befell it: lines lost, the marked name it was written under
  bool damaged() const { return state != "正常" && !kept(); }
  bool kept() const { return state == "既にあります"; }
};

struct ArchiveReport {
  std::vector<ReportLine> members;  // in archive order
  std::vector<std::string> notes;   // other lines of the library (skipped files, refusals)
  size_t damaged = 0;
  size_t kept = 0;
  // The archive itself is damaged (a ZIP's central directory lost or not matching the
  // members), even when every member is sound.
  bool archiveDamaged = false;
};

ArchiveReport parseReport(const std::string& output);

// The same from what the ISH library says of each file of an ISH text ("復元しました: a.txt
// (10 バイト, 2 行を修復)", "復元できません: b.txt: ... のデータ行 3, 4 が失われていて修復
// できません").
ArchiveReport parseIshReport(const std::string& output);

// The report of one archive: a single line when nothing is damaged and nothing else was
// said, else a table with the damaged members first and the totals. `rescue`: the sound
// members were taken out, not only tested.
std::string reportText(const std::string& archive, const ArchiveReport& report, bool rescue);

}  // namespace zv
