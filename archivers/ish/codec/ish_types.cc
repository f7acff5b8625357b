#include "ish_types.h"

namespace zv::ish {
namespace {

constexpr TypeInfo kTypes[] = {
    {CodeType::Jis7, 63, 60, 61, 78, 16, 13, "s7", "jis7"},
    {CodeType::Jis8, 69, 66, 67, 79, 8, 8, "s8", "jis8"},
    {CodeType::Sjis, 73, 70, 71, 78, 16, 15, "ss", "shift_jis"},
    {CodeType::Nsjis, 69, 66, 67, 79, 16, 14, "sn", "non-kana"},
};

}  // namespace

const TypeInfo& info(CodeType type) { return kTypes[static_cast<int>(type)]; }

const TypeInfo* infoByTypeCode(uint8_t typeCode) {
  for (const auto& t : kTypes)
    if (t.typeCode == typeCode) return &t;
  return nullptr;
}

}  // namespace zv::ish
