// libFuzzer target for the ISH decoder: any text is searched for ISH data, restored and
// repaired, volumes joined. A restored file must match its header's size. Inputs starting
// with a byte below 4 are first turned into ISH text of that code type and damaged at the
// positions the input gives, so the repair paths are reached often.
// Built as a CMake target with -DZV_FUZZ=ON (see fuzz/CMakeLists.txt).
#include <cstdint>
#include <string>
#include <vector>

#include "ish_decoder.h"
#include "ish_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text;
  const int flips = size > 8 ? 1 + data[1] % 7 : 0;
  if (size > 8 && data[0] < 4) {
    zv::ish::Header h;
    h.type = zv::ish::CodeType(data[0]);
    zv::ish::setShortName(h, "FUZZ.BIN");
    size_t payload = size - 8;
    text = zv::ish::encodeText(h, data + 8, payload, {});
    // Byte 1 says how many characters to damage (1 to 7), bytes 1..7 where.
    for (int k = 1; k <= flips && !text.empty(); ++k) {
      size_t at = (size_t(data[k]) * 7919u * size_t(k)) % text.size();
      text[at] = char(text[at] ^ 0x01);
    }
  } else {
    text.assign(reinterpret_cast<const char*>(data), size);
  }
  auto files = zv::ish::joinVolumes(zv::ish::decodeText(text));
  for (const auto& f : files) {
    if (f.ok && f.data.size() != f.header.size) __builtin_trap();
    if (!f.ok && !f.data.empty()) __builtin_trap();
  }
  if (size > 8 && data[0] < 4 && flips == 1) {
    // One damaged character is repaired exactly or reported; never silently changed bytes.
    // (Damage to several lines can exceed what the check lines repair, and a wrong repair then
    // passes the 16-bit CRC once in 65,536 tries: the format cannot promise more there.)
    for (const auto& f : files)
      if (f.ok && std::string(f.data.begin(), f.data.end()) !=
                      std::string(reinterpret_cast<const char*>(data + 8), size - 8))
        __builtin_trap();
  }
  return 0;
}
