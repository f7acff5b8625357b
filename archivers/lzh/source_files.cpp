#include "source_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <unordered_map>

#include "archive_index.h"
#include "lzh_paths.h"
#include "platform/encoding.h"
#include "wildcard.h"

namespace zv::lzh {
namespace {

class Collector {
 public:
  Collector(const Command& cmd, dev_t dev, ino_t ino) : cmd_(cmd), dev_(dev), ino_(ino) {}

  void file(const std::string& host, const struct stat& st, std::vector<std::string> parts) {
    if (st.st_dev == dev_ && st.st_ino == ino_) return;
    NewMember m;
    m.parts = std::move(parts);
    m.sourceHost = host;
    m.mtime = st.st_mtime;
    m.unixMode = static_cast<uint16_t>(st.st_mode & 0xFFFF);
    m.size = static_cast<uint64_t>(st.st_size);
    put(std::move(m));
  }

  void folderEntry(const struct stat& st, std::vector<std::string> parts) {
    if (parts.empty()) return;
    NewMember m;
    m.parts = std::move(parts);
    m.folder = true;
    m.mtime = st.st_mtime;
    m.unixMode = static_cast<uint16_t>(st.st_mode & 0xFFFF);
    put(std::move(m));
  }

  // Every file of the folder `host` (stored under `parts`) whose name matches `pattern`
  // (empty: all), descending into subfolders when `recurse`.
  void walk(const std::string& host, const std::vector<std::string>& parts,
            const std::string& pattern, bool recurse, int depth = 0) {
    if (depth > 64) return;  // a loop through bind mounts; nothing sane is that deep
    DIR* d = opendir(host.c_str());
    if (!d) return;
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
      std::string child = host == "/" ? "/" + n : host + "/" + n;
      struct stat st {};
      if (lstat(child.c_str(), &st) != 0) continue;
      if (S_ISLNK(st.st_mode)) {
        // Links to files are stored as the file; links to folders are not followed (loops).
        if (stat(child.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
      }
      std::vector<std::string> sub = parts;
      sub.push_back(encoding::decodeUnknown(n));
      if (S_ISDIR(st.st_mode)) {
        if (!recurse) continue;
        if (cmd_.storeFolders || pattern.empty()) folderEntry(st, sub);
        walk(child, sub, pattern, recurse, depth + 1);
      } else if (S_ISREG(st.st_mode)) {
        if (pattern.empty() || wildcardMatch(pattern, n)) file(child, st, sub);
      }
    }
  }

  std::vector<NewMember> take() { return std::move(items_); }
  size_t count() const { return items_.size(); }

 private:
  void put(NewMember m) {
    // Names differing only in case (README and readme) are two files here, stored as two.
    std::string key = displayKey(m.parts);
    auto it = where_.find(key);
    if (it != where_.end()) {
      items_[it->second] = std::move(m);  // the same stored name twice: the last one counts
    } else {
      where_[key] = items_.size();
      items_.push_back(std::move(m));
    }
  }
  static std::string displayKey(const std::vector<std::string>& parts) {
    std::string s;
    for (const auto& p : parts) s += p + "\\";
    return s;
  }

  const Command& cmd_;
  dev_t dev_;
  ino_t ino_;
  std::vector<NewMember> items_;
  std::unordered_map<std::string, size_t> where_;
};

bool isAbsoluteArg(const std::string& a) {
  return (a.size() >= 2 && a[1] == ':') || (!a.empty() && (a[0] == '\\' || a[0] == '/'));
}

}  // namespace

SourceFiles collectSources(const Command& cmd, dev_t dev, ino_t ino) {
  SourceFiles out;
  // One collector for all arguments: the same stored name twice keeps the last one.
  Collector c(cmd, dev, ino);
  std::vector<std::string> patterns = cmd.args;
  std::string base;
  if (!patterns.empty() && endsWithSeparator(patterns.front())) {
    base = patterns.front();
    patterns.erase(patterns.begin());
    if (patterns.empty()) patterns.push_back("*.*");
  }
  for (const std::string& arg : patterns) {
    bool relativeToBase = !base.empty() && !isAbsoluteArg(arg);
    std::string full = relativeToBase ? base + arg : arg;
    std::string text = full;
    while (text.size() > 1 && endsWithSeparator(text)) text.pop_back();
    size_t cut = text.find_last_of("\\/");
    std::string dirText = cut == std::string::npos ? std::string() : text.substr(0, cut + 1);
    std::string last = cut == std::string::npos ? text : text.substr(cut + 1);
    if (dirText.empty() && text.size() >= 2 && text[1] == ':') {  // "C:name"
      dirText = text.substr(0, 2);
      last = text.substr(2);
    }
    // Folder part stored with each name: relative to the base folder when one is given,
    // the whole path without its drive with -d1, nothing otherwise.
    std::vector<std::string> prefix;
    if (relativeToBase) {
      std::string relDir = arg;
      while (!relDir.empty() && endsWithSeparator(relDir)) relDir.pop_back();
      size_t rc = relDir.find_last_of("\\/");
      prefix = storedComponents(rc == std::string::npos ? std::string() : relDir.substr(0, rc));
    } else if (cmd.storeFolders) {
      prefix = storedComponents(dirText);
    }
    size_t before = c.count();
    if (hasWildcard(last)) {
      std::string dirHost = toHostPath(dirText.empty() ? "." : dirText);
      struct stat st {};
      if (stat(dirHost.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        out.missing.push_back(arg);
        continue;
      }
      bool recurse = cmd.recurse || (cmd.storeFolders && relativeToBase);
      if (cmd.storeFolders && relativeToBase) c.folderEntry(st, prefix);
      c.walk(dirHost, prefix, last, recurse);
      if (c.count() == before) out.missing.push_back(arg);
      continue;
    }
    std::string host = toHostPath(full);
    struct stat st {};
    if (stat(host.c_str(), &st) != 0) {
      out.missing.push_back(arg);
      continue;
    }
    std::vector<std::string> parts = prefix;
    parts.push_back(encoding::decodeUnknown(hostName(host)));
    if (S_ISDIR(st.st_mode)) {
      c.folderEntry(st, parts);
      c.walk(host, parts, std::string(), true);
    } else if (S_ISREG(st.st_mode)) {
      c.file(host, st, parts);
    } else {
      out.missing.push_back(arg);
    }
  }
  out.items = c.take();
  return out;
}

}  // namespace zv::lzh
