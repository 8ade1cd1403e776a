#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The engine of another commit, to measure this one against it side by side: unpacks COMMIT into
# DIR/src, builds its game library there with the flags of `make build`, and writes
#   DIR/zelbo_protocol_engine  this tree's bench/protocol_engine.cpp on that engine, for
#                              `zelbo_match engine --program DIR/zelbo_protocol_engine`
#   DIR/zelbo_engine_bench     this tree's bench/engine_bench.cpp on that engine, so that
#                              bench/engine_speed.py measures both engines with the same code
# Both are built from this tree's sources and call only what the engine offered since the levels
# landed. DIR is kept (the bench program reads the commit's corpus from it); remove it when done.
#
#   bench/engine_at.sh COMMIT DIR
set -eu
if [ $# -ne 2 ]; then
  echo "usage: bench/engine_at.sh COMMIT DIR" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$here" rev-parse --short "$1")
dir=$(realpath -m "$2")
rm -rf "$dir/src" "$dir/build"
mkdir -p "$dir/src"
git -C "$here" archive "$commit" | tar -x -C "$dir/src"

launcher=
if command -v ccache >/dev/null; then launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache; fi
cmake -S "$dir/src" -B "$dir/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo $launcher >/dev/null
cmake --build "$dir/build" -j "${JOBS:-2}" --target zelbo_core >/dev/null
library="$dir/build/src/libzelbo_core.a"
c++ -std=c++20 -O2 -I"$dir/src/src" "$here/bench/protocol_engine.cpp" "$library" \
  -o "$dir/zelbo_protocol_engine"
c++ -std=c++20 -O2 -I"$dir/src/src" -I"$dir/src/bench" \
  -DZELBO_CORPUS_FILE="\"$dir/src/bench/corpus.txt\"" "$here/bench/engine_bench.cpp" \
  "$dir/src/bench/corpus.cpp" "$library" -o "$dir/zelbo_engine_bench"
echo "$dir: the engine of $commit (zelbo_protocol_engine, zelbo_engine_bench)"
