// Reads each file named on the command line as a skin bitmap and looks at every pixel of those that
// load. Run under valgrind, it reports any pixel that nothing was read into: the bytes a damaged
// header sends the reader looking for past the end of the file.
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "ui/skin_picture.h"

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  int loaded = 0;
  quint32 mixed = 0;
  for (int i = 1; i < argc; ++i) {
    QFile file(QString::fromLocal8Bit(argv[i]));
    const QImage image = zelbo::ReadSkinBitmap(file).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) continue;
    ++loaded;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) mixed = mixed * 31 + image.pixel(x, y);
    }
  }
  // A decision on every pixel's value: valgrind reports it when any of them was never written.
  std::printf("%d of %d files loaded%s\n", loaded, argc - 1, mixed == 1 ? "." : "");
  return 0;
}
