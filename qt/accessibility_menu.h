// Menu items as assistive technology sees them: named by their control name, with their
// caption as description (Qt names them by their caption).
#pragma once

class QAccessibleInterface;
class QAction;

namespace zv::qt {

QAccessibleInterface* menuItemAccessible(QAction* action);

}  // namespace zv::qt
