// SPDX-License-Identifier: GPL-3.0-or-later
#include "corpus.h"

#include <fstream>

#include "computer/computer_turn.h"
#include "engine/levels.h"
#include "game/notation.h"

namespace zelbo::bench {
namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

void Digest(uint64_t& hash, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= kFnvPrime;
  }
}

}  // namespace

Corpus ReadCorpus(const std::string& path) {
  Corpus corpus;
  std::ifstream in(path);
  if (!in) {
    corpus.error = "cannot open " + path;
    return corpus;
  }
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    if (text.empty() || text[0] == '#') continue;
    const auto board = ParseBoardLine(text);
    if (!board) {
      corpus.error = path + ":" + std::to_string(line) + ": not a board line";
      return corpus;
    }
    corpus.positions.push_back({*board, line});
  }
  return corpus;
}

void SetUpTurn(GameState& state, const Board& board) {
  state.board = board;
  state.side_to_move = kComputerSide;
  state.game_over = false;
  state.player_capture_score = 0;
  state.computer_capture_score = 0;
}

uint64_t CorpusSignature(const std::vector<CorpusPosition>& positions) {
  SilentPort port;
  GameState state;
  uint64_t hash = kFnvOffset;
  for (const auto& position : positions) {
    SetUpTurn(state, position.board);
    ComputerTurn(state, port);
    const uint8_t tail[] = {static_cast<uint8_t>(state.side_to_move),
                            static_cast<uint8_t>(state.game_over), state.player_capture_score,
                            state.computer_capture_score};
    Digest(hash, &state.board, sizeof(Board));
    Digest(hash, tail, sizeof tail);
  }
  return hash;
}

uint64_t EngineSignature(const std::vector<CorpusPosition>& positions, int depth,
                         std::size_t table_entries) {
  Engine engine(table_entries);
  engine::SearchLimits limits;
  limits.depth = depth;
  const engine::EvalWeights weights = SettingsOf(LevelCount()).weights;
  uint64_t hash = kFnvOffset;
  for (const auto& position : positions) {
    const engine::SearchResult result =
        engine.Search(position.board, kComputerSide, limits, weights);
    const engine::Move& m = result.move;
    const int64_t fields[] = {result.has_move, m.from,      m.to, static_cast<int64_t>(m.captured),
                              m.king_after,    result.score};
    Digest(hash, fields, sizeof fields);
  }
  return hash;
}

}  // namespace zelbo::bench
