// -t (test every member) and --rescue (take out what a damaged archive still holds): one
// report line per member, read from the local headers when the central directory is missing
// or damaged; a member whose data fails is never written; the members lost are named again
// at the end and the result is then non-zero.
#pragma once
#include <cstdint>
#include <string>

#include "zip_command.h"
#include "zorvex/archiver_api.h"

namespace zv::zip {

int testOrRescue(const UnZipCommand& cmd, const ZvHost* host, std::string& out,
                 size_t outLimit = SIZE_MAX);

}  // namespace zv::zip
