// SPDX-License-Identifier: GPL-3.0-or-later
// zelbo's command line, read from the arguments exactly as the program was given them: its own
// options (--help, --version) and the saved game to open. Qt is given none of them, so a saved
// game's name never becomes one of Qt's options and none of Qt's options is taken silently; the
// window system is chosen through Qt's environment variables (QT_QPA_PLATFORM and the others).
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zelbo {

struct CommandLine {
  enum class Outcome { kRun, kHelp, kVersion, kBadUsage };
  Outcome outcome = Outcome::kRun;
  // The first file named, its bytes as given, for the board window to open at start.
  std::optional<std::filesystem::path> saved_game;
  // The help text or the version line for standard output; what was wrong for standard error.
  std::string text;
};

// `arguments` holds the program's name first, as main receives it.
CommandLine ParseCommandLine(std::span<char* const> arguments, std::string_view version);

// The one line the program ends with when the window system it would use has nowhere to show a
// window: neither DISPLAY nor WAYLAND_DISPLAY is set and QT_QPA_PLATFORM names no other platform.
// No value when a window can be tried. `variable` reads the environment (null for unset).
std::optional<std::string> MissingDisplay(const std::function<const char*(const char*)>& variable);

// While one lives, Qt finding no window system it can reach (a DISPLAY whose server is gone) ends
// the program with one line and status 1 instead of Qt's abort, which crash reporters record.
class UnreachableDisplayExit {
 public:
  UnreachableDisplayExit();
  ~UnreachableDisplayExit();
  UnreachableDisplayExit(const UnreachableDisplayExit&) = delete;
  UnreachableDisplayExit& operator=(const UnreachableDisplayExit&) = delete;
};

}  // namespace zelbo
