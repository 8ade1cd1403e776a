// SPDX-License-Identifier: GPL-3.0-or-later
// Times the computer's turn over the corpus and the capture score on a middle game, counts the heap
// allocations made inside turns, and prints the corpus signature.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "computer/capture_search.h"
#include "computer/computer_turn.h"
#include "corpus.h"
#include "game/notation.h"

// Every allocation of the program goes through here and is counted.
namespace {
std::atomic<unsigned long long> allocations{0};

void* CountedAllocation(std::size_t size, std::size_t alignment) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  const std::size_t rounded =
      (std::max<std::size_t>(size, 1) + alignment - 1) / alignment * alignment;
  void* p = alignment <= alignof(std::max_align_t) ? std::malloc(rounded)
                                                   : std::aligned_alloc(alignment, rounded);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
}  // namespace

void* operator new(std::size_t size) { return CountedAllocation(size, alignof(std::max_align_t)); }
void* operator new[](std::size_t size) {
  return CountedAllocation(size, alignof(std::max_align_t));
}
void* operator new(std::size_t size, std::align_val_t a) {
  return CountedAllocation(size, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t size, std::align_val_t a) {
  return CountedAllocation(size, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace zelbo::bench {
namespace {

using Clock = std::chrono::steady_clock;

// A middle game from one of the corpus's random games: eleven pieces a side, some of them attacked.
constexpr const char* kMiddleGame =
    "cxcxcxcx/x.x.xcxc/.xcx.xcx/x.xcx.xp/cxcxpx.x/xpxpxpx./px.xpxpx/x.xpxpxp";

Board MiddleGame() { return ParseBoardLine(kMiddleGame).value(); }

struct Summary {
  double median_us = 0;
  double max_us = 0;
  int slowest_line = 0;
  double capture_score_us = 0;
  unsigned long long turns = 0;
  unsigned long long turn_allocations = 0;
  uint64_t signature = 0;
};

Corpus& TheCorpus() {
  static Corpus corpus = ReadCorpus(ZELBO_CORPUS_FILE);
  return corpus;
}

Summary& TheSummary() {
  static Summary summary;
  return summary;
}

// The best of several batches, so that another program's use of the machine counts least.
template <typename Work>
double MicrosecondsPerCall(int batches, int calls, Work work) {
  double best = 1e300;
  for (int batch = 0; batch < batches; ++batch) {
    const auto start = Clock::now();
    for (int call = 0; call < calls; ++call) work();
    const std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
    best = std::min(best, elapsed.count() / calls);
  }
  return best;
}

Summary Measure(const Corpus& corpus) {
  constexpr int kBatches = 7;
  constexpr int kTurnsPerBatch = 20;
  Summary summary;
  SilentPort port;
  GameState state;
  std::vector<double> times;
  times.reserve(corpus.positions.size());
  const unsigned long long allocations_before = allocations.load();
  for (const auto& position : corpus.positions) {
    const double us = MicrosecondsPerCall(kBatches, kTurnsPerBatch, [&] {
      SetUpTurn(state, position.board);
      ComputerTurn(state, port);
    });
    times.push_back(us);
    if (us > summary.max_us) {
      summary.max_us = us;
      summary.slowest_line = position.line;
    }
  }
  summary.turn_allocations = allocations.load() - allocations_before;
  summary.turns =
      static_cast<unsigned long long>(corpus.positions.size()) * kBatches * kTurnsPerBatch;
  std::vector<double> sorted = times;
  std::sort(sorted.begin(), sorted.end());
  const std::size_t n = sorted.size();
  summary.median_us = n == 0 ? 0 : n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;

  Board board = MiddleGame();
  summary.capture_score_us = MicrosecondsPerCall(
      kBatches, 20000, [&] { benchmark::DoNotOptimize(CaptureScore(board, kPlayerSide)); });
  summary.signature = CorpusSignature(corpus.positions);
  return summary;
}

void BM_ComputerTurnCorpus(benchmark::State& state) {
  const Corpus& corpus = TheCorpus();
  SilentPort port;
  GameState game;
  for (auto _ : state) {
    for (const auto& position : corpus.positions) {
      SetUpTurn(game, position.board);
      ComputerTurn(game, port);
      benchmark::DoNotOptimize(game.board);
    }
  }
  const Summary& summary = TheSummary();
  const auto positions = static_cast<double>(corpus.positions.size());
  state.counters["positions"] = positions;
  state.counters["turn"] = benchmark::Counter(
      positions, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["median_us"] = summary.median_us;
  state.counters["max_us"] = summary.max_us;
  state.counters["allocations"] = static_cast<double>(summary.turn_allocations);
}
BENCHMARK(BM_ComputerTurnCorpus)->Unit(benchmark::kMicrosecond);

void BM_CaptureScoreMiddleGame(benchmark::State& state) {
  Board board = MiddleGame();
  for (auto _ : state) benchmark::DoNotOptimize(CaptureScore(board, kPlayerSide));
}
BENCHMARK(BM_CaptureScoreMiddleGame);

}  // namespace
}  // namespace zelbo::bench

int main(int argc, char** argv) {
  using namespace zelbo::bench;
  const Corpus& corpus = TheCorpus();
  if (!corpus.error.empty()) {
    std::fprintf(stderr, "zelbo_bench: %s\n", corpus.error.c_str());
    return 1;
  }
  TheSummary() = Measure(corpus);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  const Summary& summary = TheSummary();
  std::printf("corpus: %zu positions (%s)\n", corpus.positions.size(), ZELBO_CORPUS_FILE);
  std::printf("ComputerTurn per position: median %.2f us, max %.2f us (corpus line %d)\n",
              summary.median_us, summary.max_us, summary.slowest_line);
  std::printf("CaptureScore on the middle game: %.3f us\n", summary.capture_score_us);
  std::printf("heap allocations inside %llu turns: %llu\n", summary.turns,
              summary.turn_allocations);
  std::printf("signature: %llu\n", static_cast<unsigned long long>(summary.signature));
  return 0;
}
