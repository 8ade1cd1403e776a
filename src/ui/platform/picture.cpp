#include "ui/platform/picture.h"

#include <QPainter>

namespace zelbo {

Picture::Picture(QImage image, bool transparent) : transparent_(transparent) {
  SetImage(std::move(image));
}

bool Picture::Load(const QString& path) {
  QImage loaded(path);
  if (loaded.isNull()) return false;
  SetImage(std::move(loaded));
  return true;
}

void Picture::SetImage(QImage image) {
  image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

QColor Picture::KeyColor() const {
  if (image_.isNull()) return {};
  return image_.pixelColor(0, image_.height() - 1);
}

void Picture::SetSize(int width, int height, QColor fill) {
  if (width == image_.width() && height == image_.height()) return;
  QImage resized(width, height, QImage::Format_RGB32);
  resized.fill(fill);
  QPainter painter(&resized);
  painter.drawImage(0, 0, image_);
  painter.end();
  image_ = std::move(resized);
}

QImage Picture::Drawn() const {
  if (!transparent_ || image_.isNull()) return image_;
  QImage drawn = image_.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = KeyColor().rgb();
  for (int y = 0; y < drawn.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(drawn.scanLine(y));
    for (int x = 0; x < drawn.width(); ++x) {
      if ((line[x] | 0xFF000000u) == key) line[x] = 0;
    }
  }
  return drawn;
}

}  // namespace zelbo
