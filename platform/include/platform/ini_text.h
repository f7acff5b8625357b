// The text of a Windows profile ("INI") file as lines, with the lookup and replacement rules
// of the Windows profile functions: section and key names match without regard to ASCII case,
// blanks around names and values are not part of them, a replaced value keeps its line, a
// missing key is added at the end of its section and a missing section at the end of the file.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv::ini {

struct Document {
  std::vector<std::string> lines;  // UTF-8, without line ends
  std::string lineEnd = "\n";      // "\r\n" for files that came with CR LF
};

// Each line is decoded on its own: valid UTF-8 as is, anything else as CP932, so files written
// on Windows and files written by this program both read correctly. A UTF-8 byte order mark is
// dropped.
Document parse(std::string_view bytes);
// UTF-8 text with the document's line end after every line.
std::string serialize(const Document& doc);

std::optional<std::string> lookup(const Document& doc, std::string_view section,
                                  std::string_view key);
void assign(Document& doc, std::string_view section, std::string_view key, std::string_view value);
// Removes the key's line; returns false when it was not there.
bool erase(Document& doc, std::string_view section, std::string_view key);
// The key/value pairs of a section in file order (empty when the section is missing).
std::vector<std::pair<std::string, std::string>> entries(const Document& doc,
                                                         std::string_view section);

}  // namespace zv::ini
