// SPDX-License-Identifier: GPL-3.0-or-later
// The experience store at sizes far beyond what anyone draws by hand: matching the board against
// 100,000 records that all miss, loading a 100,000-record file (19.8 MB), and adding one record to
// a 10,000-record store with the save that follows.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "computer/experience_matching.h"
#include "experience/experience_editing.h"
#include "experience/experience_file.h"
#include "game/board.h"
#include "game/game_state.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;

class SilentPort : public BoardWindowPort {
 public:
  void DrawBoard() override {}
  void SetApplicationTitle(std::string_view) override {}
  void ShowMessage(std::string_view) override { ++messages; }
  void ShowErrorDialog(std::string_view) override {}
  void SetGauges(int, int) override {}
  void SetPanelVisible(bool) override {}
  void SetTakeBackCaption(std::string_view) override {}
  bool IsComputerChecked() const override { return true; }
  bool IsExperienceChecked() const override { return true; }
  int messages = 0;
};

Board Opening() {
  Board board{};
  SetupInitialPosition(board);
  return board;
}

// Records of the opening position, each with `differing` playable squares changed to another
// exact code, drawn from the columns `first_column` to 8; the move is a plain step.
std::vector<ExperienceRecord> MissingRecords(std::size_t count, int differing, int first_column) {
  std::mt19937 random(20240601);
  std::uniform_int_distribution<int> column(first_column, 8);
  std::uniform_int_distribution<int> row(1, 8);
  std::vector<ExperienceRecord> records(count, {Opening(), MakeSquare(3, 3), MakeSquare(4, 4), 0});
  for (ExperienceRecord& record : records) {
    for (int changed = 0; changed < differing;) {
      const int c = column(random), r = row(random);
      if ((c + r) % 2 != 0) continue;
      const CellCode code = record.pattern.Code(c, r);
      record.pattern.SetCode(c, r, code == kEmpty ? kPlayerKing : kEmpty);
      ++changed;
    }
  }
  return records;
}

GameState StateWith(std::vector<ExperienceRecord> records) {
  GameState state;
  state.board = Opening();
  state.side_to_move = kComputerSide;
  state.experience_list = std::move(records);
  state.experience_count = static_cast<uint32_t>(state.experience_list.size());
  return state;
}

// A folder of its own under the system's temporary folder, removed at the end.
struct ScratchFolder {
  ScratchFolder()
      : path(fs::temp_directory_path() / ("zelbo-experience-bench-" + std::to_string(::getpid()))) {
    fs::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path;
};

void Match(benchmark::State& bench, int first_column) {
  GameState state = StateWith(MissingRecords(100'000, 3, first_column));
  SilentPort port;
  for (auto _ : bench) {
    bool move_played = false;
    PlayExperience(state, port, move_played);
    benchmark::DoNotOptimize(move_played);
  }
  if (port.messages != 0) bench.SkipWithError("a record matched");
}

// Three squares anywhere on the board differ.
void BM_MatchNoneOf100000(benchmark::State& bench) { Match(bench, 1); }
BENCHMARK(BM_MatchNoneOf100000)->Unit(benchmark::kMillisecond);

// Only squares of column H differ, so every record is compared almost to its end.
void BM_MatchNoneOf100000DifferingLast(benchmark::State& bench) { Match(bench, 8); }
BENCHMARK(BM_MatchNoneOf100000DifferingLast)->Unit(benchmark::kMillisecond);

void BM_Load100000(benchmark::State& bench) {
  ScratchFolder folder;
  const fs::path path = ExperienceFilePath(folder.path);
  WriteExperienceFile(path, MissingRecords(100'000, 3, 1));
  bench.counters["bytes"] = static_cast<double>(fs::file_size(path));
  SilentPort port;
  for (auto _ : bench) {
    GameState state;
    benchmark::DoNotOptimize(LoadExperienceFile(state, port, path));
    if (state.experience_count != 100'000) bench.SkipWithError("wrong count");
  }
}
BENCHMARK(BM_Load100000)->Unit(benchmark::kMillisecond);

// The add button: one record appended and the whole store rewritten. It is taken off again
// afterwards so that every round saves 10,001 records.
void BM_AddAndSaveTo10000(benchmark::State& bench) {
  ScratchFolder folder;
  const fs::path path = ExperienceFilePath(folder.path);
  WriteExperienceFile(path, MissingRecords(10'000, 3, 1));
  GameState state;
  SilentPort port;
  LoadExperienceFile(state, port, path);
  for (auto _ : bench) {
    AddExperienceRecord(state);
    SaveExperienceFile(state, port, path);
    state.experience_list.pop_back();
    --state.experience_count;
  }
  if (port.messages != 0) bench.SkipWithError("the save failed");
}
BENCHMARK(BM_AddAndSaveTo10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelbo

BENCHMARK_MAIN();
