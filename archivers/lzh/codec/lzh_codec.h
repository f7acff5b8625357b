/*
 * The LZH method codecs, shared by the library and the self-extracting stub. Written in a
 * restricted style (no exceptions, no standard containers, no heap beyond one state block)
 * so that the stub stays small.
 *
 * Streaming: the codec pulls packed bytes through `read` and pushes decoded bytes through
 * `write`; the caller computes CRC-16 on what it writes.
 *
 * Decoded methods: -lh0- -lz4- (stored), -lhd- (no data), -lh1- -lh2- (adaptive Huffman),
 * -lh3- -lh4- -lh5- -lh6- -lh7- -lhx- (static Huffman), -lzs- -lz5- (LArc), and "-lk7-": the
 * variant LHark stores under the -lh7- id, which only the CRC tells apart. Encoded: -lh5-,
 * -lh6-, -lh7-. The decoder never reads more than the packed size, never writes more than the
 * original size, and reports damaged data as LZH_E_DATA.
 */
#ifndef ZV_LZH_CODEC_H
#define ZV_LZH_CODEC_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Returns bytes read (0 at end of input), or a negative value on a read error. */
typedef long (*LzhReadFn)(void* ctx, unsigned char* buf, size_t max);
/* Returns 0 on success, non-zero to stop (write error or cancel). */
typedef int (*LzhWriteFn)(void* ctx, const unsigned char* buf, size_t len);

typedef struct LzhStreams {
  LzhReadFn read;
  void* read_ctx;
  LzhWriteFn write;
  void* write_ctx;
} LzhStreams;

enum LzhCodecResult {
  LZH_OK = 0,
  LZH_E_METHOD = 1, /* unknown or unsupported method id */
  LZH_E_DATA = 2,   /* packed data is damaged (bad tables, runs past the end) */
  LZH_E_READ = 3,
  LZH_E_WRITE = 4, /* the write callback asked to stop */
  LZH_E_MEMORY = 5,
  LZH_E_NOGAIN = 6 /* encoding stopped: the packed data reached the caller's limit */
};

/* True when `method` (5 bytes such as "-lh5-") can be decoded / encoded. */
int lzh_can_decode(const char method[5]);
int lzh_can_encode(const char method[5]);

/* Decodes exactly `original_size` bytes from at most `packed_size` input bytes. */
int lzh_decode(const char method[5], uint64_t packed_size, uint64_t original_size,
               const LzhStreams* io);

/* Some methods were written in more than one way under the same id (-lh2-: writers differ in
 * how the position tree counts before its first split). lzh_decode uses reading 0; a caller
 * whose CRC does not match tries the others, 0 .. lzh_decode_readings(method) - 1. */
int lzh_decode_readings(const char method[5]);
int lzh_decode_reading(const char method[5], uint64_t packed_size, uint64_t original_size,
                       const LzhStreams* io, int reading);

/* Encodes `original_size` bytes with -lh5-, -lh6- or -lh7-; *packed_size receives the packed
 * length. The caller stores -lh0- instead when the result is not smaller. */
int lzh_encode(const char method[5], uint64_t original_size, const LzhStreams* io,
               uint64_t* packed_size);

/* Encoder tuning. `level` 1 (fastest) ... 9 (smallest), 0 = default (6); 1-6 match lazily,
 * 7-9 choose matches by their cost in bits (level 7 about three times slower than the
 * default, level 9 about fifteen times, each holding about 10 MB more). When `stop_above` is
 * non-zero the encoder gives up with LZH_E_NOGAIN as soon as more than that many packed bytes
 * have been produced, so callers that fall back to -lh0- need not compress incompressible
 * data to the end. */
typedef struct LzhEncodeOptions {
  int level;
  uint64_t stop_above;
} LzhEncodeOptions;

/* As lzh_encode, with options (NULL = defaults). */
int lzh_encode_ex(const char method[5], uint64_t original_size, const LzhStreams* io,
                  uint64_t* packed_size, const LzhEncodeOptions* options);

/* CRC-16 (polynomial 0xA001, reflected, initial 0) as LZH headers store it. */
uint16_t lzh_crc16(uint16_t crc, const unsigned char* buf, size_t len);

#ifdef __cplusplus
}
#endif

#endif
