// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/pdn_file.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <span>
#include <utility>
#include <vector>

#include "files/file_io.h"
#include "game/end_of_game.h"

namespace zelbo {
namespace {

constexpr std::string_view kGameEndTitle = "Fin de partie";

std::string EndedMessage(GameResult result) {
  const std::string score(ResultText(result));
  if (result == GameResult::kDraw) return "Partie terminée : nulle (" + score + ").";
  const int winner = result == GameResult::kWhiteWins ? kPlayerSide : kComputerSide;
  return "Partie terminée : " + std::string(SideName(winner)) + " ont gagné (" + score + ").";
}

}  // namespace

std::string TodayForPdn() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[48];
  std::snprintf(date, sizeof date, "%04d.%02d.%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday);
  return date;
}

PdnDefaults PdnDefaultsFor(const GameState& state, const BoardWindowPort& port) {
  PdnDefaults defaults;
  defaults.date = TodayForPdn();
  defaults.black =
      port.IsComputerChecked() ? "Zelbo, niveau " + std::to_string(state.level) : "Joueur 2";
  return defaults;
}

void SavePdnGame(GameState& state, BoardWindowPort& port, const std::filesystem::path& path) {
  std::string why;
  const auto text = PdnText(state.record, PdnDefaultsFor(state, port), &why);
  if (!text) return port.ShowMessage(why);
  try {
    ReplaceKnownFile(state.saved_game_versions, path,
                     {reinterpret_cast<const uint8_t*>(text->data()), text->size()});
  } catch (const IoError& error) {
    port.ShowMessage(error.text());
  }
}

bool OpenPdnGame(GameState& state, BoardWindowPort& port, const std::filesystem::path& path,
                 std::size_t number) {
  PdnReplay replay;
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadWholeFile(path, kMaxPdnBytes);
    replay = ReadPdnGame(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), number);
  } catch (const IoError& error) {
    port.ShowMessage(error.text());
    return false;
  }
  if (!replay.record) {
    port.ShowMessage(replay.error);
    return false;
  }
  RememberFileVersion(state.saved_game_versions, path, {bytes.size(), std::move(bytes)});
  NewGame(state, port);
  port.SetPanelVisible(false);
  const GamePosition last = replay.record->Current();
  state.board = last.board;
  state.side_to_move = last.side;
  state.record = std::move(*replay.record);
  CheckMaterial(state, port);
  NoteResult(state);
  if (!state.game_over && state.record.result() != GameResult::kUnfinished) {
    port.SetApplicationTitle(kGameEndTitle);
    port.ShowMessage(EndedMessage(state.record.result()));
    state.game_over = true;
    port.SetPanelVisible(true);
  }
  port.DrawBoard();
  return true;
}

}  // namespace zelbo
