// SPDX-License-Identifier: GPL-3.0-or-later
// The board window's looks: the standard look, a bordered window with its menus and controls, and
// the skinned look, a frameless window whose pure white is neither drawn nor hit by the mouse, so
// that only the framed board and its five buttons remain. Which file feeds which picture is the
// skins library's; here is what Qt has to do for it.
#include <QBitmap>
#include <QBuffer>
#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegion>
#include <QTimer>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "files/file_io.h"
#include "skins/skin_folder.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/skin_picture.h"

namespace zelbo {

// Follows what the skinned window draws and shapes the window to it: the canvas and the visible
// controls are composed as they show, and every pixel that is not pure white belongs to the
// window. A redraw of the whole board changes the canvas 64 times; the shape is computed once,
// when the event loop next runs.
class TForm1::WindowShape : public QObject {
 public:
  explicit WindowShape(TForm1& window) : QObject(&window), window_(window) {
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] { Update(); });
  }

  // Starts or stops following the drawing; a stopped shape leaves the whole window visible.
  void SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (active) {
      Watch();
      Schedule();
    } else {
      window_.surface->SetDrawnHandler({});
      timer_.stop();
      window_.surface->clearMask();
      window_.clearMask();
    }
  }

  void Schedule() {
    if (active_ && !timer_.isActive()) timer_.start();
  }

 protected:
  // A control shown, hidden or drawn anew changes the window's shape. Painting done while the
  // shape is being composed is the composing itself.
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (!composing_ && (type == QEvent::Show || type == QEvent::Hide || type == QEvent::Paint)) {
      Schedule();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void Watch() {
    window_.surface->SetDrawnHandler([this] { Schedule(); });
    for (QWidget* control : window_.surface->findChildren<QWidget*>()) {
      control->removeEventFilter(this);
      control->installEventFilter(this);
    }
  }

  // The window's mask is where the mouse hits it, and on X11 what shows of it; the client area's
  // mask leaves the rest unpainted, which the translucent window shows through on every platform
  // (on Wayland a window's mask shapes the mouse alone).
  void Update() {
    if (!active_) return;
    const QRegion drawn = Composed();
    if (drawn != window_.surface->mask()) window_.surface->setMask(drawn);
    const QRegion shape = drawn.translated(window_.surface->pos());
    if (shape != window_.mask()) window_.setMask(shape);
  }

  // The client area as it shows, white where nothing but the window's colour is. It is composed
  // in the screen's own pixels; a pixel of the client area is drawn when any of them is.
  QRegion Composed() {
    CanvasWidget* surface = window_.surface;
    const qreal ratio = surface->devicePixelRatio();
    QImage look(surface->size() * ratio, QImage::Format_RGB32);
    look.setDevicePixelRatio(ratio);
    look.fill(Qt::white);
    composing_ = true;
    surface->render(&look, QPoint(), QRegion(), QWidget::DrawChildren | QWidget::IgnoreMask);
    composing_ = false;
    const QImage drawn =
        InLogicalPixels(look, surface->size()).createMaskFromColor(kWhiteRgb, Qt::MaskInColor);
    return QRegion(QBitmap::fromImage(drawn));
  }

  static constexpr QRgb kWhiteRgb = 0xFFFFFFFF;

  // White where every device pixel of a logical pixel is white, black elsewhere.
  static QImage InLogicalPixels(const QImage& look, QSize size) {
    QImage logical(size, QImage::Format_RGB32);
    logical.fill(Qt::white);
    const qreal ratio = look.devicePixelRatio();
    for (int y = 0; y < look.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(look.constScanLine(y));
      for (int x = 0; x < look.width(); ++x) {
        const QPoint at(static_cast<int>(x / ratio), static_cast<int>(y / ratio));
        if (line[x] != kWhiteRgb && logical.rect().contains(at)) logical.setPixel(at, 0xFF000000);
      }
    }
    return logical;
  }

  TForm1& window_;
  QTimer timer_;
  bool active_ = false;
  bool composing_ = false;
};

namespace {

namespace fs = std::filesystem;

const QColor kWhite(255, 255, 255);

// The files of one skin folder, found whatever the letter case of their names.
class SkinFiles {
 public:
  explicit SkinFiles(fs::path folder) : folder_(std::move(folder)) {}

  std::optional<fs::path> Find(std::string_view file) const { return FindSkinFile(folder_, file); }

 private:
  fs::path folder_;
};

// The bitmap of a skin's file; a null image when it is no readable bitmap. The bytes are read by
// the library's reader, which refuses a pipe or a device rather than wait on it.
QImage ReadSkinFile(const fs::path& path) {
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadFileBytes(path, kMaxSkinFileBytes + 1);
  } catch (const IoError&) {
    return {};
  }
  QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  return ReadSkinBitmap(buffer);
}

// The picture becomes the file's bitmap, at its own size, when the skin has the file.
bool PlainLoad(const SkinFiles& skin, std::string_view file, Picture& picture) {
  const auto path = skin.Find(file);
  if (!path) return true;
  QImage image = ReadSkinFile(*path);
  if (image.isNull()) return false;
  picture.SetImage(std::move(image));
  return true;
}

// The piece is drawn on the skin's empty square, which shows wherever the piece's bitmap has the
// colour of its bottom-left pixel.
bool PieceLoad(const SkinFiles& skin, std::string_view file, Picture& picture) {
  if (!PlainLoad(skin, kEmptySquareFile, picture)) return false;
  const auto path = skin.Find(file);
  if (!path) return true;
  QImage piece = ReadSkinFile(*path);
  if (piece.isNull()) return false;
  Canvas(&picture.image()).Draw(0, 0, Picture(std::move(piece), true));
  return true;
}

// The button is shown a square wide; with its file it shows the glyph on the frame tile, or on a
// white square outlined by the pen when the skin has no frame tile. Without its file it keeps
// whatever picture it had, and takes clicks all the same.
bool ButtonLoad(const SkinFiles& skin, std::string_view file, PictureControl& button, int size) {
  button.show();
  button.resize(size, size);
  const auto path = skin.Find(file);
  if (!path) return true;
  Picture& picture = button.picture();
  if (picture.isNull()) picture.SetImage(QImage(button.size(), QImage::Format_RGB32));
  Canvas& canvas = button.canvas();
  canvas.brush_color = kWhite;
  canvas.brush_style = BrushStyle::kSolid;
  canvas.Rectangle(0, 0, button.width(), button.height());
  if (!PlainLoad(skin, kFrameTileFile, picture)) return false;
  QImage glyph = ReadSkinFile(*path);
  if (glyph.isNull()) return false;
  canvas.Draw(0, 0, Picture(std::move(glyph), true));
  button.update();
  return true;
}

Picture* PictureOf(TForm1& window, SkinImage image) {
  switch (image) {
    case SkinImage::Im0:
      return &window.Im0;
    case SkinImage::Im1:
      return &window.Im1;
    case SkinImage::Im2:
      return &window.Im2;
    case SkinImage::Im3:
      return &window.Im3;
    case SkinImage::Imm1:
      return &window.Imm1;
    case SkinImage::Imm2:
      return &window.Imm2;
    case SkinImage::Imcadre:
      return &window.Imcadre;
    case SkinImage::Imageamie:
      return window.editor() != nullptr ? &window.editor()->Imageamie : nullptr;
    default:
      return nullptr;
  }
}

PictureControl* ButtonOf(TForm1& window, SkinImage image) {
  switch (image) {
    case SkinImage::SORTI:
      return window.SORTI;
    case SkinImage::MINIMISER:
      return window.MINIMISER;
    case SkinImage::bskins:
      return window.bskins;
    case SkinImage::BOUVRIR:
      return window.BOUVRIR;
    case SkinImage::bsauvegarder:
      return window.bsauvegarder;
    default:
      return nullptr;
  }
}

bool Load(TForm1& window, const SkinFiles& skin, const SkinLoad& load) {
  if (load.kind == LoadKind::kButton) {
    return ButtonLoad(skin, load.file, *ButtonOf(window, load.image), window.state().square_size);
  }
  Picture* picture = PictureOf(window, load.image);
  if (picture == nullptr) return true;
  if (load.kind == LoadKind::kPiece) return PieceLoad(skin, load.file, *picture);
  return PlainLoad(skin, load.file, *picture);
}

// Shows the window again with its client area where it was: the board stays in place on the
// screen, whatever place the window manager would choose for a window that appears.
void ShowAgain(TForm1& window, const QRect& client) {
  window.setGeometry(client);
  window.show();
}

// On X11 the window's mask is its shape on the screen: what it leaves out already shows what lies
// behind, without a window of 32-bit pixels (which openbox moved by twice the drag, now and then).
bool ShapedBySystem() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// Changing the frame hides the window; a window that was on screen comes back. True when the
// window was hidden and shown again so. Elsewhere the frameless window is translucent where it
// draws nothing; its native window is made anew with the new frame, which takes the new background.
bool SetFrameless(TForm1& window, bool frameless) {
  const Qt::WindowFlags flags = frameless ? window.windowFlags() | Qt::FramelessWindowHint
                                          : window.windowFlags() & ~Qt::FramelessWindowHint;
  if (flags == window.windowFlags()) return false;
  const bool shown = window.isVisible();
  const QRect client = window.geometry();
  if (!ShapedBySystem()) {
    window.setAttribute(Qt::WA_TranslucentBackground, frameless);
    if (!frameless) window.setAttribute(Qt::WA_NoSystemBackground, false);
  }
  window.setWindowFlags(flags);
  if (shown) ShowAgain(window, client);
  return shown;
}

// Hidden menus keep their shortcuts (F2, Ctrl+S, Ctrl+F1): their items also belong to the window
// itself, which Qt then takes as where the shortcuts apply.
void ShowMenus(TForm1& window, bool visible) {
  for (QAction* menu : window.menuBar()->actions()) {
    menu->setVisible(visible);
    if (!visible && menu->menu() != nullptr) window.addActions(menu->menu()->actions());
  }
}

void ShowControls(TForm1& window, bool visible) {
  for (QWidget* control : std::initializer_list<QWidget*>{window.Chec1, window.Gauge1,
                                                          window.Gauge2, window.BitBtn1}) {
    control->setVisible(visible);
  }
}

void HideWindowButtons(TForm1& window) {
  for (PictureControl* button :
       {window.bsauvegarder, window.BOUVRIR, window.MINIMISER, window.SORTI, window.bskins}) {
    button->hide();
  }
}

QColor ButtonFace(const TForm1& window) { return window.palette().color(QPalette::Window); }

// The frame takes the window's colour: its tile is painted over whole.
void PaintFrameTile(TForm1& window) {
  Canvas canvas(&window.Imcadre.image());
  canvas.brush_color = canvas.pen_color = ButtonFace(window);
  canvas.brush_style = BrushStyle::kSolid;
  canvas.Rectangle(0, 0, window.Imcadre.width(), window.Imcadre.height());
}

void SetStandardChrome(TForm1& window) {
  SetFrameless(window, false);
  window.surface->SetWindowColor(ButtonFace(window));
  ShowMenus(window, true);
  HideWindowButtons(window);
  ShowControls(window, true);
}

// True when the window was hidden and shown again for its new frame.
bool SetSkinnedChrome(TForm1& window) {
  const bool shown_again = SetFrameless(window, true);
  window.surface->SetWindowColor(kWhite);
  ShowMenus(window, false);
  ShowControls(window, false);
  return shown_again;
}

void Repaint(TForm1& window) {
  window.surface->canvas().brush_style = BrushStyle::kClear;
  window.surface->Repaint();
}

}  // namespace

// A bad bitmap stops the skin at that file, after saying so; what was applied before it stays.
// With no skin selected there is nothing to apply.
bool TForm1::ApplySkin(const std::string& skin_name) {
  if (skin_name.empty()) return true;
  const SkinLook look = LookOf(skin_name);
  const SkinFiles skin(FindSkinFolder(file_places, skin_name));
  if (window_shape_ == nullptr) window_shape_ = new WindowShape(*this);
  window_shape_->SetActive(look == SkinLook::kSkinned);
  bool shown_again = false;
  if (look == SkinLook::kStandard) {
    SetStandardChrome(*this);
  } else {
    shown_again = SetSkinnedChrome(*this);
  }
  for (const SkinLoad& load : SkinLoads(look)) {
    if (!Load(*this, skin, load)) {
      application_.ShowMessage(this, QStringLiteral("Image bitmap incorrecte"));
      return false;
    }
  }
  if (look == SkinLook::kStandard) PaintFrameTile(*this);
  Repaint(*this);
  // The window is hidden and shown again once: twice in a row races the window manager, which
  // may leave it withdrawn.
  if (look == SkinLook::kSkinned && !shown_again) {
    const QRect client = geometry();
    hide();
    ShowAgain(*this, client);
  }
  window_shape_->Schedule();
  return true;
}

}  // namespace zelbo
