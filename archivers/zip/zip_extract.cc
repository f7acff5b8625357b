#include "zip_extract.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

#include "platform/drives.h"
#include "platform/encoding.h"
#include "platform/runtime_error.h"
#include "write_gate.h"
#include "zip_libzip.h"
#include "zip_lzma.h"
#include "zip_member_reader.h"

namespace zv::zip {
namespace {

// The byte forms a typed password may have been made with: as typed (UTF-8), and in CP932
// when that differs and every character has a CP932 form.
std::vector<std::string> passwordForms(const std::string& typed) {
  std::vector<std::string> forms{typed};
  bool lossless = false;
  std::string cp932 = encoding::utf8ToCp932(typed, &lossless);
  if (lossless && cp932 != typed) forms.push_back(cp932);
  return forms;
}

constexpr const char* kNl = "\r\n";
constexpr size_t kChunk = 256 * 1024;
constexpr uint64_t kReportEvery = 1 << 20;

struct FileCloser {
  void operator()(zip_file_t* f) const {
    if (f) libzip()->zip_fclose(f);
  }
};
using ZipFile = std::unique_ptr<zip_file_t, FileCloser>;

// An opened member: read by this library's reader, or through libzip.
struct Opened {
  bool own = false;
  ZipFile file;
  explicit operator bool() const { return own || file; }
};

class Run {
 public:
  Run(const Archive& a, const UnZipCommand& cmd, const ZvHost* host, std::string& out)
      : a_(a), cmd_(cmd), host_(host), out_(out) {}

  void fail(int code) {
    if (result_ == 0) result_ = code;
  }
  int result() const { return result_; }

  bool progress(const Member* m, int state) {
    if (!host_ || !host_->progress) return true;
    lastReported_ = done_;
    ZvProgress p{cmd_.archive.c_str(), m ? m->name.c_str() : nullptr, done_, total_, state};
    if (host_->progress(host_->user, &p) != 0) {
      out_ += "中止しました" + std::string(kNl);
      fail(ZV_ERROR_USER_CANCEL);
      return false;
    }
    return true;
  }

  void setTotal(uint64_t t) { total_ = t; }
  // Members cut short are read as far as the file holds them.
  void readToEnd() { toEnd_ = true; }

  bool cancelled() const { return result_ == ZV_ERROR_USER_CANCEL; }

  // Counts a member's bytes as they come; every MiB the host hears of it, so the bar moves
  // inside a large member and its cancel button stops the run there.
  bool advance(const Member& m, uint64_t bytes) {
    done_ += bytes;
    return done_ - lastReported_ < kReportEvery || progress(&m, ZV_PROGRESS_MEMBER);
  }

  // Opens a member for reading: stored, deflated and LZMA members through this library's
  // reader, the others through libzip; for an encrypted one the host is asked for the
  // password.
  Opened openMember(const Member& m) {
    if (ownsMethod(m)) {
      if (reader_.open(m, toEnd_)) return Opened{true, nullptr};
      out_ += "開けません (" + std::string(MemberReader::describe(reader_.status())) +
              "): " + m.name + kNl;
      fail(reader_.status() == MemberReader::Status::Memory ? ZV_ERROR_MEMORY
                                                            : ZV_ERROR_BROKEN_ARCHIVE);
      return {};
    }
    const LibZip* lz = libzip();
    if (!lz || (m.method != ZIP_CM_STORE &&
                !lz->zip_compression_method_supported(zip_int32_t(m.method), 0))) {
      out_ +=
          "対応していない圧縮方式です (" + std::string(methodName(m.method)) + "): " + m.name + kNl;
      fail(ZV_ERROR_METHOD);
      return {};
    }
    int zipError = 0;
    zip_t* za = a_.fallback(&zipError);
    if (!za) {
      out_ += "開けません (" + std::string(libzipErrorText(zipError)) + "): " + m.name + kNl;
      fail(ZV_ERROR_BROKEN_ARCHIVE);
      return {};
    }
    if (!m.encrypted) {
      zip_file_t* f = lz->zip_fopen_index(za, m.index, 0);
      if (!f) reportOpenError(za, m);
      return Opened{false, ZipFile(f)};
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (password_.empty() || attempt > 0) {
        if (!askPassword(m)) {
          out_ += "暗号化されているため解凍できません (パスワードが必要です): " + m.name + kNl;
          fail(ZV_ERROR_PASSWORD);
          return {};
        }
      }
      // The password as typed (UTF-8), then in CP932: archives made on Japanese Windows
      // hold the key of the password's CP932 bytes. The check value decides.
      for (const std::string& key : passwordForms(password_)) {
        zip_file_t* f = lz->zip_fopen_index_encrypted(za, m.index, 0, key.c_str());
        if (f) return Opened{false, ZipFile(f)};
        zip_error_t* e = lz->zip_get_error(za);
        if (lz->zip_error_code_zip(e) != ZIP_ER_WRONGPASSWD) {
          reportOpenError(za, m);
          return {};
        }
        lz->zip_error_clear(za);
      }
    }
    out_ += "パスワードが違います: " + m.name + kNl;
    fail(ZV_ERROR_PASSWORD);
    return {};
  }

  // Reads the whole member into `sink`, its length and CRC-32 checked at the end.
  template <class Sink>
  bool readMember(const Member& m, Opened& f, Sink&& sink) {
    if (f.own && m.method == ZIP_CM_LZMA) return readLzma(m, sink);
    if (f.own) {
      for (;;) {
        const char* p = nullptr;
        int64_t n = reader_.read(&p);
        if (n < 0) {
          MemberReader::Status s = reader_.status();
          if (s == MemberReader::Status::Crc) {
            out_ += "CRC が一致しません: " + m.name + kNl;
            fail(ZV_ERROR_CRC);
          } else if (s == MemberReader::Status::Length) {
            out_ += "データの長さが一致しません: " + m.name + kNl;
            fail(ZV_ERROR_BROKEN_ARCHIVE);
          } else {
            out_ += "データが壊れています (" + std::string(MemberReader::describe(s)) +
                    "): " + m.name + kNl;
            fail(s == MemberReader::Status::Memory ? ZV_ERROR_MEMORY : ZV_ERROR_BROKEN_ARCHIVE);
          }
          return false;
        }
        if (n == 0) return true;
        if (!advance(m, uint64_t(n)) || !sink(p, size_t(n))) return false;
      }
    }
    const LibZip* lz = libzip();  // loaded: the member was opened through it
    std::unique_ptr<char[]> buf(new char[kChunk]);
    uint64_t got = 0;
    for (;;) {
      zip_int64_t n = lz->zip_fread(f.file.get(), buf.get(), kChunk);
      if (n < 0) {
        zip_error_t* e = lz->zip_file_get_error(f.file.get());
        int code = lz->zip_error_code_zip(e);
        if (code == ZIP_ER_CRC) {
          out_ += "CRC が一致しません: " + m.name + kNl;
          fail(ZV_ERROR_CRC);
        } else if (code == ZIP_ER_WRONGPASSWD) {
          out_ += "パスワードが違います: " + m.name + kNl;
          fail(ZV_ERROR_PASSWORD);
        } else {
          out_ +=
              "データが壊れています (" + std::string(libzipErrorText(code)) + "): " + m.name + kNl;
          fail(ZV_ERROR_BROKEN_ARCHIVE);
        }
        return false;
      }
      if (n == 0) break;
      got += uint64_t(n);
      if (!advance(m, uint64_t(n)) || !sink(buf.get(), size_t(n))) return false;
    }
    if (got != m.size) {
      out_ += "データの長さが一致しません: " + m.name + kNl;
      fail(ZV_ERROR_BROKEN_ARCHIVE);
      return false;
    }
    return true;
  }

  const UnZipCommand& cmd() const { return cmd_; }

  // Stored, deflated and (when this build has liblzma) LZMA members that are not encrypted.
  static bool ownsMethod(const Member& m) {
    return !m.encrypted &&
           (MemberReader::decodes(m.method) || (m.method == ZIP_CM_LZMA && ownLzmaSupport()));
  }
  std::string& out() { return out_; }

 private:
  template <class Sink>
  bool readLzma(const Member& m, Sink& sink) {
    std::unique_ptr<char[]> buf(new char[kChunk]);
    LzmaMember lz(reader_, m.size);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (;;) {
      int64_t n = lz.read(buf.get(), kChunk);
      if (n < 0) {
        out_ += "データが壊れています (lzma): " + m.name + kNl;
        fail(lz.error() == LzmaMember::Error::Memory ? ZV_ERROR_MEMORY : ZV_ERROR_BROKEN_ARCHIVE);
        return false;
      }
      if (n == 0) break;
      crc = crc32(crc, reinterpret_cast<const Bytef*>(buf.get()), uInt(n));
      if (!advance(m, uint64_t(n)) || !sink(buf.get(), size_t(n))) return false;
    }
    if (uint32_t(crc) != m.crc) {
      out_ += "CRC が一致しません: " + m.name + kNl;
      fail(ZV_ERROR_CRC);
      return false;
    }
    return true;
  }

  bool askPassword(const Member& m) {
    if (!host_ || !host_->decide) return false;
    char answer[256] = {};
    ZvDecision d{ZV_DECIDE_PASSWORD, m.name.c_str(), answer, sizeof answer};
    if (host_->decide(host_->user, &d) != 1) return false;
    answer[sizeof answer - 1] = 0;
    password_ = answer;
    return true;
  }

  void reportOpenError(zip_t* za, const Member& m) {
    const LibZip* lz = libzip();
    zip_error_t* e = lz->zip_get_error(za);
    int code = lz->zip_error_code_zip(e);
    out_ += "開けません (" + std::string(libzipErrorText(code)) + "): " + m.name + kNl;
    fail(code == ZIP_ER_COMPNOTSUPP   ? ZV_ERROR_METHOD
         : code == ZIP_ER_ENCRNOTSUPP ? ZV_ERROR_PASSWORD
                                      : ZV_ERROR_BROKEN_ARCHIVE);
    lz->zip_error_clear(za);
  }

  const Archive& a_;
  const UnZipCommand& cmd_;
  const ZvHost* host_;
  std::string& out_;
  int result_ = 0;
  uint64_t done_ = 0, total_ = 0, lastReported_ = 0;
  std::string password_;
  MemberReader reader_{a_.bytes()};
  bool toEnd_ = false;
};

mode_t fileMode(const Member& m) {
  if (m.opsys == ZIP_OPSYS_UNIX && m.mode != 0) return mode_t(m.mode & 0777) | 0600;
  return m.readOnly ? 0444 : 0666;
}

void extractOne(Run& run, const Archive& a, const Member& m, archive::Destination& dest,
                const archive::WriteBatch& batch) {
  std::string& out = run.out();
  std::vector<std::string> parts;
  archive::NameProblem problem = archive::splitMemberName(m.name, parts);
  if (problem == archive::NameProblem::Empty && m.folder && !m.name.empty()) return;  // "./"
  if (problem != archive::NameProblem::None) {
    out += std::string("安全でない名前のため解凍しません (") + archive::describe(problem) +
           "): " + m.name + kNl;
    run.fail(ZV_ERROR_UNSAFE_NAME);
    return;
  }
  if (!run.cmd().keepFolders) {
    if (m.folder) return;
    parts = {parts.back()};
  }
  if (m.folder) {
    // Kept open: the members that follow a folder usually lie in it.
    if (dest.cachedFolder(parts, parts.size()) < 0) {
      out += "フォルダを作れません (" + archive::errnoText(errno) + "): " + m.name + kNl;
      run.fail(errno == ELOOP ? ZV_ERROR_UNSAFE_NAME
                              : archive::errorFromErrno(errno, ZV_ERROR_CANNOT_CREATE));
    }
    return;
  }
  int dirFd = dest.cachedFolder(parts, parts.size() - 1);
  if (dirFd < 0) {
    int e = errno;
    if (e == ELOOP || e == ENOTDIR)
      out += "フォルダの途中がシンボリックリンクかファイルのため解凍しません: " + m.name + kNl;
    else
      out += "フォルダを作れません (" + archive::errnoText(e) + "): " + m.name + kNl;
    run.fail(e == ELOOP || e == ENOTDIR ? ZV_ERROR_UNSAFE_NAME
                                        : archive::errorFromErrno(e, ZV_ERROR_CANNOT_CREATE));
    return;
  }
  const std::string& leaf = parts.back();
  auto folderInTheWay = [&] {
    out += "同名のフォルダがあるため解凍できません: " + m.name + kNl;
    run.fail(ZV_ERROR_CANNOT_CREATE);
  };
  // When overwriting, a folder at the name is found by the commit (EISDIR): one look-up less
  // per file.
  if (!run.cmd().overwrite || m.symlink) {
    archive::Existing existing = archive::existingAt(dirFd, leaf);
    if (existing != archive::Existing::Nothing) {
      if (!run.cmd().overwrite) {
        out += "同名のファイルが存在するためスキップしました: " + m.name + kNl;
        return;
      }
      if (existing == archive::Existing::Folder) return folderInTheWay();
    }
  }
  Opened f = run.openMember(m);
  if (!f) return;
  if (m.symlink) {
    std::string target;
    bool ok = m.size <= 4096 && run.readMember(m, f, [&](const char* p, size_t n) {
      target.append(p, n);
      return true;
    });
    if (!ok) return;
    if (!dest.linkResolvesInside(parts, target)) {
      out +=
          "解凍先の外を指すシンボリックリンクのため解凍しません: " + m.name + " -> " + target + kNl;
      run.fail(ZV_ERROR_UNSAFE_NAME);
      return;
    }
    if (!archive::placeLink(dirFd, leaf, target)) {
      int e = errno;
      out += "シンボリックリンクを作れません (" + archive::errnoText(e) + "): " + m.name + kNl;
      run.fail(archive::errorFromErrno(e, ZV_ERROR_CANNOT_CREATE));
    }
    return;
  }
  archive::AtomicFile file(dirFd, leaf, &batch);
  if (!file.ok()) {
    out += "ファイルを作れません (" + archive::errnoText(file.error()) + "): " + m.name + kNl;
    run.fail(archive::errorFromErrno(file.error(), ZV_ERROR_CANNOT_CREATE));
    return;
  }
  bool writeFailed = false;
  bool ok = run.readMember(m, f, [&](const char* p, size_t n) {
    if (file.write(p, n)) return true;
    writeFailed = true;
    return false;
  });
  if (writeFailed) {
    out += "書き込めません (" + archive::errnoText(file.error()) + "): " + m.name + kNl;
    run.fail(archive::errorFromErrno(file.error(), ZV_ERROR_WRITE));
  }
  if (!ok || writeFailed) return;  // the temporary file is removed; nothing half-written stays
  if (!file.commit(fileMode(m), m.mtime, !run.cmd().overwrite)) {
    if (file.error() == EEXIST) {
      out += "同名のファイルが存在するためスキップしました: " + m.name + kNl;
      return;
    }
    if (file.error() == EISDIR) return folderInTheWay();
    out += "書き込めません (" + archive::errnoText(file.error()) + "): " + m.name + kNl;
    run.fail(archive::errorFromErrno(file.error(), ZV_ERROR_WRITE));
    return;
  }
  out += "解凍しました: " + m.name + kNl;
}

// The destination of an extraction: its host folder opened, or a message and an error.
int openDestination(const UnZipCommand& cmd, std::unique_ptr<archive::Destination>& dest,
                    std::string& out) {
  std::string destHost;
  try {
    destHost = cmd.destination.empty() ? std::string(".") : hostPath(cmd.destination);
  } catch (const RuntimeError&) {
    out += std::string("解凍先のドライブが見つかりません: ") + cmd.destination + kNl;
    return ZV_ERROR_CANNOT_CREATE;
  }
  dest = std::make_unique<archive::Destination>(destHost);
  if (!dest->ok()) {
    out += "解凍先のフォルダを開けません (" + zv::archive::errnoText(dest->error()) +
           "): " + cmd.destination + kNl;
    return archive::errorFromErrno(dest->error(), ZV_ERROR_CANNOT_CREATE);
  }
  return 0;
}

}  // namespace

int extractDamaged(const Archive& a, const UnZipCommand& cmd, Member m, const ZvHost* host,
                   std::string& placed, std::string& out) {
  std::unique_ptr<archive::Destination> dest;
  if (int r = openDestination(cmd, dest, out)) return r;
  std::vector<std::string> parts;
  archive::NameProblem problem = archive::splitMemberName(m.name, parts);
  if (problem != archive::NameProblem::None) {
    out += std::string("安全でない名前のため解凍しません (") + archive::describe(problem) +
           "): " + m.name + kNl;
    return ZV_ERROR_UNSAFE_NAME;
  }
  if (!cmd.keepFolders) parts = {parts.back()};
  int dirFd = dest->cachedFolder(parts, parts.size() - 1);
  if (dirFd < 0) {
    out += "フォルダを作れません (" + archive::errnoText(errno) + "): " + m.name + kNl;
    return errno == ELOOP || errno == ENOTDIR
               ? ZV_ERROR_UNSAFE_NAME
               : archive::errorFromErrno(errno, ZV_ERROR_CANNOT_CREATE);
  }
  // The decoder's own complaints are what made the member damaged: not said again.
  std::string said;
  Run run(a, cmd, host, said);
  run.readToEnd();
  if (m.size == 0) m.size = UINT64_MAX;  // a streamed member cut short: its length unknown
  Opened f = run.openMember(m);
  if (!f) {
    out += "破損したメンバーを読めません: " + m.name + kNl;
    return run.result() == ZV_ERROR_PASSWORD ? ZV_ERROR_PASSWORD : ZV_ERROR_BROKEN_ARCHIVE;
  }
  archive::AtomicFile file(dirFd, parts.back());
  bool writeFailed = !file.ok();
  if (!writeFailed)
    run.readMember(m, f, [&](const char* p, size_t n) {
      writeFailed = !file.write(p, n);
      return !writeFailed;
    });
  if (writeFailed || !file.commitMarked(fileMode(m), m.mtime, placed)) {
    out += "書き込めません (" + archive::errnoText(file.error()) + "): " + m.name + kNl;
    return archive::errorFromErrno(file.error(), ZV_ERROR_WRITE);
  }
  return 0;
}

std::vector<size_t> chooseMembers(const Archive& a, const UnZipCommand& cmd,
                                  std::vector<std::string>& unmatched) {
  std::vector<size_t> chosen;
  const size_t count = a.count();
  if (cmd.members.empty()) {
    chosen.resize(count);
    for (size_t i = 0; i < count; ++i) chosen[i] = i;
    return chosen;
  }
  std::vector<bool> taken(count, false);
  auto take = [&](size_t i) {
    if (!taken[i]) taken[i] = true, chosen.push_back(i);
  };
  for (const auto& want : cmd.members) {
    size_t before = chosen.size();
    bool hit = false;
    for (size_t i : a.find(want, cmd.ignoreCase)) take(i), hit = true;
    if (!hit && want.find_first_of("*?") != std::string::npos) {
      for (size_t i = 0; i < count; ++i)
        if (wildcardMatch(want, a.name(i), cmd.ignoreCase)) take(i), hit = true;
    }
    if (!want.empty() && (want.back() == '/' || want.back() == '\\')) {
      // A folder: everything below it.
      std::string prefix = cmd.ignoreCase ? foldCase(want) : want;
      prefix.back() = '/';
      for (size_t i = 0; i < count; ++i) {
        std::string_view n = a.name(i).substr(0, prefix.size());
        if ((cmd.ignoreCase ? foldCase(n) : std::string(n)) == prefix) take(i), hit = true;
      }
    }
    if (!hit && chosen.size() == before) unmatched.push_back(want);
  }
  return chosen;
}

int extractMembers(const Archive& a, const UnZipCommand& cmd, const std::vector<size_t>* chosen,
                   const ZvHost* host, std::string& out, size_t outLimit) {
  Run run(a, cmd, host, out);
  uint64_t total = 0;
  if (chosen)
    for (size_t i : *chosen) total += a.entry(i).size;
  else
    total = a.totalSize();
  run.setTotal(total);
  if (!run.progress(nullptr, ZV_PROGRESS_BEGIN)) return run.result();
  // The caller sees at most `outLimit` bytes of the text: what lies beyond is not kept, so a
  // run over 100 000 members does not hold megabytes of messages.
  auto keepOutput = [&] {
    if (out.size() > outLimit) out.resize(outLimit);
  };
  // The chosen members, or all of them read in order straight from the directory.
  auto each = [&](const std::function<bool(const Member&)>& fn) {
    if (chosen) {
      for (size_t i : *chosen)
        if (!fn(a.member(i))) break;
    } else if (a.forEach(fn) != 0) {
      out += "書庫が壊れています: " + cmd.archive + kNl;
      run.fail(ZV_ERROR_BROKEN_ARCHIVE);
    }
  };

  if (cmd.action == UnZipCommand::Action::Test) {
    each([&](const Member& m) {
      if (m.folder) return true;
      if (!run.progress(&m, ZV_PROGRESS_MEMBER)) return false;
      Opened f = run.openMember(m);
      if (f && run.readMember(m, f, [](const char*, size_t) { return true; }))
        out += "OK: " + m.name + kNl;
      keepOutput();
      return !run.cancelled();
    });
  } else {
    std::unique_ptr<archive::Destination> dest;
    if (int r = openDestination(cmd, dest, out)) return r;
    archive::WriteBatch batch;
    each([&](const Member& m) {
      if (!run.progress(&m, ZV_PROGRESS_MEMBER)) return false;
      extractOne(run, a, m, *dest, batch);
      keepOutput();
      return !run.cancelled();
    });
  }
  run.progress(nullptr, ZV_PROGRESS_END);
  return run.result();
}

}  // namespace zv::zip
