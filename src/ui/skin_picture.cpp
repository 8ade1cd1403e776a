// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/skin_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QSize>
#include <algorithm>
#include <cstdlib>

namespace zelbo {
namespace {

// A bottom-up bitmap gives its height as a positive number, a top-down one as a negative one.
bool AcceptedSize(QSize size) {
  const int width = size.width();
  const int height = std::abs(size.height());
  return width > 0 && height > 0 && width <= kMaxSkinBitmapSide && height <= kMaxSkinBitmapSide;
}

// A little-endian field of the headers; one past the end of a cut-short file reads as 0.
quint32 Word(const QByteArray& bytes, qint64 at, int size) {
  if (at + size > bytes.size()) return 0;
  quint32 value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<uchar>(bytes[at + i]);
  return value;
}

// The info headers of the bitmap versions in use: the oldest (12 bytes, 16-bit sizes), Windows 3
// (40), OS/2 2 (64), Windows 95 (108) and Windows 98 (124). The reader takes a header of any other
// size for the oldest one, and then reads its sizes from what are not sizes: such a file is
// damaged.
bool UnknownInfoHeader(const QByteArray& bytes) {
  const quint32 size = Word(bytes, 14, 4);
  return size != 12 && size != 40 && size != 64 && size != 108 && size != 124;
}

// What the headers of a bitmap say of its pixels.
struct PixelLayout {
  qint64 start;          // where the first row begins
  qint64 width, height;  // both made positive
  qint64 bits;           // a pixel
  quint32 compression;   // 0: rows as they are, 1 and 2: run-length, 3: bitfields
};

// The palette of a bitmap of 8 bits a pixel or fewer follows the info header, 3 bytes a colour in
// the oldest header and 4 in the others; the 40- and 64-byte headers are followed by three colour
// masks when the rows are stored as bitfields. The reader never goes back: pixels said to start
// before the end of all that start at its end.
PixelLayout LayoutOf(const QByteArray& bytes) {
  const quint32 info_size = Word(bytes, 14, 4);
  const bool core_header = info_size == 12;  // the oldest info header, 16-bit sizes
  // The newer headers store signed sizes: a negative height means rows stored top-down.
  const auto signed_size = [&](int at) -> qint64 {
    return static_cast<qint32>(Word(bytes, at, 4));
  };
  PixelLayout layout;
  layout.width = std::abs(core_header ? qint64{Word(bytes, 18, 2)} : signed_size(18));
  layout.height = std::abs(core_header ? qint64{Word(bytes, 20, 2)} : signed_size(22));
  layout.bits = Word(bytes, core_header ? 24 : 28, 2);
  layout.compression = core_header ? 0 : Word(bytes, 30, 4);
  qint64 colours = 0;
  if (layout.bits <= 8) {
    const quint32 used = core_header ? 0 : Word(bytes, 46, 4);
    colours = used != 0 ? used : qint64{1} << layout.bits;
  }
  const bool masks = (info_size == 40 || info_size == 64) && layout.compression == 3;
  const qint64 headers_end =
      14 + qint64{info_size} + (masks ? 12 : 0) + colours * (core_header ? 3 : 4);
  layout.start = std::max(qint64{Word(bytes, 10, 4)}, headers_end);
  return layout;
}

bool RunLength(const PixelLayout& layout) {
  return layout.compression == 1 || layout.compression == 2;
}

// Whether run-length rows reach the end-of-bitmap mark with every command whole. Each command is
// two bytes: a count and a colour for a run, or 0 and a code: 0 ends a row, 1 ends the bitmap, 2 is
// followed by a jump of two bytes, and a larger code is a count of pixels given as they are,
// padded to an even number of bytes. The reader goes on past the end of the file and takes what it
// could not read as whatever its variables held.
bool RunLengthStreamEnds(const QByteArray& bytes, qint64 at, bool four_bits) {
  while (at + 2 <= bytes.size()) {
    const int count = static_cast<uchar>(bytes[at]);
    const int code = static_cast<uchar>(bytes[at + 1]);
    at += 2;
    if (count != 0 || code == 0) continue;
    if (code == 1) return true;
    if (code == 2) {
      at += 2;
      continue;
    }
    const qint64 data = four_bits ? (code + 1) / 2 : code;
    at += (data + 1) / 2 * 2;
  }
  return false;
}

// A bitmap whose pixels are not all in the file. For rows stored uncompressed the info header
// says how many bytes they take; run-length rows must reach their end mark. A cut-short file would
// leave rows that nothing was read into.
bool PixelsMissing(const QByteArray& bytes, const PixelLayout& layout) {
  if (layout.start >= bytes.size()) return true;
  if (RunLength(layout)) {
    return !RunLengthStreamEnds(bytes, layout.start, layout.compression == 2);
  }
  if (layout.compression != 3 && layout.compression != 0) return false;  // the reader refuses it
  // Sizes out of range are refused by the size check, before any row count is worth making.
  if (layout.width > kMaxSkinBitmapSide || layout.height > kMaxSkinBitmapSide || layout.bits > 64) {
    return false;
  }
  const qint64 row = (layout.width * layout.bits + 31) / 32 * 4;
  return layout.start + row * layout.height > bytes.size();
}

// Run-length rows may skip pixels, which the reader leaves as whatever memory held. It reads into
// the image it is given when that has the size and kind it would make, so it is given one whose
// every pixel is the palette's first colour.
QImage BlankIndexedImage(QSize size) {
  QImage image(size.width(), std::abs(size.height()), QImage::Format_Indexed8);
  image.fill(0);
  return image;
}

// A pixel may name a colour past the end of a short palette, and drawing it would read past the
// palette's end; the palette is filled out with black, so that every pixel has a colour.
void FillOutPalette(QImage& image) {
  if (image.colorCount() == 0) return;  // not a paletted image
  const int colours = 1 << image.depth();
  const int given = image.colorCount();
  image.setColorCount(colours);
  for (int i = given; i < colours; ++i) image.setColor(i, qRgb(0, 0, 0));
}

}  // namespace

// The bytes are read first and decoded from memory, so that a bitmap reads the same from a file as
// from anywhere else, whatever a damaged header asks the reader to seek to.
QImage ReadSkinBitmap(QIODevice& device) {
  if (!device.isOpen() && !device.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = device.read(kMaxSkinFileBytes + 1);
  if (bytes.size() > kMaxSkinFileBytes || UnknownInfoHeader(bytes)) return {};
  const PixelLayout layout = LayoutOf(bytes);
  if (PixelsMissing(bytes, layout)) return {};
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "bmp");
  reader.setAutoDetectImageFormat(false);
  if (!AcceptedSize(reader.size())) return {};
  QImage image;
  if (RunLength(layout)) image = BlankIndexedImage(reader.size());
  if (!reader.read(&image)) return {};
  FillOutPalette(image);
  return image;
}

}  // namespace zelbo
