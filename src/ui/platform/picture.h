// SPDX-License-Identifier: GPL-3.0-or-later
// A picture as the windows use it: a bitmap plus whether it is drawn transparent, with the colour
// of its bottom-left pixel as the key that is left out. Its size is in logical pixels: a picture
// drawn for a screen of device pixel ratio 2 has twice as many pixels each way as its size says.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

namespace zelbo {

class Picture {
 public:
  Picture() = default;
  explicit Picture(QImage image, bool transparent = false);

  // Reads a bitmap file or a resource (":/..."); false, keeping the picture, when it cannot. For
  // a screen whose device pixel ratio is above 1 the drawing made at twice the resolution is read
  // instead ("NAME@2x.EXT" beside "NAME.EXT") when there is one.
  bool Load(const QString& path, qreal screen_ratio = 1);

  const QImage& image() const { return image_; }
  QImage& image() { return image_; }
  void SetImage(QImage image);

  int width() const { return size().width(); }
  int height() const { return size().height(); }
  QSize size() const { return image_.deviceIndependentSize().toSize(); }
  bool isNull() const { return image_.isNull(); }

  bool transparent() const { return transparent_; }
  void SetTransparent(bool transparent) { transparent_ = transparent; }

  // The colour of the bottom-left pixel, which a transparent picture leaves out.
  QColor KeyColor() const;

  // Changes the size keeping the top-left content and the resolution; new pixels take `fill`.
  void SetSize(int width, int height, QColor fill);

  // The image as it is drawn: with the key colour made see-through when the picture is
  // transparent.
  QImage Drawn() const;

 private:
  QImage image_;
  bool transparent_ = false;
};

}  // namespace zelbo
