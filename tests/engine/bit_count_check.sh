#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The engine's bit counts use the processor's instruction where it has one, while the program
# still runs on any x86-64: the evaluation is compiled both ways (NAME.popcnt beside
# NAME.default, the loader choosing), the instruction appears in no other function, and no copy
# built for it calls the library's slow count, as one does when a helper is left out of line.
#   bit_count_check.sh PROGRAM
set -eu
objdump -d --no-show-raw-insn "$1" | awk '
  /^[0-9a-f]+ </ { name = $2; next }
  /[[:space:]]popcnt[[:space:]]/ {
    if (name ~ /\.popcnt/) fast[name] = 1; else unguarded[name] = 1
  }
  /__popcount/ && name ~ /\.popcnt/ { slow[name] = 1 }
  END {
    bad = 0
    for (n in fast) print "instruction in " n
    for (n in unguarded) { print "instruction in a function every processor runs: " n; bad = 1 }
    for (n in slow) { print "library count in a copy built for the instruction: " n; bad = 1 }
    evaluation = 0
    for (n in fast) if (n ~ /Evaluate/) evaluation = 1
    if (!evaluation) { print "no copy of the evaluation uses the instruction"; bad = 1 }
    exit bad
  }'
