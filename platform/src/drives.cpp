#include "platform/drives.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/encoding.h"
#include "platform/fileops.h"
#include "platform/ini_text.h"
#include "platform/runtime_error.h"
#include "platform/winpath.h"

namespace zv {

namespace {

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string joinHost(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string hostParent(const std::string& path) {
  size_t cut = path.find_last_of('/');
  if (cut == std::string::npos || cut == 0) return "/";
  return path.substr(0, cut);
}

std::string foldedName(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = upper(c);
  return key;
}

// The folders listed while a CaseLookupMemo lives: folded decoded name -> raw names.
using FolderNames = std::unordered_map<std::string, std::vector<std::string>>;
struct Memo {
  std::unordered_map<std::string, FolderNames> folders;
  // Folders met on the way to a name, as written -> as found: a run naming 100 000 files in
  // one folder resolves that folder once.
  std::unordered_map<std::string, std::string> folderAs;
  std::unordered_map<char, bool> ready;
};
thread_local Memo* t_memo = nullptr;

FolderNames listFolder(const std::string& folder) {
  FolderNames names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (dirent* e = readdir(dir)) {
    std::string raw = e->d_name;
    if (raw == "." || raw == "..") continue;
    names[foldedName(encoding::decodeUnknown(raw))].push_back(std::move(raw));
  }
  closedir(dir);
  return names;
}

// The entry of `folder` whose name, decoded, equals `name` without regard to ASCII case. Of
// several such entries the one first in byte order is taken, so the answer never varies.
std::optional<std::string> findIgnoringCase(const std::string& folder, const std::string& name) {
  FolderNames listed;
  const FolderNames* names = &listed;
  if (t_memo) {
    auto it = t_memo->folders.find(folder);
    if (it == t_memo->folders.end()) it = t_memo->folders.emplace(folder, listFolder(folder)).first;
    names = &it->second;
  } else {
    listed = listFolder(folder);
  }
  auto it = names->find(foldedName(name));
  if (it == names->end()) return std::nullopt;
  std::optional<std::string> best;
  for (const std::string& raw : it->second) {
    struct stat st;
    if (t_memo && lstat(joinHost(folder, raw).c_str(), &st) != 0) continue;  // gone since
    if (!best || raw < *best) best = raw;
  }
  return best;
}

// Appends components to a host folder: "." is dropped, ".." goes up (never above `floor`),
// and each name that does not exist as written is matched to an entry differing only in case.
// Once a name matches nothing, it and the rest are kept as written.
std::string resolveUnder(std::string base, const std::string& floor,
                         const std::vector<std::string>& parts) {
  bool resolving = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (part == ".") continue;
    if (part == "..") {
      if (base.size() > floor.size()) base = hostParent(base);
      if (base.size() < floor.size()) base = floor;
      continue;
    }
    std::string candidate = joinHost(base, part);
    bool inside = i + 1 < parts.size();  // a folder on the way, not the name itself
    if (resolving && inside && t_memo) {
      auto known = t_memo->folderAs.find(candidate);
      if (known != t_memo->folderAs.end()) {
        base = known->second;
        continue;
      }
    }
    struct stat st;
    if (resolving) {
      std::string written = candidate;
      bool found = lstat(candidate.c_str(), &st) == 0;
      if (!found) {
        if (auto match = findIgnoringCase(base, part)) {
          candidate = joinHost(base, *match);
          found = !t_memo || lstat(candidate.c_str(), &st) == 0;
        } else {
          resolving = false;
        }
      }
      if (found && inside && t_memo && S_ISDIR(st.st_mode))
        t_memo->folderAs.emplace(written, candidate);
    }
    base = candidate;
  }
  return base;
}

std::vector<std::string> splitHost(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

std::string currentFolder() {
  std::string buf(4096, '\0');
  if (!getcwd(buf.data(), buf.size())) return "/";
  return buf.c_str();
}

std::string userName() {
  if (const char* u = std::getenv("USER"); u && *u) return u;
  if (passwd* pw = getpwuid(getuid())) return pw->pw_name;
  return {};
}

bool isFolderAt(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

DriveTable& DriveTable::instance() {
  static DriveTable table = [] {
    DriveTable t;
    t.loadDefaults();
    return t;
  }();
  return table;
}

CaseLookupMemo::CaseLookupMemo() : owner_(t_memo == nullptr) {
  if (owner_) t_memo = new Memo;
}

CaseLookupMemo::~CaseLookupMemo() {
  if (!owner_) return;
  delete t_memo;
  t_memo = nullptr;
}

void CaseLookupMemo::noteMade(const std::string& hostPath) {
  if (!t_memo) return;
  std::string folder = hostParent(hostPath);
  auto it = t_memo->folders.find(folder);
  if (it == t_memo->folders.end()) return;  // listed, with it, when first needed
  std::string raw = hostPath.substr(hostPath.find_last_of('/') + 1);
  std::vector<std::string>& same = it->second[foldedName(encoding::decodeUnknown(raw))];
  if (std::find(same.begin(), same.end(), raw) == same.end()) same.push_back(raw);
}

void DriveTable::loadDefaults() {
  roots_.clear();
  roots_.insert_or_assign('C', std::string(1, '/'));
  std::string user = userName();
  std::vector<std::string> bases;
  if (!user.empty()) {
    bases.push_back("/media/" + user);
    bases.push_back("/run/media/" + user);
  }
  bases.push_back("/mnt");
  char next = 'D';
  for (const auto& base : bases) {
    struct stat baseStat;
    if (stat(base.c_str(), &baseStat) != 0 || !S_ISDIR(baseStat.st_mode)) continue;
    std::vector<std::string> names;
    if (DIR* dir = opendir(base.c_str())) {
      while (dirent* e = readdir(dir))
        if (e->d_name[0] != '.') names.push_back(e->d_name);
      closedir(dir);
    }
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
      std::string folder = joinHost(base, name);
      struct stat st;
      // Only mount points: a plain folder left behind under /mnt is no medium.
      if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_dev == baseStat.st_dev)
        continue;
      if (next > 'Z') return;
      roots_[next++] = folder;
    }
  }
}

void DriveTable::loadOverrides(const std::string& iniHostPath) {
  std::string bytes;
  try {
    bytes = fs::readAll(iniHostPath);
  } catch (const RuntimeError&) {
    return;
  }
  for (const auto& [key, value] : ini::entries(ini::parse(bytes), "Drives")) {
    std::string letter = key;
    if (letter.size() == 2 && letter[1] == ':') letter.pop_back();
    if (letter.size() != 1 || !std::isalpha(static_cast<unsigned char>(letter[0]))) continue;
    if (value.empty()) {
      remove(letter[0]);
    } else if (value.front() == '/') {
      set(letter[0], value);
    }
  }
}

void DriveTable::set(char letter, const std::string& hostFolder) {
  std::string folder = hostFolder;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  roots_[upper(letter)] = folder;
}

void DriveTable::remove(char letter) { roots_.erase(upper(letter)); }

void DriveTable::clear() { roots_.clear(); }

std::vector<char> DriveTable::letters() const {
  std::vector<char> out;
  for (const auto& [letter, root] : roots_) out.push_back(letter);
  return out;
}

std::optional<std::string> DriveTable::hostRoot(char letter) const {
  auto it = roots_.find(upper(letter));
  if (it == roots_.end()) return std::nullopt;
  return it->second;
}

bool DriveTable::ready(char letter) const {
  if (t_memo) {
    auto known = t_memo->ready.find(letter);
    if (known != t_memo->ready.end()) return known->second;
  }
  auto root = hostRoot(letter);
  bool ready = root && isFolderAt(*root) && access(root->c_str(), R_OK | X_OK) == 0;
  if (t_memo) t_memo->ready.emplace(letter, ready);
  return ready;
}

std::string DriveTable::toHost(const std::string& path) const {
  std::string p = winpath::unquote(path);
  if (p.empty()) return p;
  if (p.front() == '/') return p;  // already a host path
  if (winpath::hasDrive(p)) {
    char letter = upper(p[0]);
    if (!ready(letter)) raiseError(kErrDeviceUnavailable, std::string(1, letter) + ":");
    std::string root = *hostRoot(letter);
    return resolveUnder(root, root, winpath::components(p));
  }
  if (p.front() == '\\') {
    // Rooted without a drive: the root of drive C:, as the current drive of a new process.
    if (!ready('C')) raiseError(kErrDeviceUnavailable, "C:");
    std::string root = *hostRoot('C');
    return resolveUnder(root, root, winpath::components(p));
  }
  return resolveUnder(currentFolder(), "/", winpath::components(p));
}

std::string DriveTable::toWindows(const std::string& hostPath) const {
  if (hostPath.empty()) return hostPath;
  std::string absolute = hostPath.front() == '/' ? hostPath : joinHost(currentFolder(), hostPath);
  // Lexical clean-up of "." and "..", so the drive prefix test below is sound.
  std::vector<std::string> parts;
  for (auto& part : splitHost(absolute)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string clean = "/";
  for (size_t i = 0; i < parts.size(); ++i) clean += (i ? "/" : "") + parts[i];

  char bestLetter = 0;
  size_t bestLength = 0;
  for (const auto& [letter, root] : roots_) {
    bool matches = root == "/" || clean == root ||
                   (clean.size() > root.size() && clean.compare(0, root.size(), root) == 0 &&
                    clean[root.size()] == '/');
    size_t length = root == "/" ? 0 : root.size();
    if (matches && (bestLetter == 0 || length > bestLength)) {
      bestLetter = letter;
      bestLength = length;
    }
  }
  if (!bestLetter) return clean;
  std::string out = winpath::driveRoot(bestLetter);
  std::string rest = clean.substr(std::min(bestLength, clean.size()));
  bool first = true;
  for (const auto& part : splitHost(rest)) {
    if (!first) out += '\\';
    out += encoding::decodeUnknown(part);
    first = false;
  }
  return out;
}

std::string hostPath(const std::string& path) { return DriveTable::instance().toHost(path); }

std::string windowsPath(const std::string& hostPath) {
  return DriveTable::instance().toWindows(hostPath);
}

std::string typedPath(const std::string& text) {
  if (text.empty() || text.front() != '/') return text;
  std::string path = windowsPath(text);
  if (text.size() > 1 && text.back() == '/' && path.back() != '\\') path += '\\';
  return path;
}

}  // namespace zv
