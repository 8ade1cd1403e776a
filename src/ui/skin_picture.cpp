#include "ui/skin_picture.h"

#include <QImageReader>
#include <QSize>
#include <cstdlib>

namespace zelbo {
namespace {

// A bottom-up bitmap gives its height as a positive number, a top-down one as a negative one.
bool AcceptedSize(QSize size) {
  const int width = size.width();
  const int height = std::abs(size.height());
  return width > 0 && height > 0 && width <= kMaxSkinBitmapSide && height <= kMaxSkinBitmapSide;
}

}  // namespace

QImage ReadSkinBitmap(QIODevice& device) {
  QImageReader reader(&device, "bmp");
  reader.setAutoDetectImageFormat(false);
  if (!AcceptedSize(reader.size())) return {};
  QImage image;
  if (!reader.read(&image)) return {};
  return image;
}

}  // namespace zelbo
