#include "ish_decoder.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <tuple>

#include "ish_block.h"
#include "ish_crc.h"
#include "ish_encoder.h"
#include "ish_line.h"

namespace zv::ish {
namespace {

std::string lineList(const std::vector<int>& numbers) {
  std::string s;
  for (int n : numbers) s += (s.empty() ? "" : ", ") + std::to_string(n);
  return s;
}

// Collects the records of one file block by block and rebuilds the file.
class FileDecoder {
 public:
  FileDecoder(const Header& h, std::string name, size_t firstLine)
      : t_(info(h.type)), block_(t_), present_(size_t(t_.record) + 1), hRecord_(size_t(t_.record)) {
    file_.header = h;
    file_.name = std::move(name);
    file_.firstLine = firstLine;
    dataLines_ = dataLines(h.volume ? volumeLength(h) : h.size, t_.payload);
    blocks_ = (dataLines_ + size_t(t_.payload) - 1) / size_t(t_.payload);
  }

  static size_t volumeLength(const Header& h) {
    uint64_t from = uint64_t(h.volume - 1) * h.volumeSize;
    if (from >= h.size) return 0;
    return size_t(std::min<uint64_t>(h.volumeSize, h.size - from));
  }

  const Header& header() const { return file_.header; }
  bool complete() const { return blocksDone_ >= blocks_; }

  // A record with a good CRC, read from text line `lineNo`.
  void feed(const uint8_t* rec, size_t lineNo) {
    const int r = rec[0], N = t_.payload, L = t_.width, B = t_.record;
    if (!((r >= 1 && r <= N) || r == L || r == B)) return;
    if (any_ && r <= last_) {
      if (r == last_ && std::memcmp(stored(r), rec, size_t(r == B ? B : L)) == 0) return;
      closeBlock();
    }
    if (complete()) return;
    if (!any_) blockLine_ = lineNo;
    std::memcpy(stored(r), rec, size_t(r == B ? B : L));
    present_[size_t(r)] = 1;
    last_ = r;
    any_ = true;
    if (r == B) closeBlock();
  }

  DecodedFile finish(size_t endLine) {
    endLine_ = endLine;
    closeBlock();
    if (file_.problem.empty() && !complete()) {
      file_.problem = "データが " + std::to_string(endLine) + " 行目で途切れています (" +
                      std::to_string(blocks_ - blocksDone_) + " ブロック不足)";
    }
    if (file_.problem.empty()) verify();
    if (!file_.ok) file_.data.clear();
    return std::move(file_);
  }

 private:
  int lastPresent() const {
    for (int r = t_.payload; r >= 1; --r)
      if (present_[size_t(r)]) return r;
    return 0;
  }

  uint8_t* stored(int r) { return r == t_.record ? hRecord_.data() : block_.row(r); }

  void closeBlock() {
    if (!any_) return;
    const int N = t_.payload, L = t_.width;
    const int expected = int(std::min(size_t(N), dataLines_ - blocksDone_ * size_t(N)));
    std::vector<int> missing;
    int missingData = 0;
    for (int r = 1; r <= expected; ++r)
      if (!present_[size_t(r)]) missing.push_back(r), ++missingData;
    if (!present_[size_t(L)]) missing.push_back(L);
    const bool hasH = present_[size_t(t_.record)] != 0;
    block_.fillAbsentRows(expected);
    if (missingData > 0 && file_.problem.empty()) {
      std::unique_ptr<Pending> saved;
      if (missing.size() == 2)
        saved =
            std::make_unique<Pending>(Pending{blocksDone_, block_, missing, hRecord_, expected});
      if (block_.repair(missing, hasH ? hRecord_.data() : nullptr, expected,
                        Block::Variant::Standard)) {
        file_.repairedLines += missingData;
        if (saved) twoLine_.push_back(std::move(*saved));
      } else if (endLine_ && lastPresent() < expected) {
        file_.problem = "データが " + std::to_string(endLine_) +
                        " 行目で途切れています (ブロック " + std::to_string(blocksDone_ + 1) +
                        " の行 " + std::to_string(lastPresent() + 1) + " 以降がありません)";
      } else {
        std::vector<int> lost;
        for (int m : missing)
          if (m != L) lost.push_back(m);
        file_.problem = "ブロック " + std::to_string(blocksDone_ + 1) + " (テキスト " +
                        std::to_string(blockLine_) + " 行目から) のデータ行 " + lineList(lost) +
                        (present_[size_t(L)] ? "" : " と縦チェック行") +
                        (hasH ? "" : " と斜めチェック行") + " が失われていて修復できません";
      }
    }
    if (file_.problem.empty()) {
      for (int r = 1; r <= expected; ++r) {
        const uint8_t* p = block_.row(r);
        stream_.insert(stream_.end(), p + 1, p + L);
      }
    }
    ++blocksDone_;
    any_ = false;
    last_ = 0;
    std::fill(present_.begin(), present_.end(), 0);
  }

  bool crcMatches() const {
    size_t size = file_.header.volume ? volumeLength(file_.header) : file_.header.size;
    if (stream_.size() < size + 2) return false;
    uint16_t stored = uint16_t((stream_[size] << 8) | stream_[size + 1]);
    return crc16(stream_.data(), size) == stored;
  }

  void verify() {
    bool good = crcMatches();
    // Some writers summed the diagonal check differently; rebuild with their rule.
    for (auto variant : {Block::Variant::VOffDiagonals, Block::Variant::AbsentRowsZero}) {
      if (good || twoLine_.empty()) break;
      for (auto& p : twoLine_) {
        Block b = p.block;
        if (!b.repair(p.missing, p.h.data(), p.expected, variant)) continue;
        size_t at = p.index * size_t(t_.payload) * size_t(t_.payload);
        for (int r = 1; r <= p.expected; ++r)
          std::memcpy(&stream_[at + size_t(r - 1) * size_t(t_.payload)], b.row(r) + 1,
                      size_t(t_.payload));
      }
      good = crcMatches();
    }
    if (!good) {
      file_.problem = "CRC が一致しません (テキスト " + std::to_string(file_.firstLine) +
                      " 行目からのデータが壊れています)";
      return;
    }
    size_t size = file_.header.volume ? volumeLength(file_.header) : file_.header.size;
    stream_.resize(size);
    file_.data = std::move(stream_);
    file_.ok = true;
  }

  struct Pending {
    size_t index;
    Block block;
    std::vector<int> missing;
    std::vector<uint8_t> h;
    int expected;
  };

  const TypeInfo& t_;
  DecodedFile file_;
  size_t dataLines_ = 0, blocks_ = 0, blocksDone_ = 0;
  Block block_;
  std::vector<uint8_t> present_;
  std::vector<uint8_t> hRecord_;
  bool any_ = false;
  int last_ = 0;
  size_t blockLine_ = 0;
  size_t endLine_ = 0;  // set while the text's end (or the next file) closes the last block
  std::vector<uint8_t> stream_;
  std::vector<Pending> twoLine_;
};

bool asciiPrefixNoCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    unsigned char a = uint8_t(text[i]), b = uint8_t(prefix[i]);
    if (a < 0x80 && b < 0x80 ? std::tolower(a) != std::tolower(b) : a != b) return false;
  }
  return true;
}

// The long name of a comment line "<<< NAME ..." when the header's 8.3 base begins it.
std::string longNameFor(const std::vector<std::string>& comments, const Header& h) {
  std::string base = h.base;
  while (!base.empty() && (base.back() == ' ' || base.back() == '\0')) base.pop_back();
  if (base.empty()) return {};
  for (const auto& word : comments)
    if (asciiPrefixNoCase(word, base)) return word;
  return {};
}

// Text line without control characters and trailing blanks.
std::string_view cleanLine(std::string_view raw, std::string& buffer) {
  bool dirty = false;
  for (unsigned char c : raw)
    if (c < 0x20 || c == 0x7F) {
      dirty = true;
      break;
    }
  std::string_view line = raw;
  if (dirty) {
    buffer.clear();
    for (unsigned char c : raw)
      if (c >= 0x20 && c != 0x7F) buffer.push_back(char(c));
    line = buffer;
  }
  while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
  return line;
}

bool headerOf(std::string_view line, Header& h) {
  uint8_t rec[69];
  const auto* p = reinterpret_cast<const uint8_t*>(line.data());
  if (line.size() >= 78 && line[0] == '!' && decodeLine(CodeType::Jis7, p, rec) &&
      recordCrcGood(rec, 63))
    return parseHeaderRecord(rec, 63, h);
  if (line.size() >= 79 && line[0] == '#' && decodeLine(CodeType::Jis8, p, rec) &&
      recordCrcGood(rec, 69))
    return parseHeaderRecord(rec, 69, h);
  return false;
}

bool sameHeader(const Header& a, const Header& b) {
  return a.type == b.type && a.volume == b.volume && a.size == b.size && a.base == b.base &&
         a.ext == b.ext && a.flags == b.flags && a.dosTime == b.dosTime && a.dosDate == b.dosDate &&
         a.fileCrc16 == b.fileCrc16 && a.volumeSize == b.volumeSize &&
         a.volumeCrc16 == b.volumeCrc16;
}

}  // namespace

std::vector<DecodedFile> decodeText(std::string_view text) {
  std::vector<DecodedFile> out;
  std::unique_ptr<FileDecoder> current;
  std::vector<std::string> comments;
  std::string buffer;
  uint8_t rec[73];
  size_t lineNo = 0, pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    std::string_view raw = text.substr(pos, end - pos);
    // CR LF counts as one line end.
    pos = end + ((end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
    ++lineNo;
    if (raw.empty()) continue;
    std::string_view line = cleanLine(raw, buffer);
    if (line.size() < 8) continue;
    if (line[0] == '!' || line[0] == '#') {
      Header h;
      if (headerOf(line, h)) {
        if (current && sameHeader(current->header(), h)) continue;
        if (current) out.push_back(current->finish(lineNo));
        std::string name = longNameFor(comments, h);
        if (name.empty()) name = shortName(h);
        comments.clear();
        current = std::make_unique<FileDecoder>(h, std::move(name), lineNo);
        continue;
      }
    }
    if (size_t at = line.find("<<< ");
        at != std::string_view::npos && line.find(">>>") != std::string_view::npos) {
      // "<<< NAME for ..." (the name may hold blanks) or "<<< NAME SIZE byte ...".
      std::string_view rest = line.substr(at + 4);
      if (size_t f = rest.find(" for "); f != std::string_view::npos)
        comments.emplace_back(rest.substr(0, f));
      comments.emplace_back(rest.substr(0, rest.find(' ')));
      continue;
    }
    if (!current) continue;
    const TypeInfo& t = info(current->header().type);
    if (line.size() < size_t(t.textLength)) continue;
    if (!decodeLine(t.type, reinterpret_cast<const uint8_t*>(line.data()), rec) ||
        !recordCrcGood(rec, t.record))
      continue;
    current->feed(rec, lineNo);
    if (current->complete() && rec[0] == t.record) {
      out.push_back(current->finish(lineNo));
      current.reset();
    }
  }
  if (current) out.push_back(current->finish(lineNo));
  return out;
}

std::vector<DecodedFile> joinVolumes(std::vector<DecodedFile> items) {
  using Key = std::tuple<std::string, std::string, uint32_t, uint32_t, uint16_t>;
  auto keyOf = [](const Header& h) {
    return Key{h.base, h.ext, h.size, h.volumeSize, h.fileCrc16};
  };
  std::map<Key, std::vector<size_t>> sets;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].header.volume != 0) sets[keyOf(items[i].header)].push_back(i);

  // The result of each set goes where its first volume was found.
  std::map<size_t, std::vector<DecodedFile>> resultAt;
  for (auto& [key, members] : sets) {
    std::vector<DecodedFile>& result = resultAt[members[0]];
    const Header h0 = items[members[0]].header;
    size_t count = std::max<size_t>(1, (size_t(h0.size) + h0.volumeSize - 1) / h0.volumeSize);
    std::vector<const DecodedFile*> byVolume(count + 1, nullptr);
    for (size_t i : members) {
      const DecodedFile& f = items[i];
      if (f.ok && f.header.volume <= count && !byVolume[f.header.volume])
        byVolume[f.header.volume] = &f;
    }
    std::vector<int> lacking;
    for (size_t k = 1; k <= count; ++k)
      if (!byVolume[k]) lacking.push_back(int(k));
    if (!lacking.empty()) {
      for (size_t i : members) {
        DecodedFile f = items[i];
        if (f.ok) {
          f.ok = false;
          f.data.clear();
          f.problem = "分割ファイルの " + lineList(lacking) + " 番目 (全 " + std::to_string(count) +
                      ") が見つかりません";
        }
        result.push_back(std::move(f));
      }
      continue;
    }
    DecodedFile whole;
    whole.header = h0;
    whole.header.volume = 0;
    whole.name = byVolume[1]->name;
    whole.firstLine = byVolume[1]->firstLine;
    whole.data.reserve(h0.size);
    for (size_t k = 1; k <= count; ++k) {
      whole.data.insert(whole.data.end(), byVolume[k]->data.begin(), byVolume[k]->data.end());
      whole.repairedLines += byVolume[k]->repairedLines;
    }
    bool good = whole.data.size() == h0.size;
    if (good && (h0.flags & kFlagCrc16))
      good = crc16(whole.data.data(), whole.data.size()) == h0.fileCrc16;
    if (good && (h0.flags & kFlagCrc32))
      good = crc32(whole.data.data(), whole.data.size()) == h0.fileCrc32;
    whole.ok = good;
    if (!good) {
      whole.data.clear();
      whole.problem = "分割ファイルをつないだ結果の CRC が一致しません";
    }
    result.push_back(std::move(whole));
  }
  std::vector<DecodedFile> out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].header.volume == 0) {
      out.push_back(std::move(items[i]));
    } else if (auto it = resultAt.find(i); it != resultAt.end()) {
      for (auto& f : it->second) out.push_back(std::move(f));
    }
  }
  return out;
}

}  // namespace zv::ish
