// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/picture.h"

#include <QPainter>

namespace zelbo {

Picture::Picture(QImage image, bool transparent) : transparent_(transparent) {
  SetImage(std::move(image));
}

namespace {

constexpr qreal kFineRatio = 2;

// "NAME@2x.EXT" for "NAME.EXT", in the same folder.
QString FinePath(const QString& path) {
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  if (dot <= path.lastIndexOf(QLatin1Char('/'))) return path + QStringLiteral("@2x");
  return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

}  // namespace

bool Picture::Load(const QString& path, qreal screen_ratio) {
  if (screen_ratio > 1) {
    QImage fine(FinePath(path));
    if (!fine.isNull()) {
      fine.setDevicePixelRatio(kFineRatio);
      SetImage(std::move(fine));
      return true;
    }
  }
  QImage loaded(path);
  if (loaded.isNull()) return false;
  loaded.setDevicePixelRatio(1);
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
  if (QSize(width, height) == size()) return;
  const qreal ratio = image_.devicePixelRatio();
  QImage resized(QSize(width, height) * ratio, QImage::Format_RGB32);
  resized.setDevicePixelRatio(ratio);
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
