// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/title.h"

namespace zelbo {

QString DecodeTitle(const QImage& picture) {
  QByteArray codes;
  for (int y = 1; y <= 11 && y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb pixel = picture.pixel(x, y);
      const int code = (qBlue(pixel) & 3) << 6 | (qGreen(pixel) & 7) << 3 | (qRed(pixel) & 7);
      if (code == 0) return QString::fromLatin1(codes);
      codes.append(static_cast<char>(code));
    }
  }
  return QString::fromLatin1(codes);
}

QString RotateCaption(const QString& caption) {
  const qsizetype length = caption.size();
  if (length < 2) return caption;
  return caption.at(length - 2) + caption.left(length - 1);
}

}  // namespace zelbo
