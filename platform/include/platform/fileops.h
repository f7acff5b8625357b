// File operations on program paths (Windows-style, through the drive table, or host paths)
// that raise RuntimeError with the classic numbers (53, 58, 61, 68, 70, 75, 76, ...).
// A path on an unknown or not-ready drive raises 68, except in the three questions below,
// which answer false.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace zv::fs {

bool exists(const std::string& path);
bool isFolder(const std::string& path);
bool isFile(const std::string& path);  // ordinary file (not a folder)
// True when both paths name one file or folder that exists, also through a symbolic link.
bool sameEntry(const std::string& a, const std::string& b);

struct Entry {
  std::string name;  // UTF-8 (names that are not UTF-8 are shown decoded as CP932)
  bool folder = false;
  bool hidden = false;  // name starting with '.'
  uint64_t size = 0;
  std::time_t modified = 0;
};
// Entries of a folder, sorted by name without regard to case. Raises 76 / 68.
std::vector<Entry> list(const std::string& folder);

uint64_t fileSize(const std::string& path);         // 53 when missing
std::time_t modifiedTime(const std::string& path);  // 53 when missing
// "yyyy/mm/dd hh:mm:ss" in local time, as a file date is shown to the user.
std::string modifiedText(const std::string& path);

void makeFolder(const std::string& path);                     // 75 when it exists, 76 no parent
void removeFolder(const std::string& path);                   // empty folder only
void deleteFile(const std::string& path);                     // 53 missing, 70 denied
void rename(const std::string& from, const std::string& to);  // 58 when the target exists
// Copies through a temporary file in the target's folder renamed over the target, so a
// failed copy leaves an existing target intact.
void copyFile(const std::string& from, const std::string& to);
// The desktop trash folder that takes the file at `path` (the home Trash on the home file
// system, else that file system's own), which may not exist yet: nothing is made until a file
// is moved there; empty when no trash can take it.
std::string trashFolderFor(const std::string& path);  // 53 when missing
// Moves the file into that trash. False, with the file left where it is, when no trash can
// take it: deleting it for good instead is the caller's decision.
bool moveToTrash(const std::string& path);
// Tests stand in for a desktop whose file systems have no usable trash.
void simulateNoTrash(bool on);

// The file's bytes, or its first `limit` bytes.
std::string readAll(const std::string& path, size_t limit = SIZE_MAX);  // 53 when missing
// Waits until the file's data is on the disk (before the only other copy is deleted).
void flushToDisk(const std::string& path);  // 53 when missing
// Writes a temporary file in the same folder and renames it into place.
void writeAllAtomically(const std::string& path, std::string_view bytes);

// Reads a text file line by line, as a window reads a listing or a list file: lines end with
// CR LF, LF or CR; each line is decoded on its own (valid UTF-8 as is, otherwise CP932).
class LineReader {
 public:
  explicit LineReader(const std::string& path);  // 53 when missing
  bool atEnd() const { return pos_ >= bytes_.size(); }
  std::string readLine();  // 62 when already at the end
 private:
  std::string bytes_;
  size_t pos_ = 0;
};

}  // namespace zv::fs
