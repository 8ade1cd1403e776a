#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the match protocol's program (this tree's bench/protocol_engine.cpp) on the engine of
# another commit, so that `zelbo_match engine` can play the top level of that commit:
#
#   bench/engine_at.sh COMMIT OUTPUT
#   build/bench/zelbo_match engine --program OUTPUT --openings 20
#
# The commit's sources are unpacked into a temporary folder, its game library built there with
# the flags of `make build`, and the folder removed.
set -eu
if [ $# -ne 2 ]; then
  echo "usage: bench/engine_at.sh COMMIT OUTPUT" >&2
  exit 2
fi
commit=$1
output=$(realpath -m "$2")
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/zelbo-engine-at.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

mkdir "$work/src"
git -C "$here" archive "$commit" | tar -x -C "$work/src"
launcher=
if command -v ccache >/dev/null; then launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache; fi
cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELBO_BENCH=OFF \
  $launcher >/dev/null
cmake --build "$work/build" -j "${JOBS:-2}" --target zelbo_core >/dev/null
c++ -std=c++20 -O2 -I"$work/src/src" "$here/bench/protocol_engine.cpp" \
  "$work/build/src/libzelbo_core.a" -o "$output"
echo "$output: the top level of $(git -C "$here" rev-parse --short "$commit")"
