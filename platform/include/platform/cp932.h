// The CP932 lead bytes: a byte in these ranges starts a two-byte character, so CP932 text is
// cut or split only before such a byte, never after it. Header only and free of other
// includes, so that the self-extracting stub can use it as well.
#pragma once

namespace zv::encoding {

constexpr bool isCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace zv::encoding
