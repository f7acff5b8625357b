// libzip, loaded when the first member this library does not decode itself is met (or the
// capabilities are asked for). Most archives never need it, and loading it with the
// libraries it depends on (a crypto library among them) costs the process about 2 MB.
#pragma once
#include <zip.h>

namespace zv::zip {

// clang-format off
#define ZV_LIBZIP_FUNCTIONS(X) \
  X(zip_compression_method_supported) \
  X(zip_discard) \
  X(zip_encryption_method_supported) \
  X(zip_error_clear) \
  X(zip_error_code_zip) \
  X(zip_error_fini) \
  X(zip_error_init) \
  X(zip_error_set) \
  X(zip_error_to_data) \
  X(zip_fclose) \
  X(zip_file_get_error) \
  X(zip_fopen_index) \
  X(zip_fopen_index_encrypted) \
  X(zip_fread) \
  X(zip_get_error) \
  X(zip_get_num_entries) \
  X(zip_open_from_source) \
  X(zip_source_buffer_create) \
  X(zip_source_free) \
  X(zip_source_function_create) \
  X(zip_source_seek_compute_offset) \
  X(zip_stat_init)
// clang-format on

struct LibZip {
#define ZV_LIBZIP_MEMBER(name) decltype(&::name) name = nullptr;
  ZV_LIBZIP_FUNCTIONS(ZV_LIBZIP_MEMBER)
#undef ZV_LIBZIP_MEMBER
};

// The loaded functions, or nullptr when libzip cannot be loaded.
const LibZip* libzip();

// What a libzip error means, in the words of the library's messages (libzip's own texts are
// English).
const char* libzipErrorText(int zipErrorCode);

}  // namespace zv::zip
