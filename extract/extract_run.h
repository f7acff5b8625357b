// The extraction runs of the extraction window: each selected member of the contents window's
// list is extracted with its own library call into ExtractFolder.
#pragma once

namespace zv {
class Control;
class Form;
}  // namespace zv

namespace zv::extract {

// Both runs ask before replacing an existing file (OverwriteAll no; yes replaces without a
// question, any other value extracts nothing), keep the old file until its replacement is
// there, and list the members the library refuses while the others still come out.

// RunLhaExtract: with the progress choice of ShowExtractProgress.
void runLhaExtract(Form& window, Control& members);

// RunZipExtract: every member with "-x -n --i"; pending events run after each entry.
void runZipExtract(Form& window, Control& members);

}  // namespace zv::extract
