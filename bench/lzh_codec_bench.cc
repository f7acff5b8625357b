// Encode and decode throughput of the LZH codecs on text, binary and random data.
// Corpus: $LZH_BENCH_CORPUS (a folder of files) if set, otherwise generated data plus
// whatever of /usr/share/common-licenses and /usr/bin/bash exists on the machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "lzh_codec.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Source {
  const Bytes* data;
  size_t pos;
};

long read_mem(void* ctx, unsigned char* buf, size_t max) {
  auto* s = static_cast<Source*>(ctx);
  const size_t n = std::min(max, s->data->size() - s->pos);
  std::memcpy(buf, s->data->data() + s->pos, n);
  s->pos += n;
  return (long)n;
}

int append(void* ctx, const unsigned char* buf, size_t len) {
  auto* out = static_cast<Bytes*>(ctx);
  out->insert(out->end(), buf, buf + len);
  return 0;
}

int discard(void*, const unsigned char*, size_t) { return 0; }

Bytes read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Text: license texts and headers when present, else generated words, about 4 MB.
Bytes text_corpus() {
  Bytes b;
  const char* dir = std::getenv("LZH_BENCH_CORPUS");
  std::error_code ec;
  for (const std::string& root :
       {std::string(dir ? dir : ""), std::string("/usr/share/common-licenses"),
        std::string("/usr/include/c++")}) {
    if (root.empty() || !std::filesystem::exists(root, ec)) continue;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         it != std::filesystem::recursive_directory_iterator() && b.size() < (4u << 20);
         it.increment(ec)) {
      if (!it->is_regular_file(ec)) continue;
      Bytes f = read_file(it->path().string());
      b.insert(b.end(), f.begin(), f.end());
    }
    if (b.size() >= (4u << 20)) break;
  }
  std::mt19937 g(1);
  static const char* words[] = {"archive", "folder", "the", "of", "window", "header", "data"};
  while (b.size() < (4u << 20)) {
    const char* w = words[g() % 7];
    b.insert(b.end(), w, w + std::strlen(w));
    b.push_back(' ');
  }
  b.resize(4u << 20);
  return b;
}

Bytes binary_corpus() {
  Bytes b = read_file("/usr/bin/bash");
  if (b.size() < (1u << 20)) {
    std::mt19937 g(2);
    while (b.size() < (1u << 20)) b.push_back((unsigned char)(g() % 16));
  }
  return b;
}

Bytes random_corpus() {
  std::mt19937 g(3);
  Bytes b(2u << 20);
  for (auto& c : b) c = (unsigned char)g();
  return b;
}

const Bytes& corpus(int kind) {
  static const Bytes text = text_corpus(), binary = binary_corpus(), noise = random_corpus();
  return kind == 0 ? text : kind == 1 ? binary : noise;
}

const char* kind_name(int kind) { return kind == 0 ? "text" : kind == 1 ? "binary" : "random"; }
const char* method_name(int m) { return m == 5 ? "-lh5-" : m == 6 ? "-lh6-" : "-lh7-"; }

Bytes encode(const char* method, const Bytes& in, int level) {
  Source src{&in, 0};
  Bytes out;
  LzhStreams io{read_mem, &src, append, &out};
  uint64_t packed = 0;
  LzhEncodeOptions opt{level, 0};
  lzh_encode_ex(method, in.size(), &io, &packed, &opt);
  return out;
}

// Arguments: method (5/6/7), corpus kind (0 text, 1 binary, 2 random), level.
void BM_Encode(benchmark::State& state) {
  const char* method = method_name((int)state.range(0));
  const Bytes& in = corpus((int)state.range(1));
  const int level = (int)state.range(2);
  uint64_t packed = 0;
  for (auto _ : state) {
    Source src{&in, 0};
    LzhStreams io{read_mem, &src, discard, nullptr};
    LzhEncodeOptions opt{level, 0};
    if (lzh_encode_ex(method, in.size(), &io, &packed, &opt) != LZH_OK)
      state.SkipWithError("encode failed");
  }
  state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)in.size());
  state.counters["ratio%"] = 100.0 * (double)packed / (double)in.size();
  state.SetLabel(std::string(kind_name((int)state.range(1))) + " " + method);
}

// Decodes the corpus packed at `level`; level 9 (matches chosen by cost) gives more and longer
// matches than the default level's streams, so the copy path weighs more.
void decodeAtLevel(benchmark::State& state, int level) {
  const char* method = method_name((int)state.range(0));
  const Bytes& in = corpus((int)state.range(1));
  const Bytes packed = encode(method, in, level);
  for (auto _ : state) {
    Source src{&packed, 0};
    LzhStreams io{read_mem, &src, discard, nullptr};
    if (lzh_decode(method, packed.size(), in.size(), &io) != LZH_OK)
      state.SkipWithError("decode failed");
  }
  state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)in.size());
  state.SetLabel(std::string(kind_name((int)state.range(1))) + " " + method +
                 (level ? " level " + std::to_string(level) : std::string()));
}

void BM_Decode(benchmark::State& state) { decodeAtLevel(state, 0); }
void BM_DecodeBest(benchmark::State& state) { decodeAtLevel(state, 9); }

void BM_Crc16(benchmark::State& state) {
  const Bytes& in = corpus(2);
  uint16_t crc = 0;
  for (auto _ : state) {
    crc = lzh_crc16(0, in.data(), in.size());
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)in.size());
}

}  // namespace

BENCHMARK(BM_Encode)
    ->ArgsProduct({{5, 7}, {0, 1, 2}, {6}})
    ->Args({5, 0, 1})
    ->Args({5, 0, 7})
    ->Args({5, 0, 8})
    ->Args({5, 0, 9})
    ->Args({5, 1, 9})
    ->Args({7, 0, 9})
    ->Args({6, 0, 6})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->ArgsProduct({{5, 6, 7}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBest)->ArgsProduct({{5, 7}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc16)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
