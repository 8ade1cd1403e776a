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

quint32 Word(const QByteArray& bytes, int at, int size) {
  quint32 value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<uchar>(bytes[at + i]);
  return value;
}

// The info headers of the bitmap versions in use: the oldest (12 bytes, 16-bit sizes), Windows 3
// (40), OS/2 2 (64), Windows 95 (108) and Windows 98 (124). The reader takes a header of any other
// size for the oldest one, and then reads its sizes from what are not sizes: such a file is
// damaged.
bool UnknownInfoHeader(const QByteArray& bytes) {
  if (bytes.size() < 18) return false;  // too short to be a bitmap: the reader refuses it
  const quint32 size = Word(bytes, 14, 4);
  return size != 12 && size != 40 && size != 64 && size != 108 && size != 124;
}

// A bitmap whose pixels are not all in the file. The file header says where they start; for rows
// stored uncompressed the info header says how many bytes they take. A cut-short file would leave
// rows that nothing was read into.
bool PixelsMissing(const QByteArray& bytes) {
  if (bytes.size() < 30) return false;  // too short to be a bitmap: the reader refuses it
  const qint64 offset = Word(bytes, 10, 4);
  if (offset >= bytes.size()) return true;
  const bool core_header = Word(bytes, 14, 4) == 12;  // the oldest info header, 16-bit sizes
  // The newer headers store signed sizes: a negative height means rows stored top-down.
  const auto signed_size = [&](int at) -> qint64 {
    return static_cast<qint32>(Word(bytes, at, 4));
  };
  qint64 width = core_header ? qint64{Word(bytes, 18, 2)} : signed_size(18);
  qint64 height = core_header ? qint64{Word(bytes, 20, 2)} : signed_size(22);
  const qint64 bits = Word(bytes, core_header ? 24 : 28, 2);
  const quint32 compression = core_header || bytes.size() < 34 ? 0 : Word(bytes, 30, 4);
  if (compression != 0 && compression != 3) return false;  // run-length rows: the reader checks
  width = std::abs(width);
  height = std::abs(height);
  // Sizes out of range are refused by the size check, before any row count is worth making.
  if (width > kMaxSkinBitmapSide || height > kMaxSkinBitmapSide || bits > 64) return false;
  const qint64 row = (width * bits + 31) / 32 * 4;
  return offset + row * height > bytes.size();
}

}  // namespace

// The bytes are read first and decoded from memory, so that a bitmap reads the same from a file as
// from anywhere else, whatever a damaged header asks the reader to seek to.
QImage ReadSkinBitmap(QIODevice& device) {
  if (!device.isOpen() && !device.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = device.read(kMaxSkinFileBytes + 1);
  if (bytes.size() > kMaxSkinFileBytes || UnknownInfoHeader(bytes) || PixelsMissing(bytes)) {
    return {};
  }
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
