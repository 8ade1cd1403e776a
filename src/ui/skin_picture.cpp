#include "ui/skin_picture.h"

#include <QBuffer>
#include <QByteArray>
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

// A 32-bit bitmap of the largest accepted size, with room for its headers and a palette.
constexpr qint64 kMaxSkinFileBytes = qint64{kMaxSkinBitmapSide} * kMaxSkinBitmapSide * 4 + 65536;

// The file header says where the pixels start; a bitmap whose pixels start past its end has none.
bool PixelsStartPastTheEnd(const QByteArray& bytes) {
  if (bytes.size() < 14) return false;  // too short to be a bitmap: the reader refuses it
  const auto byte = [&](int i) { return static_cast<quint32>(static_cast<uchar>(bytes[i])); };
  const quint32 offset = byte(10) | byte(11) << 8 | byte(12) << 16 | byte(13) << 24;
  return offset >= static_cast<quint32>(bytes.size());
}

}  // namespace

// The bytes are read first and decoded from memory, so that a bitmap reads the same from a file as
// from anywhere else, whatever a damaged header asks the reader to seek to.
QImage ReadSkinBitmap(QIODevice& device) {
  if (!device.isOpen() && !device.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = device.read(kMaxSkinFileBytes + 1);
  if (bytes.size() > kMaxSkinFileBytes || PixelsStartPastTheEnd(bytes)) return {};
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "bmp");
  reader.setAutoDetectImageFormat(false);
  if (!AcceptedSize(reader.size())) return {};
  QImage image;
  if (!reader.read(&image)) return {};
  return image;
}

}  // namespace zelbo
