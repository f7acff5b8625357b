// The windows' one way to run a library command. A library that is not loaded answers
// kLibraryMissing, which every window reports as a failed command ("ファイルを開けません").
#pragma once
#include <cstdint>
#include <string>

#include "zorvex/archiver_api.h"

namespace zv {

class ArchiverSet;

enum class Archiver { Lha, Zip, Ish };

inline constexpr int kLibraryMissing = ZV_ERROR_CANNOT_OPEN;

// Runs `command` with `owner`'s window; with an output buffer of `size` blanks whose text goes
// to *output (LHA and ZIP only: the ISH library has no buffer).
int runArchiver(ArchiverSet* set, Archiver which, const std::string& command,
                std::string* output = nullptr, uint32_t size = 0, ZvWindow owner = nullptr);

}  // namespace zv
