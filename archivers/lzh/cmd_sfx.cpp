// s: a self-extracting archive, the Windows stub followed by the archive's own bytes, named
// after the archive with ".exe" in the destination folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "../sfx/sfx_config.h"
#include "archive_index.h"
#include "archive_writer.h"
#include "commands.h"
#include "lzh_error.h"
#include "lzh_paths.h"
#include "member_io.h"
#include "sfx_stub.h"

namespace zv::lzh {
namespace {

// Asks the host for one customisable text; `field` receives the answer (cut to fit).
void customise(RunContext& ctx, int kind, const std::string& archive, char* field, size_t size,
               const std::string& fallback) {
  std::string value = fallback;
  std::string answer(size, '\0');
  std::memcpy(answer.data(), fallback.data(), std::min(fallback.size(), size - 1));
  int r = ctx.decide(kind, archive, answer.data(), static_cast<uint32_t>(size), 0);
  if (r < 0) fail(ZV_ERROR_USER_CANCEL, "中止しました");
  if (r > 0) value = std::string(answer.c_str());
  size_t n = std::min(value.size(), size - 1);
  while (n > 0 && n < value.size() && (static_cast<unsigned char>(value[n]) & 0xC0) == 0x80) --n;
  std::memset(field, 0, size);
  std::memcpy(field, value.data(), n);
}

std::string withoutExtension(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

int makeSelfExtractor(RunContext& ctx) {
  if (zv_sfx_stub_size == 0)
    fail(ZV_ERROR_CANNOT_CREATE, "Windows 用の自己解凍書庫は，このビルドでは利用できません");
  const Command& cmd = ctx.cmd;
  std::string archive = archiveHostPath(cmd.archive);
  std::shared_ptr<const ArchiveIndex> idx = loadIndex(archive);
  if (idx->damaged) fail(ZV_ERROR_BROKEN_ARCHIVE, "書庫が壊れています: " + idx->problem);

  std::string folder = cmd.args.empty() ? hostParent(archive) : toHostPath(cmd.args.front());
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  mkdir(folder.c_str(), 0777);
  std::string target = folder + "/" + withoutExtension(hostName(archive)) + ".exe";
  struct stat st {};
  if (lstat(target.c_str(), &st) == 0 && !cmd.replaceExisting) {
    int r = ctx.decide(ZV_DECIDE_OVERWRITE, target, nullptr, 0, 0);
    if (r < 0) fail(ZV_ERROR_USER_CANCEL, "中止しました");
    if (r == 0) fail(ZV_ERROR_CANNOT_CREATE, "同じ名前のファイルがあります: " + target);
  }

  std::string stub(reinterpret_cast<const char*>(zv_sfx_stub), zv_sfx_stub_size);
  size_t at = stub.find(std::string(ZV_SFX_MARKER, ZV_SFX_MARKER_SIZE));
  if (at == std::string::npos || at + sizeof(ZvSfxSettings) > stub.size())
    fail(ZV_ERROR_CANNOT_CREATE, "自己解凍の部品が壊れています");
  ZvSfxSettings settings;
  std::memcpy(&settings, stub.data() + at, sizeof settings);
  if (cmd.sfxMode == 3) {
    customise(ctx, ZV_DECIDE_SFX_TITLE, archive, settings.title, sizeof settings.title,
              withoutExtension(hostName(archive)));
    customise(ctx, ZV_DECIDE_SFX_MESSAGE, archive, settings.message, sizeof settings.message, "");
    customise(ctx, ZV_DECIDE_SFX_FOLDER, archive, settings.folder, sizeof settings.folder, "");
  }
  std::memcpy(stub.data() + at, &settings, sizeof settings);

  // The archive's own bytes from its first header to its end marker (a stub it may already
  // carry is left out), then exactly one end marker.
  int afd = open(archive.c_str(), O_RDONLY | O_CLOEXEC);
  if (afd < 0) fail(ZV_ERROR_CANNOT_OPEN, "書庫を開けません: " + archive);
  std::string tmp = folder + "/." + hostName(target) + "." + std::to_string(getpid()) + ".tmp";
  int out = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
  if (out < 0) {
    close(afd);
    fail(ZV_ERROR_CANNOT_CREATE, "作れません: " + target);
  }
  try {
    writeAt(out, stub.data(), stub.size(), 0);
    copyRange(afd, idx->start, out, stub.size(), idx->end - idx->start);
    unsigned char marker = 0;
    writeAt(out, &marker, 1, stub.size() + idx->end - idx->start);
    if (fsync(out) != 0 && errno != EINVAL) fail(ZV_ERROR_WRITE, "書き込めません");
  } catch (...) {
    close(afd);
    close(out);
    unlink(tmp.c_str());
    throw;
  }
  close(afd);
  fchmod(out, 0755);
  if (close(out) != 0 || rename(tmp.c_str(), target.c_str()) != 0) {
    unlink(tmp.c_str());
    fail(ZV_ERROR_CANNOT_CREATE, "作れません: " + target);
  }
  ctx.out.line("自己解凍書庫を作りました: " + target);
  return 0;
}

}  // namespace zv::lzh
