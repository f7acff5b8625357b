#include "zip_extract.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/drives.h"
#include "platform/runtime_error.h"
#include "write_gate.h"
#include "zip_lzma.h"

namespace zv::zip {
namespace {

constexpr const char* kNl = "\r\n";
constexpr size_t kChunk = 256 * 1024;

struct FileCloser {
  void operator()(zip_file_t* f) const {
    if (f) zip_fclose(f);
  }
};
using ZipFile = std::unique_ptr<zip_file_t, FileCloser>;

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
    ZvProgress p{a_.path().c_str(), m ? m->name.c_str() : nullptr, done_, total_, state};
    if (host_->progress(host_->user, &p) != 0) {
      out_ += "中止しました" + std::string(kNl);
      fail(ZV_ERROR_USER_CANCEL);
      return false;
    }
    return true;
  }

  void setTotal(uint64_t t) { total_ = t; }

  // Opens a member for reading, asking the host for a password when it is encrypted.
  ZipFile openMember(const Member& m) {
    if (decodesLzmaItself(m)) {
      // The raw member data, decoded by LzmaMember in readMember.
      zip_file_t* f = zip_fopen_index(a_.handle(), m.index, ZIP_FL_COMPRESSED);
      if (!f) reportOpenError(m);
      return ZipFile(f);
    }
    if (m.method != ZIP_CM_STORE && !zip_compression_method_supported(zip_int32_t(m.method), 0)) {
      out_ +=
          "対応していない圧縮方式です (" + std::string(methodName(m.method)) + "): " + m.name + kNl;
      fail(ZV_ERROR_METHOD);
      return nullptr;
    }
    if (!m.encrypted) {
      zip_file_t* f = zip_fopen_index(a_.handle(), m.index, 0);
      if (!f) reportOpenError(m);
      return ZipFile(f);
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (password_.empty() || attempt > 0) {
        if (!askPassword(m)) {
          out_ += "暗号化されているため解凍できません (パスワードが必要です): " + m.name + kNl;
          fail(ZV_ERROR_PASSWORD);
          return nullptr;
        }
      }
      zip_file_t* f = zip_fopen_index_encrypted(a_.handle(), m.index, 0, password_.c_str());
      if (f) return ZipFile(f);
      zip_error_t* e = zip_get_error(a_.handle());
      if (zip_error_code_zip(e) != ZIP_ER_WRONGPASSWD) {
        reportOpenError(m);
        return nullptr;
      }
      zip_error_clear(a_.handle());
    }
    out_ += "パスワードが違います: " + m.name + kNl;
    fail(ZV_ERROR_PASSWORD);
    return nullptr;
  }

  // Reads the whole member into `sink`; libzip checks the CRC at the end of the data.
  template <class Sink>
  bool readMember(const Member& m, zip_file_t* f, Sink&& sink) {
    std::unique_ptr<char[]> buf(new char[kChunk]);
    uint64_t got = 0;
    if (decodesLzmaItself(m)) {
      LzmaMember lz(f, m.size);
      uLong crc = crc32(0L, Z_NULL, 0);
      for (;;) {
        zip_int64_t n = lz.read(buf.get(), kChunk);
        if (n < 0) {
          out_ += "データが壊れています (lzma): " + m.name + kNl;
          fail(lz.error() == LzmaMember::Error::Memory ? ZV_ERROR_MEMORY : ZV_ERROR_BROKEN_ARCHIVE);
          return false;
        }
        if (n == 0) break;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(buf.get()), uInt(n));
        got += uint64_t(n);
        done_ += uint64_t(n);
        if (!sink(buf.get(), size_t(n))) return false;
      }
      if (uint32_t(crc) != m.crc) {
        out_ += "CRC が一致しません: " + m.name + kNl;
        fail(ZV_ERROR_CRC);
        return false;
      }
      return true;
    }
    for (;;) {
      zip_int64_t n = zip_fread(f, buf.get(), kChunk);
      if (n < 0) {
        int code = zip_error_code_zip(zip_file_get_error(f));
        if (code == ZIP_ER_CRC) {
          out_ += "CRC が一致しません: " + m.name + kNl;
          fail(ZV_ERROR_CRC);
        } else if (code == ZIP_ER_WRONGPASSWD) {
          out_ += "パスワードが違います: " + m.name + kNl;
          fail(ZV_ERROR_PASSWORD);
        } else {
          out_ += "データが壊れています (" +
                  std::string(zip_error_strerror(zip_file_get_error(f))) + "): " + m.name + kNl;
          fail(ZV_ERROR_BROKEN_ARCHIVE);
        }
        return false;
      }
      if (n == 0) break;
      got += uint64_t(n);
      done_ += uint64_t(n);
      if (!sink(buf.get(), size_t(n))) return false;
    }
    if (got != m.size) {
      out_ += "データの長さが一致しません: " + m.name + kNl;
      fail(ZV_ERROR_BROKEN_ARCHIVE);
      return false;
    }
    return true;
  }

  const UnZipCommand& cmd() const { return cmd_; }

  static bool decodesLzmaItself(const Member& m) {
    return m.method == ZIP_CM_LZMA && !m.encrypted && ownLzmaSupport() &&
           !zip_compression_method_supported(ZIP_CM_LZMA, 0);
  }
  std::string& out() { return out_; }

 private:
  bool askPassword(const Member& m) {
    if (!host_ || !host_->decide) return false;
    char answer[256] = {};
    ZvDecision d{ZV_DECIDE_PASSWORD, m.name.c_str(), answer, sizeof answer};
    if (host_->decide(host_->user, &d) != 1) return false;
    answer[sizeof answer - 1] = 0;
    password_ = answer;
    return true;
  }

  void reportOpenError(const Member& m) {
    zip_error_t* e = zip_get_error(a_.handle());
    int code = zip_error_code_zip(e);
    out_ += "開けません (" + std::string(zip_error_strerror(e)) + "): " + m.name + kNl;
    fail(code == ZIP_ER_COMPNOTSUPP   ? ZV_ERROR_METHOD
         : code == ZIP_ER_ENCRNOTSUPP ? ZV_ERROR_PASSWORD
                                      : ZV_ERROR_BROKEN_ARCHIVE);
    zip_error_clear(a_.handle());
  }

  const Archive& a_;
  const UnZipCommand& cmd_;
  const ZvHost* host_;
  std::string& out_;
  int result_ = 0;
  uint64_t done_ = 0, total_ = 0;
  std::string password_;
};

mode_t fileMode(const Member& m) {
  if (m.opsys == ZIP_OPSYS_UNIX && m.mode != 0) return mode_t(m.mode & 0777) | 0600;
  return m.readOnly ? 0444 : 0666;
}

void extractOne(Run& run, const Archive& a, const Member& m, archive::Destination& dest,
                archive::WriteBatch& batch) {
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
      out += "フォルダを作れません (" + std::string(std::strerror(errno)) + "): " + m.name + kNl;
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
      out += "フォルダを作れません (" + std::string(std::strerror(e)) + "): " + m.name + kNl;
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
  ZipFile f = run.openMember(m);
  if (!f) return;
  if (m.symlink) {
    std::string target;
    bool ok = m.size <= 4096 && run.readMember(m, f.get(), [&](const char* p, size_t n) {
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
      out +=
          "シンボリックリンクを作れません (" + std::string(std::strerror(e)) + "): " + m.name + kNl;
      run.fail(archive::errorFromErrno(e, ZV_ERROR_CANNOT_CREATE));
    }
    return;
  }
  archive::AtomicFile file(dirFd, leaf, &batch);
  if (!file.ok()) {
    out +=
        "ファイルを作れません (" + std::string(std::strerror(file.error())) + "): " + m.name + kNl;
    run.fail(archive::errorFromErrno(file.error(), ZV_ERROR_CANNOT_CREATE));
    return;
  }
  bool writeFailed = false;
  bool ok = run.readMember(m, f.get(), [&](const char* p, size_t n) {
    if (file.write(p, n)) return true;
    writeFailed = true;
    return false;
  });
  if (writeFailed) {
    out += "書き込めません (" + std::string(std::strerror(file.error())) + "): " + m.name + kNl;
    run.fail(archive::errorFromErrno(file.error(), ZV_ERROR_WRITE));
  }
  if (!ok || writeFailed) return;  // the temporary file is removed; nothing half-written stays
  if (!file.commit(fileMode(m), m.mtime, !run.cmd().overwrite)) {
    if (file.error() == EEXIST) {
      out += "同名のファイルが存在するためスキップしました: " + m.name + kNl;
      return;
    }
    if (file.error() == EISDIR) return folderInTheWay();
    out += "書き込めません (" + std::string(std::strerror(file.error())) + "): " + m.name + kNl;
    run.fail(archive::errorFromErrno(file.error(), ZV_ERROR_WRITE));
    return;
  }
  out += "解凍しました: " + m.name + kNl;
}

}  // namespace

std::vector<size_t> chooseMembers(const Archive& a, const UnZipCommand& cmd,
                                  std::vector<std::string>& unmatched) {
  std::vector<size_t> chosen;
  const auto& ms = a.members();
  if (cmd.members.empty()) {
    for (size_t i = 0; i < ms.size(); ++i) chosen.push_back(i);
    return chosen;
  }
  std::vector<bool> taken(ms.size(), false);
  auto take = [&](size_t i) {
    if (!taken[i]) taken[i] = true, chosen.push_back(i);
  };
  for (const auto& want : cmd.members) {
    size_t before = chosen.size();
    bool hit = false;
    for (size_t i : a.find(want, cmd.ignoreCase)) take(i), hit = true;
    if (!hit && want.find_first_of("*?") != std::string::npos) {
      for (size_t i = 0; i < ms.size(); ++i)
        if (wildcardMatch(want, ms[i].name, cmd.ignoreCase)) take(i), hit = true;
    }
    if (!want.empty() && (want.back() == '/' || want.back() == '\\')) {
      // A folder: everything below it.
      std::string prefix = cmd.ignoreCase ? foldCase(want) : want;
      prefix.back() = '/';
      for (size_t i = 0; i < ms.size(); ++i) {
        std::string n = cmd.ignoreCase ? foldCase(ms[i].name) : ms[i].name;
        if (n.compare(0, prefix.size(), prefix) == 0) take(i), hit = true;
      }
    }
    if (!hit && chosen.size() == before) unmatched.push_back(want);
  }
  return chosen;
}

int extractMembers(const Archive& a, const UnZipCommand& cmd, const std::vector<size_t>& chosen,
                   const ZvHost* host, std::string& out) {
  Run run(a, cmd, host, out);
  uint64_t total = 0;
  for (size_t i : chosen) total += a.members()[i].size;
  run.setTotal(total);
  if (!run.progress(nullptr, ZV_PROGRESS_BEGIN)) return run.result();

  if (cmd.action == UnZipCommand::Action::Test) {
    for (size_t i : chosen) {
      const Member& m = a.members()[i];
      if (m.folder) continue;
      if (!run.progress(&m, ZV_PROGRESS_MEMBER)) break;
      ZipFile f = run.openMember(m);
      if (f && run.readMember(m, f.get(), [](const char*, size_t) { return true; }))
        out += "OK: " + m.name + kNl;
    }
  } else {
    std::string destHost;
    try {
      destHost = cmd.destination.empty() ? std::string(".") : hostPath(cmd.destination);
    } catch (const RuntimeError& e) {
      out += std::string("解凍先のドライブが見つかりません: ") + cmd.destination + kNl;
      return ZV_ERROR_CANNOT_CREATE;
    }
    archive::Destination dest(destHost);
    if (!dest.ok()) {
      out += "解凍先のフォルダを開けません (" + std::string(std::strerror(dest.error())) +
             "): " + cmd.destination + kNl;
      return archive::errorFromErrno(dest.error(), ZV_ERROR_CANNOT_CREATE);
    }
    // New files are flushed together at the end of the run (see AtomicFile::commit).
    archive::WriteBatch batch;
    for (size_t i : chosen) {
      const Member& m = a.members()[i];
      if (!run.progress(&m, ZV_PROGRESS_MEMBER)) break;
      extractOne(run, a, m, dest, batch);
    }
    if (!batch.finish()) {
      out += "書き込めません (" + std::string(std::strerror(errno)) + "): " + cmd.destination + kNl;
      run.fail(archive::errorFromErrno(errno, ZV_ERROR_WRITE));
    }
  }
  run.progress(nullptr, ZV_PROGRESS_END);
  return run.result();
}

}  // namespace zv::zip
