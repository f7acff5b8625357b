// Testing archives, or taking out what damaged ones still hold, through the archiver
// libraries (each with its progress dialog and cancel button), then the report window on
// the result: one line per member, the damaged ones first.
#pragma once
#include <string>
#include <vector>

namespace zv {

class Form;

enum class ArchiveCheck { Test, Rescue };

// `archives`: Windows paths of LZH, ZIP or ISH files. The rescue writes into `destination`
// (a Windows folder path), keeping the files already there.
void checkArchives(Form& window, const std::vector<std::string>& archives, ArchiveCheck what,
                   const std::string& destination = {});

// The library command of a test or rescue of one archive: "t \"C:\\a.lzh\"",
// "-x --rescue \"C:\\a.zip\" \"C:\\out\\\"". Empty for a file of another kind.
std::string checkCommand(const std::string& archive, ArchiveCheck what,
                         const std::string& destination);

}  // namespace zv
