// A picture as the windows use it: a bitmap plus whether it is drawn transparent, with the colour
// of its bottom-left pixel as the key that is left out.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace zelbo {

class Picture {
 public:
  Picture() = default;
  explicit Picture(QImage image, bool transparent = false);

  // Reads a bitmap file or a resource (":/..."); false, keeping the picture, when it cannot.
  bool Load(const QString& path);

  const QImage& image() const { return image_; }
  QImage& image() { return image_; }
  void SetImage(QImage image);

  int width() const { return image_.width(); }
  int height() const { return image_.height(); }
  bool isNull() const { return image_.isNull(); }

  bool transparent() const { return transparent_; }
  void SetTransparent(bool transparent) { transparent_ = transparent; }

  // The colour of the bottom-left pixel, which a transparent picture leaves out.
  QColor KeyColor() const;

  // Changes the size keeping the top-left content; new pixels take `fill`.
  void SetSize(int width, int height, QColor fill);

  // The image as it is drawn: with the key colour made see-through when the picture is
  // transparent.
  QImage Drawn() const;

 private:
  QImage image_;
  bool transparent_ = false;
};

}  // namespace zelbo
