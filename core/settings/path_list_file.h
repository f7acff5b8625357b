// The files of the registered path lists: the favourite destination folders of the archive
// creation window ("ZORVEX2.DAT") and of the extraction window ("ZORVEX.DAT"). Both use this
// one implementation of the file format and of reading and writing the file; the combo box
// operations on a list are in ui/common/path_list_combo.h.
//
// File format: fixed records of 1002 bytes, no header. Each record is a signed 16-bit
// little-endian entry count N (the same in every record) and a 1000-byte path in CP932,
// padded with blanks. Record k holds entry k - 1; an empty list is one record with count 0.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::pathlist {

inline constexpr size_t kRecordSize = 1002;
inline constexpr size_t kPathBytes = 1000;
inline constexpr int kMaxEntries = 32767;  // the count is a signed 16-bit number

// The list file and the temporary file it is written through.
struct Files {
  std::string list;
  std::string temp;
};
// Program folder + "\ZORVEX2.DAT" / "\ZORVEX2.$$$" (archive creation window).
Files compressionFiles(const std::string& programFolder);
// Program folder + "\ZORVEX.DAT" / "\ZORVEX.$$$" (extraction window).
Files extractionFiles(const std::string& programFolder);

// ---- format ----
// The 1000-byte path field: blanks around the path removed, CP932 when every character has a
// CP932 form (otherwise UTF-8, so nothing is lost), cut at a character boundary, blank-padded.
std::string encodePathField(std::string_view path);
// The path of a field: CP932 or UTF-8 bytes decoded, blanks (and NUL padding) removed.
std::string decodePathField(std::string_view field);
// The whole file for a list (one record with count 0 for an empty list).
std::string encodeRecords(const std::vector<std::string>& entries);
// The entries of a file's bytes; records missing at the end are not invented.
std::vector<std::string> decodeRecords(std::string_view bytes);

// ---- files ----
// The entries stored in the list file; a missing or unreadable file gives none.
std::vector<std::string> readList(const std::string& listFile);
// Writes the temporary file record by record (running `afterRecord` after each one), then
// renames it over the list file, so the old list stays intact until the new one is on disk.
// False when anything failed (the list file is then unchanged, the temporary file removed);
// *error then holds the runtime error number of the first failed step (0: unknown).
bool writeList(const Files& files, const std::vector<std::string>& entries,
               const std::function<void()>& afterRecord = {}, int* error = nullptr);

}  // namespace zv::pathlist
