#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# `zelbo_match engine` against programs that speak the match protocol well and badly: a game is
# lost by an answer that is not a legal move, by `none` while moves remain, by silence and by a
# program that is gone, and the match goes on after each.
#   match_test.sh ZELBO_MATCH ZELBO_PROTOCOL_ENGINE
set -u
match=$1
engine=$2
failures=0

# expect NAME PROGRAM PATTERN...: the output of two games against PROGRAM must hold a line
# matching each PATTERN (grep -E expressions).
expect() {
  name=$1 program=$2
  shift 2
  output=$("$match" engine --program "$program" --nodes 300 --openings 1 --timeout 300 2>&1)
  status=$?
  ok=$((status == 0))
  for pattern in "$@"; do
    printf '%s\n' "$output" | grep -Eq -- "$pattern" || ok=0
  done
  if [ $ok -eq 1 ]; then
    echo "ok   $name"
  else
    echo "FAIL $name (status $status)"
    printf '%s\n' "$output"
    failures=$((failures + 1))
  fi
}

expect "our own level, both colours, no fault" "$engine --nodes 300" \
  '^\| both \| 2 \|' 'lost by a refused or missing answer: 0$'
expect "an illegal move loses" 'while read line; do echo A1 B2; done' \
  'side -1: win .*refused answer "A1 B2"' 'side \+1: win .*refused answer "A1 B2"' \
  '^\| both \| 2 \| 2 \| 0 \| 0 \|'
expect "none while moves remain loses" 'while read line; do echo none; done' \
  'refused answer "none"'
expect "silence loses" 'while read line; do sleep 5; done' 'no answer in time'
expect "a program that is gone loses, every game" 'exit 0' \
  'lost by a refused or missing answer: 2$'

# The protocol program answers a request it cannot read with an error line, and goes on.
answers=$(printf 'new\nnonsense\ncxcxcxcx/xcxcxcxc/cxcxcxcx/x.x.x.x./.x.x.x.x/xpxpxpxp/pxpxpxpx/xpxpxpxp -1 5\n' |
  "$engine" --nodes 300)
if printf '%s\n' "$answers" | head -1 | grep -q '^error ' &&
  printf '%s\n' "$answers" | sed -n 2p | grep -Eq '^[A-H][1-8]( [A-H][1-8])+$'; then
  echo "ok   a bad request gets an error line"
else
  echo "FAIL a bad request gets an error line: $answers"
  failures=$((failures + 1))
fi
exit $((failures > 0))
