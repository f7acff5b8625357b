// What the archiver libraries ask of the desktop while they run: their progress dialog (with
// a cancel button) and the overwrite and password questions.
#pragma once
#include <QPointer>
#include <QProgressDialog>
#include <string>

#include "zorvex/archiver_api.h"

namespace zv::qt {

class ProgressHost {
 public:
  ProgressHost();
  ~ProgressHost();
  ProgressHost(const ProgressHost&) = delete;
  ProgressHost& operator=(const ProgressHost&) = delete;

  const ZvHost* host() const { return &host_; }

  // Non-zero cancels the run.
  int progress(const ZvProgress& p);
  // ZV_DECIDE_OVERWRITE: 1 overwrite, 0 skip, -1 cancel; ZV_DECIDE_PASSWORD: 1 with the answer.
  // The self-extractor's questions: the first (its title) shows one dialog for the title, the
  // message and the default folder; the later two are answered from it; Cancel gives -1.
  int decide(ZvDecision& d);

  QProgressDialog* dialog() const { return dialog_.data(); }

 private:
  ZvHost host_{};
  QPointer<QProgressDialog> dialog_;
  bool overwriteAll_ = false;
  std::string sfxMessage_, sfxFolder_;  // answers of the self-extractor dialog
};

}  // namespace zv::qt
