// Entry of the stub's work, called by the system-specific main.
#ifndef ZV_SFX_CORE_H
#define ZV_SFX_CORE_H

namespace sfx {

// Extracts every member of the archive behind the stub into the destination (`destArg`,
// or the settings' folder, or the stub's folder). 0: all extracted, 1: some failed or the
// user declined, 2: no archive found.
int run(const char* destArg, bool quiet);

}  // namespace sfx

#endif
