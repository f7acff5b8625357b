#include "extract/option_reading.h"

#include "core/app.h"
#include "core/settings/options.h"

namespace zv::extract {

void readOption2(Form& form) {
  Shared& s = form.shared();
  Profile p = options::profileOf(s);
  options::readMode(p, s);
  options::readProgress(p, s);
  options::readSfx(p, s);
  options::readFileUtility(p, s);
  options::readWithDirectory(p, s);
  options::readSameFolder(p, s);
  options::readOverwrite(p, s);
}

void readOption(Form& form) {
  options::readMenuOptions(options::profileOf(form.shared()), form.shared());
}

}  // namespace zv::extract
