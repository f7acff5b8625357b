// The extraction runs of the extraction window: each selected member of the contents window's
// list is extracted with its own library call into ExtractFolder.
#pragma once

namespace zv {
class Control;
class Form;
}  // namespace zv

namespace zv::extract {

// RunLhaExtract: with the overwrite question for existing files (OverwriteAll no), the
// progress choice of ShowExtractProgress, and the old file kept until its replacement is there.
void runLhaExtract(Form& window, Control& members);

// RunZipExtract: every selected member with "-x -n --i"; pending events run after each entry.
void runZipExtract(Form& window, Control& members);

}  // namespace zv::extract
