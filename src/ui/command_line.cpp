// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace zelbo {
namespace {

constexpr std::string_view kUsageLine =
    "usage: zelbo [--help | --version] [--] [FILE.KRP | FILE.pdn]\n";

QString Decoded(const char* argument) { return QString::fromLocal8Bit(argument); }

// The bytes of each positional argument the parser found, in order. Every other argument is an
// option of the program or the "--" before the files, and only the files read as the parser's
// positional texts in that order.
std::vector<const char*> RawFiles(std::span<char* const> arguments, const QStringList& files) {
  std::vector<const char*> raw;
  for (std::size_t i = 1; i < arguments.size() && raw.size() < std::size_t(files.size()); ++i) {
    if (Decoded(arguments[i]) == files[qsizetype(raw.size())]) raw.push_back(arguments[i]);
  }
  return raw;
}

std::string HelpText(const QCommandLineParser& parser) {
  QString text = parser.helpText();
  text.replace(QStringLiteral("<executable_name>"), QStringLiteral("zelbo"));
  return text.toStdString();
}

// A platform of Qt that needs a window system reached through DISPLAY or WAYLAND_DISPLAY.
bool NeedsDisplay(QStringView platform) {
  return platform == u"xcb" || platform.startsWith(u"wayland");
}

// Qt's message handler before UnreachableDisplayExit's, which gets every other message.
QtMessageHandler qt_message_handler = nullptr;

std::string ValueOf(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string("=") + value : " unset";
}

void ExitWhenNoPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg && text.contains(QStringLiteral("platform plugin"))) {
    std::fprintf(stderr,
                 "zelbo: no window can be opened: the display cannot be reached (DISPLAY%s, "
                 "WAYLAND_DISPLAY%s)\n",
                 ValueOf("DISPLAY").c_str(), ValueOf("WAYLAND_DISPLAY").c_str());
    std::fflush(stderr);
    std::_Exit(1);
  }
  qt_message_handler(type, context, text);
}

}  // namespace

CommandLine ParseCommandLine(std::span<char* const> arguments, std::string_view version) {
  QCommandLineParser parser;
  // "-reverse" is one unknown option, not seven letters.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QStringLiteral(
      "Draughts against the computer on an 8 x 8 board, with a French-language interface.\n"
      "Qt's own options are not taken: QT_QPA_PLATFORM, QT_STYLE_OVERRIDE, QT_SCALE_FACTOR and\n"
      "Qt's other environment variables set the window system and the look."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Shows this help and exits."));
  const QCommandLineOption show_version({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Shows the version and exits."));
  parser.addOption(help);
  parser.addOption(show_version);
  parser.addPositionalArgument(
      QStringLiteral("FILE"),
      QStringLiteral("A saved position (FILE.KRP) or a whole game in PDN (FILE.pdn) to open at "
                     "start (after --, a name that starts with -)."),
      QStringLiteral("[FILE.KRP | FILE.pdn]"));

  QStringList texts;
  for (const char* argument : arguments) texts.append(Decoded(argument));
  CommandLine line;
  if (!parser.parse(texts)) {
    line.outcome = CommandLine::Outcome::kBadUsage;
    line.text = "zelbo: " + parser.errorText().toStdString() + "\n" + std::string(kUsageLine);
  } else if (parser.isSet(help)) {
    line.outcome = CommandLine::Outcome::kHelp;
    line.text = HelpText(parser);
  } else if (parser.isSet(show_version)) {
    line.outcome = CommandLine::Outcome::kVersion;
    line.text = "zelbo " + std::string(version) + "\n";
  } else if (const auto files = RawFiles(arguments, parser.positionalArguments()); !files.empty()) {
    // As designed, the first file named is opened and any other is not looked at.
    line.saved_game = std::filesystem::path(files.front());
  }
  return line;
}

std::optional<std::string> MissingDisplay(const std::function<const char*(const char*)>& variable) {
  const auto set = [&variable](const char* name) {
    const char* value = variable(name);
    return value != nullptr && *value != '\0';
  };
  if (set("DISPLAY") || set("WAYLAND_DISPLAY")) return std::nullopt;
  // QT_QPA_PLATFORM lists the platforms Qt tries in turn, each with its options after ':'.
  const QString platforms = set("QT_QPA_PLATFORM")
                                ? QString::fromLocal8Bit(variable("QT_QPA_PLATFORM"))
                                : QStringLiteral("xcb");
  for (const QString& entry : platforms.split(u';', Qt::SkipEmptyParts)) {
    if (!NeedsDisplay(QStringView(entry).left(entry.indexOf(u':')))) return std::nullopt;
  }
  return "zelbo: no window can be opened: neither DISPLAY nor WAYLAND_DISPLAY is set "
         "(zelbo-cli plays the game in a terminal)";
}

UnreachableDisplayExit::UnreachableDisplayExit() {
  qt_message_handler = qInstallMessageHandler(ExitWhenNoPlatform);
}

UnreachableDisplayExit::~UnreachableDisplayExit() { qInstallMessageHandler(qt_message_handler); }

}  // namespace zelbo
