// The drive table: maps drive letters to host folders so that Windows-style paths can name
// host files. C: is "/" by default; mounted removable media get further letters; the
// "[Drives]" section of the settings file may add or override letters ("D=/srv/share").
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zv {

class DriveTable {
 public:
  // The process-wide table, filled with the defaults on first use.
  static DriveTable& instance();

  // C: = "/" and one letter (from D:) per folder found under /media/$USER,
  // /run/media/$USER and /mnt, in name order.
  void loadDefaults();
  // Applies the [Drives] section of an INI file given as a host path (missing file: no change).
  void loadOverrides(const std::string& iniHostPath);
  void set(char letter, const std::string& hostFolder);
  void remove(char letter);
  void clear();

  // Upper-case letters in order.
  std::vector<char> letters() const;
  std::optional<std::string> hostRoot(char letter) const;
  // A drive whose host folder exists and is readable.
  bool ready(char letter) const;

  // Windows-style or host path (optionally quoted) to a host path. Each component that does
  // not exist with the exact case resolves to an existing entry differing only in case; the
  // rest is kept as written. Raises 68 for an unknown or not-ready drive.
  std::string toHost(const std::string& path) const;
  // Host path to the program's form ("/home/me" -> "C:\home\me"), by the drive whose host
  // folder is the longest prefix.
  std::string toWindows(const std::string& hostPath) const;

 private:
  std::map<char, std::string> roots_;
};

// While one lives (on the thread that made it), matching a name without regard to case lists
// each folder once instead of on every lookup: a window that checks 100 000 destinations one
// by one must not read a growing folder each time. The folder is seen as it was when first
// listed, plus what the run notes it made; a name found there is used only while it exists.
class CaseLookupMemo {
 public:
  CaseLookupMemo();
  ~CaseLookupMemo();
  CaseLookupMemo(const CaseLookupMemo&) = delete;
  CaseLookupMemo& operator=(const CaseLookupMemo&) = delete;
  // A file or folder the run made at this host path, from now on found by any case.
  static void noteMade(const std::string& hostPath);

 private:
  bool owner_ = false;  // false when nested in another: the outer one stays in charge
};

// Shorthands on the process-wide table.
std::string hostPath(const std::string& path);
std::string windowsPath(const std::string& hostPath);

// A path as the user typed it, in the program's form: an absolute host path ("/home/me/out",
// as a Linux user types it) goes through the drive table ("C:\home\me\out"), keeping a
// trailing separator; any other text comes back as typed.
std::string typedPath(const std::string& text);

}  // namespace zv
