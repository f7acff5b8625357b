#include "qt/picture_widget.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include "platform/drives.h"

namespace zv::qt {

namespace {
constexpr const char* kFilePrefix = "file:";
}

QString artworkPath(const std::string& name) {
  return QStringLiteral(":/art/") + QString::fromStdString(name) + QStringLiteral(".svg");
}

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
}

PictureWidget::~PictureWidget() = default;

void PictureWidget::setPicture(const std::string& picture) {
  if (picture == picture_) return;
  picture_ = picture;
  svg_.reset();
  image_ = QImage();
  if (picture.rfind(kFilePrefix, 0) == 0) {
    try {
      image_.load(QString::fromStdString(hostPath(picture.substr(5))));
    } catch (const std::exception&) {
      // A drive that went away: nothing to draw.
    }
  } else if (!picture.empty()) {
    QString path = artworkPath(picture);
    if (QFile::exists(path)) {
      auto renderer = std::make_unique<QSvgRenderer>(path);
      if (renderer->isValid()) svg_ = std::move(renderer);
    }
  }
  update();
}

void PictureWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  if (!isEnabled()) p.setOpacity(0.4);
  if (svg_) {
    // Scaled into the control, keeping the drawing's proportions, centred.
    QSizeF natural = svg_->defaultSize();
    QSizeF fit = natural.scaled(size(), Qt::KeepAspectRatio);
    QRectF target((width() - fit.width()) / 2, (height() - fit.height()) / 2, fit.width(),
                  fit.height());
    svg_->render(&p, target);
  } else if (!image_.isNull()) {
    p.drawImage(0, 0, image_);
  }
  if (hasFocus()) {
    QPen pen(palette().color(QPalette::Highlight), 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

}  // namespace zv::qt
