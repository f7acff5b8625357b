// What the archiver libraries ask of the program while they run: their progress with a cancel
// button, and the overwrite, password and self-extractor questions, all put to the user
// through the services (so a window test scripts them as it scripts message boxes).
#pragma once
#include <cstddef>
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
  // the run); ZV_DECIDE_PASSWORD: 1 with the answer. The password typed for one member
  // answers the other members of the same archive (the windows run the library once per
  // member), until one of them is asked for again. The self-extractor's first question (its
  // title) asks for the title, the message and the default folder at once; the later two are
  // answered from it; キャンセル gives -1 and no file is made.
  int decide(ZvDecision& d);

  // The windows run the library once per member: while a span is set, a run is member `index`
  // of `count` of one piece of work, shown in one progress window whose bar covers them all.
  void setSpan(size_t index, size_t count);
  // Ends the span and closes its progress window.
  void endSpan();

 private:
  Services& services_;
  ZvHost host_{};
  bool overwriteAll_ = false;
  std::string sfxMessage_, sfxFolder_;
  // The last password typed, the archive it was typed for, the archive of the current run,
  // the member last asked about and whether its answer was typed (not a remembered one).
  std::string password_, passwordArchive_, currentArchive_, lastAsked_;
  bool typedLast_ = false;
  size_t spanIndex_ = 0, spanCount_ = 0;
  bool shown_ = false;  // the progress window is up
};

// Progress in per mille, so that archives over 2 GiB still fit a dialog's int range.
int perMille(uint64_t done, uint64_t total);

}  // namespace zv
