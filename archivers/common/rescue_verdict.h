// What a test or rescue found of one member, in the words both libraries' reports use (the
// windows read these lines back, so the two must not drift apart).
#pragma once

namespace zv::archive {

// Other: sound but not taken out (an unsafe name, a method not handled); said on its own.
enum class Verdict { Ok, Crc, Header, Cut, Other };

inline const char* verdictText(Verdict v) {
  switch (v) {
    case Verdict::Ok:
      return "正常";
    case Verdict::Crc:
      return "CRC エラー";
    case Verdict::Header:
      return "ヘッダ破損";
    case Verdict::Cut:
      return "途中で切れています";
    case Verdict::Other:
      break;
  }
  return "エラー";
}

}  // namespace zv::archive
