// The option values the windows share, typed. Each keeps the text it was read as, so the
// settings file keeps its texts (a hand-edited "Yes" is written back unchanged), and the
// windows ask typed questions instead of comparing strings.
#pragma once
#include <string>
#include <utility>

namespace zv {

// The text of one option; built from the text (settings file, tests) without ceremony.
class OptionText {
 public:
  OptionText() = default;
  OptionText(std::string text) : text_(std::move(text)) {}
  OptionText(const char* text) : text_(text) {}
  const std::string& text() const { return text_; }
  bool operator==(const OptionText& other) const = default;

 protected:
  bool is(const char* value) const { return text_ == value; }

 private:
  std::string text_;
};

// A yes/no option: exactly "YES" or "NO". Any other text (also "yes") is neither: where a
// window tells three cases apart it does nothing for such a value.
class YesNo : public OptionText {
 public:
  using OptionText::OptionText;
  static YesNo of(bool yes) { return yes ? "YES" : "NO"; }
  bool yes() const { return is("YES"); }
  bool no() const { return is("NO"); }
};

// How files go into an existing archive: "ADD", "UPDATE" or "MOVE" (Mode "4", "5", "6").
class PackModeOption : public OptionText {
 public:
  using OptionText::OptionText;
  bool add() const { return is("ADD"); }
  bool update() const { return is("UPDATE"); }
  bool move() const { return is("MOVE"); }
};

// What compression takes (WithDirectory "1", "2", "3"): "NO" the chosen files by name, "YES"
// the chosen files with their folder information, "ALL" the whole folder tree.
class DirectoryModeOption : public OptionText {
 public:
  using OptionText::OptionText;
  bool namesOnly() const { return is("NO"); }
  bool withFolders() const { return is("YES"); }
  bool wholeFolder() const { return is("ALL"); }
};

}  // namespace zv
