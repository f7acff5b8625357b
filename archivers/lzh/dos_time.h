// MS-DOS packed date/time (local time, 2-second steps) and Unix time.
#pragma once
#include <cstdint>
#include <ctime>

namespace zv::lzh {

// 0 for a value with invalid fields.
std::time_t dosToUnix(uint32_t dos);
uint32_t unixToDos(std::time_t t);

}  // namespace zv::lzh
