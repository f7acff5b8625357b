#include "ish_files.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <set>

#include "ish_encoder.h"
#include "platform/drives.h"
#include "platform/encoding.h"
#include "platform/fileops.h"
#include "platform/runtime_error.h"
#include "platform/winpath.h"
#include "write_gate.h"

namespace zv::ish {
namespace {

constexpr const char* kNl = "\r\n";
constexpr uint64_t kMaxFile = 0xFFFFFFFFull;  // the header's size field is 32 bits

std::string hostFolderOf(const std::string& hostFile) {
  size_t slash = hostFile.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : hostFile.substr(0, slash);
}

std::string baseNameOf(const std::string& hostFile) {
  size_t slash = hostFile.rfind('/');
  return slash == std::string::npos ? hostFile : hostFile.substr(slash + 1);
}

bool isRelativeName(const std::string& p) {
  return !p.empty() && p[0] != '/' && p[0] != '\\' && !winpath::hasDrive(p);
}

// Volume file extensions written by ISH tools: .i01-.i99, .j00-..., and .#01-.
bool isVolumeExtension(std::string_view ext) {
  if (ext.size() != 3) return false;
  char k = char(std::tolower(static_cast<unsigned char>(ext[0])));
  return (k == 'i' || k == 'j' || k == '#') && std::isdigit(static_cast<unsigned char>(ext[1])) &&
         std::isdigit(static_cast<unsigned char>(ext[2]));
}

bool readHostFile(const std::string& host, std::string& data, std::string& why) {
  try {
    data = fs::readAll(host);
    return true;
  } catch (const RuntimeError& e) {
    why = e.what();
    return false;
  }
}

}  // namespace

std::time_t fromDosTime(uint16_t date, uint16_t time) {
  if (date == 0) return 0;
  std::tm tm{};
  tm.tm_year = ((date >> 9) & 0x7F) + 80;
  tm.tm_mon = ((date >> 5) & 0x0F) - 1;
  tm.tm_mday = date & 0x1F;
  tm.tm_hour = (time >> 11) & 0x1F;
  tm.tm_min = (time >> 5) & 0x3F;
  tm.tm_sec = (time & 0x1F) * 2;
  tm.tm_isdst = -1;
  if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday == 0) return 0;
  std::time_t t = std::mktime(&tm);
  return t == std::time_t(-1) ? 0 : t;
}

void toDosTime(std::time_t t, uint16_t& date, uint16_t& time) {
  std::tm tm{};
  localtime_r(&t, &tm);
  if (tm.tm_year < 80)
    tm.tm_year = 80, tm.tm_mon = 0, tm.tm_mday = 1, tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
  if (tm.tm_year > 207) tm.tm_year = 207;
  date = uint16_t(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  time = uint16_t((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
}

int runEncode(const IshCommand& cmd, std::string& out) {
  std::string srcHost, outHost, target;
  try {
    srcHost = hostPath(cmd.source);
    target = cmd.output;
    if (target.empty()) {
      target = winpath::join(cmd.folder.empty() ? winpath::parentFolder(cmd.source) : cmd.folder,
                             winpath::fileName(cmd.source) + ".ish");
    } else if (isRelativeName(target) && !cmd.folder.empty()) {
      target = winpath::join(cmd.folder, target);
    }
    outHost = hostPath(target);
  } catch (const RuntimeError&) {
    out += "ドライブまたはパスが見つかりません: " + cmd.source + " / " + target + kNl;
    return ZV_ERROR_CANNOT_OPEN;
  }
  if (!fs::isFile(srcHost)) {
    out += "ファイルが見つかりません: " + cmd.source + kNl;
    return ZV_ERROR_NO_FILES;
  }
  if (fs::fileSize(srcHost) > kMaxFile) {
    out += "4GB 以上のファイルは ISH にできません: " + cmd.source + kNl;
    return ZV_ERROR_CANNOT_CREATE;
  }
  std::string data, why;
  if (!readHostFile(srcHost, data, why)) {
    out += "ファイルを読めません: " + cmd.source + kNl;
    return ZV_ERROR_CANNOT_OPEN;
  }
  archive::Destination dest(hostFolderOf(outHost));
  if (!dest.ok()) {
    out += "出力先のフォルダを開けません: " + hostFolderOf(outHost) + kNl;
    return archive::errorFromErrno(dest.error(), ZV_ERROR_CANNOT_CREATE);
  }
  const std::string outName = baseNameOf(outHost);
  // Closed after the file below, which removes its temporary file through it on failure.
  archive::FolderFd folder(dest.openFolder({}, 0, false));
  const int dirFd = folder.fd;
  archive::Existing existing = archive::existingAt(dirFd, outName);
  if (existing == archive::Existing::Folder) {
    out += "同じ名前のフォルダがあります: " + outHost + kNl;
    return ZV_ERROR_CANNOT_CREATE;
  }
  if (existing != archive::Existing::Nothing && !cmd.replaceOutput) {
    out += "ISH ファイルが既に存在します: " + outHost + kNl;
    return ZV_ERROR_CANNOT_CREATE;
  }

  const std::string longUtf8 = baseNameOf(srcHost);
  bool lossless = true;
  std::string cp932 = encoding::utf8ToCp932(longUtf8, &lossless);
  // A name with characters outside CP932 keeps its UTF-8 bytes in the comment line; the 8.3
  // header name uses the CP932 form with '_' for what it cannot hold.
  std::string longName = lossless ? cp932 : longUtf8;
  if (!lossless) std::replace(cp932.begin(), cp932.end(), '?', '_');
  Header h;
  h.type = cmd.type;
  setShortName(h, cp932);
  toDosTime(fs::modifiedTime(srcHost), h.dosDate, h.dosTime);
  EncodeOptions o;
  o.longName = longName;
  o.tool = "Zorvex 32+ ISH32";
  std::string text = encodeText(h, reinterpret_cast<const uint8_t*>(data.data()), data.size(), o);

  archive::AtomicFile file(dirFd, outName);
  bool good = file.ok() && file.write(text.data(), text.size()) && file.commit(0666, 0);
  int err = file.error();
  if (!good) {
    out += "ISH ファイルを書けません: " + outHost + " (" + archive::errnoText(err) + ")" + kNl;
    return archive::errorFromErrno(err, ZV_ERROR_WRITE);
  }
  size_t lines = size_t(std::count(text.begin(), text.end(), '\n'));
  out += cmd.source + " -> " + target + " (" + std::string(info(cmd.type).commentWord) + ", " +
         std::to_string(lines) + " 行) を作成しました" + kNl;
  return 0;
}

std::vector<DecodedFile> decodeFileWithVolumes(const std::string& host) {
  std::string text, why;
  if (!readHostFile(host, text, why)) return {};
  std::vector<DecodedFile> items = decodeText(text);
  // Clipboard text saved as UTF-8 instead of the system code page: the Shift-JIS types only
  // decode from the original bytes, so convert back and try again.
  bool anyOk = false;
  for (const auto& f : items) anyOk = anyOk || f.ok;
  if (!anyOk && encoding::isValidUtf8(text) && std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x80;
      })) {
    auto again = decodeText(encoding::utf8ToCp932(text));
    bool better = false;
    for (const auto& f : again) better = better || f.ok;
    if (better) items = std::move(again);
  }
  bool wantVolumes = false;
  for (const auto& f : items)
    if (f.header.volume != 0) wantVolumes = true;
  if (wantVolumes) {
    auto joined = joinVolumes(items);
    bool incomplete = false;
    for (const auto& f : joined)
      if (f.header.volume != 0) incomplete = true;
    // Other volumes of the set in files beside this one: same name, another volume extension.
    const std::string base = baseNameOf(host);
    size_t dot = base.rfind('.');
    if (incomplete && dot != std::string::npos &&
        isVolumeExtension(std::string_view(base).substr(dot + 1))) {
      const std::string stem = base.substr(0, dot + 1), folder = hostFolderOf(host);
      std::set<std::string> siblings;
      if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
          std::string n = e->d_name;
          if (n != base && n.size() == stem.size() + 3 && n.compare(0, stem.size(), stem) == 0 &&
              isVolumeExtension(std::string_view(n).substr(stem.size())))
            siblings.insert(n);
        }
        ::closedir(d);
      }
      for (const auto& n : siblings) {
        std::string more;
        if (!readHostFile(folder + "/" + n, more, why)) continue;
        for (auto& f : decodeText(more))
          if (f.header.volume != 0) items.push_back(std::move(f));
      }
    }
    items = joinVolumes(std::move(items));
  }
  return items;
}

namespace {

// The name a restored file gets: its decoded name without any folder part. Falls back to the
// 8.3 name, and refuses names that are still unsafe.
bool restoredName(const DecodedFile& f, std::string& name) {
  for (const std::string& raw : {f.name, shortName(f.header)}) {
    std::string utf8 = encoding::decodeUnknown(raw);
    std::vector<std::string> parts;
    if (archive::splitMemberName(utf8, parts) == archive::NameProblem::None) {
      name = parts.back();
      return true;
    }
    // A name with a folder part or a drive: keep only what follows the last separator.
    size_t cut = utf8.find_last_of("/\\:");
    if (cut != std::string::npos &&
        archive::splitMemberName(utf8.substr(cut + 1), parts) == archive::NameProblem::None) {
      name = parts.back();
      return true;
    }
  }
  return false;
}

// " (N バイト, K 行を修復)": what a restored file's line ends with.
std::string restoredTail(const DecodedFile& f) {
  std::string tail = " (" + std::to_string(f.data.size()) + " バイト";
  if (f.repairedLines > 0) tail += ", " + std::to_string(f.repairedLines) + " 行を修復";
  return tail + ")" + kNl;
}

std::string lostLine(const DecodedFile& f) {
  return "復元できません: " + encoding::decodeUnknown(f.name) + ": " + f.problem + kNl;
}

}  // namespace

std::string checkLine(const DecodedFile& f) {
  return f.ok ? "復元できます: " + encoding::decodeUnknown(f.name) + restoredTail(f) : lostLine(f);
}

int runRestore(const IshCommand& cmd, const ZvHost* host, std::string& out) {
  std::string srcHost, destHost;
  try {
    srcHost = hostPath(cmd.source);
    destHost = hostPath(cmd.folder.empty() ? winpath::parentFolder(cmd.source) : cmd.folder);
  } catch (const RuntimeError&) {
    out += "ドライブまたはパスが見つかりません: " + cmd.source + " / " + cmd.folder + kNl;
    return ZV_ERROR_CANNOT_OPEN;
  }
  if (!fs::isFile(srcHost)) {
    out += "ISH ファイルが見つかりません: " + cmd.source + kNl;
    return ZV_ERROR_CANNOT_OPEN;
  }
  std::vector<DecodedFile> files = decodeFileWithVolumes(srcHost);
  if (files.empty()) {
    out += "有効なISHデータではありません: " + cmd.source + kNl;
    return ZV_ERROR_NOT_ARCHIVE;
  }
  archive::Destination dest(destHost);
  if (!dest.ok()) {
    out += "復元先のフォルダを開けません: " + destHost + kNl;
    return archive::errorFromErrno(dest.error(), ZV_ERROR_CANNOT_CREATE);
  }
  // Closed after the file below, which removes its temporary file through it on failure.
  archive::FolderFd folder(dest.openFolder({}, 0, false));
  const int dirFd = folder.fd;
  int result = 0;
  auto fail = [&](int code) {
    if (result == 0 || result == ZV_ERROR_WARNING) result = code;
  };
  for (const DecodedFile& f : files) {
    std::string name;
    if (!f.ok) {
      out += lostLine(f);
      fail(f.problem.find("CRC") != std::string::npos ? ZV_ERROR_CRC : ZV_ERROR_BROKEN_ARCHIVE);
      continue;
    }
    if (!restoredName(f, name)) {
      out += "安全でない名前のため復元しません: " + encoding::decodeUnknown(f.name) + kNl;
      fail(ZV_ERROR_UNSAFE_NAME);
      continue;
    }
    const std::time_t stamp =
        (f.header.flags & kFlagTime) ? fromDosTime(f.header.dosDate, f.header.dosTime) : 0;
    archive::Existing existing = archive::existingAt(dirFd, name);
    if (existing == archive::Existing::Folder || existing == archive::Existing::Other) {
      out += "同じ名前のフォルダがあるため復元しません: " + name + kNl;
      fail(ZV_ERROR_CANNOT_CREATE);
      continue;
    }
    if (existing != archive::Existing::Nothing) {
      if (cmd.restoreMode == 'n') {
        out += "同名のファイルが存在するためスキップしました: " + name + kNl;
        if (result == 0) result = ZV_ERROR_WARNING;
        continue;
      }
      if (cmd.restoreMode == 'r') {
        // Replaced only by newer data; a link or a file of unknown age stays.
        std::time_t have = archive::modifiedAt(dirFd, name);
        if (!(stamp != 0 && have != 0 && have < stamp)) {
          out += "同じか新しいファイルがあるため復元しません: " + name + kNl;
          if (result == 0) result = ZV_ERROR_WARNING;
          continue;
        }
      } else if (cmd.restoreMode == 'q') {
        int answer = 0;
        if (host && host->decide) {
          std::string shown = winpath::join(cmd.folder, name);
          ZvDecision d{ZV_DECIDE_OVERWRITE, shown.c_str(), nullptr, 0};
          answer = host->decide(host->user, &d);
        }
        if (answer < 0) {
          out += "中止しました" + std::string(kNl);
          fail(ZV_ERROR_USER_CANCEL);
          break;
        }
        if (answer == 0) {
          out += "スキップしました: " + name + kNl;
          if (result == 0) result = ZV_ERROR_WARNING;
          continue;
        }
      }
    }
    archive::AtomicFile file(dirFd, name);
    bool good = file.ok() && file.write(f.data.data(), f.data.size()) && file.commit(0666, stamp);
    if (!good) {
      out += "書き込めません: " + name + " (" + archive::errnoText(file.error()) + ")" + kNl;
      fail(archive::errorFromErrno(file.error(), ZV_ERROR_WRITE));
      continue;
    }
    out += "復元しました: " + name + restoredTail(f);
  }
  if (result == ZV_ERROR_WARNING) result = 0;  // skipped existing files are not a failure
  return result;
}

}  // namespace zv::ish
