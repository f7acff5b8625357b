// t (test every member) and x / e with -jr (take out what is intact). The headers are walked
// one after the other; after a header that does not check out, the rest of the file is
// searched for the next one that does, so one damaged member does not hide those behind it.
// Every member gets one report line; a member whose data fails its CRC is never written under
// its own name (with -jr2 it is written under a marked name once the intact members are out,
// so that name cannot take theirs); the members lost are named again at the end and the
// result is then non-zero.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <set>

#include "archive_index.h"
#include "commands.h"
#include "extract_member.h"
#include "header_reader.h"
#include "lzh_error.h"
#include "lzh_paths.h"
#include "member_io.h"
#include "platform/encoding.h"
#include "rescue_verdict.h"
#include "wildcard.h"
#include "write_gate.h"

namespace zv::lzh {
namespace {

using archive::Verdict;
using archive::verdictText;

// "name (1234 バイト, lh5)": the tail every report line carries.
std::string described(const Member& m) {
  std::string method(m.method, 5);
  if (method.size() == 5 && method[0] == '-' && method[4] == '-') method = method.substr(1, 3);
  return m.path + " (" + std::to_string(m.originalSize) + " バイト, " + method + ")";
}

// True when the bytes at `p` could start a header: the method between dashes, a level the
// reader knows. (Some Amiga tools leave the level 1 attribute byte at 0, so it is not asked.)
bool looksLikeHeader(const unsigned char* p) {
  return p[2] == '-' && p[6] == '-' && (p[3] == 'l' || p[3] == 'p') && p[20] <= 3;
}

// Where a header starting with `pre` at `pos` would end, by its own size field.
uint64_t headerEnd(const unsigned char* pre, uint64_t pos) {
  return pos + (pre[20] == 2 ? (pre[0] | pre[1] << 8) : pre[0] + 2);
}

// True when the file ends inside the header at `pos`: what is left of it starts as a header
// does (as far as it goes) and the size it gives runs past the end.
bool cutInHeader(ByteSource& src, uint64_t pos) {
  unsigned char pre[22] = {};
  size_t n = src.readAt(pos, pre, sizeof pre);
  if (n == sizeof pre) return looksLikeHeader(pre) && headerEnd(pre, pos) > src.size();
  if (n == 0 || (n > 2 && pre[2] != '-') || (n > 3 && pre[3] != 'l' && pre[3] != 'p') ||
      (n > 6 && pre[6] != '-'))
    return false;
  return true;
}

// The first position from `from` on where a header checks out (its checksum or CRC, its
// sizes), or the file size.
uint64_t nextHeader(ByteSource& src, uint64_t from) {
  constexpr size_t kStep = 64 * 1024;
  std::vector<unsigned char> buf(kStep + 22);
  for (uint64_t at = from; at + 22 <= src.size(); at += kStep) {
    size_t n = src.readAt(at, buf.data(), buf.size());
    for (size_t p = 0; p + 22 <= n && p < kStep; ++p) {
      if (!looksLikeHeader(&buf[p])) continue;
      Member m;
      if (readHeader(src, at + p, m).status == HeaderStatus::Ok) return at + p;
    }
  }
  return src.size();
}

// The name a damaged header still shows, for the report: the name field of levels 0 and 1,
// the name extended header of level 2; printable bytes only.
std::string guessName(ByteSource& src, uint64_t pos) {
  unsigned char h[512];
  size_t n = src.readAt(pos, h, sizeof h);
  std::string name;
  if (n >= 22 && h[20] <= 1 && size_t(22 + h[21]) <= n) {
    name.assign(reinterpret_cast<char*>(h + 22), h[21]);
  } else if (n >= 26 && h[20] == 2) {
    for (size_t at = 24; at + 3 <= n;) {
      size_t len = h[at] | (h[at + 1] << 8);
      if (len < 3 || at + 2 + len > n) break;
      if (h[at + 2] == 0x01) {
        name.assign(reinterpret_cast<char*>(h + at + 3), len - 3);
        break;
      }
      at += len;
    }
  }
  if (name.size() > 260) return {};
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20) return {};
  return encoding::decodeUnknown(name);
}

struct Lost {
  std::string what;  // the member, or where its header was
  Verdict verdict;
};

class Rescue {
 public:
  explicit Rescue(RunContext& ctx) : ctx_(ctx), cmd_(ctx.cmd) {}

  int run() {
    std::string archive = archiveHostPath(cmd_.archive);
    int fd = open(archive.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail(ZV_ERROR_CANNOT_OPEN, "書庫を開けません: " + archive);
    FileSource src(fd);
    ArchiveReader reader(fd);
    patterns_ = cmd_.args;
    // Names read as a plain extraction reads them: one encoding for the archive, decided from
    // the headers before the first damage, or the one asked for.
    try {
      reading_ = nameReadingFor(src, cmd_.names, false);
    } catch (const LzhError&) {
      if (cmd_.names != encoding::NameEncoding::Auto) reading_ = NameReading{cmd_.names, true};
    }
    if (cmd_.verb != 't') openDestination();
    ctx_.total = src.size();
    ctx_.begin();
    walk(src, reader, firstHeader(src));
    writeDamaged(reader);
    ctx_.end();
    return summary();
  }

 private:
  // Behind a self-extracting stub, or, when even the first header is damaged, wherever the
  // first sound header lies.
  uint64_t firstHeader(FileSource& src) {
    try {
      uint64_t start = scanArchive(src)->start;
      unsigned char pre[22] = {};
      // Not behind a stub when the file itself starts like a header: that member is lost.
      if (start > 0 && src.readAt(0, pre, sizeof pre) == sizeof pre && looksLikeHeader(pre)) {
        std::string name = guessName(src, 0);
        lose({name.empty() ? "位置 0 のメンバー" : name + " (名前は推定)", Verdict::Header});
      }
      return start;
    } catch (const LzhError& e) {
      if (e.code() != ZV_ERROR_BROKEN_ARCHIVE && e.code() != ZV_ERROR_NOT_ARCHIVE) throw;
      uint64_t at = nextHeader(src, 0);
      if (at >= src.size()) throw;
      if (e.code() == ZV_ERROR_BROKEN_ARCHIVE) {
        std::string name = guessName(src, 0);
        lose({name.empty() ? "位置 0 のメンバー" : name + " (名前は推定)", Verdict::Header});
      }
      return at;
    }
  }

  void openDestination() {
    std::string destArg;
    if (!patterns_.empty() && endsWithSeparator(patterns_.front())) {
      destArg = patterns_.front();
      patterns_.erase(patterns_.begin());
    }
    std::string folder = destArg.empty() ? "." : toHostPath(destArg);
    dest_ = std::make_unique<archive::Destination>(folder);
    if (!dest_->ok()) fail(ZV_ERROR_CANNOT_CREATE, "解凍先フォルダを作れません: " + folder);
  }

  bool chosen(const std::string& path) const {
    if (patterns_.empty()) return true;
    for (const std::string& p : patterns_)
      if (selectsMember(p, path)) return true;
    return false;
  }

  void walk(FileSource& src, ArchiveReader& reader, uint64_t pos) {
    bool found = false;         // pos was found by searching, not by following the chain
    uint64_t searchFrom = pos;  // where a search starts when the chain breaks
    while (pos < src.size()) {
      Member m;
      HeaderRead r = readHeader(src, pos, m);
      if (r.status != HeaderStatus::Ok) {
        uint64_t next = nextHeader(src, std::max(searchFrom, pos) + 1);
        // An end marker with no sound header behind it ends the archive: what follows it (an
        // add that was cut short leaves a partial header) is no member.
        if (r.status == HeaderStatus::End && next >= src.size()) {
          if (pos + 1 < src.size())
            ctx_.out.line("書庫の終わりの後に " + std::to_string(src.size() - pos - 1) +
                          " バイトの余分なデータがあります");
          return;
        }
        std::string name = guessName(src, pos);
        lose({name.empty() ? "位置 " + std::to_string(pos) + " のメンバー" : name + " (名前は推定)",
              next >= src.size() && cutInHeader(src, pos) ? Verdict::Cut : Verdict::Header});
        pos = searchFrom = next;
        found = true;
        continue;
      }
      readNameAs(m, reading_);
      Verdict v = chosen(m.path) ? handle(m, reader) : Verdict::Ok;
      if (m.truncated) return;
      if (v == Verdict::Crc && found) {
        // A header found by searching may be a chance match inside other data: look on
        // right behind it rather than trusting its sizes.
        pos = searchFrom = nextHeader(src, m.headerOffset + 1);
        continue;
      }
      // A member that fails may also have misled us about where the next one starts.
      searchFrom = v == Verdict::Ok ? m.dataOffset + m.packedSize : m.dataOffset;
      pos = m.dataOffset + m.packedSize;
      found = false;
    }
  }

  Verdict handle(const Member& m, ArchiveReader& reader) {
    ctx_.member(m.path);
    Verdict v = Verdict::Ok;
    try {
      if (m.truncated) {
        v = Verdict::Cut;
      } else if (cmd_.verb == 't') {
        if (!m.isFolder && !m.isSymlink) decodeMember(reader, m, -1, ctx_);
      } else {
        write(m, reader);
      }
    } catch (const LzhError& e) {
      if (e.code() == ZV_ERROR_CRC || e.code() == ZV_ERROR_BROKEN_ARCHIVE) {
        v = Verdict::Crc;
      } else if (e.code() == ZV_ERROR_USER_CANCEL || e.code() == ZV_ERROR_DISK_SPACE ||
                 e.code() == ZV_ERROR_WRITE || e.code() == ZV_ERROR_MEMORY) {
        throw naming(e, m.path);
      } else {
        // Sound but not taken out (unsafe name, unknown method): said, not counted as lost.
        ctx_.out.line(std::string("エラー: ") + naming(e, m.path).what());
        if (!other_) other_ = e.code();
        return Verdict::Ok;
      }
    }
    if (v == Verdict::Ok) {
      ++sound_;
      ctx_.out.line(std::string(cmd_.verb == 't' ? "正常" : "取り出しました") + ": " +
                    described(m));
    } else {
      lose({described(m), v});
      if (cmd_.keepDamaged && cmd_.verb != 't' && !m.isFolder && !m.isSymlink && !m.parts.empty())
        damaged_.push_back(m);
    }
    return v;
  }

  // The components a member is written under: its folders too, except with e.
  std::vector<std::string> partsOf(const Member& m) const {
    std::vector<std::string> parts = m.parts;
    if (cmd_.verb == 'e' && !parts.empty()) parts = {parts.back()};
    return parts;
  }

  // The damaged members, each under a marked name beside where it belongs.
  void writeDamaged(ArchiveReader& reader) {
    for (const Member& m : damaged_) {
      try {
        std::string placed = extractDamaged(m, partsOf(m), *dest_, batch_, reader, ctx_);
        size_t cut = m.path.rfind('\\');
        std::string folder =
            cmd_.verb == 'e' || cut == std::string::npos ? "" : m.path.substr(0, cut + 1);
        ctx_.out.line("破損したまま書き出しました: " + m.path + " → " + folder + placed);
      } catch (const LzhError& e) {
        if (e.code() == ZV_ERROR_USER_CANCEL || e.code() == ZV_ERROR_DISK_SPACE ||
            e.code() == ZV_ERROR_MEMORY)
          throw;
        ctx_.out.line(std::string("エラー: ") + e.what());
        if (!other_) other_ = e.code();
      }
    }
  }

  void write(const Member& m, ArchiveReader& reader) {
    if (cmd_.verb == 'e' && m.isFolder) return;
    std::vector<std::string> parts = partsOf(m);
    // Nothing that was in the destination before the run is replaced unless asked (-jyo); a
    // later member of a name this run wrote replaces it, as plain extraction does.
    std::string key;
    for (const std::string& p : parts) key += p + '/';
    if (!cmd_.replaceExisting && !m.isFolder && !parts.empty() && !written_.count(key)) {
      std::vector<std::string> safe = archive::withoutStoredDrive(parts);
      if (archive::checkParts(safe) == archive::NameProblem::None) {
        int dir = dest_->cachedFolder(safe, safe.size() - 1);
        if (dir >= 0 && archive::existingAt(dir, safe.back()) != archive::Existing::Nothing) {
          // Not written, but still read: a damaged member must not pass for a sound one.
          if (!m.isSymlink) decodeMember(reader, m, -1, ctx_);
          fail(ZV_ERROR_CANNOT_CREATE, "同名のファイルが存在するためスキップしました");
        }
      }
    }
    extractOne(m, parts, *dest_, batch_, reader, ctx_);
    written_.insert(key);
  }

  void lose(Lost l) {
    ctx_.out.line(std::string(verdictText(l.verdict)) + ": " + l.what);
    lost_.push_back(std::move(l));
  }

  int summary() {
    ctx_.out.line(std::to_string(sound_) + " 個正常、" + std::to_string(lost_.size()) +
                  " 個破損 (" + (cmd_.verb == 't' ? "検査しました" : "取り出しました") + ")");
    if (lost_.empty()) {
      if (sound_ == 0 && other_ == 0)
        fail(ZV_ERROR_NO_FILES, "指定されたファイルは書庫にありません");
      return other_;
    }
    bool onlyCrc = true;
    for (const Lost& l : lost_) {
      ctx_.out.line("失われたメンバー: " + l.what);
      onlyCrc = onlyCrc && l.verdict == Verdict::Crc;
    }
    return onlyCrc ? ZV_ERROR_CRC : ZV_ERROR_BROKEN_ARCHIVE;
  }

  RunContext& ctx_;
  const Command& cmd_;
  std::vector<std::string> patterns_;
  NameReading reading_;
  std::unique_ptr<archive::Destination> dest_;
  archive::WriteBatch batch_;
  std::vector<Lost> lost_;
  std::set<std::string> written_;  // the paths this run wrote
  std::vector<Member> damaged_;    // with -jr2: to be written under marked names
  size_t sound_ = 0;
  int other_ = 0;
};

}  // namespace

int rescueMembers(RunContext& ctx) { return Rescue(ctx).run(); }

}  // namespace zv::lzh
