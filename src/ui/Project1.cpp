// SPDX-License-Identifier: GPL-3.0-or-later
// Program start: the application, then the four windows in their order, only the board window
// shown, and the message loop until the board window closes.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "help/answers.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/command_line.h"
#include "ui/platform/application.h"
#include "ui/platform/dialogs.h"

namespace {

// --help, --version and a bad command line end the program before it needs a display.
std::optional<int> AnswerWithoutWindow(const zelbo::CommandLine& command_line) {
  using Outcome = zelbo::CommandLine::Outcome;
  if (command_line.outcome == Outcome::kHelp || command_line.outcome == Outcome::kVersion) {
    std::cout << command_line.text << std::flush;
    return std::cout ? 0 : 1;
  }
  if (command_line.outcome == Outcome::kBadUsage) {
    std::cerr << command_line.text;
    return 2;
  }
  if (const auto missing = zelbo::MissingDisplay(std::getenv)) {
    std::cerr << *missing << '\n';
    return 1;
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  const zelbo::CommandLine command_line =
      zelbo::ParseCommandLine({argv, static_cast<std::size_t>(argc)}, ZELBO_VERSION);
  if (const auto status = AnswerWithoutWindow(command_line)) return *status;

  // Qt is given the program's name alone: every argument is the program's own.
  int qt_argc = 1;
  char* qt_argv[] = {argv[0], nullptr};
  std::optional<zelbo::UnreachableDisplayExit> unreachable_display(std::in_place);
  QApplication qt_application(qt_argc, qt_argv);
  unreachable_display.reset();
  // The name X11 gives the window's class (the desktop entry's StartupWMClass), whatever the
  // program's file is called.
  QCoreApplication::setApplicationName(QStringLiteral("zelbo"));
  QCoreApplication::setApplicationVersion(QStringLiteral(ZELBO_VERSION));
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
  int status = 0;
  {
    zelbo::TForm1 board_window(application, command_line.saved_game);
    zelbo::TForm2 editor(application, board_window);
    zelbo::TForm3 skins(application, board_window);
    zelbo::TForm4 help(application,
                       board_window.file_places.FolderHolding(zelbo::kAnswersFileName));
    board_window.SetWindows(&editor, &skins, &help);
    // Closing the board window ends the program, whatever other window is open.
    for (QWidget* window : std::initializer_list<QWidget*>{&editor, &skins, &help}) {
      window->setAttribute(Qt::WA_QuitOnClose, false);
    }
    board_window.show();
    QObject::connect(&qt_application, &QApplication::lastWindowClosed, &qt_application,
                     &QApplication::quit);
    status = QApplication::exec();
  }  // the windows go first: a search still running is stopped
  return zelbo::FinishApplication(status);
}
