// Draws a picture control: the program's artwork (":/art/<name>.svg") scaled into the
// control, or a picture file at its natural size.
#pragma once
#include <QImage>
#include <QString>
#include <QWidget>
#include <memory>

class QSvgRenderer;

namespace zv::qt {

class PictureWidget : public QWidget {
 public:
  explicit PictureWidget(QWidget* parent);
  ~PictureWidget() override;

  // Artwork name, "file:<program path>" or "" for none.
  void setPicture(const std::string& picture);
  const std::string& picture() const { return picture_; }
  // True when the artwork or the file could be loaded.
  bool hasImage() const { return svg_ != nullptr || !image_.isNull(); }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  std::string picture_;
  std::unique_ptr<QSvgRenderer> svg_;
  QImage image_;
};

// The resource path of an artwork name.
QString artworkPath(const std::string& name);

}  // namespace zv::qt
