// Extraction and testing of ZIP members through the safe output gate.
#pragma once
#include <string>
#include <vector>

#include "zip_archive.h"
#include "zip_command.h"
#include "zorvex/archiver_api.h"

namespace zv::zip {

// Runs an Extract or Test command on the chosen members. Returns 0 or a ZV_ERROR_* number;
// messages (CR LF lines) go to `out`.
int extractMembers(const Archive& a, const UnZipCommand& cmd, const std::vector<size_t>& chosen,
                   const ZvHost* host, std::string& out);

// The members a command names: all when it names none; exact names, folder prefixes
// ("docs/") and wildcards otherwise. Names that match nothing are listed in `unmatched`.
std::vector<size_t> chooseMembers(const Archive& a, const UnZipCommand& cmd,
                                  std::vector<std::string>& unmatched);

}  // namespace zv::zip
