// SPDX-License-Identifier: GPL-3.0-or-later
// The board window with a skin applied, for skin_test.py to look at on a compositor:
//     zelbo_skinned_window FOLDER SKIN
// FOLDER holds SKIN/<SKIN>; the window opens, takes the skin, and stays until it is closed.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "ui/Unit1.h"
#include "ui/platform/application.h"
#include "ui/platform/dialogs.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zelbo_skinned_window FOLDER SKIN\n");
    return 2;
  }
  QApplication qt_application(argc, argv);
  zelbo::QtDialogs dialogs;
  zelbo::Application application(dialogs);
  zelbo::TForm1 window(application, std::nullopt,
                       zelbo::FilePlaces(std::filesystem::path(argv[1])));
  window.show();
  if (!window.ApplySkin(argv[2])) return 1;
  // Said once the window has been drawn with its skin.
  QTimer::singleShot(500, [] {
    std::printf("skinned\n");
    std::fflush(stdout);
  });
  return zelbo::FinishApplication(QApplication::exec());
}
