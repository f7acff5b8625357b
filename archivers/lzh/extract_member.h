// Writing one member into the destination through the write gate, shared by plain extraction
// and the rescue of a damaged archive.
#pragma once
#include <string>
#include <vector>

#include "lzh_member.h"
#include "member_io.h"
#include "run_context.h"
#include "write_gate.h"

namespace zv::lzh {

// Writes the member under the path `stored` (its components) inside `dest`; the file appears
// only when its data decodes with a matching CRC. Throws LzhError naming the member.
void extractOne(const Member& m, const std::vector<std::string>& stored, archive::Destination& dest,
                const archive::WriteBatch& batch, ArchiveReader& reader, RunContext& ctx);

// Writes what the decoder makes of a damaged member's data (as far as the file holds it)
// under a marked name beside where the member belongs, never over anything (see
// archive::markedName). Returns the name it was written under. Throws LzhError for what
// keeps it from being written.
std::string extractDamaged(const Member& m, const std::vector<std::string>& stored,
                           archive::Destination& dest, const archive::WriteBatch& batch,
                           ArchiveReader& reader, RunContext& ctx);

}  // namespace zv::lzh
