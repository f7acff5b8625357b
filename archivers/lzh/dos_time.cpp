#include "dos_time.h"

namespace zv::lzh {

std::time_t dosToUnix(uint32_t dos) {
  unsigned time = dos & 0xFFFF, date = dos >> 16;
  int day = date & 31, month = (date >> 5) & 15, year = static_cast<int>(date >> 9) + 1980;
  int sec = (time & 31) * 2, min = (time >> 5) & 63, hour = time >> 11;
  if (day == 0 || month == 0 || month > 12 || hour > 23 || min > 59 || sec > 59) return 0;
  struct tm tm {};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = min;
  tm.tm_sec = sec;
  tm.tm_isdst = -1;
  std::time_t t = mktime(&tm);
  return t < 0 ? 0 : t;
}

uint32_t unixToDos(std::time_t t) {
  struct tm tm {};
  if (!localtime_r(&t, &tm)) return 0;
  int year = tm.tm_year + 1900;
  if (year < 1980) return (1u << 5 | 1u) << 16;  // 1980-01-01 00:00
  if (year > 2107) year = 2107;
  uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  uint32_t time = static_cast<uint32_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
  return date << 16 | time;
}

}  // namespace zv::lzh
