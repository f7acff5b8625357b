// The C entry points of UNLHA32.DLL. Every call runs under one lock (the windows call from
// one thread, tools and tests may not) and turns internal failures into result numbers.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string_view>

#include "archive_index.h"
#include "command_line.h"
#include "commands.h"
#include "listing_text.h"
#include "lzh_codec.h"
#include "lzh_error.h"
#include "lzh_paths.h"
#include "name_buffer.h"
#include "platform/runtime_error.h"
#include "platform/winpath.h"
#include "run_context.h"
#include "sfx_stub.h"
#include "wildcard.h"
#include "zorvex/archiver_api.h"

using namespace zv::lzh;

namespace {

// Recursive: a host callback may call back into the library.
std::recursive_mutex& lock() {
  static std::recursive_mutex m;
  return m;
}

// An open listing: the index it was opened on (kept alive even if the archive changes) and
// the position of the next find.
struct ListingHandle {
  std::shared_ptr<const ArchiveIndex> index;
  std::string wildcard;
  size_t next = 0;
  size_t reported = SIZE_MAX;  // the member the last find reported
};

// From the compact record: a listing of 100 000 members builds no Member.
void fill(const MemberRecord& m, std::string_view path, ZvMemberInfo* info,
          zv::encoding::NameEncoding decided) {
  std::memset(info, 0, ZV_MEMBER_INFO_SIZE);
  info->original_size = static_cast<uint32_t>(m.originalSize);
  info->packed_size = static_cast<uint32_t>(m.packedSize);
  info->crc = m.crc;
  info->flag = 0;
  info->os_type = m.osId;
  info->ratio = ratioPerMille(m.packedSize, m.originalSize);
  info->date = static_cast<uint16_t>(m.dosDateTime >> 16);
  info->time = static_cast<uint16_t>(m.dosDateTime & 0xFFFF);
  // Cut a long name at a character boundary so the field holds valid UTF-8.
  size_t n = std::min<size_t>(path.size(), sizeof info->name - 1);
  while (n > 0 && n < path.size() && (static_cast<unsigned char>(path[n]) & 0xC0) == 0x80) --n;
  std::memcpy(info->name, path.data(), n);
  std::string attr = attributeText(m.is(MemberRecord::kFolder), m.dosAttribute);
  std::memcpy(info->attribute, attr.data(), std::min<size_t>(attr.size(), 7));
  std::memcpy(info->method, m.method, 5);
  info->name_encoding = m.nameEncoding;
  info->name_flags = (m.is(MemberRecord::kNameEscaped) ? ZV_NAME_ESCAPED : 0) |
                     (m.is(MemberRecord::kNameMarked) ? ZV_NAME_MARKED : 0) |
                     (m.is(MemberRecord::kMatchPath) ? ZV_NAME_COMPOSED : 0);
  info->names_decided = static_cast<uint8_t>(decided);
}

int findFrom(ListingHandle* h, ZvMemberInfo* info) {
  const MemberTable& members = h->index->members;
  while (h->next < members.size()) {
    size_t i = h->next++;
    if (h->wildcard.empty() || wildcardMatch(h->wildcard, members.path(i))) {
      h->reported = i;
      if (info) fill(members.record(i), members.path(i), info, h->index->decided);
      // The index stops at a damaged header: a caller that takes as many members as the
      // count learns it from the last record, one that reads on from the end result.
      if (info && h->index->damaged && i + 1 == members.size()) info->flag |= ZV_MEMBER_LAST_READ;
      return ZV_FIND_OK;
    }
  }
  return h->index->damaged ? ZV_ERROR_BROKEN_ARCHIVE : ZV_FIND_END;
}

}  // namespace

extern "C" {

ZV_API int Unlha(ZvWindow owner, const char* command, char* output, uint32_t size) {
  std::lock_guard<std::recursive_mutex> guard(lock());
  if (output && size > 0) output[0] = '\0';
  if (!command) return ZV_ERROR_COMMAND;
  OutputText failure;
  try {
    Command cmd = parseCommand(command);
    RunContext ctx(cmd, cmd.archive);
    ctx.out.streamTo(output, size);
    int rc = 0;
    try {
      rc = runCommand(ctx);
    } catch (const LzhError& e) {
      ctx.out.line(std::string("エラー: ") + e.what());
      ctx.out.copyTo(output, size);
      return e.code();
    }
    ctx.out.copyTo(output, size);
    return rc;
  } catch (const LzhError& e) {
    failure.line(std::string("エラー: ") + e.what());
    failure.copyTo(output, size);
    return e.code();
  } catch (const std::bad_alloc&) {
    failure.line("エラー: メモリが足りません");
    failure.copyTo(output, size);
    return ZV_ERROR_MEMORY;
  } catch (const std::exception& e) {
    failure.line(std::string("エラー: ") + e.what());
    failure.copyTo(output, size);
    return ZV_ERROR_CANNOT_OPEN;
  }
}

ZV_API int16_t UnlhaGetVersion(void) { return 200; }

ZV_API int UnlhaGetFileCount(const char* archive) {
  std::lock_guard<std::recursive_mutex> guard(lock());
  if (!archive) return -1;
  try {
    return static_cast<int>(
        loadIndex(archiveHostPath(zv::winpath::unquote(archive)))->members.size());
  } catch (...) {
    return -1;
  }
}

ZV_API ZvArchive UnlhaOpenArchive(ZvWindow owner, const char* archive, uint32_t mode) {
  std::lock_guard<std::recursive_mutex> guard(lock());
  if (!archive) return nullptr;
  try {
    auto h = std::make_unique<ListingHandle>();
    auto names = zv::encoding::encodingFromNumber(mode & ZV_NAMES_MASK);
    h->index = loadIndex(archiveHostPath(zv::winpath::unquote(archive)),
                         names.value_or(zv::encoding::NameEncoding::Auto));
    return h.release();
  } catch (...) {
    return nullptr;
  }
}

ZV_API int UnlhaFindFirst(ZvArchive archive, const char* wildcard, ZvMemberInfo* info) {
  std::lock_guard<std::recursive_mutex> guard(lock());
  if (!archive) return ZV_ERROR_NOT_ARCHIVE;
  auto* h = static_cast<ListingHandle*>(archive);
  h->wildcard = wildcard ? wildcard : "";
  if (h->wildcard == "*" || h->wildcard == "*.*") h->wildcard.clear();
  h->next = 0;
  h->reported = SIZE_MAX;
  return findFrom(h, info);
}

ZV_API int UnlhaFindNext(ZvArchive archive, ZvMemberInfo* info) {
  std::lock_guard<std::recursive_mutex> guard(lock());
  if (!archive) return ZV_ERROR_NOT_ARCHIVE;
  return findFrom(static_cast<ListingHandle*>(archive), info);
}

ZV_API int UnlhaCloseArchive(ZvArchive archive) {
  std::lock_guard<std::recursive_mutex> guard(lock());
  delete static_cast<ListingHandle*>(archive);
  return 0;
}

ZV_API int UnlhaGetFileName(ZvArchive archive, char* buffer, uint32_t size) {
  std::lock_guard<std::recursive_mutex> guard(lock());
  auto* h = static_cast<ListingHandle*>(archive);
  if (!h || h->reported == SIZE_MAX) return -1;
  return zv::copyName(h->index->members.path(h->reported), buffer, size);
}

ZV_API const char* UnlhaGetCapabilities(void) {
  static const std::string text = [] {
    std::string decode = "lh0,lz4,lhd";
    for (const char* m :
         {"-lh1-", "-lh2-", "-lh3-", "-lh4-", "-lh5-", "-lh6-", "-lh7-", "-lhx-", "-lzs-", "-lz5-"})
      if (lzh_can_decode(m)) decode += "," + std::string(m + 1, 3);
    std::string encode = "lh0";
    for (const char* m : {"-lh5-", "-lh6-", "-lh7-"})
      if (lzh_can_encode(m)) encode += "," + std::string(m + 1, 3);
    return "methods=" + encode + ";decode=" + decode +
           ";levels=0,1,2;read-levels=0,1,2,3;commands=a,u,m,x,e,l,v,t,d,s;sfx=" +
           (zv_sfx_stub_size ? "1" : "0");
  }();
  return text.c_str();
}

ZV_API void UnlhaSetHost(const ZvHost* host) {
  std::lock_guard<std::recursive_mutex> guard(lock());
  setHost(host);
}

}  // extern "C"
