// ISH encode and decode throughput per code type, in memory (figures, not tests).
// Built and run by ish_bench.sh.
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "ish_decoder.h"
#include "ish_encoder.h"

int main() {
  using namespace zv::ish;
  const size_t size = 32 << 20;
  std::vector<uint8_t> data(size);
  std::mt19937 rng(7);
  for (auto& b : data) b = uint8_t(rng());
  for (CodeType t : {CodeType::Jis7, CodeType::Jis8, CodeType::Sjis, CodeType::Nsjis}) {
    Header h;
    h.type = t;
    setShortName(h, "BENCH.BIN");
    auto t0 = std::chrono::steady_clock::now();
    std::string text = encodeText(h, data.data(), data.size(), {});
    double enc = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    t0 = std::chrono::steady_clock::now();
    auto files = decodeText(text);
    double dec = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    bool ok = files.size() == 1 && files[0].ok && files[0].data == data;
    std::printf(
        "%-6s text %.1f MB: encode %.0f MB/s, decode %.0f MB/s of file data (%.0f MB/s of "
        "text)%s\n",
        std::string(info(t).commentWord).c_str(), text.size() / 1e6, size / 1e6 / enc,
        size / 1e6 / dec, text.size() / 1e6 / dec, ok ? "" : "  MISMATCH");
  }
}
