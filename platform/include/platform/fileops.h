// File operations on program paths (Windows-style, through the drive table, or host paths)
// that raise RuntimeError with the classic numbers (53, 58, 61, 68, 70, 75, 76, ...).
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

struct Entry {
  std::string name;  // UTF-8 (names that are not UTF-8 are shown decoded as CP932)
  bool folder = false;
  bool hidden = false;  // name starting with '.'
  uint64_t size = 0;
  std::time_t modified = 0;
};
// Entries of a folder, sorted by name without regard to case. Raises 76 / 68.
std::vector<Entry> list(const std::string& folder);

uint64_t fileSize(const std::string& path);             // 53 when missing
std::time_t modifiedTime(const std::string& path);      // 53 when missing
// "yyyy/mm/dd hh:mm:ss" in local time, as a file date is shown to the user.
std::string modifiedText(const std::string& path);

void makeFolder(const std::string& path);               // 75 when it exists, 76 no parent
void removeFolder(const std::string& path);             // empty folder only
void deleteFile(const std::string& path);               // 53 missing, 70 denied
void rename(const std::string& from, const std::string& to);  // 58 when the target exists
// Copies through a temporary file in the target's folder renamed over the target, so a
// failed copy leaves an existing target intact.
void copyFile(const std::string& from, const std::string& to);
// Moves to the desktop Trash where the file system has one; otherwise deletes. Returns true
// when the file went to the Trash.
bool moveToTrash(const std::string& path);

std::string readAll(const std::string& path);           // 53 when missing
// Writes a temporary file in the same folder and renames it into place.
void writeAllAtomically(const std::string& path, std::string_view bytes);

}  // namespace zv::fs
