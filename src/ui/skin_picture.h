// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a skin's bitmaps. Skins are made of BMP files only, none larger than 1,024 pixels either
// way: the size is read from the header first, so that a huge or damaged file is refused before it
// is decoded.
#pragma once

#include <QImage>

class QIODevice;

namespace zelbo {

inline constexpr int kMaxSkinBitmapSide = 1024;

// The largest skin file read: a 32-bit bitmap of the largest accepted size, with room for its
// headers and a palette.
inline constexpr qint64 kMaxSkinFileBytes =
    qint64{kMaxSkinBitmapSide} * kMaxSkinBitmapSide * 4 + 65536;

// The bitmap that `device` holds (opened for reading if it is not open yet); a null image when it
// is not a readable BMP or is wider or taller than kMaxSkinBitmapSide.
QImage ReadSkinBitmap(QIODevice& device);

}  // namespace zelbo
