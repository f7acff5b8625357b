// Testing archives, or taking out what damaged ones still hold, through the archiver
// libraries (each with its progress dialog and cancel button), then the report window on
// the result: one line per member, the damaged ones first.
#pragma once
#include <string>
#include <vector>

namespace zv {

class Form;

// A rescue takes out the intact members; RescueMarkingDamaged also writes each member whose
// data is damaged, as far as it decodes, under a name that marks it ("a (破損).txt").
enum class ArchiveCheck { Test, Rescue, RescueMarkingDamaged };

// `archives`: Windows paths of LZH, ZIP or ISH files. The rescue writes into `destination`
// (a Windows folder path), keeping the files already there; of an ISH file it restores what
// the error-correcting lines allow and names the lines lost.
void checkArchives(Form& window, const std::vector<std::string>& archives, ArchiveCheck what,
                   const std::string& destination = {});

// True when the file begins as an LZH or ZIP archive does: one that cannot be read is then
// damaged, and the rescue may still get its members out.
bool beginsLikeAnArchive(const std::string& path);
// Where to go with such an archive (a line for the messages that meet one).
extern const char* const kRescueHint;

// The library command of a test or rescue of one archive: "t \"C:\\a.lzh\"",
// "-x --rescue \"C:\\a.zip\" \"C:\\out\\\"", "C:\\a.ish /n /f=C:\\out". Empty for a file of
// another kind, and for the test of an ISH file (the library's check function does that).
std::string checkCommand(const std::string& archive, ArchiveCheck what,
                         const std::string& destination);

}  // namespace zv
