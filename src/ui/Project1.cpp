// SPDX-License-Identifier: GPL-3.0-or-later
// Program start: the application, then the four windows in their order, only the board window
// shown, and the message loop until the board window closes.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <filesystem>
#include <optional>

#include "help/answers.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/platform/application.h"
#include "ui/platform/dialogs.h"

int main(int argc, char** argv) {
  QApplication qt_application(argc, argv);
  // The desktop entry that launches the program, so that the desktop shows its name and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.zelbo.zelbo"));
  QTranslator translator;
  // The standard dialogs speak French when Qt's translation is installed, English otherwise.
  if (translator.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&translator);
  }

  zelbo::QtDialogs dialogs;
  zelbo::Application application(dialogs);
  // The file named first on the command line, Qt's own options taken out by now: its bytes as
  // given, since a file name need not be text that Qt's arguments could carry back.
  std::optional<std::filesystem::path> saved_game;
  if (argc > 1) saved_game = std::filesystem::path(argv[1]);

  zelbo::TForm1 board_window(application, saved_game);
  zelbo::TForm2 editor(application, board_window);
  zelbo::TForm3 skins(application, board_window);
  zelbo::TForm4 help(application, board_window.file_places.FolderHolding(zelbo::kAnswersFileName));
  board_window.SetWindows(&editor, &skins, &help);
  // Closing the board window ends the program, whatever other window is open.
  for (QWidget* window : std::initializer_list<QWidget*>{&editor, &skins, &help}) {
    window->setAttribute(Qt::WA_QuitOnClose, false);
  }
  board_window.show();
  QObject::connect(&qt_application, &QApplication::lastWindowClosed, &qt_application,
                   &QApplication::quit);
  return QApplication::exec();
}
