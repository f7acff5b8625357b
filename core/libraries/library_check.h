// The library checks of the windows that offer ZIP or ISH work.
#pragma once
#include <string>

#include "core/shared_state.h"

namespace zv {

// Sets SystemFolder to the platform's system folder and answers whether an ordinary file of
// that name (e.g. "unzip32.dll", in any case) is in it.
bool systemLibraryPresent(Shared& shared, const std::string& fileName);

}  // namespace zv
