#include "core/libraries/library_call.h"

#include "core/libraries/archivers.h"

namespace zv {

int runArchiver(ArchiverSet* set, Archiver which, const std::string& command, std::string* output,
                uint32_t size, ZvWindow owner) {
  if (!set) return kLibraryMissing;
  if (which == Archiver::Ish) {
    IshLibrary* ish = set->ish();
    return ish ? ish->run(command, owner) : kLibraryMissing;
  }
  ListingLibrary* lib = which == Archiver::Lha ? set->lha() : set->zip();
  return lib ? lib->run(command, output, size, owner) : kLibraryMissing;
}

}  // namespace zv
