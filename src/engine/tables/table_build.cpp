// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tables/table_build.h"

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>
#include <string>

#include "engine/move_gen.h"

namespace zelbo::engine {
namespace {

constexpr uint8_t kUnsettled = 255;  // a value not known yet
constexpr uint8_t kNoPlan = 255;     // no distance planned yet
constexpr uint8_t kDrawnExit = 255;  // a move out of the pair reaches a draw

// The position the other side had to move before its last move, seen by that side.
TablePosition SeenByTheOther(const TablePosition& v) {
  return {Turned(v.other_kings), Turned(v.other_men), Turned(v.own_kings), Turned(v.own_men)};
}

// Every position of the paired material from which the other side's last move, neither taking
// nor crowning, led here: a king slid back over empty squares, or a man stepped back. These are
// exactly the generator's moves that stay in the pair, played backward.
template <typename Visit>
void ForEachMoveBack(const TablePosition& v, Visit visit) {
  const Bitboard empty = kPlayable & ~(v.own_kings | v.own_men | v.other_kings | v.other_men);
  for (Bitboard b = v.other_kings; b;) {
    const int to = PopFirst(b);
    for (int d = 0; d < 4; ++d) {
      for (int from = Next(to, d); from >= 0 && ((empty >> from) & 1); from = Next(from, d)) {
        TablePosition before = v;
        before.other_kings ^= Bit(to) | Bit(from);
        visit(SeenByTheOther(before));
      }
    }
  }
  // The other side's men go towards row 8: a step of +4 or +5, taken back by -4 or -5.
  for (Bitboard b = v.other_men; b;) {
    const int to = PopFirst(b);
    for (int d = 2; d < 4; ++d) {
      const int from = Next(to, d);
      if (from < 0 || !((empty >> from) & 1)) continue;
      TablePosition before = v;
      before.other_men ^= Bit(to) | Bit(from);
      visit(SeenByTheOther(before));
    }
  }
}

// A move that neither takes nor crowns keeps the material, colours swapped.
bool StaysInPair(const Move& move) {
  return move.captured == 0 && move.king_after == move.king_before;
}

// A 64-bit mix of a value and a salt (SplitMix64's finalizer).
uint64_t Mixed(uint64_t value, uint64_t salt) {
  uint64_t z = value + 0x9E3779B97F4A7C15ull * (salt + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// One material of the pair being built, with the bookkeeping of its retrograde analysis.
struct Work {
  Material material;
  std::vector<uint8_t> value;       // kUnsettled until settled
  std::vector<uint8_t> plan;        // the distance at which it settles, as far as known
  std::vector<uint8_t> moves_left;  // moves in the pair not yet known to lose
  std::vector<uint8_t> exit;        // the longest loss by a move out of the pair, or kDrawnExit

  explicit Work(const Material& m)
      : material(m),
        value(TableSize(m), kUnsettled),
        plan(TableSize(m), kNoPlan),
        moves_left(TableSize(m), 0),
        exit(TableSize(m), 0) {}
};

class PairBuilder {
 public:
  PairBuilder(const TableSet& solved, const Material& material) : solved_(solved) {
    works_.push_back(std::make_unique<Work>(material));
    if (!(material.Swapped() == material)) {
      works_.push_back(std::make_unique<Work>(material.Swapped()));
    }
  }

  std::vector<std::pair<Material, std::vector<uint8_t>>> Run() {
    uint64_t moves_in_pair = 0, moves_back = 0;
    for (auto& work : works_) {
      for (uint64_t i = 0; i < work->value.size(); ++i) Start(*work, i, moves_in_pair, moves_back);
    }
    if (moves_in_pair != moves_back) {
      throw std::runtime_error("tables: the moves backward disagree with the move generator");
    }
    for (int d = 0; d <= last_plan_; ++d) {
      for (auto& work : works_) {
        for (uint64_t i = 0; i < work->value.size(); ++i) {
          if (work->value[i] == kUnsettled && work->plan[i] == d) Settle(*work, i, d);
        }
      }
    }
    std::vector<std::pair<Material, std::vector<uint8_t>>> out;
    for (auto& work : works_) {
      for (uint8_t& v : work->value) {
        if (v == kUnsettled) v = 0;
      }
      out.emplace_back(work->material, std::move(work->value));
    }
    return out;
  }

 private:
  Work& Partner(const Work& work) {
    if (works_.size() == 1) return *works_[0];
    return *works_[&work == works_[0].get() ? 1 : 0];
  }

  void Plan(Work& work, uint64_t i, int distance) {
    if (distance > kLongestTableLine) {
      throw std::runtime_error("tables: a line of more than " + std::to_string(kLongestTableLine) +
                               " plies");
    }
    if (work.plan[i] == kNoPlan || distance < work.plan[i]) {
      work.plan[i] = static_cast<uint8_t>(distance);
      last_plan_ = std::max(last_plan_, distance);
    }
  }

  // The moves of a position: those out of the pair are judged at once from the tables built, those
  // in the pair counted.
  void Start(Work& work, uint64_t i, uint64_t& moves_in_pair, uint64_t& moves_back) {
    const std::optional<TablePosition> view = PositionAt(i, work.material);
    if (!view) {
      work.value[i] = 0;
      return;
    }
    ForEachMoveBack(*view, [&](const TablePosition&) { ++moves_back; });
    const Position position = PositionOfView(*view);
    GenerateMoves(position, moves_);
    if (moves_.empty()) return Plan(work, i, 0);
    int left = 0, longest_exit = 0, shortest_win = 0;
    bool drawn_exit = false;
    for (const Move& move : moves_) {
      if (StaysInPair(move)) {
        ++left;
        continue;
      }
      const TableValue value = ValueBefore(ValueAfter(MakeMove(position, move)));
      if (value.result > 0 && (shortest_win == 0 || value.plies < shortest_win)) {
        shortest_win = value.plies;
      } else if (value.result < 0) {
        longest_exit = std::max(longest_exit, value.plies);
      } else if (value.result == 0) {
        drawn_exit = true;
      }
    }
    moves_in_pair += static_cast<uint64_t>(left);
    work.moves_left[i] = static_cast<uint8_t>(left);
    work.exit[i] = drawn_exit ? kDrawnExit : static_cast<uint8_t>(longest_exit);
    if (shortest_win > 0) {
      Plan(work, i, shortest_win);
    } else if (left == 0 && !drawn_exit) {
      Plan(work, i, longest_exit);
    }
  }

  // The value of the position after a move out of the pair, for the side then to move.
  TableValue ValueAfter(const Position& after) const {
    const TablePosition view = TableView(after);
    if ((view.own_kings | view.own_men) == 0) return {-1, 0};
    const std::optional<TableValue> value = solved_.Probe(view);
    if (!value) throw std::logic_error("tables: a smaller table is missing");
    return *value;
  }

  // The position settles at distance d; the positions a move back reaches learn of it.
  void Settle(Work& work, uint64_t i, int d) {
    work.value[i] = EncodeTableValue({d % 2 == 1 ? 1 : -1, d});
    Work& before = Partner(work);
    const bool lost_here = d % 2 == 0;
    ForEachMoveBack(*PositionAt(i, work.material), [&](const TablePosition& q) {
      const uint64_t j = IndexOf(q, before.material);
      if (before.value[j] != kUnsettled) return;
      if (lost_here) return Plan(before, j, d + 1);
      if (--before.moves_left[j] != 0 || before.exit[j] == kDrawnExit) return;
      if (before.plan[j] == kNoPlan) Plan(before, j, std::max<int>(d + 1, before.exit[j]));
    });
  }

  const TableSet& solved_;
  std::vector<std::unique_ptr<Work>> works_;
  MoveList moves_;
  int last_plan_ = 0;
};

// The positions after every move of 64 positions of each material of up to 4 pieces, summed so
// that the order of the moves does not count.
uint64_t SignatureOfTheGenerator() {
  uint64_t signature = 0;
  MoveList moves;
  const std::vector<Material> materials = MaterialsOf({4, 4});
  for (std::size_t i = 0; i < materials.size(); ++i) {
    const uint64_t size = TableSize(materials[i]);
    for (uint64_t k = 0; k < 64; ++k) {
      const std::optional<TablePosition> view = PositionAt(k * 0x9E3779B1u % size, materials[i]);
      if (!view) continue;
      const Position position = PositionOfView(*view);
      GenerateMoves(position, moves);
      uint64_t sum = static_cast<uint64_t>(moves.size());
      for (const Move& move : moves) {
        const TablePosition after = TableView(MakeMove(position, move));
        sum += Mixed(after.own_kings, 1) + Mixed(after.own_men, 2) + Mixed(after.other_kings, 3) +
               Mixed(after.other_men, 4);
      }
      signature = Mixed(signature ^ sum, i);
    }
  }
  return signature;
}

}  // namespace

bool TableScope::Holds(const Material& m) const {
  if (m.own_kings + m.own_men == 0 || m.other_kings + m.other_men == 0) return false;
  return m.Pieces() <= pieces || (m.Men() == 0 && m.Pieces() <= kings_only_pieces);
}

std::vector<Material> MaterialsOf(const TableScope& scope) {
  std::vector<Material> materials;
  const int most = std::max(scope.pieces, scope.kings_only_pieces);
  for (int n = 2; n <= most; ++n) {
    for (int men = 0; men <= n; ++men) {
      for (int own_men = men; own_men >= 0; --own_men) {
        for (int own_kings = n - men; own_kings >= 0; --own_kings) {
          const Material m{own_kings, own_men, n - men - own_kings, men - own_men};
          if (scope.Holds(m)) materials.push_back(m);
        }
      }
    }
  }
  return materials;
}

void TableSet::Add(const Material& material, std::vector<uint8_t> values) {
  tables_[material.Key()] = std::move(values);
}

const std::vector<uint8_t>* TableSet::Values(const Material& material) const {
  const auto it = tables_.find(material.Key());
  return it == tables_.end() ? nullptr : &it->second;
}

std::optional<TableValue> TableSet::Probe(const TablePosition& view) const {
  const Material material = MaterialOf(view);
  const std::vector<uint8_t>* values = Values(material);
  if (values == nullptr) return std::nullopt;
  return DecodeTableValue((*values)[IndexOf(view, material)]);
}

uint64_t RulesSignature() {
  static const uint64_t signature = SignatureOfTheGenerator();
  return signature;
}

TableSet BuildTables(const TableScope& scope, const TableBuildProgress& progress) {
  TableSet set;
  const std::vector<Material> materials = MaterialsOf(scope);
  int done = 0;
  for (const Material& material : materials) {
    if (set.Values(material) == nullptr) {
      for (auto& [built, values] : PairBuilder(set, material).Run()) {
        set.Add(built, std::move(values));
      }
    }
    ++done;
    if (progress) progress(material, done, static_cast<int>(materials.size()));
  }
  return set;
}

}  // namespace zelbo::engine
