#include "qt/text_fit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <algorithm>

#include "qt/fonts.h"

namespace zv::qt {

namespace {
// "C:\..." or "\\server\...": the labels that show a path; instructions and other fixed texts
// are never shortened.
bool looksLikePath(const QString& text) {
  if (text.startsWith(QStringLiteral("\\\\"))) return true;
  return text.size() >= 3 && text[0].isLetter() && text[0].unicode() < 0x80 &&
         text[1] == QLatin1Char(':') &&
         (text[2] == QLatin1Char('\\') || text[2] == QLatin1Char('/'));
}
}  // namespace

QString fittedLabelText(const QLabel& label, const QString& full) {
  QFontMetrics metrics(label.font());
  const int width = label.contentsRect().width();
  if (full.contains(QLatin1Char('\n')) || width <= 0 || !looksLikePath(full)) return full;
  if (label.contentsRect().height() >= 2 * metrics.lineSpacing()) return full;
  if (metrics.horizontalAdvance(full) <= width) return full;
  // A right-aligned path keeps its end in sight, as a right-aligned label that runs over
  // shows it; otherwise both ends are kept.
  Qt::TextElideMode mode = label.alignment() & Qt::AlignRight ? Qt::ElideLeft : Qt::ElideMiddle;
  return metrics.elidedText(full, mode, width);
}

namespace {
constexpr char16_t kBreakMark = 0x200B;  // zero-width space
}

QString breakableAtSeparators(const QString& text) {
  QString out;
  out.reserve(text.size() + text.size() / 8);
  for (QChar ch : text) {
    out += ch;
    if (ch == QLatin1Char('\\') || ch == QLatin1Char('/')) out += QChar(kBreakMark);
  }
  return out;
}

QString withoutBreakMarks(QString text) { return text.remove(QChar(kBreakMark)); }

QSize UniformRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  // The row of a sample in the list's font and in the Japanese face: the taller one is every
  // row's height.
  QStyleOptionViewItem sample(option);
  initStyleOption(&sample, index);
  sample.text = QStringLiteral("漢字Ag");
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  int height = style->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), widget).height();
  sample.font.setFamily(fontFamily("ＭＳ ゴシック"));
  sample.fontMetrics = QFontMetrics(sample.font);
  height = std::max(
      height, style->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), widget).height());
  size.setHeight(std::max(size.height(), height));
  return size;
}

}  // namespace zv::qt
