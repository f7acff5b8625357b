// The exported functions of UNZIP32.DLL.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "name_buffer.h"
#include "platform/drives.h"
#include "platform/runtime_error.h"
#include "write_gate.h"
#include "zip_archive.h"
#include "zip_command.h"
#include "zip_extract.h"
#include "zip_libzip.h"
#include "zip_listing.h"
#include "zip_lzma.h"
#include "zip_rescue.h"
#include "zorvex/archiver_api.h"

namespace {

std::recursive_mutex gMutex;
ZvHost gHost{};
bool gHasHost = false;

// An archive handle of the find functions: the archive and the position of the listing.
struct FindHandle {
  std::shared_ptr<zv::zip::Archive> archive;
  std::string wildcard;
  size_t next = 0;
  size_t reported = SIZE_MAX;  // the member the last find reported
};

void copyOutput(const std::string& text, char* buffer, uint32_t size) {
  if (!buffer || size == 0) return;
  size_t n = std::min<size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

std::shared_ptr<zv::zip::Archive> openArchive(
    const std::string& path, std::string* out, bool index = true,
    zv::encoding::NameEncoding names = zv::encoding::NameEncoding::Auto) {
  std::string host;
  try {
    host = zv::hostPath(path);
  } catch (const zv::RuntimeError&) {
    if (out) *out += "ドライブが見つかりません: " + path + "\r\n";
    return nullptr;
  }
  int zipError = 0, sysError = 0;
  auto a = zv::zip::openCached(host, &zipError, &sysError, index, names);
  if (!a && out) {
    if (sysError)
      *out += "書庫を開けません (" + zv::archive::errnoText(sysError) + "): " + path + "\r\n";
    else
      *out += zipError == ZIP_ER_NOZIP ? "ZIP 書庫ではないか、壊れています: " + path + "\r\n"
                                       : "書庫が壊れています: " + path + "\r\n";
  }
  return a;
}

int findFrom(FindHandle* h, ZvMemberInfo* info) {
  const auto& a = *h->archive;
  while (h->next < a.count()) {
    size_t i = h->next++;
    if (zv::zip::wildcardMatch(h->wildcard, a.name(i), true)) {
      h->reported = i;
      zv::zip::fillMemberInfo(a.member(i), info, a.namesDecided());
      return ZV_FIND_OK;
    }
  }
  return ZV_FIND_END;
}

int runCommand(const char* command, std::string& out, size_t outLimit) {
  zv::zip::UnZipCommand cmd;
  std::string why;
  if (!zv::zip::parseUnZipCommand(command, cmd, why)) {
    out += why + "\r\n";
    return ZV_ERROR_COMMAND;
  }
  using Action = zv::zip::UnZipCommand::Action;
  if (cmd.action == Action::Test || (cmd.rescue && cmd.action == Action::Extract))
    return zv::zip::testOrRescue(cmd, gHasHost ? &gHost : nullptr, out, outLimit);
  // Extracting or testing everything reads the directory in order and keeps none of it.
  const bool whole =
      cmd.members.empty() && (cmd.action == Action::Extract || cmd.action == Action::Test);
  auto a = openArchive(cmd.archive, &out, !whole, cmd.names);
  if (!a) {
    std::string host;
    try {
      host = zv::hostPath(cmd.archive);
    } catch (...) {
      return ZV_ERROR_CANNOT_OPEN;
    }
    return access(host.c_str(), R_OK) == 0 ? ZV_ERROR_NOT_ARCHIVE : ZV_ERROR_CANNOT_OPEN;
  }
  if (whole) {
    if (a->count() == 0) return ZV_ERROR_NO_FILES;
    return zv::zip::extractMembers(*a, cmd, nullptr, gHasHost ? &gHost : nullptr, out, outLimit);
  }
  std::vector<std::string> unmatched;
  std::vector<size_t> chosen = zv::zip::chooseMembers(*a, cmd, unmatched);
  for (const auto& u : unmatched) out += "書庫にありません: " + u + "\r\n";
  if (cmd.action == Action::List) {
    out += zv::zip::shortListing(*a, chosen);
    return 0;
  }
  if (cmd.action == Action::Verbose) {
    out += zv::zip::verboseListing(*a, cmd.archive, chosen);
    return 0;
  }
  if (chosen.empty()) return ZV_ERROR_NO_FILES;
  int r = zv::zip::extractMembers(*a, cmd, &chosen, gHasHost ? &gHost : nullptr, out, outLimit);
  if (r == 0 && !unmatched.empty()) r = ZV_ERROR_NO_FILES;
  return r;
}

}  // namespace

extern "C" {

ZV_API int UnZip(ZvWindow, const char* command, char* output, uint32_t size) {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  std::string out;
  int r;
  try {
    r = command ? runCommand(command, out, output ? size : 0) : ZV_ERROR_COMMAND;
  } catch (const std::bad_alloc&) {
    out += "メモリが足りません\r\n";
    r = ZV_ERROR_MEMORY;
  } catch (const std::exception& e) {
    out += std::string("エラー: ") + e.what() + "\r\n";
    r = ZV_ERROR_CANNOT_OPEN;
  }
  copyOutput(out, output, size);
  return r;
}

ZV_API int16_t UnZipGetVersion(void) { return 100; }

ZV_API int UnZipGetFileCount(const char* archive) {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  if (!archive) return -1;
  try {
    auto a = openArchive(archive, nullptr);
    return a ? int(a->count()) : -1;
  } catch (...) {
    return -1;
  }
}

ZV_API ZvArchive UnZipOpenArchive(ZvWindow, const char* archive, uint32_t mode) {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  if (!archive) return nullptr;
  try {
    auto names = zv::encoding::encodingFromNumber(mode & ZV_NAMES_MASK);
    auto a = openArchive(archive, nullptr, true, names.value_or(zv::encoding::NameEncoding::Auto));
    if (!a) return nullptr;
    return new FindHandle{a, "*", 0};
  } catch (...) {
    return nullptr;
  }
}

ZV_API int UnZipFindFirst(ZvArchive archive, const char* wildcard, ZvMemberInfo* info) {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  auto* h = static_cast<FindHandle*>(archive);
  if (!h || !info) return ZV_FIND_END;
  h->wildcard = wildcard && *wildcard ? wildcard : "*";
  h->next = 0;
  h->reported = SIZE_MAX;
  return findFrom(h, info);
}

ZV_API int UnZipFindNext(ZvArchive archive, ZvMemberInfo* info) {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  auto* h = static_cast<FindHandle*>(archive);
  if (!h || !info) return ZV_FIND_END;
  return findFrom(h, info);
}

ZV_API int UnZipCloseArchive(ZvArchive archive) {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  delete static_cast<FindHandle*>(archive);
  return 0;
}

ZV_API int UnZipGetFileName(ZvArchive archive, char* buffer, uint32_t size) {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  auto* h = static_cast<FindHandle*>(archive);
  if (!h || h->reported == SIZE_MAX) return -1;
  return zv::copyName(h->archive->name(h->reported), buffer, size);
}

ZV_API const char* UnZipGetCapabilities(void) {
  static const std::string caps = [] {
    std::string methods = "stored";
    const std::pair<int, const char*> all[] = {
        {ZIP_CM_DEFLATE, "deflate"}, {ZIP_CM_DEFLATE64, "deflate64"},
        {ZIP_CM_BZIP2, "bzip2"},     {ZIP_CM_LZMA, "lzma"},
        {ZIP_CM_XZ, "xz"},           {93, "zstd"}};
    const zv::zip::LibZip* lz = zv::zip::libzip();
    for (auto [id, name] : all)
      if ((lz && lz->zip_compression_method_supported(id, 0)) || id == ZIP_CM_DEFLATE ||
          (id == ZIP_CM_LZMA && zv::zip::ownLzmaSupport()))
        methods += std::string(",") + name;
    std::string enc = lz ? "pkware" : "";
    if (lz && lz->zip_encryption_method_supported(ZIP_EM_AES_256, 0)) enc += ",aes";
    return "methods=" + methods + ";encryption=" + enc +
           ";zip64=1;names=auto,sjis,utf8,euc,cp437,latin1";
  }();
  return caps.c_str();
}

ZV_API void UnZipSetHost(const ZvHost* host) {
  std::lock_guard<std::recursive_mutex> lock(gMutex);
  gHasHost = host != nullptr;
  gHost = host ? *host : ZvHost{};
}

}  // extern "C"
