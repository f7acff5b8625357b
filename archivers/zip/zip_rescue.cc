#include "zip_rescue.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include "platform/drives.h"
#include "platform/member_name.h"
#include "platform/runtime_error.h"
#include "rescue_verdict.h"
#include "write_gate.h"
#include "zip_archive.h"
#include "zip_extract.h"
#include "zip_local_scan.h"
#include "zip_lzma.h"
#include "zip_member_reader.h"

namespace zv::zip {

std::shared_ptr<Archive> Archive::openLocal(const std::string& hostPath, LocalWalk& walk,
                                            int* zipError, int* sysError, const NameReading& names,
                                            const std::vector<std::string>& alsoNames) {
  std::shared_ptr<Archive> a = openFile(hostPath, zipError, sysError);
  if (!a) return nullptr;
  ReadWindow w(a->bytes_);
  a->requested_ = names.forced ? names.encoding : encoding::NameEncoding::Auto;
  *zipError = readLocalHeaders(w, a->cd_, walk, sysError, names, alsoNames);
  if (*zipError) return nullptr;
  return a;
}

namespace {

constexpr const char* kNl = "\r\n";

using archive::Verdict;
using archive::verdictText;

std::string described(const Member& m) {
  return m.name + " (" + std::to_string(m.size) + " バイト, " + methodName(m.method) + ")";
}

// True when the data descriptor behind a member's data (with or without its signature,
// sizes of 4 or 8 bytes) holds the entry's CRC and sizes.
bool descriptorAgrees(ReadWindow& w, uint64_t dataAt, const Entry& e) {
  for (size_t skip : {size_t(4), size_t(0)}) {
    for (size_t width : {size_t(4), size_t(8)}) {
      const unsigned char* d = w.view(dataAt + e.packed, skip + 4 + 2 * width);
      if (!d || (skip && le32(d) != 0x08074b50)) continue;
      d += skip;
      uint64_t packed = width == 8 ? le64(d + 4) : le32(d + 4);
      uint64_t size = width == 8 ? le64(d + 4 + width) : le32(d + 4 + width);
      if (le32(d) == e.crc && packed == e.packed && size == e.size) return true;
    }
  }
  return false;
}

// True when each directory entry's local header is where the entry says, with the same
// name, method and (when the header holds them) CRC and both sizes.
bool agreesWithLocalHeaders(const Archive& a) {
  ReadWindow w(a.bytes());
  const NameReading reading{a.namesDecided(), a.namesRequested() != encoding::NameEncoding::Auto};
  for (size_t i = 0; i < a.count(); ++i) {
    const Entry& e = a.entry(i);
    const unsigned char* h = w.view(e.localOffset, 30);
    if (!h || le32(h) != 0x04034b50) return false;
    const uint16_t flags = le16(h + 6), method = le16(h + 8), nameLen = le16(h + 26);
    if (method != e.method && method != 99) return false;
    if (!(flags & 8) && le32(h + 14) != e.crc) return false;
    if (!(flags & 8) && le32(h + 18) != 0xFFFFFFFF && le32(h + 18) != e.packed) return false;
    if (!(flags & 8) && le32(h + 22) != 0xFFFFFFFF && le32(h + 22) != e.size) return false;
    if ((flags & 8) && !descriptorAgrees(w, e.localOffset + 30 + nameLen + le16(h + 28), e))
      return false;
    const unsigned char* n = w.view(e.localOffset + 30, nameLen);
    std::string_view name = a.name(i);
    bool plain = nameLen == name.size();
    for (size_t k = 0; plain && k < name.size(); ++k) plain = (unsigned char)name[k] < 0x80;
    // Plain names are compared byte for byte; others as the directory read them.
    if (plain && (!n || std::memcmp(n, name.data(), nameLen) != 0)) return false;
    if (!plain && localHeaderName(w, e.localOffset, reading) != std::string(name)) return false;
  }
  return true;
}

// The raw names without a mark of an archive's directory.
std::vector<std::string> unmarkedNames(const Archive& a) {
  ReadWindow w(a.bytes());
  DirectoryPlace place;
  NameSurvey survey;
  int sysError = 0;
  if (findCentralDirectory(w, place, &sysError) == 0) {
    place.names = NameReading{encoding::NameEncoding::Cp932, false};
    walkCentralDirectory(
        w, place, [](const Entry&, std::string_view) {}, &sysError, &survey);
  }
  return survey.sample;
}

// The host as each member's own run sees it: one progress dialog for the whole rescue, so
// the members' begin and end reports are dropped and their byte counts carried on.
struct WholeRunHost {
  const ZvHost* outer = nullptr;
  uint64_t before = 0, total = 0;
  ZvHost host{};

  explicit WholeRunHost(const ZvHost* h) : outer(h) {
    host.user = this;
    host.progress = [](void* user, const ZvProgress* p) {
      auto* self = static_cast<WholeRunHost*>(user);
      if (p->state != ZV_PROGRESS_MEMBER) return 0;
      ZvProgress whole = *p;
      whole.done = self->before + p->done;
      whole.total = self->total;
      return self->report(whole);
    };
    host.decide = [](void* user, ZvDecision* d) {
      auto* self = static_cast<WholeRunHost*>(user);
      return self->outer && self->outer->decide ? self->outer->decide(self->outer->user, d) : 0;
    };
  }
  int report(const ZvProgress& p) const {
    return outer && outer->progress ? outer->progress(outer->user, &p) : 0;
  }
  const ZvHost* get() const { return outer ? &host : nullptr; }
};

class Rescue {
 public:
  Rescue(const UnZipCommand& cmd, const ZvHost* host, std::string& out)
      : cmd_(cmd), host_(host), out_(out) {}

  int run() {
    std::string path;
    try {
      path = hostPath(cmd_.archive);
    } catch (const RuntimeError&) {
      out_ += "ドライブが見つかりません: " + cmd_.archive + kNl;
      return ZV_ERROR_CANNOT_OPEN;
    }
    int zipError = 0, sysError = 0;
    std::shared_ptr<Archive> central;
    a_ = Archive::open(path, &zipError, &sysError, true, cmd_.names);
    if (a_ && !agreesWithLocalHeaders(*a_)) {
      // A damaged directory entry would name a member wrongly or fail sound data: the local
      // headers, which sit beside each member's own bytes, are trusted instead.
      central = std::move(a_);
      directoryDamaged_ = true;
      out_ += std::string("中央ディレクトリと各メンバーのヘッダが一致しません") + kNl;
    }
    if (!a_ && !sysError) {
      // The names of a directory that disagrees count when the archive's encoding is
      // decided: a damaged name, in it or in a local header, is then one among many.
      const bool asked = cmd_.names != encoding::NameEncoding::Auto;
      a_ = Archive::openLocal(path, walk_, &zipError, &sysError, NameReading{cmd_.names, asked},
                              central ? unmarkedNames(*central) : std::vector<std::string>{});
      if (a_ && !directoryDamaged_)
        out_ +=
            std::string("中央ディレクトリが壊れているため、各メンバーのヘッダから読みました") + kNl;
      directoryDamaged_ = directoryDamaged_ || a_;
      if (a_ && central) compareNames(*central);
    }
    if (!a_) {
      if (sysError) {
        out_ +=
            "書庫を開けません (" + zv::archive::errnoText(sysError) + "): " + cmd_.archive + kNl;
        return ZV_ERROR_CANNOT_OPEN;
      }
      out_ += "ZIP 書庫ではありません: " + cmd_.archive + kNl;
      return ZV_ERROR_NOT_ARCHIVE;
    }
    std::vector<std::string> unmatched;
    std::vector<size_t> chosen = chooseMembers(*a_, cmd_, unmatched);
    for (const auto& u : unmatched) out_ += "書庫にありません: " + u + kNl;
    each(chosen);
    if (!cancelled_) writeDamaged();
    if (cancelled_) return ZV_ERROR_USER_CANCEL;
    for (const LocalWalk::Lost& l : walk_.lost)
      lose((l.name.empty() ? "位置 " + std::to_string(l.offset) + " のメンバー"
                           : l.name + " (名前は推定)"),
           l.cut ? Verdict::Cut : Verdict::Header);
    return summary();
  }

 private:
  // A member whose local header names it otherwise than the directory: one of the two names
  // is damaged, and which cannot be told, so the run says so and does not end in success.
  void compareNames(const Archive& central) {
    std::map<uint64_t, size_t> byOffset;
    for (size_t i = 0; i < central.count(); ++i) byOffset[central.entry(i).localOffset] = i;
    for (size_t i = 0; i < a_->count(); ++i) {
      auto it = byOffset.find(a_->entry(i).localOffset);
      if (it == byOffset.end() || central.name(it->second) == a_->name(i)) continue;
      out_ += "ヘッダと中央ディレクトリで名前が違います: " + std::string(a_->name(i)) + " / " +
              std::string(central.name(it->second)) + kNl;
      namesDiffer_ = true;
    }
  }

  void each(const std::vector<size_t>& chosen) {
    WholeRunHost whole(host_);
    for (size_t i : chosen) whole.total += a_->entry(i).size;
    ZvProgress begin{a_->path().c_str(), nullptr, 0, whole.total, ZV_PROGRESS_BEGIN};
    if (whole.report(begin) != 0) {
      cancelled_ = true;
      return;
    }
    eachMember(chosen, whole);
    ZvProgress end{a_->path().c_str(), nullptr, whole.before, whole.total, ZV_PROGRESS_END};
    whole.report(end);
  }

  void eachMember(const std::vector<size_t>& chosen, WholeRunHost& whole) {
    UnZipCommand one = cmd_;
    one.action = cmd_.action == UnZipCommand::Action::Test ? UnZipCommand::Action::Test
                                                           : UnZipCommand::Action::Extract;
    for (size_t i : chosen) {
      Member m = a_->member(i);
      Verdict v = Verdict::Ok;
      std::string said;
      if (i < walk_.truncated.size() && walk_.truncated[i]) {
        v = Verdict::Cut;
      } else if (!opens(m, v)) {
        // v says why
      } else if (!m.folder || one.action == UnZipCommand::Action::Extract) {
        std::vector<size_t> just{i};
        // A later member of a name this run wrote is the newer one (an archive updated by
        // appending): it replaces that file. What was there before the run is kept.
        const std::string key = destinationOf(m);
        one.overwrite = cmd_.overwrite || written_.count(key);
        int r = extractMembers(*a_, one, &just, whole.get(), said);
        if (r == 0 && said.find("スキップ") != std::string::npos) {
          // Not written, but still read: a damaged member must not pass for a sound one.
          UnZipCommand test = one;
          test.action = UnZipCommand::Action::Test;
          std::string checked;
          int t = extractMembers(*a_, test, &just, whole.get(), checked);
          if (t == ZV_ERROR_CRC || t == ZV_ERROR_BROKEN_ARCHIVE || t == ZV_ERROR_USER_CANCEL) {
            r = t;
            said = checked;
          }
        }
        if (r == 0 && said.find("スキップ") == std::string::npos) written_.insert(key);
        whole.before += m.size;
        if (r == ZV_ERROR_USER_CANCEL) {
          cancelled_ = true;
          out_ += said;
          return;
        }
        v = r == 0                                              ? Verdict::Ok
            : r == ZV_ERROR_CRC || r == ZV_ERROR_BROKEN_ARCHIVE ? Verdict::Crc
                                                                : Verdict::Other;
        if (v == Verdict::Other) {
          // Sound but not taken out (password, method, name, disk): said as the library says
          // it, not counted as lost.
          out_ += said;
          if (!other_) other_ = r;
          continue;
        }
      }
      if (v != Verdict::Ok) {
        lose(described(m), v);
        if (cmd_.keepDamaged && one.action == UnZipCommand::Action::Extract && !m.folder &&
            !m.symlink && (v == Verdict::Crc || v == Verdict::Cut))
          damaged_.push_back(i);
      } else if (said.find("スキップ") != std::string::npos) {
        out_ += said;
      } else if (!m.folder || one.action == UnZipCommand::Action::Test) {
        ++sound_;
        out_ += std::string(one.action == UnZipCommand::Action::Test ? "正常" : "取り出しました") +
                ": " + described(m) + kNl;
      }
    }
  }

  // Where a member goes, as one text: the run tells by it which files it wrote itself.
  std::string destinationOf(const Member& m) const {
    std::vector<std::string> parts;
    splitMemberName(m.name, parts);
    if (!cmd_.keepFolders && !parts.empty()) parts = {parts.back()};
    std::string key;
    for (const std::string& p : parts) key += p + '/';
    return key;
  }

  // With --keep-damaged, once every intact member is out (so a marked name cannot take the
  // name of one of them): each damaged member under a marked name beside where it belongs.
  void writeDamaged() {
    WholeRunHost whole(host_);
    for (size_t i : damaged_) {
      Member m = a_->member(i);
      std::string placed, said;
      int r = extractDamaged(*a_, cmd_, m, whole.get(), placed, said);
      if (r != 0) {
        out_ += said;
        if (!other_) other_ = r;
        continue;
      }
      size_t cut = m.name.rfind('/');
      std::string folder =
          !cmd_.keepFolders || cut == std::string::npos ? "" : m.name.substr(0, cut + 1);
      out_ += "破損したまま書き出しました: " + m.name + " → " + folder + placed + kNl;
    }
  }

  // Whether the member's local header can be found and read; v: why not.
  bool opens(const Member& m, Verdict& v) {
    if (m.encrypted || !MemberReader::decodes(m.method)) return true;
    MemberReader reader(a_->bytes());
    if (reader.open(m)) return true;
    v = reader.status() == MemberReader::Status::Truncated ? Verdict::Cut : Verdict::Header;
    return false;
  }

  void lose(const std::string& what, Verdict v) {
    out_ += std::string(verdictText(v)) + ": " + what + kNl;
    lost_.push_back({what, v});
  }

  int summary() {
    out_ += std::to_string(sound_) + " 個正常、" + std::to_string(lost_.size()) + " 個破損 (" +
            (cmd_.action == UnZipCommand::Action::Test ? "検査しました" : "取り出しました") + ")" +
            kNl;
    if (lost_.empty()) {
      if (sound_ == 0 && other_ == 0) return ZV_ERROR_NO_FILES;
      // Every member is sound, but a test says that the archive itself is not.
      if (!other_ &&
          ((directoryDamaged_ && cmd_.action == UnZipCommand::Action::Test) || namesDiffer_))
        return ZV_ERROR_BROKEN_ARCHIVE;
      return other_;
    }
    bool onlyCrc = true;
    for (const auto& [what, v] : lost_) {
      out_ += "失われたメンバー: " + what + kNl;
      onlyCrc = onlyCrc && v == Verdict::Crc;
    }
    return onlyCrc ? ZV_ERROR_CRC : ZV_ERROR_BROKEN_ARCHIVE;
  }

  const UnZipCommand& cmd_;
  const ZvHost* host_;
  std::string& out_;
  std::shared_ptr<Archive> a_;
  LocalWalk walk_;
  std::vector<std::pair<std::string, Verdict>> lost_;
  std::set<std::string> written_;  // where this run wrote members
  std::vector<size_t> damaged_;    // with --keep-damaged: to be written under marked names
  size_t sound_ = 0;
  int other_ = 0;
  bool cancelled_ = false;
  bool directoryDamaged_ = false;
  bool namesDiffer_ = false;  // a local header and the directory name a member differently  // the
                              // members were read from their local headers
};

}  // namespace

int testOrRescue(const UnZipCommand& cmd, const ZvHost* host, std::string& out, size_t outLimit) {
  int r = Rescue(cmd, host, out).run();
  if (out.size() > outLimit) out.resize(outLimit);
  return r;
}

}  // namespace zv::zip
