#include "platform/member_name.h"

#include <climits>

namespace zv {
namespace {

bool startsWithDrive(std::string_view s) {
  return s.size() >= 2 && s[1] == ':' &&
         ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

}  // namespace

NameProblem splitMemberName(std::string_view name, std::vector<std::string>& parts) {
  parts.clear();
  if (name.empty()) return NameProblem::Empty;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F) return NameProblem::Control;
  if (name[0] == '/' || name[0] == '\\') return NameProblem::Absolute;
  if (startsWithDrive(name)) return NameProblem::Drive;
  for (std::string& part : displayedParts(name)) {
    if (part == "..") {
      parts.clear();
      return NameProblem::ParentStep;
    }
    // A colon inside a component is harmless on this system but names a drive or a data
    // stream elsewhere; the names are kept as written.
    parts.push_back(std::move(part));
  }
  return parts.empty() ? NameProblem::Empty : NameProblem::None;
}

NameProblem checkParts(const std::vector<std::string>& parts) {
  if (parts.empty()) return NameProblem::Empty;
  if (startsWithDrive(parts.front())) return NameProblem::Drive;
  for (const std::string& p : parts) {
    if (p.empty() || p == ".") return NameProblem::Empty;
    if (p == "..") return NameProblem::ParentStep;
    for (unsigned char c : p) {
      if (c == '/' || c == 0) return NameProblem::Separator;
      if (c < 0x20 || c == 0x7F) return NameProblem::Control;
    }
    // Room is left for the temporary name written beside it.
    if (p.size() > NAME_MAX - 16) return NameProblem::TooLong;
  }
  return NameProblem::None;
}

const char* describe(NameProblem p) {
  switch (p) {
    case NameProblem::None:
      return "";
    case NameProblem::Empty:
      return "名前が空です";
    case NameProblem::Absolute:
      return "絶対パスの名前です";
    case NameProblem::Drive:
      return "ドライブ名を含む名前です";
    case NameProblem::ParentStep:
      return "\"..\" で解凍先の外を指す名前です";
    case NameProblem::Control:
      return "制御文字を含む名前です";
    case NameProblem::TooLong:
      return "長すぎる名前です";
    case NameProblem::Separator:
      return "区切り文字を含む名前です";
  }
  return "";
}

std::vector<std::string> withoutStoredDrive(std::vector<std::string> parts) {
  if (!parts.empty() && parts.front().size() == 2 && startsWithDrive(parts.front()))
    parts.erase(parts.begin());
  return parts;
}

std::vector<std::string> displayedParts(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (!part.empty() && part != ".") parts.emplace_back(part);
    start = end + 1;
  }
  return parts;
}

}  // namespace zv
