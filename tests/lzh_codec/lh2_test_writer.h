// A plain -lh2- writer for tests, written from the method's description: greedy LZ77 over the
// 8 KiB window and two adaptive Huffman trees kept by the straightforward leader scan. It
// writes either family of -lh2- streams: with `rootCounts` the single-leaf position root counts
// its uses before the first split (the Java LHA library), without it the root stays at 1
// (the Windows LZH library). Inputs must stay below 32768 symbols: no tree rebuilds.
#pragma once
#include <string>

namespace lzhtest {

std::string lh2Encode(const std::string& input, bool rootCounts);

}  // namespace lzhtest
