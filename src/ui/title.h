// SPDX-License-Identifier: GPL-3.0-or-later
// The program's title, which the about picture carries in its pixels, and the scrolling of the
// board window's caption.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

namespace zelbo {

// The text stored in rows 1 to 11 of the picture, one character a pixel, left to right: 2 bits of
// blue, 3 of green and 3 of red make the character's code, and a code of 0 ends the text.
QString DecodeTitle(const QImage& picture);

// One tick of the caption: its last-but-one character, then all but its last character.
QString RotateCaption(const QString& caption);

// The icon after `index` in the cycle 0, 1, 2.
constexpr uint8_t NextIconIndex(uint8_t index) { return index >= 2 ? 0 : index + 1; }

}  // namespace zelbo
