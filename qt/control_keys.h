// Keys in the model's terms (the key codes of Control::keyDown).
#pragma once

namespace zv::qt {

// The model's key code of a Qt key; 0 for keys the windows never see.
int modelKeyCode(int qtKey);

}  // namespace zv::qt
