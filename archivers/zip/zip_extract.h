// Extraction and testing of ZIP members through the safe output gate.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "zip_archive.h"
#include "zip_command.h"
#include "zorvex/archiver_api.h"

namespace zv::zip {

// Runs an Extract or Test command on the chosen members (nullptr: every member, read in
// order from the directory; the archive need not be indexed). Returns 0 or a ZV_ERROR_*
// number; messages (CR LF lines) go to `out`, of which only the first `outLimit` bytes are
// kept.
int extractMembers(const Archive& a, const UnZipCommand& cmd, const std::vector<size_t>* chosen,
                   const ZvHost* host, std::string& out, size_t outLimit = SIZE_MAX);

// Writes what the decoder makes of a damaged member (as far as the file holds it, for one cut
// short) under a marked name beside where it belongs, never over anything (see
// archive::markedName); `placed` receives that name. Returns 0 or a ZV_ERROR_* number with a
// message in `out`.
int extractDamaged(const Archive& a, const UnZipCommand& cmd, Member m, const ZvHost* host,
                   std::string& placed, std::string& out);

// The members a command names: all when it names none; exact names, folder prefixes
// ("docs/") and wildcards otherwise. Names that match nothing are listed in `unmatched`.
std::vector<size_t> chooseMembers(const Archive& a, const UnZipCommand& cmd,
                                  std::vector<std::string>& unmatched);

}  // namespace zv::zip
