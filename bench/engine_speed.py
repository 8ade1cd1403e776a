#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The engine's speed beside another build's, side by side in one run.

Runs two zelbo_engine_bench programs (the same source built on two engines, as bench/engine_at.sh
makes the earlier one) in turn for a number of rounds (which goes first alternates)
and prints, per round and as the median with its range over the rounds, the ratio of the second
(after) to the first (before): the search's nodes per second at MS, by the clock and by the
processor time it took (which depends far less on the load), perft 8's speed, and the top
level's replies (median, 95th percentile and slowest), with each build's own figures and the load
average at the time. On a machine that others share, the ratios of one round hold better than
any absolute figure.

    bench/engine_at.sh 5a98c25 /tmp/zelbo-5a98c25
    bench/engine_speed.py --before /tmp/zelbo-5a98c25/zelbo_engine_bench \\
        --after build/bench/zelbo_engine_bench --rounds 9
"""

import argparse
import os
import re
import statistics
import subprocess
import sys

PATTERNS = {
    "perft_ms": r"perft 8 = \d+: median (\d+) ms",
    "nps": r"search at \d+ ms .*?: ([\d.]+) M nodes/s median",
    "cpu_nps": r"([\d.]+) M nodes per second of processor time",
    "depth": r"depth median (\d+)",
    "reply_median": r"reply at .*?: median ([\d.]+) ms",
    "reply_95": r"95th percentile ([\d.]+) ms",
    "reply_slowest": r"slowest ([\d.]+) ms\n",
}

# What each ratio compares, after / before; perft is a speed, so the time's ratio is turned over.
RATIOS = [
    ("search speed at MS (nodes/s)", "nps", False),
    ("search speed at MS (nodes per second of processor time)", "cpu_nps", False),
    ("perft 8 speed", "perft_ms", True),
    ("depth reached at MS (median)", "depth", False),
    ("reply time, median", "reply_median", False),
    ("reply time, 95th percentile", "reply_95", False),
    ("reply time, slowest", "reply_slowest", False),
]


def run(program, ms, perft_runs):
    load = os.getloadavg()[0]
    text = subprocess.run([program, "--runs", str(perft_runs), "--ms", str(ms)],
                          check=True, capture_output=True, text=True).stdout
    figures = {"load": load}
    for name, pattern in PATTERNS.items():
        found = re.search(pattern, text)
        if not found:
            sys.exit(f"{program}: no {name} in its output:\n{text}")
        figures[name] = float(found.group(1))
    return figures


def spread(values):
    return f"{statistics.median(values):.2f} ({min(values):.2f} to {max(values):.2f})"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--before", required=True, help="the earlier zelbo_engine_bench")
    parser.add_argument("--after", required=True, help="the later zelbo_engine_bench")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--ms", type=int, default=50)
    parser.add_argument("--perft-runs", type=int, default=1)
    args = parser.parse_args()

    rounds = []
    for number in range(args.rounds):
        order = ["before", "after"] if number % 2 == 0 else ["after", "before"]
        results = {name: run(getattr(args, name), args.ms, args.perft_runs) for name in order}
        rounds.append(results)
        before, after = results["before"], results["after"]
        print(f"round {number + 1} (load {before['load']:.1f}, {after['load']:.1f}): "
              f"{before['nps']:.2f} -> {after['nps']:.2f} M nodes/s "
              f"({before['cpu_nps']:.2f} -> {after['cpu_nps']:.2f} by processor time), "
              f"depth {before['depth']:.0f} -> {after['depth']:.0f}, "
              f"slowest reply {before['reply_slowest']:.1f} -> {after['reply_slowest']:.1f} ms",
              flush=True)

    loads = [r[name]["load"] for r in rounds for name in ("before", "after")]
    print(f"\n{args.rounds} rounds at {args.ms} ms, load average {min(loads):.1f} to "
          f"{max(loads):.1f}: after / before, median (range) over the rounds")
    print("| measure | before | after | after / before |")
    print("|---|---|---|---|")
    for label, key, inverted in RATIOS:
        ratios = [(r["before"][key] / r["after"][key]) if inverted else
                  (r["after"][key] / r["before"][key]) for r in rounds]
        before = spread([r["before"][key] for r in rounds])
        after = spread([r["after"][key] for r in rounds])
        print(f"| {label.replace('MS', f'{args.ms} ms')} | {before} | {after} | {spread(ratios)} |")


if __name__ == "__main__":
    main()
