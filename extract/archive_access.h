// The extraction windows' way to the archiver libraries (app().archivers): the command entries
// with their output buffers, the member listing, and the ISH check and restore.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zv {
class Form;
}

namespace zv::extract {

enum class ArchiveKind { Lzh, Zip };

// Result of a command entry, with the text the library wrote into the output buffer (up to its
// first NUL).
struct CommandResult {
  int code = 0;
  std::string output;
  bool filledBuffer = false;  // the text reached the end of the buffer: it may be cut
};

// Unlha / UnZip with `owner`'s window, the command, and an output buffer of `bufferSize`
// blanks. A library that is not loaded gives a non-zero result.
CommandResult runCommand(Form& owner, ArchiveKind kind, const std::string& command,
                         uint32_t bufferSize);

// One member as the listing record reports it.
struct MemberRecord {
  std::string name;
  uint32_t originalSize = 0, packedSize = 0, crc = 0;
  uint16_t ratio = 0, date = 0, time = 0;
  std::string attribute, method;
  bool nameEscaped = false;  // bytes of the name the encoding cannot read are shown as %XX
};

// The members of an archive: the library's file count, then open, find-first and
// find-next until the count is reached or the library reports no further member. `readable`
// is false when the count is negative or the archive cannot be opened.
struct Listing {
  bool readable = true;
  int count = 0;
  int namesDecided = -1;       // ZV_NAMES_* the unmarked names were read in, -1 when not reported
  bool stopsAtDamage = false;  // the library could read only the members before a damaged part
  std::vector<MemberRecord> members;
};
// `mode`: the open mode (ZV_NAMES_* of the names without a mark).
Listing listMembers(Form& owner, ArchiveKind kind, const std::string& archivePath,
                    uint32_t mode = 0);

// The library's file count for the archive (negative when it cannot be read).
int fileCount(ArchiveKind kind, Form& owner, const std::string& archivePath);

// IshCheckArchive(path, mode): non-zero for valid ISH data; 0 also when the library is missing.
int ishCheck(Form& owner, const std::string& path, int mode);
// Ish(owner, command).
int ishRun(Form& owner, const std::string& command);
// What the ISH library wrote about its last run ("" when it is missing).
std::string ishLastOutput(Form& owner);

}  // namespace zv::extract
