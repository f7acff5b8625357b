// The Windows self-extracting stub, embedded at build time (archivers/sfx).
#pragma once
#include <cstddef>

extern const unsigned char zv_sfx_stub[];
extern const std::size_t zv_sfx_stub_size;
