// What the stub needs from the system it runs on; sfx_win.cpp and sfx_posix.cpp implement it.
#ifndef ZV_SFX_PLATFORM_H
#define ZV_SFX_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

namespace sfx {

// A member name split into components: raw bytes of each, in the archive's encoding.
struct Name {
  enum { kMaxParts = 64 };
  const unsigned char* part[kMaxParts];
  size_t len[kMaxParts];
  int count;
  bool utf8;  // false: CP932
};

// The archive: the stub's own file.
bool openSelf();
uint64_t selfSize();
size_t readSelf(uint64_t offset, void* buf, size_t len);

// Creates the folders of `n` under the destination (all components when `folder`), then for
// a file opens a temporary file beside the final name. Returns false when it cannot.
bool beginMember(const Name& n, bool folder);
bool writeMember(const void* buf, size_t len);
// Renames the temporary file into place (`keep`) or removes it.
bool endMember(bool keep, uint32_t unixTime);

// Sets the destination folder: `arg` from the command line, else the settings' folder,
// else the stub's own folder.
bool setDestination(const char* argUtf8, const char* settingsFolderUtf8);

// Asks before extracting (title, message, destination); false: the user declined.
bool confirm(const char* titleUtf8, const char* messageUtf8);
// The closing report: number of files, number of failures.
void report(const char* titleUtf8, int files, int failures, bool quiet);

}  // namespace sfx

#endif
