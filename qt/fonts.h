// The fonts the windows name, mapped to what this system has.
#pragma once
#include <QFont>

#include "core/forms/control.h"

namespace zv::qt {

// "ＭＳ ゴシック" and "ＭＳ Ｐゴシック" become an installed Japanese gothic font (IPA, then Noto
// CJK); other names are used as they are.
QString fontFamily(const std::string& name);
QFont toQFont(const FontSpec& model);

}  // namespace zv::qt
