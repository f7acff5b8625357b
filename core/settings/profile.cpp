#include "core/settings/profile.h"

#include "platform/fileops.h"
#include "platform/ini_text.h"
#include "platform/runtime_error.h"

namespace zv {

namespace {

// The file's lines; an empty document when it is missing or unreadable.
ini::Document load(const std::string& file) {
  try {
    return ini::parse(fs::readAll(file));
  } catch (const RuntimeError&) {
    return {};
  }
}

// For a write: an empty document only when the file does not exist yet. A file that exists
// but cannot be read raises, so a write never replaces it with just the one new key.
ini::Document loadForWrite(const std::string& file) {
  try {
    return ini::parse(fs::readAll(file));
  } catch (const RuntimeError& e) {
    if (e.number() == kErrFileNotFound) return {};
    throw;
  }
}

// A value is one line: anything from a line break on would become lines of its own.
std::string oneLine(const std::string& value) {
  return value.substr(0, value.find_first_of("\r\n"));
}

}  // namespace

std::string cutToCharacters(const std::string& text, int count) {
  if (count <= 0) return {};
  size_t i = 0;
  int seen = 0;
  while (i < text.size() && seen < count) {
    unsigned char c = text[i];
    size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    i += n;
    ++seen;
  }
  return text.substr(0, std::min(i, text.size()));
}

std::string Profile::read(const std::string& section, const std::string& key,
                          const std::string& def, int bufferSize) const {
  auto value = ini::lookup(load(file_), section, key);
  std::string text = value ? *value : def;
  // The value used is the text up to its terminating NUL.
  if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  return cutToCharacters(text, bufferSize - 1);
}

bool Profile::writeChecked(const std::string& section, const std::string& key,
                           const std::string& value) const {
  try {
    ini::Document doc = loadForWrite(file_);
    ini::assign(doc, section, key, oneLine(value));
    fs::writeAllAtomically(file_, ini::serialize(doc));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void Profile::write(const std::string& section, const std::string& key,
                    const std::string& value) const {
  writeChecked(section, key, value);
}

bool Profile::remove(const std::string& section, const std::string& key) const {
  try {
    ini::Document doc = loadForWrite(file_);
    if (!ini::erase(doc, section, key)) return false;
    fs::writeAllAtomically(file_, ini::serialize(doc));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace zv
