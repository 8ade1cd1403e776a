// SPDX-License-Identifier: GPL-3.0-or-later
// Draws every picture that Zelbo ships: the built-in squares and pieces, the experience editor's
// pictures and glyphs, the icons, the about picture (which also carries the program's title),
// the three shipped skins, and the resource list that bundles the built-in ones.
//
//   zelbo-generate-assets ASSETS_FOLDER
//
// Its output is committed. Every run writes the same bytes, so a diff after a run shows exactly
// the pictures that a change of this file touched.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QSaveFile>
#include <QStringList>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kPitch = 32;  // squares are drawn this many pixels apart
constexpr double kPi = 3.14159265358979323846;
const QString kTitle = QStringLiteral("Zelbo, le jeu de dames");

// The colour that the skinned look leaves out of piece, frame and button pictures. Nothing that
// is drawn ever has it, and nothing may be pure white there either: white is the window's
// see-through colour.
const QColor kKey(255, 0, 255);

[[noreturn]] void Fail(const QString& what) { throw std::runtime_error(what.toStdString()); }

// ---------------------------------------------------------------------------------------------
// Colours

QColor Rgb(int r, int g, int b) { return QColor(r, g, b); }

QColor Mix(const QColor& a, const QColor& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto lerp = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                lerp(a.alpha(), b.alpha()));
}

QColor Darker(const QColor& c, double t) { return Mix(c, Qt::black, t); }
// Towards a warm near-white, never pure white.
QColor Paler(const QColor& c, double t) { return Mix(c, Rgb(250, 246, 236), t); }

QColor WithAlpha(QColor c, int alpha) {
  c.setAlpha(alpha);
  return c;
}

// ---------------------------------------------------------------------------------------------
// Deterministic noise. Value noise on an integer lattice; with a period, the lattice wraps so
// that the pattern repeats every `period` pixels in both directions (for tiles).

uint32_t Hash(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
               seed * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return h;
}

double Lattice(int x, int y, uint32_t seed) { return (Hash(x, y, seed) & 0xffffff) / 16777216.0; }

int Wrap(int i, int n) { return ((i % n) + n) % n; }

double Smooth(double t) { return t * t * (3 - 2 * t); }

// Noise in 0..1 with cells of cell_w x cell_h pixels; period 0 means no repeat, otherwise it
// must be a multiple of both cell sizes.
double Noise(double x, double y, int cell_w, int cell_h, uint32_t seed, int period = 0) {
  const double gx = x / cell_w, gy = y / cell_h;
  const int x0 = static_cast<int>(std::floor(gx)), y0 = static_cast<int>(std::floor(gy));
  const double fx = Smooth(gx - x0), fy = Smooth(gy - y0);
  auto at = [&](int i, int j) {
    if (period > 0) {
      i = Wrap(i, period / cell_w);
      j = Wrap(j, period / cell_h);
    }
    return Lattice(i, j, seed);
  };
  const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
  const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
  return top + (bottom - top) * fy;
}

// Several octaves of Noise, from cells of `cell` pixels down, normalised to 0..1.
double Fbm(double x, double y, int cell, int octaves, uint32_t seed, int period = 0) {
  double sum = 0, weight = 0, amplitude = 1;
  for (int o = 0; o < octaves && cell >= 1; ++o, cell /= 2, amplitude *= 0.5) {
    sum += amplitude * Noise(x, y, cell, cell, seed + 101 * o, period);
    weight += amplitude;
  }
  return sum / weight;
}

// ---------------------------------------------------------------------------------------------
// Surfaces: the colour of a material at each pixel. A period of 32 makes a surface that tiles.

using Texture = std::function<QColor(double x, double y)>;

// Wood along its planks: growth lines running across, wavering, over a fine grain.
Texture Wood(QColor pale, QColor deep, int lines, uint32_t seed, int period = 0) {
  return [=](double x, double y) {
    const double warp = Fbm(x, y, 16, 3, seed, period);
    const double phase = 2 * kPi * lines * (y + 9 * warp) / kPitch;
    const double ring = std::pow(0.5 + 0.5 * std::sin(phase), 3);
    const double grain = Noise(x, y, 8, 1, seed + 7, period);
    return Mix(pale, deep, 0.15 + 0.5 * ring + 0.35 * grain + 0.3 * (warp - 0.5));
  };
}

// Slate: a cool grey split in fine layers, with a faint speckle.
Texture Slate(QColor base, uint32_t seed, int period = 0) {
  return [=](double x, double y) {
    const double layers = Noise(x, y, 16, 2, seed, period);
    const double cloud = Fbm(x, y, 16, 3, seed + 3, period);
    const double speck = Lattice(static_cast<int>(x), static_cast<int>(y), seed + 5);
    const double t = 0.55 * (layers - 0.5) + 0.5 * (cloud - 0.5) + 0.12 * (speck - 0.5);
    return t > 0 ? Paler(base, 0.35 * t) : Darker(base, -0.45 * t);
  };
}

// A pale limestone: soft clouds and a sandy speckle.
Texture Stone(QColor base, uint32_t seed, int period = 0) {
  return [=](double x, double y) {
    const double cloud = Fbm(x, y, 16, 4, seed, period);
    const double speck = Lattice(static_cast<int>(x), static_cast<int>(y), seed + 9);
    const double t = 0.7 * (cloud - 0.5) + 0.2 * (speck - 0.5);
    return t > 0 ? Paler(base, 0.3 * t) : Darker(base, -0.35 * t);
  };
}

// Marble: a clouded ground crossed by thin wandering veins. The vein runs kx, ky times across a
// period, so that a tile's veins meet their neighbours'.
Texture Marble(QColor ground, QColor cloud, QColor vein, int kx, int ky, uint32_t seed,
               int period = 0) {
  return [=](double x, double y) {
    const double turbulence = Fbm(x, y, 16, 3, seed, period);
    const double s = std::sin(2 * kPi * (kx * x + ky * y) / kPitch + 4.5 * turbulence);
    const double line = std::pow(1 - std::abs(s), 14);
    const double mist = Fbm(x, y, 8, 3, seed + 17, period);
    return Mix(Mix(ground, cloud, 1.4 * (mist - 0.3)), vein, 0.85 * line);
  };
}

Texture Flat(QColor colour) {
  return [=](double, double) { return colour; };
}

// ---------------------------------------------------------------------------------------------
// Squares

// A square picture of `size`, `scale` pixels of the image to a pixel of the board. Its top-left
// 32 x 32 is the face seen inside the board, with a faint bevel so that neighbouring squares read
// apart. The columns and rows beyond it are covered by the next squares inside the board and show
// only along the board's right and bottom edges: they are the square's edge and its shadow on
// `under`, the surface that lies there (the frame). Each pixel of the image shows the surfaces at
// its own centre; the bevel, edge and shadow are whole pixels of the board.
QImage MakeSquare(QSize size, const Texture& face, const Texture& under, int scale = 1) {
  QImage image(size * scale, QImage::Format_RGB888);
  const double last = kPitch - 0.5 / scale;  // the centre of the face's last pixel of the image
  for (int j = 0; j < image.height(); ++j) {
    for (int i = 0; i < image.width(); ++i) {
      const int x = i / scale, y = j / scale;  // the pixel of the board
      const double u = (i + 0.5) / scale, v = (j + 0.5) / scale;
      const int beyond = std::max(x, y) - (kPitch - 1);  // 1, 2, 3 past the face
      QColor c;
      if (beyond <= 0) {
        c = face(u, v);
        if (x == 0 || y == 0) c = Paler(c, 0.12);
        if (x == kPitch - 1 || y == kPitch - 1) c = Darker(c, 0.14);
      } else if (beyond == 1) {
        c = Darker(face(std::min(u, last), std::min(v, last)), 0.55);
      } else {
        c = Darker(under(std::fmod(u, kPitch), std::fmod(v, kPitch)), beyond == 2 ? 0.42 : 0.22);
      }
      image.setPixelColor(i, j, c);
    }
  }
  return image;
}

// ---------------------------------------------------------------------------------------------
// Layers: pieces and glyphs are painted, antialiased, on a clear layer, then laid on the picture
// they belong to. A layer of `scale` holds the same painting, `scale` times finer.

QImage PaintLayer(QSize size, const std::function<void(QPainter&)>& paint, int scale = 1) {
  QImage layer(size * scale, QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  QPainter p(&layer);
  if (scale != 1) p.scale(scale, scale);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  paint(p);
  return layer;
}

// `layer` over `under`. With a key, the pixels that the layer leaves clear become the key, and
// the others are blended with `under` itself, never with the key: the skinned look draws such a
// picture over that same `under` with the key left out, so what shows is exactly this blend.
QImage Compose(const QImage& under, const QImage& layer, std::optional<QColor> key = {}) {
  QImage out = under.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  {
    QPainter p(&out);
    p.drawImage(0, 0, layer);
  }
  out = out.convertToFormat(QImage::Format_RGB888);
  if (key) {
    for (int y = 0; y < out.height(); ++y) {
      for (int x = 0; x < out.width(); ++x) {
        const bool clear =
            x >= layer.width() || y >= layer.height() || qAlpha(layer.pixel(x, y)) == 0;
        if (clear) {
          out.setPixelColor(x, y, *key);
        } else if (out.pixelColor(x, y) == *key) {
          out.setPixelColor(x, y, Mix(*key, Qt::black, 0.02));
        }
      }
    }
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Men and kings

// One side's pieces: the colour of their wood or stone, and of the king's crown.
struct PieceStyle {
  QColor body;
  QColor crown = Rgb(230, 182, 52);
};

// A disc seen from above and a little in front: its side, `thickness` deep, then its top face
// with a light from the upper left, a rim and an engraved ring.
void PaintDisc(QPainter& p, QPointF top, double r, double thickness, const QColor& body) {
  QPainterPath side;
  side.addEllipse(top + QPointF(0, thickness), r, r);
  side.addRect(QRectF(top.x() - r, top.y(), 2 * r, thickness));
  QLinearGradient side_light(top.x() - r, 0, top.x() + r, 0);
  side_light.setColorAt(0, Darker(body, 0.35));
  side_light.setColorAt(0.35, Darker(body, 0.2));
  side_light.setColorAt(1, Darker(body, 0.6));
  p.setPen(Qt::NoPen);
  p.setBrush(side_light);
  p.drawPath(side.simplified());

  QRadialGradient face(top + QPointF(-0.35 * r, -0.4 * r), 1.45 * r);
  face.setColorAt(0, Paler(body, 0.45));
  face.setColorAt(0.45, body);
  face.setColorAt(1, Darker(body, 0.3));
  p.setBrush(face);
  p.drawEllipse(top, r, r);

  const double rim = std::max(0.8, 0.08 * r);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Darker(body, 0.5), rim));
  p.drawEllipse(top, r - rim / 2, r - rim / 2);
  const double ring = 0.64 * r;
  p.setPen(QPen(WithAlpha(Paler(body, 0.5), 150), std::max(0.6, 0.06 * r)));
  p.drawEllipse(top + QPointF(0.4, 0.5), ring, ring);
  p.setPen(QPen(WithAlpha(Darker(body, 0.45), 170), std::max(0.6, 0.06 * r)));
  p.drawEllipse(top, ring, ring);
  p.setPen(Qt::NoPen);
}

// A three-pointed crown, `width` wide, centred on `centre`.
void PaintCrown(QPainter& p, QPointF centre, double width, const QColor& gold) {
  auto at = [&](double u, double v) { return centre + QPointF(u * width, v * width); };
  QPolygonF outline;
  outline << at(-0.48, 0.30) << at(-0.56, -0.20) << at(-0.26, 0.04) << at(0, -0.36)
          << at(0.26, 0.04) << at(0.56, -0.20) << at(0.48, 0.30);
  QPainterPath crown;
  crown.addPolygon(outline);
  crown.closeSubpath();
  const double ball = 0.085 * width;
  for (QPointF tip : {at(-0.56, -0.20), at(0, -0.36), at(0.56, -0.20)}) {
    crown.addEllipse(tip, ball, ball);
  }
  QLinearGradient shine(at(0, -0.4), at(0, 0.3));
  shine.setColorAt(0, Paler(gold, 0.5));
  shine.setColorAt(1, Darker(gold, 0.25));
  p.setPen(QPen(Darker(gold, 0.65), std::max(0.7, 0.06 * width)));
  p.setBrush(shine);
  p.drawPath(crown.simplified());
  p.setPen(QPen(Darker(gold, 0.45), std::max(0.6, 0.05 * width)));
  p.drawLine(at(-0.47, 0.18), at(0.47, 0.18));
  p.setPen(Qt::NoPen);
}

// A man, or a king (two men stacked, crowned), of radius r, centred on `centre`.
void PaintPiece(QPainter& p, QPointF centre, double r, const PieceStyle& style, bool king) {
  const double disc = std::max(1.0, 0.16 * r);
  const double height = king ? 2 * disc : disc;
  const QPointF top = centre - QPointF(0, height / 2);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 40));
  p.drawEllipse(top + QPointF(0.9, height + 1.1), r + 0.5, r + 0.4);
  p.setBrush(QColor(0, 0, 0, 55));
  p.drawEllipse(top + QPointF(0.6, height + 0.7), r, r);
  if (king) PaintDisc(p, top + QPointF(0, disc), r, disc, style.body);
  PaintDisc(p, top, r, disc, style.body);
  if (king) PaintCrown(p, top + QPointF(0, 0.06 * r), 1.45 * r, style.crown);
}

// A piece on a square picture: centred on the face that shows inside the board.
QImage PieceLayer(QSize size, const PieceStyle& style, bool king, int scale = 1) {
  return PaintLayer(
      size,
      [&](QPainter& p) { PaintPiece(p, QPointF(kPitch / 2.0, kPitch / 2.0), 12.4, style, king); },
      scale);
}

// The built-in pictures are drawn once for screens of device pixel ratio 1 and once, twice as
// fine, for ratio 2: "NAME.bmp" and "NAME@2x.bmp".
constexpr int kScales[] = {1, 2};

QString AtScale(const char* name, int scale) {
  return QString("pictures/%1%2.bmp").arg(name, scale == 1 ? "" : "@2x");
}

// ---------------------------------------------------------------------------------------------
// Saving, and the checks that every saved picture must pass

// Whether the file is a BMP whose header states 24 bits per pixel.
bool IsBmp24(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray header = file.read(30);
  if (header.size() < 30 || !header.startsWith("BM")) return false;
  const int bits = static_cast<uint8_t>(header[28]) | static_cast<uint8_t>(header[29]) << 8;
  return bits == 24;
}

bool HasPureWhite(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xffffff) == 0xffffff) return true;
    }
  }
  return false;
}

// Writes all the files and remembers the built-in ones for the resource list.
class AssetWriter {
 public:
  explicit AssetWriter(const QString& root) : root_(root) {}

  QString Path(const QString& relative) const { return root_.filePath(relative); }

  // A 24-bit BMP. No picture of the program may hold pure white: in the skinned look it would
  // be a hole in the window.
  void Bmp(const QString& relative, const QImage& image, QSize size) {
    Check(image.size() == size, relative, "has the wrong size");
    Check(!HasPureWhite(image), relative, "holds pure white");
    Write(relative, image.convertToFormat(QImage::Format_RGB888), "BMP");
    Check(IsBmp24(Path(relative)), relative, "was not written as a 24-bit BMP");
  }

  void Png(const QString& relative, const QImage& image, QSize size) {
    Check(image.size() == size, relative, "has the wrong size");
    Write(relative, image.convertToFormat(QImage::Format_ARGB32), "PNG");
  }

  // The resource file: every built-in picture, under prefix "/", by its path in the folder.
  void ResourceList(const QString& relative) const {
    QStringList files = resources_;
    files.sort();
    QByteArray text = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n";
    for (const QString& f : files) text += "    <file>" + f.toUtf8() + "</file>\n";
    text += "  </qresource>\n</RCC>\n";
    QSaveFile out(Path(relative));
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit()) {
      Fail(relative + ": cannot write");
    }
  }

 private:
  static void Check(bool ok, const QString& relative, const char* what) {
    if (!ok) Fail(relative + " " + what);
  }

  void Write(const QString& relative, const QImage& image, const char* format) {
    const QString path = Path(relative);
    if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path, format)) {
      Fail(relative + ": cannot write");
    }
    if (!relative.startsWith("SKIN/") && !relative.startsWith("desktop/")) resources_ << relative;
  }

  QDir root_;
  QStringList resources_;
};

// ---------------------------------------------------------------------------------------------
// The built-in board: walnut and maple, cream men for the player, dark red for the computer

// The standard look's frame is drawn in the window's colour.
const Texture kWindowColour = Flat(Rgb(236, 234, 230));

struct BoardLook {
  Texture light_square;  // the unusable squares
  Texture dark_square;   // the playable squares
  Texture under_edge;    // what lies under the board's right and bottom edges; tiles by 32
  PieceStyle player;     // side -1, at the bottom
  PieceStyle computer;   // side +1, at the top
};

BoardLook BuiltInLook() {
  return {
      .light_square = Wood(Rgb(234, 206, 160), Rgb(198, 156, 104), 3, 11),
      .dark_square = Wood(Rgb(136, 86, 50), Rgb(82, 48, 26), 4, 23),
      .under_edge = kWindowColour,
      .player = {.body = Rgb(228, 210, 170)},
      .computer = {.body = Rgb(148, 28, 30)},
  };
}

// Im0, Im3, and the four pieces on the empty playable square.
void WriteBoardPictures(AssetWriter& out, int scale) {
  const BoardLook look = BuiltInLook();
  const QSize playable(35, 34), unusable(33, 33);
  const QImage empty = MakeSquare(playable, look.dark_square, look.under_edge, scale);
  auto piece = [&](const PieceStyle& style, bool king) {
    return Compose(empty, PieceLayer(playable, style, king, scale));
  };
  out.Bmp(AtScale("Im0", scale), empty, playable * scale);
  out.Bmp(AtScale("Im3", scale), MakeSquare(unusable, look.light_square, look.under_edge, scale),
          unusable * scale);
  out.Bmp(AtScale("Im1", scale), piece(look.computer, false), playable * scale);
  out.Bmp(AtScale("Im2", scale), piece(look.computer, true), playable * scale);
  out.Bmp(AtScale("Imm1", scale), piece(look.player, false), playable * scale);
  out.Bmp(AtScale("Imm2", scale), piece(look.player, true), playable * scale);
}

// ---------------------------------------------------------------------------------------------
// The experience editor: the pictures of its three pattern codes, its pop-up menu's pictures
// and its four button glyphs. Pattern pieces are grey for the player's side and green for the
// computer's, so that a pattern never looks like a game.

const PieceStyle kGreyPiece{.body = Rgb(150, 152, 156)};
const PieceStyle kGreenPiece{.body = Rgb(64, 156, 72)};
const QColor kYellow(250, 220, 40);

void PaintQuestionMark(QPainter& p, QRectF box) {
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(64);
  QPainterPath mark;
  mark.addText(0, 0, font, "?");
  const QRectF bounds = mark.boundingRect();
  const double scale = box.height() / bounds.height();
  mark = QTransform()
             .translate(box.center().x(), box.center().y())
             .scale(scale, scale)
             .translate(-bounds.center().x(), -bounds.center().y())
             .map(mark);
  p.setPen(QPen(Rgb(70, 48, 10), std::max(1.0, box.height() / 14), Qt::SolidLine, Qt::RoundCap,
                Qt::RoundJoin));
  p.setBrush(kYellow);
  p.drawPath(mark);
  p.setPen(Qt::NoPen);
}

// A king on the left and a man on the right, parted by a yellow line: "any piece of a side".
void PaintAnyPiece(QPainter& p, QRectF box, const PieceStyle& style) {
  const double r = box.width() * 0.23;
  const double mid = box.center().x();
  PaintPiece(p, QPointF(box.left() + box.width() * 0.25, box.center().y()), r, style, true);
  PaintPiece(p, QPointF(box.left() + box.width() * 0.75, box.center().y()), r, style, false);
  p.setBrush(kYellow);
  const double w = std::max(1.0, box.width() / 22);
  p.drawRect(QRectF(mid - w / 2, box.top() + box.height() * 0.1, w, box.height() * 0.8));
}

QImage SmallWoodSquare(QSize size) {
  return MakeSquare(size, BuiltInLook().dark_square, Flat(Rgb(60, 36, 20)));
}

void WriteEditorPictures(AssetWriter& out, int scale) {
  const QSize size(35, 34);
  const QImage empty = MakeSquare(size, BuiltInLook().dark_square, BuiltInLook().under_edge, scale);
  const QRectF face(0, 0, kPitch, kPitch);
  auto on_empty = [&](const std::function<void(QPainter&)>& paint) {
    return Compose(empty, PaintLayer(size, paint, scale));
  };
  out.Bmp(AtScale("exclama", scale),
          on_empty([&](QPainter& p) { PaintQuestionMark(p, face.adjusted(8, 4, -8, -4)); }),
          size * scale);
  out.Bmp(AtScale("omage_enmi", scale),
          on_empty([&](QPainter& p) { PaintAnyPiece(p, face, kGreyPiece); }), size * scale);
  out.Bmp(AtScale("Imageamie", scale),
          on_empty([&](QPainter& p) { PaintAnyPiece(p, face, kGreenPiece); }), size * scale);
}

// The pop-up menu's pictures, in menu order.
void WritePopupPictures(AssetWriter& out) {
  const QSize size(16, 16);
  const QRectF box(0, 0, 16, 16);
  const QImage wood = SmallWoodSquare(size);
  auto piece = [&](const PieceStyle& style, bool king) {
    return PaintLayer(size, [&](QPainter& p) { PaintPiece(p, box.center(), 6.6, style, king); });
  };
  auto any = [&](const PieceStyle& style) {
    return PaintLayer(size, [&](QPainter& p) { PaintAnyPiece(p, box, style); });
  };
  const std::vector<QImage> pictures = {
      Compose(wood, PaintLayer(size,
                               [&](QPainter& p) {
                                 PaintQuestionMark(p, box.adjusted(4, 1.5, -4, -1.5));
                               })),
      wood,
      piece(kGreyPiece, false),
      piece(kGreenPiece, false),
      piece(kGreyPiece, true),
      piece(kGreenPiece, true),
      any(kGreenPiece),
      any(kGreyPiece),
  };
  for (size_t i = 0; i < pictures.size(); ++i) {
    out.Png(QString("editor/popup%1.png").arg(i), pictures[i], size);
  }
}

// An arrow bending over the top, from one side to the other, in a box of 16 x 16; `to_left`
// points it left.
void PaintBentArrow(QPainter& p, bool to_left, const QColor& colour) {
  if (to_left) {
    p.translate(16, 0);
    p.scale(-1, 1);
  }
  QPainterPath shaft;
  shaft.moveTo(2.5, 13);
  shaft.cubicTo(2.5, 4.5, 10, 3, 11.5, 7.5);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, 2.4, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(shaft);
  p.setPen(QPen(colour, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(colour);
  p.drawPolygon(QPolygonF({QPointF(8, 8.2), QPointF(15, 7), QPointF(12, 13.5)}));
  p.resetTransform();
}

void WriteButtonGlyphs(AssetWriter& out) {
  const QSize size(16, 16);
  const QColor blue(28, 72, 150);
  const QColor ink(16, 16, 16);
  out.Png("editor/previous.png",
          PaintLayer(size, [&](QPainter& p) { PaintBentArrow(p, true, blue); }), size);
  out.Png("editor/next.png", PaintLayer(size, [&](QPainter& p) { PaintBentArrow(p, false, blue); }),
          size);
  out.Png("editor/add.png",
          PaintLayer(size,
                     [&](QPainter& p) {
                       p.setBrush(ink);
                       p.drawRect(QRectF(6.5, 2, 3, 12));
                       p.drawRect(QRectF(2, 6.5, 12, 3));
                     }),
          size);
  out.Png("editor/delete.png",
          PaintLayer(size,
                     [&](QPainter& p) {
                       p.setPen(QPen(ink, 2.6, Qt::SolidLine, Qt::SquareCap));
                       p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
                       p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
                     }),
          size);
}

// ---------------------------------------------------------------------------------------------
// Icons: the window icon, the desktop's icons in every size, the three frames of the turning icon
// (a man becoming a king) and the take-back glyph.

// The squares of a small board, `cells` x `cells` of `cell` pixels, each showing a whole square's
// texture shrunk to its size; the top-left square is a playable one.
QImage SmallBoard(int cells, double cell) {
  const BoardLook look = BuiltInLook();
  const int size = static_cast<int>(std::ceil(cells * cell));
  QImage squares(size, size, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int c = static_cast<int>(x / cell), r = static_cast<int>(y / cell);
      const double u = (x - c * cell) * kPitch / cell, v = (y - r * cell) * kPitch / cell;
      const Texture& face = (c + r) % 2 == 0 ? look.dark_square : look.light_square;
      squares.setPixelColor(x, y, face(u + 2 * c, v + 3 * r));
    }
  }
  return squares;
}

// A corner of a board, 4 x 4 squares with rounded corners, filling `size`.
void PaintBoardCorner(QPainter& p, int size) {
  QPainterPath shape;
  const double round = size / 8.0;
  shape.addRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), round, round);
  p.setClipPath(shape);
  p.drawImage(0, 0, SmallBoard(4, size / 4.0));
  p.setClipping(false);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Rgb(60, 34, 18), std::max(1.0, size / 32.0)));
  p.drawPath(shape);
  p.setPen(Qt::NoPen);
}

QImage WindowIcon(int size) {
  const BoardLook look = BuiltInLook();
  return PaintLayer(QSize(size, size), [&](QPainter& p) {
    PaintBoardCorner(p, size);
    const double r = size * 0.25;
    PaintPiece(p, QPointF(size * 0.3, size * 0.7), r, look.player, false);
    PaintPiece(p, QPointF(size * 0.68, size * 0.33), r, look.computer, true);
  });
}

void WriteIcons(AssetWriter& out) {
  const PieceStyle red = BuiltInLook().computer;
  const QSize small(16, 16);
  const QPointF centre(8, 8.5);
  out.Png("icons/icon0.png",
          PaintLayer(small, [&](QPainter& p) { PaintPiece(p, centre, 6.8, red, false); }), small);
  out.Png("icons/icon1.png",
          PaintLayer(small,
                     [&](QPainter& p) {
                       PaintPiece(p, centre + QPointF(0, 1.5), 6.3, red, false);
                       p.setOpacity(0.75);
                       PaintPiece(p, centre + QPointF(0.5, -3), 6.3, red, false);
                     }),
          small);
  out.Png("icons/icon2.png",
          PaintLayer(small, [&](QPainter& p) { PaintPiece(p, centre, 6.8, red, true); }), small);
  out.Png("icons/zelbo.png", WindowIcon(32), QSize(32, 32));
  // The sizes of the desktop's icon theme, installed under share/icons/hicolor.
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    out.Png(QStringLiteral("desktop/zelbo-%1.png").arg(size), WindowIcon(size), QSize(size, size));
  }

  const QSize back(16, 15);
  out.Png(
      "icons/takeback.png",
      PaintLayer(back,
                 [&](QPainter& p) {
                   const QColor blue(28, 72, 150);
                   QPainterPath turn;
                   turn.moveTo(5, 4.5);
                   turn.lineTo(9, 4.5);
                   turn.arcTo(QRectF(5, 4.5, 8.5, 8), 90, -180);
                   turn.lineTo(4, 12.5);
                   p.setBrush(Qt::NoBrush);
                   p.setPen(QPen(blue, 2.2, Qt::SolidLine, Qt::RoundCap));
                   p.drawPath(turn);
                   p.setPen(QPen(blue, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                   p.setBrush(blue);
                   p.drawPolygon(QPolygonF({QPointF(0.8, 4.5), QPointF(6, 0.8), QPointF(6, 8.2)}));
                 }),
      back);
}

// ---------------------------------------------------------------------------------------------
// The about picture. The program reads its title out of this picture's pixels: one character per
// pixel from the second row on, code = (blue & 3) << 6 | (green & 7) << 3 | (red & 7), ending at
// the first code 0. Only those low bits of the background change, so the text stays invisible.

constexpr int kTitleRow = 1;
constexpr int kTitleLastRow = 11;

void HideTitle(QImage& image, const QByteArray& title) {
  QByteArray codes = title;
  codes.append('\0');
  if (codes.size() > image.width() * (kTitleLastRow - kTitleRow + 1)) Fail("the title is too long");
  for (int i = 0; i < codes.size(); ++i) {
    const int x = i % image.width(), y = kTitleRow + i / image.width();
    const int code = static_cast<uint8_t>(codes[i]);
    const QColor c = image.pixelColor(x, y);
    image.setPixelColor(x, y,
                        QColor((c.red() & ~7) | (code & 7), (c.green() & ~7) | (code >> 3 & 7),
                               (c.blue() & ~3) | (code >> 6 & 3)));
  }
}

QByteArray ReadTitle(const QImage& image) {
  QByteArray title;
  for (int y = kTitleRow; y <= kTitleLastRow; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      const int code = (c.blue() & 3) << 6 | (c.green() & 7) << 3 | (c.red() & 7);
      if (code == 0) return title;
      title.append(static_cast<char>(code));
    }
  }
  return title;
}

void PaintCentredText(QPainter& p, const QString& text, const QFont& font, double y, QColor fill,
                      std::optional<QColor> outline = {}) {
  QPainterPath path;
  path.addText(0, 0, font, text);
  path.translate(225 / 2.0 - path.boundingRect().center().x(), y);
  if (outline) {
    p.setPen(QPen(*outline, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawPath(path);
}

// A small board in a game's middle, pieces of the computer above, of the player below; its
// squares are made `scale` times finer than the painter's pixels.
void PaintAboutBoard(QPainter& p, QPointF origin, double cell, int scale) {
  const BoardLook look = BuiltInLook();
  const QRectF board(origin, QSizeF(8 * cell, 8 * cell));
  p.setBrush(Rgb(96, 58, 30));
  p.drawRoundedRect(board.adjusted(-5, -5, 5, 5), 3, 3);
  QImage squares = SmallBoard(8, cell * scale);
  squares.setDevicePixelRatio(scale);
  p.drawImage(origin, squares);
  // Columns and rows counted from 0 at the top left; playable squares have an even sum.
  struct Placed {
    int c, r;
    bool computer, king;
  };
  const Placed pieces[] = {{1, 1, true, false},  {3, 1, true, false},  {0, 2, true, false},
                           {4, 2, true, false},  {6, 0, true, false},  {3, 3, true, false},
                           {7, 3, true, true},   {2, 4, false, false}, {4, 4, false, false},
                           {1, 5, false, false}, {5, 5, false, false}, {0, 6, false, true},
                           {4, 6, false, false}, {3, 7, false, false}};
  for (const Placed& piece : pieces) {
    const QPointF centre = origin + QPointF((piece.c + 0.5) * cell, (piece.r + 0.5) * cell);
    PaintPiece(p, centre, cell * 0.39, piece.computer ? look.computer : look.player, piece.king);
  }
}

// The about picture, `scale` pixels of the image to one of the picture; the title is hidden in the
// picture of scale 1, the one the program reads it from.
QImage AboutPicture(int scale) {
  const QSize size(225, 261);
  const QColor parchment(238, 226, 196);
  QImage image(size * scale, QImage::Format_RGB888);
  for (int j = 0; j < image.height(); ++j) {
    for (int i = 0; i < image.width(); ++i) {
      // The centre of the image's pixel, counted in pixels of the picture.
      const double x = (i + 0.5) / scale - 0.5, y = (j + 0.5) / scale - 0.5;
      const double cloud = Fbm(x, y, 32, 4, 41);
      const double edge = std::min({x, y, size.width() - 1 - x, size.height() - 1 - y});
      image.setPixelColor(
          i, j, Darker(Paler(parchment, 0.3 * (cloud - 0.3)), 0.18 * std::exp(-edge / 10.0)));
    }
  }
  QPainter p(&image);
  if (scale != 1) p.scale(scale, scale);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Rgb(120, 76, 40), 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(4.5, 30.5, size.width() - 9, size.height() - 35));

  QFont name("DejaVu Serif");
  name.setBold(true);
  name.setPixelSize(44);
  PaintCentredText(p, "Zelbo", name, 76, Rgb(140, 24, 26), Rgb(230, 182, 52));
  PaintAboutBoard(p, QPointF(60, 92), 13, scale);
  QFont subtitle("DejaVu Serif");
  subtitle.setItalic(true);
  subtitle.setPixelSize(16);
  PaintCentredText(p, "le jeu de dames", subtitle, 226, Rgb(70, 44, 22));
  QFont version("DejaVu Sans");
  version.setPixelSize(11);
  PaintCentredText(p, "version 1.0", version, 245, Rgb(110, 80, 50));
  p.end();
  if (scale == 1) HideTitle(image, kTitle.toLatin1());
  return image;
}

void WriteAboutPicture(AssetWriter& out) {
  out.Bmp(AtScale("Image1", 2), AboutPicture(2), QSize(225, 261) * 2);
  const QString file = AtScale("Image1", 1);
  out.Bmp(file, AboutPicture(1), QSize(225, 261));
  const QByteArray read = ReadTitle(QImage(out.Path(file)));
  if (read != kTitle.toLatin1()) {
    Fail(file + " carries the title \"" + QString::fromLatin1(read) + "\", not \"" + kTitle + "\"");
  }
}

// ---------------------------------------------------------------------------------------------
// Skins. Each folder holds twelve 35 x 35 pictures. The standard look loads the squares as they
// are, so its pieces are whole squares; the skinned look draws each piece over 2.bmp and each
// window button over c.bmp with the key colour (their bottom-left pixel) left out.

struct SkinDesign {
  QString name;
  bool standard;  // its name begins with "Standard"
  BoardLook look;
  Texture frame;  // tiles by 32
  QColor plate;   // the face of the window buttons
};

// The frame tile: its top-left 32 x 32 tiles seamlessly; the pixels that the skinned look takes
// as its key, (0, 31) once cropped to 32 x 32 and (0, 34) whole, hold the key colour, which
// appears nowhere else.
QImage FrameTile(const Texture& frame) {
  const QSize size(35, 35);
  QImage tile(size, QImage::Format_RGB888);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) {
      tile.setPixelColor(x, y, frame(x % kPitch + 0.5, y % kPitch + 0.5));
    }
  }
  tile.setPixelColor(0, kPitch - 1, kKey);
  tile.setPixelColor(0, size.height() - 1, kKey);
  return tile;
}

// A window button: a raised plate that fills most of the 32 x 32 button.
void PaintPlate(QPainter& p, const QColor& plate) {
  const QRectF face(3.5, 3.5, 25, 25);
  QLinearGradient light(face.topLeft(), face.bottomRight());
  light.setColorAt(0, Paler(plate, 0.25));
  light.setColorAt(1, Darker(plate, 0.3));
  p.setPen(QPen(Darker(plate, 0.6), 1));
  p.setBrush(light);
  p.drawRoundedRect(face, 5, 5);
  p.setPen(QPen(WithAlpha(Paler(plate, 0.5), 140), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(face.adjusted(1, 1, -1, -1), 4, 4);
  p.setPen(Qt::NoPen);
}

const QColor kGlyphInk(246, 238, 222);

void PaintClose(QPainter& p) {
  PaintPlate(p, Rgb(168, 40, 34));
  p.setPen(QPen(kGlyphInk, 3.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
  p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
}

void PaintMinimise(QPainter& p, const QColor& plate) {
  PaintPlate(p, plate);
  p.setBrush(kGlyphInk);
  p.drawPolygon(QPolygonF({QPointF(10, 8.5), QPointF(22, 8.5), QPointF(16, 15.5)}));
  p.drawRoundedRect(QRectF(9, 19, 14, 4), 1.2, 1.2);
}

void PaintSkinChoice(QPainter& p, const QColor& plate) {
  PaintPlate(p, plate);
  QPainterPath palette;
  palette.addEllipse(QRectF(7, 8.5, 18.5, 15));
  QPainterPath thumb;
  thumb.addEllipse(QPointF(19.8, 19.2), 2.3, 2.1);
  p.setPen(QPen(Darker(plate, 0.6), 0.8));
  p.setBrush(Rgb(232, 206, 150));
  p.drawPath(palette.subtracted(thumb));
  p.setPen(Qt::NoPen);
  const std::pair<QPointF, QColor> dots[] = {{{11.5, 13}, Rgb(210, 40, 40)},
                                             {{16, 11.8}, Rgb(250, 210, 30)},
                                             {{20.7, 13.5}, Rgb(40, 90, 210)},
                                             {{11.8, 18.2}, Rgb(40, 160, 60)}};
  for (const auto& [at, colour] : dots) {
    p.setBrush(colour);
    p.drawEllipse(at, 1.9, 1.9);
  }
}

void PaintOpen(QPainter& p, const QColor& plate) {
  PaintPlate(p, plate);
  const QColor folder(236, 188, 64);
  p.setPen(QPen(Rgb(110, 70, 10), 0.9, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
  p.setBrush(Darker(folder, 0.22));
  p.drawPolygon(QPolygonF({QPointF(7.5, 9.5), QPointF(13, 9.5), QPointF(14.5, 11.5),
                           QPointF(22.5, 11.5), QPointF(22.5, 23.5), QPointF(7.5, 23.5)}));
  p.setBrush(Rgb(240, 234, 216));
  p.drawRect(QRectF(10, 13, 10.5, 6));
  p.setBrush(folder);
  p.drawPolygon(
      QPolygonF({QPointF(11, 16), QPointF(25.5, 16), QPointF(22.5, 23.5), QPointF(7.5, 23.5)}));
  p.setPen(Qt::NoPen);
}

void PaintSave(QPainter& p, const QColor& plate) {
  PaintPlate(p, plate);
  p.setPen(QPen(Rgb(16, 26, 60), 0.9, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(Rgb(44, 74, 150));
  p.drawPolygon(QPolygonF({QPointF(8.5, 8.5), QPointF(21, 8.5), QPointF(23.5, 11),
                           QPointF(23.5, 23.5), QPointF(8.5, 23.5)}));
  p.setPen(Qt::NoPen);
  p.setBrush(Rgb(196, 202, 212));
  p.drawRect(QRectF(11.5, 8.5, 8.5, 5.5));
  p.setBrush(Rgb(44, 74, 150));
  p.drawRect(QRectF(16.8, 9.5, 2, 3.5));
  p.setBrush(Rgb(242, 238, 226));
  p.drawRect(QRectF(11, 16.5, 10, 7));
  p.setBrush(Rgb(150, 160, 180));
  p.drawRect(QRectF(12.5, 18.5, 7, 0.9));
  p.drawRect(QRectF(12.5, 20.8, 7, 0.9));
}

void WriteSkin(AssetWriter& out, const SkinDesign& skin) {
  const QSize size(35, 35);
  const BoardLook& look = skin.look;
  auto file = [&](const char* name) { return "SKIN/" + skin.name + "/" + name; };
  const QImage empty = MakeSquare(size, look.dark_square, look.under_edge);
  out.Bmp(file("1.bmp"), MakeSquare(size, look.light_square, look.under_edge), size);
  out.Bmp(file("2.bmp"), empty, size);

  const std::optional<QColor> key = skin.standard ? std::nullopt : std::optional(kKey);
  auto piece = [&](const PieceStyle& style, bool king) {
    return Compose(empty, PieceLayer(size, style, king), key);
  };
  out.Bmp(file("3.bmp"), piece(look.player, false), size);
  out.Bmp(file("4.bmp"), piece(look.computer, false), size);
  out.Bmp(file("5.bmp"), piece(look.player, true), size);
  out.Bmp(file("6.bmp"), piece(look.computer, true), size);

  const QImage tile = FrameTile(skin.frame);
  out.Bmp(file("c.bmp"), tile, size);
  auto button = [&](const std::function<void(QPainter&)>& glyph) {
    return Compose(tile, PaintLayer(QSize(kPitch, kPitch), glyph), kKey);
  };
  out.Bmp(file("f.bmp"), button(PaintClose), size);
  out.Bmp(file("m.bmp"), button([&](QPainter& p) { PaintMinimise(p, skin.plate); }), size);
  out.Bmp(file("s.bmp"), button([&](QPainter& p) { PaintSkinChoice(p, skin.plate); }), size);
  out.Bmp(file("o.bmp"), button([&](QPainter& p) { PaintOpen(p, skin.plate); }), size);
  out.Bmp(file("e.bmp"), button([&](QPainter& p) { PaintSave(p, skin.plate); }), size);
}

// The frames are light enough for the black board coordinates that are written on them. In the
// standard look the board stands on the window's colour; in the skinned look on its frame.
std::vector<SkinDesign> ShippedSkins() {
  const Texture slate_frame = Slate(Rgb(150, 156, 164), 71, kPitch);
  const Texture wood_frame = Wood(Rgb(210, 164, 104), Rgb(160, 110, 62), 2, 43, kPitch);
  const Texture marble_frame =
      Marble(Rgb(186, 184, 180), Rgb(162, 160, 158), Rgb(118, 118, 126), 1, 1, 57, kPitch);
  return {
      {.name = "Standard Ardoise",
       .standard = true,
       .look = {.light_square = Stone(Rgb(208, 202, 188), 61),
                .dark_square = Slate(Rgb(74, 82, 94), 67),
                .under_edge = kWindowColour,
                .player = {.body = Rgb(230, 220, 194)},
                .computer = {.body = Rgb(142, 26, 38)}},
       .frame = slate_frame,
       .plate = Rgb(64, 72, 86)},
      {.name = "Bois",
       .standard = false,
       .look = {.light_square = Wood(Rgb(228, 194, 146), Rgb(194, 148, 94), 3, 31),
                .dark_square = Wood(Rgb(124, 76, 42), Rgb(76, 44, 22), 4, 37),
                .under_edge = wood_frame,
                .player = {.body = Rgb(226, 204, 156)},
                .computer = {.body = Rgb(54, 42, 38)}},
       .frame = wood_frame,
       .plate = Rgb(110, 70, 38)},
      {.name = "Marbre",
       .standard = false,
       .look = {.light_square =
                    Marble(Rgb(232, 228, 220), Rgb(206, 202, 196), Rgb(150, 150, 158), 1, 1, 51),
                .dark_square =
                    Marble(Rgb(44, 98, 74), Rgb(26, 66, 48), Rgb(150, 196, 172), 1, -1, 53),
                .under_edge = marble_frame,
                .player = {.body = Rgb(232, 222, 200)},
                .computer = {.body = Rgb(40, 40, 46)}},
       .frame = marble_frame,
       .plate = Rgb(70, 74, 84)},
  };
}

void GenerateAll(const QString& assets) {
  AssetWriter out(assets);
  for (const int scale : kScales) {
    WriteBoardPictures(out, scale);
    WriteEditorPictures(out, scale);
  }
  WriteAboutPicture(out);
  WritePopupPictures(out);
  WriteButtonGlyphs(out);
  WriteIcons(out);
  out.ResourceList("zelbo.qrc");
  for (const SkinDesign& skin : ShippedSkins()) WriteSkin(out, skin);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s ASSETS_FOLDER\n", argv[0]);
    return 2;
  }
  try {
    GenerateAll(QString::fromLocal8Bit(argv[1]));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zelbo-generate-assets: %s\n", e.what());
    return 1;
  }
  return 0;
}
