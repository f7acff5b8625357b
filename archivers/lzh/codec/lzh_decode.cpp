// Method table, decoder set-up and the shared input/output plumbing.
#include <stdlib.h>

#include "lzh_decoder.h"

namespace lzh {

namespace {

// Ring of larger static-Huffman members: 64 KiB, so output still reaches the write callback
// (which may ask to stop) every 64 KiB.
enum { kLargeRingBits = 16 };

enum Family { kStore, kNoData, kStatic, kLhark, kLh1, kLh2, kLh3, kLzs, kLz5 };

struct MethodRow {
  char id[4];  // the three letters between the dashes: the self-extracting stub links this
               // table and must not contain whole method names, which readers search for
  uint8_t family;
  uint8_t window_bits;  // ring kept by the decoder: twice the largest distance of the methods
                        // that copy by distance (see copy_back), the exact ring of LArc's
  uint8_t np;           // P table size of the static-Huffman family
  uint8_t pbit;         // width of its count field
};

// One row per method id. -lh4- shares the -lh5- stream parameters, so its ring is that of
// -lh5-: a damaged -lh4- stream may name distances up to 8 KiB and must still stay inside.
const MethodRow kMethods[] = {
    {"lh0", kStore, 0, 0, 0},    {"lz4", kStore, 0, 0, 0},    {"lhd", kNoData, 0, 0, 0},
    {"lh1", kLh1, 13, 0, 0},     {"lh2", kLh2, 14, 0, 0},     {"lh3", kLh3, 14, 0, 0},
    {"lh4", kStatic, 14, 14, 4}, {"lh5", kStatic, 14, 14, 4}, {"lh6", kStatic, 16, 16, 5},
    {"lh7", kStatic, 17, 17, 5}, {"lhx", kStatic, 21, 21, 5}, {"lzs", kLzs, 11, 0, 0},
    {"lk7", kLhark, 17, 32, 6},  {"lz5", kLz5, 12, 0, 0},
};

const MethodRow* find_method(const char* method) {
  if (!method) return 0;
  for (const MethodRow& row : kMethods)
    if (method[0] == '-' && method[4] == '-' && memcmp(row.id, method + 1, 3) == 0) return &row;
  return 0;
}

int decode_store(Decoder* d) {
  while (d->out_left && d->status == LZH_OK) {
    if (d->in_ptr == d->in_end && !fill_input(d)) return d->status ? d->status : LZH_E_DATA;
    size_t n = (size_t)(d->in_end - d->in_ptr);
    if (n > d->out_left) n = (size_t)d->out_left;
    if (d->io->write(d->io->write_ctx, d->in_ptr, n) != 0) return LZH_E_WRITE;
    d->in_ptr += n;
    d->out_left -= n;
  }
  return d->status;
}

}  // namespace

bool fill_input(Decoder* d) {
  if (d->in_left == 0 || d->status != LZH_OK) return false;
  size_t want = d->in_left < kInBufSize ? (size_t)d->in_left : (size_t)kInBufSize;
  long got = d->io->read(d->io->read_ctx, d->inbuf, want);
  if (got < 0) {
    d->status = LZH_E_READ;
    d->in_left = 0;
    return false;
  }
  if (got == 0 || (size_t)got > want) {  // truncated input: what follows reads as missing
    d->in_left = 0;
    return false;
  }
  d->in_left -= (uint64_t)got;
  d->in_ptr = d->inbuf;
  d->in_end = d->inbuf + got;
  return true;
}

bool flush_output(Decoder* d) {
  if (d->wpos > d->flush_from && d->status == LZH_OK &&
      d->io->write(d->io->write_ctx, d->win + d->flush_from, d->wpos - d->flush_from) != 0)
    d->status = LZH_E_WRITE;
  if (d->wpos == d->wsize) d->wpos = 0;
  d->flush_from = d->wpos;
  return d->status == LZH_OK;
}

void refill_bytes(Decoder* d) {
  while (d->nbits < 56) {  // stays below 64, which the branch-free refills rely on
    if (d->in_ptr == d->in_end && !fill_input(d)) {
      d->nbits += 8;
      d->pad_bits += 8;
      continue;
    }
    d->bits |= (uint64_t)*d->in_ptr++ << (56 - d->nbits);
    d->nbits += 8;
  }
}

void copy_from(Decoder* d, uint32_t src, uint32_t len) {
  if (len > d->out_left) len = (uint32_t)d->out_left;
  unsigned char* w = d->win;
  const uint32_t mask = d->wmask;
  d->out_left -= len;
  while (len) {
    // Copy up to the next wrap of either position in one tight loop.
    uint32_t run = len;
    if (run > d->wsize - d->wpos) run = d->wsize - d->wpos;
    if (run > d->wsize - src) run = d->wsize - src;
    unsigned char* dst = w + d->wpos;
    const unsigned char* from = w + src;
    for (uint32_t i = 0; i < run; ++i) dst[i] = from[i];
    len -= run;
    src = (src + run) & mask;
    d->wpos += run;
    if (d->wpos == d->wsize) flush_output(d);
  }
}

bool build_table(int n, const uint8_t* len, int tbits, uint32_t* table, int size) {
  unsigned count[17] = {0};
  for (int s = 0; s < n; ++s) {
    if (len[s] > 16) return false;
    ++count[len[s]];
  }
  const int first = 1 << tbits;
  if (count[0] == (unsigned)n) {  // no codes: any use of the table fails
    for (int i = 0; i < first; ++i) table[i] = kNoCode;
    return true;
  }
  uint32_t kraft = 0;
  for (int l = 1; l <= 16; ++l) kraft += count[l] << (16 - l);
  if (kraft != 1u << 16) return false;

  unsigned start[17];
  unsigned code = 0;
  for (int l = 1; l <= 16; ++l) {
    start[l] = code;
    code = (code + count[l]) << 1;
  }
  // Pass 1: the deepest code under each first-level entry that has longer codes below it.
  for (int i = 0; i < first; ++i) table[i] = 0;
  unsigned next[17];
  memcpy(next, start, sizeof next);
  for (int s = 0; s < n; ++s) {
    const int l = len[s];
    if (l <= tbits) continue;
    const unsigned c = next[l]++;
    uint32_t& e = table[c >> (l - tbits)];
    if ((uint32_t)(l - tbits) > e) e = (uint32_t)(l - tbits);
  }
  // Second-level tables laid out after the first level.
  int used = first;
  for (int i = 0; i < first; ++i) {
    if (!table[i]) continue;
    const int sub = (int)table[i];
    if (used + (1 << sub) > size) return false;
    table[i] = kLink | (uint32_t)used | (uint32_t)sub << 16;
    used += 1 << sub;
  }
  // Pass 2: every code fills the entries its bits prefix.
  memcpy(next, start, sizeof next);
  for (int s = 0; s < n; ++s) {
    const int l = len[s];
    if (l == 0) continue;
    const unsigned c = next[l]++;
    const uint32_t entry = (uint32_t)s | (uint32_t)l << 16;
    if (l <= tbits) {
      const unsigned at = c << (tbits - l);
      const unsigned fill = 1u << (tbits - l);
      for (unsigned i = 0; i < fill; ++i) table[at + i] = entry;
      continue;
    }
    const uint32_t link = table[c >> (l - tbits)];
    const int sub = (int)((link >> 16) & 31);
    const int rest = l - tbits;
    const unsigned at = (link & 0xFFFF) + ((c & ((1u << rest) - 1)) << (sub - rest));
    const unsigned fill = 1u << (sub - rest);
    for (unsigned i = 0; i < fill; ++i) table[at + i] = entry;
  }
  return true;
}

void single_table(int n, uint8_t* len, int tbits, uint32_t* table, int sym) {
  for (int i = 0; i < n; ++i) len[i] = 0;
  const int size = 1 << tbits;
  for (int i = 0; i < size; ++i) table[i] = (uint32_t)sym;
}

}  // namespace lzh

using namespace lzh;

extern "C" int lzh_can_decode(const char method[5]) { return find_method(method) != 0; }

extern "C" int lzh_decode_readings(const char method[5]) {
  const MethodRow* row = find_method(method);
  if (!row) return 0;
  // -lh2-: two writers count the position tree differently; -lh7-: LHark's variant ("-lk7-").
  return row->family == kLh2 || memcmp(row->id, "lh7", 3) == 0 ? 2 : 1;
}

extern "C" int lzh_decode(const char method[5], uint64_t packed_size, uint64_t original_size,
                          const LzhStreams* io) {
  return lzh_decode_reading(method, packed_size, original_size, io, 0);
}

extern "C" int lzh_decode_reading(const char method[5], uint64_t packed_size,
                                  uint64_t original_size, const LzhStreams* io, int reading) {
  const MethodRow* row = find_method(method);
  if (!row || reading < 0 || reading >= lzh_decode_readings(method)) return LZH_E_METHOD;
  if (reading == 1 && memcmp(row->id, "lh7", 3) == 0)
    for (const MethodRow& r : kMethods)
      if (r.family == kLhark) row = &r;
  if (!io || !io->read || !io->write) return LZH_E_READ;
  if (row->family == kNoData) return original_size == 0 ? LZH_OK : LZH_E_DATA;
  if (original_size == 0) return LZH_OK;

  // The static-Huffman methods get a larger ring for larger members: the fast loop leaves off
  // a longest match before every wrap and each wrap writes out, so a 16 KiB ring cost about
  // one per cent of the -lh5- time there. The ring stays a power of two of at least twice the
  // dictionary, so copy_back's reasoning holds; small members keep the small ring.
  int window_bits = row->window_bits;
  if (row->family == kStatic || row->family == kLhark)
    while (window_bits < kLargeRingBits && (1ull << window_bits) < original_size) ++window_bits;
  const uint32_t wsize = window_bits ? 1u << window_bits : 0;
  Decoder* d = (Decoder*)malloc(sizeof(Decoder) + wsize + kWideSlack);
  if (!d) return LZH_E_MEMORY;
  d->io = io;
  d->status = LZH_OK;
  d->in_left = packed_size;
  d->in_ptr = d->in_end = d->inbuf;
  d->bits = 0;
  d->nbits = 0;
  d->pad_bits = 0;
  d->out_left = original_size;
  d->out_done = 0;
  d->win = (unsigned char*)(d + 1);
  d->wsize = wsize;
  d->wmask = wsize ? wsize - 1 : 0;
  d->wpos = 0;
  d->flush_from = 0;
  // The LZH window starts out as spaces, so damaged or lenient streams that reach before the
  // first byte still decode as the reference tools do.
  if (wsize) memset(d->win, 0x20, wsize);

  int rc;
  switch (row->family) {
    case kStore:
      rc = decode_store(d);
      break;
    case kStatic:
      rc = decode_static(d, row->np, row->pbit, false);
      break;
    case kLhark:
      rc = decode_static(d, row->np, row->pbit, true);
      break;
    case kLh1:
      rc = decode_lh1(d);
      break;
    case kLh2:
      rc = decode_lh2(d, reading);
      break;
    case kLh3:
      rc = decode_lh3(d);
      break;
    case kLzs:
      rc = decode_lzs(d);
      break;
    default:
      rc = decode_lz5(d);
      break;
  }
  // What was decoded before damage stopped the stream is written out as well: a damaged
  // member kept under a marked name holds all that the decoder made of it.
  if (wsize && (rc == LZH_OK || rc == LZH_E_DATA) && !flush_output(d)) rc = d->status;
  if (rc == LZH_OK && overran(d)) rc = LZH_E_DATA;
  free(d);
  return rc;
}
