// One member of an LZH archive as the header reader found it.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace zv::lzh {

struct Member {
  // Where the member lies in the archive file.
  uint64_t headerOffset = 0;
  uint64_t dataOffset = 0;
  uint32_t headerSize = 0;

  char method[6] = {0};  // "-lh5-" and a NUL
  uint64_t packedSize = 0;
  uint64_t originalSize = 0;
  uint16_t crc = 0;
  bool hasCrc = true;
  uint8_t level = 0;
  uint8_t osId = 0;
  uint8_t dosAttribute = 0x20;
  uint32_t dosDateTime = 0;  // packed MS-DOS date (high word) and time (low word), local time
  std::time_t mtime = 0;     // seconds since 1970 UTC, 0 when unknown
  uint16_t unixMode = 0;
  bool hasUnixMode = false;

  // Name bytes as stored: the folder part (0xFF separators; empty at level 0) and the name.
  std::string rawDir;
  std::string rawName;
  std::u16string utf16Dir;  // Windows tools' UTF-16 names, preferred when present
  std::u16string utf16Name;
  bool hasUtf16Name = false;
  uint32_t codePage = 0;   // from the code page extended header, 0 when absent
  std::string rawComment;  // what followed a NUL in the name field (Amiga file comments)

  // Decoded name: UTF-8 components without "." and empty parts.
  std::vector<std::string> parts;
  bool absolute = false;  // the stored name began with a separator
  bool isFolder = false;
  bool isSymlink = false;
  std::string linkTarget;  // UTF-8 with '/' separators
  // The path the listings show and the commands match: components joined with '\', folders
  // ending in '\'.
  std::string path;
  std::string comment;  // the file comment as UTF-8 without control characters, or empty
  // How the name was read: the encoding's number (encoding::NameEncoding), whether the header
  // itself said so (UTF-16 name, code page), and whether bytes had to be escaped.
  uint8_t nameEncoding = 0;
  bool nameMarked = false;
  bool nameEscaped = false;
  // The path as stored, before composition (NFC): names typed in that form still match.
  // Empty when composing changed nothing.
  std::string matchPath;

  bool truncated = false;  // the packed data runs past the end of the file

  bool methodIs(const char* m) const;
};

}  // namespace zv::lzh
