// SPDX-License-Identifier: GPL-3.0-or-later
// What a position is worth to the side to move, in hundredths of a man. The terms come from what
// these rules make valuable: kings fly and take from afar, so a king is worth about three men;
// men only go forward, so a man kept on the back row stops the other side's crowning (self-play
// valued it at more than half a man), and a man whose road to the last row no piece of the other
// side can bar is nearly a king; captures are optional, so the mobility to wait
// matters. Ahead in material, the leader gains by trading and by bringing its kings to the
// other side's pieces, so that a won ending is won and not wandered in.
#pragma once

#include "engine/position.h"

namespace zelbo::engine {

struct EvalWeights {
  int man = 100;
  int king = 300;
  int advance[7] = {0, 3, 6, 10, 15, 22, 30};  // a man's rows from its starting edge
  int back_row = 60;    // a man on its own first row, while the other side has men
  int mobility = 5;     // a plain step
  int runaway = 60;     // a man no piece of the other side can stop, less 8 a row to go
  int king_centre = 6;  // a king on the long diagonal or in the centre
  int trade = 6;        // per piece gone, for the side ahead
  int chase = 4;        // per square nearer, for the kings of the side ahead
  int noise = 0;        // deterministic: half-width of a per-position offset

  friend bool operator==(const EvalWeights&, const EvalWeights&) = default;
};

int Evaluate(const Position& position, const EvalWeights& weights);

}  // namespace zelbo::engine
