// The lists of the forms as assistive technology sees them: Qt's own interface for item views
// (items, table, selection) plus the label that names the list.
#pragma once

class QAccessibleInterface;
class QObject;

namespace zv::qt {

// The interface of a list widget, or nullptr while Qt's own is being made for it (the factory
// then lets Qt's factories answer).
QAccessibleInterface* labelledListAccessible(QObject* list);

}  // namespace zv::qt
