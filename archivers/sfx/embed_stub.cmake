# Turns the built Windows stub into a C++ array for the LZH library, after checking what the
# readers need: the file starts with "MZ", stays well under 64 KiB, and holds no method name
# ("-l??-" / "-p??-"), which lhasa and others search for to find the archive behind it.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" nibbles)
math(EXPR size "${nibbles} / 2")
if(size GREATER 49152)
  message(FATAL_ERROR "self-extracting stub is ${size} bytes; it must stay under 48 KiB")
endif()
string(SUBSTRING "${hex}" 0 4 head)
if(NOT head STREQUAL "4d5a")
  message(FATAL_ERROR "self-extracting stub does not start with MZ")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\1;" bytes "${hex}")
if(bytes MATCHES "2d;(6c|70);[0-9a-f][0-9a-f];[0-9a-f][0-9a-f];2d;")
  message(FATAL_ERROR "self-extracting stub contains a method name pattern: ${CMAKE_MATCH_0}")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f]);" "0x\\1," array "${bytes}")
file(WRITE ${OUTPUT} "// Generated from the Windows self-extracting stub; do not edit.\n#include <cstddef>\n"
  "extern const unsigned char zv_sfx_stub[] = {${array}};\n"
  "extern const std::size_t zv_sfx_stub_size = ${size};\n")
