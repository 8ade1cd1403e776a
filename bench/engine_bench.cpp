// SPDX-License-Identifier: GPL-3.0-or-later
// The search engine's figures: perft 8 from the opening, the search's speed and depth at 50 ms
// over the corpus, the reply time at 50 ms as zelbo-cli sees it (the whole LevelReply after a
// click), heap allocations inside the searches, and the search's signature by depth.
//
//   zelbo_engine_bench [--runs N] [--ms MS]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "corpus.h"
#include "engine/level_turn.h"
#include "engine/perft.h"

// Every allocation of the program goes through here and is counted.
namespace {
std::atomic<unsigned long long> allocations{0};
}  // namespace
void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(std::max<std::size_t>(size, 1))) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace zelbo::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The value at fraction q of the sorted values.
double Quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(at, values.size() - 1)];
}

void PerftFigures(int runs) {
  Board opening{};
  SetupInitialPosition(opening);
  const engine::Position start = engine::PositionOf(opening, kPlayerSide);
  std::vector<double> times;
  uint64_t count = 0;
  for (int run = 0; run < runs; ++run) {
    const auto begin = Clock::now();
    count = engine::Perft(start, 8);
    times.push_back(Milliseconds(Clock::now() - begin));
  }
  std::printf(
      "perft 8 = %llu: median %.0f ms (fastest %.0f, slowest %.0f) over %d runs, "
      "%.1f M leaves/s\n",
      static_cast<unsigned long long>(count), Quantile(times, 0.5), Quantile(times, 0),
      Quantile(times, 1), runs, static_cast<double>(count) / Quantile(times, 0.5) / 1000);
}

// The processor time this thread has used, in milliseconds: unlike the clock on the wall, it
// hardly depends on what else the machine runs.
double ThreadMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void SearchFigures(const Corpus& corpus, int ms, uint64_t nodes) {
  Engine engine;
  engine::SearchLimits limits;
  limits.milliseconds = nodes > 0 ? 0 : ms;
  limits.nodes = nodes;
  const engine::EvalWeights weights = SettingsOf(LevelCount()).weights;
  std::vector<double> nps, cpu_nps, depths;
  nps.reserve(corpus.positions.size());
  cpu_nps.reserve(corpus.positions.size());
  depths.reserve(corpus.positions.size());
  int decided = 0;
  const unsigned long long allocations_before = allocations.load();
  for (const auto& position : corpus.positions) {
    const auto begin = Clock::now();
    const double cpu_begin = ThreadMilliseconds();
    const engine::SearchResult result =
        engine.Search(position.board, kComputerSide, limits, weights);
    const double cpu = ThreadMilliseconds() - cpu_begin;
    const double elapsed = Milliseconds(Clock::now() - begin);
    if (!result.has_move || result.depth == 0) continue;  // no move, or only one
    // A won or lost position ends its search early: its depth says nothing of the speed.
    if (std::abs(result.score) > engine::kMateBound) {
      ++decided;
      continue;
    }
    nps.push_back(static_cast<double>(result.nodes) / elapsed * 1000);
    cpu_nps.push_back(static_cast<double>(result.nodes) / std::max(cpu, 1e-3) * 1000);
    depths.push_back(result.depth);
  }
  const unsigned long long searched_allocations = allocations.load() - allocations_before;
  const std::string limit =
      nodes > 0 ? "of " + std::to_string(nodes) + " nodes" : "at " + std::to_string(ms) + " ms";
  std::printf(
      "search %s over %zu undecided positions with a choice (%d decided left out): "
      "%.2f M nodes/s median (10%% %.2f, 90%% %.2f), %.2f M nodes per second of processor "
      "time; depth median %.0f (min %.0f, max %.0f)\n",
      limit.c_str(), nps.size(), decided, Quantile(nps, 0.5) / 1e6, Quantile(nps, 0.1) / 1e6,
      Quantile(nps, 0.9) / 1e6, Quantile(cpu_nps, 0.5) / 1e6, Quantile(depths, 0.5),
      Quantile(depths, 0), Quantile(depths, 1));
  std::printf("heap allocations inside those searches: %llu\n", searched_allocations);
}

void ReplyFigures(const Corpus& corpus, int ms) {
  Engine engine;
  SilentPort port;
  GameState state;
  std::vector<double> times;
  times.reserve(corpus.positions.size());
  for (const auto& position : corpus.positions) {
    SetUpTurn(state, position.board);
    state.level = LevelCount();
    state.execution_time = ms;
    state.history.clear();
    state.history_count = 0;
    const auto begin = Clock::now();
    LevelReply(state, port, engine);
    times.push_back(Milliseconds(Clock::now() - begin));
  }
  std::printf(
      "top level's reply at %d ms (LevelReply, as zelbo-cli runs it) over %zu positions: "
      "median %.1f ms, 95th percentile %.1f ms, slowest %.1f ms\n",
      ms, times.size(), Quantile(times, 0.5), Quantile(times, 0.95), Quantile(times, 1));
}

}  // namespace
}  // namespace zelbo::bench

int main(int argc, char** argv) {
  using namespace zelbo::bench;
  int runs = 7;
  int ms = 50;
  uint64_t nodes = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    if (option == "--runs") {
      runs = std::max(1, std::atoi(argv[i + 1]));
    } else if (option == "--nodes") {
      nodes = std::strtoull(argv[i + 1], nullptr, 10);
    } else if (option == "--ms") {
      ms = std::max(1, std::atoi(argv[i + 1]));
    } else {
      std::fprintf(stderr, "usage: zelbo_engine_bench [--runs N] [--ms MS]\n");
      return 2;
    }
  }
  const Corpus corpus = ReadCorpus(ZELBO_CORPUS_FILE);
  if (!corpus.error.empty()) {
    std::fprintf(stderr, "zelbo_engine_bench: %s\n", corpus.error.c_str());
    return 1;
  }
  if (nodes > 0) {
    SearchFigures(corpus, ms, nodes);
    return 0;
  }
  PerftFigures(runs);
  SearchFigures(corpus, ms, 0);
  ReplyFigures(corpus, ms);
  std::printf("signature by depth 4: %llu\n",
              static_cast<unsigned long long>(EngineSignature(corpus.positions, 4)));
  return 0;
}
