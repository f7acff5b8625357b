// Reading the option settings of section "Option" into the shared option values.
#pragma once

namespace zv {
class Form;
}

namespace zv::extract {

// Mode, Progress, SFX, FileUtility, WithDirectory, SAMEFOLDER, OVERWRITE (13-character buffer
// each); values are stored as read, and Mode / WithDirectory change their shared value only
// for one of their allowed texts.
void readOption2(Form& form);
// Every option but VCheck, as the main menu reads them (Progress2 as well).
void readOption(Form& form);

}  // namespace zv::extract
