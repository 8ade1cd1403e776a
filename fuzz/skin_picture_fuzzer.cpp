// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a skin's bitmap, on Qt's offscreen platform: read through the loader every skin
// picture goes through, from a file and from memory, then as one of the twelve files of a skin
// that the board window applies. The last byte chooses the file and the look.
//
// What must hold: a picture either loads within 1024 x 1024 or is refused, alike from a file and
// from memory; and applying the skin says "Image bitmap incorrecte" and fails exactly when the
// look loads that file and the loader refuses it.
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <array>
#include <memory>

#include "fuzz_support.h"
#include "skins/skin_folder.h"
#include "ui/Unit1.h"
#include "ui/platform/application.h"
#include "ui/platform/dialogs.h"
#include "ui/skin_picture.h"

namespace zelbo::fuzz {
namespace {

constexpr std::array<std::string_view, 12> kSkinFiles = {"1.bmp", "2.bmp", "3.bmp", "4.bmp",
                                                         "5.bmp", "6.bmp", "c.bmp", "f.bmp",
                                                         "m.bmp", "s.bmp", "o.bmp", "e.bmp"};

// Boxes are written down, never shown; the other dialogs are cancelled.
class QuietDialogs : public Dialogs {
 public:
  std::vector<QString> messages;

 protected:
  void RunMessage(QWidget*, const QString&, const QString& text) override {
    messages.push_back(text);
  }
  void RunErrorDialog(QWidget*, const QString& text) override { messages.push_back(text); }
  std::optional<QString> RunInputQuery(QWidget*, const QString&, const QString&,
                                       const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> RunOpenFileDialog(QWidget*, const FileDialogOptions&) override {
    return std::nullopt;
  }
  std::optional<QString> RunSaveFileDialog(QWidget*, const FileDialogOptions&) override {
    return std::nullopt;
  }
  bool RunQuestion(QWidget*, const QString&, const QString&) override { return false; }
};

struct World {
  QuietDialogs dialogs;
  Application application{dialogs};
  std::unique_ptr<TForm1> window;
};

World* world = nullptr;

bool Accepted(const QImage& image) {
  return image.width() >= 1 && image.height() >= 1 && image.width() <= kMaxSkinBitmapSide &&
         image.height() <= kMaxSkinBitmapSide;
}

void Run(std::span<const uint8_t> bytes) {
  const QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                        static_cast<qsizetype>(bytes.size()));
  QBuffer buffer;
  buffer.setData(data);
  const QImage from_memory = ReadSkinBitmap(buffer);
  ZELBO_CHECK(from_memory.isNull() || Accepted(from_memory),
              std::to_string(from_memory.width()) + "x" + std::to_string(from_memory.height()));

  const uint8_t choice = bytes.empty() ? 0 : bytes.back();
  const std::string_view file = kSkinFiles[choice % kSkinFiles.size()];
  const std::string skin = (choice & 0x80) ? "Standard fuzz" : "fuzz";
  const std::filesystem::path folder = ScratchFolder() / "SKIN" / skin;
  std::filesystem::remove_all(ScratchFolder() / "SKIN");
  std::filesystem::create_directories(folder);
  WriteWholeFile(folder / file, bytes);

  QFile device(QString::fromStdString((folder / file).string()));
  const QImage from_file = ReadSkinBitmap(device);
  ZELBO_CHECK(from_file.isNull() == from_memory.isNull(), "file and memory disagree");
  ZELBO_CHECK(from_file.isNull() || from_file == from_memory, "file and memory disagree");

  const auto loads = SkinLoads(LookOf(skin));
  const bool loaded_by_look = std::any_of(loads.begin(), loads.end(),
                                          [&](const SkinLoad& load) { return load.file == file; });
  world->dialogs.messages.clear();
  const bool applied = world->window->ApplySkin(skin);
  const bool refused = loaded_by_look && from_file.isNull();
  ZELBO_CHECK(applied == !refused, std::string(file) + " in " + skin);
  const std::vector<QString> expected =
      refused ? std::vector<QString>{QStringLiteral("Image bitmap incorrecte")}
              : std::vector<QString>{};
  ZELBO_CHECK(world->dialogs.messages == expected,
              world->dialogs.messages.empty() ? "" : world->dialogs.messages[0].toStdString());
}

}  // namespace
}  // namespace zelbo::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(*argc, *argv);
  using zelbo::fuzz::world;
  world = new zelbo::fuzz::World;
  world->window = std::make_unique<zelbo::TForm1>(world->application, std::nullopt,
                                                  zelbo::fuzz::ScratchFolder());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelbo::fuzz::Run(std::span<const uint8_t>(data, size));
  return 0;
}
