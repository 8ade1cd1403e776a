// SPDX-License-Identifier: GPL-3.0-or-later
// Reads each file named on the command line as a skin bitmap, draws those that load as the window
// draws them, and looks at every pixel drawn. Run under valgrind, it reports any pixel that nothing
// was read into: the bytes a damaged header sends the reader looking for past the end of the file,
// or a colour looked up past the end of a short palette.
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

#include "ui/skin_picture.h"

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  int loaded = 0;
  quint32 mixed = 0;
  for (int i = 1; i < argc; ++i) {
    QFile file(QString::fromLocal8Bit(argv[i]));
    const QImage picture = zelbo::ReadSkinBitmap(file);
    if (picture.isNull()) continue;
    ++loaded;
    QImage image(picture.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter(&image).drawImage(0, 0, picture);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) mixed = mixed * 31 + image.pixel(x, y);
    }
  }
  // A decision on every pixel's value: valgrind reports it when any of them was never written.
  std::printf("%d of %d files loaded%s\n", loaded, argc - 1, mixed == 1 ? "." : "");
  return 0;
}
