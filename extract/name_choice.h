// The encoding the member names of an archive are read in, as the user chose it in the
// contents window (自動 unless chosen), and the one the library decided on. Both hold per
// archive until the program ends, for listing, viewing and extracting that archive alike.
#pragma once
#include <cstdint>
#include <string>

#include "platform/name_encoding.h"

namespace zv {
struct App;
}

namespace zv::extract {

encoding::NameEncoding chosenNames(const App& app, const std::string& archiveText);
void chooseNames(const App& app, const std::string& archiveText, encoding::NameEncoding e);

// What the library reported it read the unmarked names in, at the last listing.
encoding::NameEncoding detectedNames(const App& app, const std::string& archiveText);
void noteDetectedNames(const App& app, const std::string& archiveText, encoding::NameEncoding e);

// The archive text for a command: with a choice other than 自動, the library's switch
// "--charset=..." before it; otherwise the text unchanged.
std::string withNameSwitch(const App& app, const std::string& archiveText);
// The open mode of the listing functions for the archive.
uint32_t listingMode(const App& app, const std::string& archiveText);

}  // namespace zv::extract
