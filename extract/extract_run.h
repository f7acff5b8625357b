// The extraction runs of the extraction window: each chosen member of the contents window
// is extracted with its own library call into ExtractFolder.
#pragma once

#include <string>
#include <vector>

namespace zv {
class Form;
}  // namespace zv

namespace zv::extract {

// Both runs ask before replacing an existing file (OverwriteAll no; yes replaces without a
// question, any other value extracts nothing), keep the old file until its replacement is
// there, and list the members the library refuses while the others still come out.

// RunLhaExtract: with the progress choice of ShowExtractProgress.
void runLhaExtract(Form& window, const std::vector<std::string>& members);

// RunZipExtract: every member with "-x -n --i"; pending events run before each member.
void runZipExtract(Form& window, const std::vector<std::string>& members);

}  // namespace zv::extract
