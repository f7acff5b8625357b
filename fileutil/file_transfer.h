// The file-level work behind the file utility's copy, move and delete commands, and the
// tally of failures that is reported to the user when a command ends.
#pragma once
#include <string>

namespace zv {

class Form;

// Copies `from` to `to`. An existing `to` is replaced only once the new copy is complete
// (temporary file in the target folder renamed over it), so a failed copy keeps the old file.
void copyReplacing(const std::string& from, const std::string& to);

// Moves `from` to `to`. Without a file at `to` the file is renamed (copied and then removed
// across file systems); over an existing `to` it is copied as above and the source removed
// only after the copy succeeded. A failure never loses the source.
void moveReplacing(const std::string& from, const std::string& to);

// Whether a trash can take the file at `path`; a file that cannot be looked at counts as
// one that can (its delete fails on its own).
bool trashCanTake(const std::string& path);

// Removes a file the way the desktop's trash can does: into the trash of its file system.
// Where no trash can take it, it is deleted for good only when `permanentAgreed` (the user
// was told); otherwise it stays and the failure is raised.
void discardFile(const std::string& path, bool permanentAgreed);

// Names of the files a command could not handle; the first is named in the report, with the
// runtime error number that stopped it (0: unknown).
class FailureTally {
 public:
  void add(const std::string& name, int error = 0) {
    if (count_++ == 0) {
      first_ = name;
      firstError_ = error;
    }
  }
  int count() const { return count_; }
  const std::string& first() const { return first_; }
  int firstError() const { return firstError_; }

 private:
  int count_ = 0;
  std::string first_;
  int firstError_ = 0;
};

// What the file utility does, as the failure report names it.
enum class FileAction { Copy, Move, Delete };

// The report text: one file is named; for several the count and the first name are given;
// a line with the first failure's cause follows when it is known.
std::string failureText(FileAction action, const FailureTally& tally);
// Shows the report (exclamation icon, OK) when something failed; true when it showed one.
bool reportFailures(Form& form, FileAction action, const FailureTally& tally,
                    const std::string& title);

}  // namespace zv
