// Reading a ZIP archive from its local headers alone, for when the central directory is
// missing or damaged (an archive cut short, a directory overwritten). Members written with a
// data descriptor are measured by decoding their deflate stream, or by finding the descriptor
// whose sizes fit; ZIP64 sizes are read from the local extra field.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/name_encoding.h"
#include "zip_bytes.h"
#include "zip_central.h"

namespace zv::zip {

struct LocalWalk {
  // Per entry: its data runs past the end of the file.
  std::vector<bool> truncated;
  // Headers that could not be read: where they were and the name they still show.
  struct Lost {
    uint64_t offset = 0;
    std::string name;
    bool cut = false;  // the header itself runs past the end of the file
  };
  std::vector<Lost> lost;
};

// The name of the local header at `at` read with `reading` (as the directory read its names),
// or none when no plausible local header is there.
std::optional<std::string> localHeaderName(ReadWindow& w, uint64_t at, const NameReading& reading);

// Walks the local headers into `cd` (entries, names, member count and total size). The
// names are read as the directory's are: those without a mark as `names` says, with Auto in
// the one encoding that suits the archive's names best, those of `alsoNames` (raw names of a
// damaged directory) counted with them, so that one damaged name does not sway the choice.
// Returns 0, or ZIP_ER_NOZIP when no local header is found at all, ZIP_ER_READ with errno in
// *sysError.
int readLocalHeaders(ReadWindow& w, CentralDirectory& cd, LocalWalk& walk, int* sysError,
                     const NameReading& names = {}, const std::vector<std::string>& alsoNames = {});

}  // namespace zv::zip
