// The settings file "ZORVEX.INI" with the Windows profile semantics: section and key names
// without regard to case, blanks around values ignored, a value written replaces the old one
// in place, missing sections and keys are appended. Nothing is cached: every read and every
// write goes to the file, so what one window writes the next window reads.
#pragma once
#include <string>

namespace zv {

class Profile {
 public:
  // The file as a program path (Windows-style) or a host path; it need not exist.
  explicit Profile(std::string file) : file_(std::move(file)) {}

  // The stored value cut to bufferSize - 1 characters, or the default (cut likewise) when the
  // file, the section or the key is missing.
  std::string read(const std::string& section, const std::string& key, const std::string& def,
                   int bufferSize) const;
  // Writes through a temporary file renamed into place, keeping every other line. A failed
  // write is ignored, as the windows expect; writeChecked() tells whether it worked.
  void write(const std::string& section, const std::string& key, const std::string& value) const;
  bool writeChecked(const std::string& section, const std::string& key,
                    const std::string& value) const;
  // Removes a key; false when it was not there or the file could not be written.
  bool remove(const std::string& section, const std::string& key) const;

  const std::string& file() const { return file_; }

 private:
  std::string file_;
};

// The first `count` characters (code points) of a UTF-8 text.
std::string cutToCharacters(const std::string& text, int count);

}  // namespace zv
