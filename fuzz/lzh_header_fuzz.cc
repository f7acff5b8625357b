// libFuzzer target for the LZH header reader: the input is taken as a whole archive file
// (possibly with a self-extracting stub in front). Every header is parsed and validated,
// names decoded and put through the path-safety gate; nothing may crash, hang or read out of
// bounds. Built with -DZV_FUZZ=ON (fuzz/CMakeLists.txt).
#include <cstddef>
#include <cstdint>

#include "archive_index.h"
#include "byte_source.h"
#include "lzh_error.h"
#include "write_gate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zv::lzh::MemorySource src(data, size);
  try {
    auto idx = zv::lzh::scanArchive(src);
    for (const zv::lzh::Member& m : idx->members) {
      // What an extraction would check before writing anything.
      (void)zv::archive::checkParts(m.parts);
      if (!m.truncated && m.dataOffset + m.packedSize > size) __builtin_trap();
    }
  } catch (const zv::lzh::LzhError&) {
  }
  return 0;
}
