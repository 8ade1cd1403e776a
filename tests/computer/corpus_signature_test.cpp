// SPDX-License-Identifier: GPL-3.0-or-later
// What the computer plays from every position of the benchmark corpus, digested into one number:
// any change of its behaviour changes it. After an intended change, pin the signature that
// zelbo_bench prints.
#include <gtest/gtest.h>

#include "corpus.h"

namespace zelbo::bench {
namespace {

TEST(CorpusSignature, PinsWhatTheComputerPlaysFromEveryPosition) {
  const Corpus corpus = ReadCorpus(ZELBO_CORPUS_FILE);
  ASSERT_EQ(corpus.error, "");
  EXPECT_GE(corpus.positions.size(), 200u);
  EXPECT_EQ(CorpusSignature(corpus.positions), 9111575853342714020ull);
}

}  // namespace
}  // namespace zelbo::bench
