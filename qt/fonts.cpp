#include "qt/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace zv::qt {

namespace {

QString firstInstalled(const QStringList& candidates) {
  const QStringList families = QFontDatabase::families();
  for (const QString& c : candidates) {
    if (families.contains(c, Qt::CaseInsensitive)) return c;
  }
  return candidates.isEmpty() ? QString() : candidates.front();
}

}  // namespace

QString fontFamily(const std::string& name) {
  const QString n = QString::fromStdString(name);
  // Fixed-pitch and proportional gothic faces of a Japanese desktop.
  static const QString fixed = firstInstalled({"IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP",
                                               "Noto Sans CJK JP", "VL Gothic", "TakaoGothic"});
  static const QString proportional =
      firstInstalled({"IPAPGothic", "IPA Pゴシック", "Noto Sans CJK JP", "IPAGothic", "VL PGothic",
                      "TakaoPGothic"});
  if (n == QStringLiteral("ＭＳ ゴシック") || n == QStringLiteral("MS Gothic")) return fixed;
  if (n == QStringLiteral("ＭＳ Ｐゴシック") || n == QStringLiteral("MS PGothic") || n.isEmpty() ||
      n == QStringLiteral("System"))
    return proportional;
  if (n == QStringLiteral("ＭＳ 明朝") || n == QStringLiteral("ＭＳ Ｐ明朝"))
    return firstInstalled({"IPAMincho", "IPAPMincho", "Noto Serif CJK JP", fixed});
  return n;
}

QFont toQFont(const FontSpec& model) {
  QFont font(fontFamily(model.name));
  font.setPointSizeF(model.size > 0 ? model.size : 9);
  font.setBold(model.bold);
  font.setItalic(model.italic);
  font.setUnderline(model.underline);
  return font;
}

}  // namespace zv::qt
