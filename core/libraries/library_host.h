// What the archiver libraries ask of the program while they run: their progress with a cancel
// button, and the overwrite, password and self-extractor questions, all put to the user
// through the services (so a window test scripts them as it scripts message boxes).
#pragma once
#include <string>

#include "zorvex/archiver_api.h"

namespace zv {

class Services;

class LibraryHost {
 public:
  explicit LibraryHost(Services& services);
  LibraryHost(const LibraryHost&) = delete;
  LibraryHost& operator=(const LibraryHost&) = delete;

  // What ArchiverSet::setHost gives every library; valid while this object lives.
  const ZvHost* host() const { return &host_; }

  // Non-zero cancels the run.
  int progress(const ZvProgress& p);
  // ZV_DECIDE_OVERWRITE: 1 overwrite, 0 skip, -1 cancel ("すべて上書き" answers the rest of
  // the run); ZV_DECIDE_PASSWORD: 1 with the answer. The self-extractor's first question (its
  // title) asks for the title, the message and the default folder at once; the later two are
  // answered from it; キャンセル gives -1 and no file is made.
  int decide(ZvDecision& d);

 private:
  Services& services_;
  ZvHost host_{};
  bool overwriteAll_ = false;
  std::string sfxMessage_, sfxFolder_;
};

// Progress in per mille, so that archives over 2 GiB still fit a dialog's int range.
int perMille(uint64_t done, uint64_t total);

}  // namespace zv
