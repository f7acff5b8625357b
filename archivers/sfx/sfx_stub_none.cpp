// The stub of a build without the Windows cross-compiler: none (size 0).
#include <cstddef>
extern const unsigned char zv_sfx_stub[] = {0};
extern const std::size_t zv_sfx_stub_size = 0;
