#include "computer/experience_matching.h"

namespace zelbo {

// The experience store is consulted here once it exists.
void PlayExperience(GameState& /*state*/, BoardWindowPort& /*port*/, bool& /*move_played*/) {}

}  // namespace zelbo
