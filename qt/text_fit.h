// Text that must be read whole in a space too small for it: one-line labels holding a long
// path, message boxes naming one, and list rows whose names mix Latin and Japanese.
#pragma once
#include <QString>
#include <QStyledItemDelegate>

class QLabel;

namespace zv::qt {

// What a one-line label shows of `full`: the text itself when it fits the label's width or is
// no path; else a path shortened with "…": a right-aligned label keeps its end, any other its
// start and end (the drive and the file name). A label tall enough for two lines wraps
// instead and gets the text unchanged. The label's alignment must be set first.
QString fittedLabelText(const QLabel& label, const QString& full);

// `text` with a break opportunity (zero-width space) after every path separator, so a long
// path wraps at its folders instead of running off a message box.
QString breakableAtSeparators(const QString& text);
// `text` without those break opportunities: what is read out or copied.
QString withoutBreakMarks(QString text);

// Rows of one height whatever the name: a row is as tall as one holding Japanese text in the
// list's font, so a Japanese name (drawn with a taller fallback face) does not make its row
// taller than the ASCII ones around it.
class UniformRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace zv::qt
