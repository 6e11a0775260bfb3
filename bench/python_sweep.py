#!/usr/bin/python3
"""What the Python module costs, against the C++ benchmark and against numpy.

    /usr/bin/python3 bench/python_sweep.py [BUILD_FOLDER]      (build/default)

A sweep of tavo's bit rate over a million points, logarithmically from 1 to
1000 Mbit/s at the initial figures, timed three ways:

- vantero.sweep, on every core;
- core_bench's calculate/tavo (one run of a session at one bit rate, on one
  core) divided by the cores: the calculator's own cost, which the module
  should come within 1.2x of. Above 42.4 Mbit/s the rise-time budget cannot be
  met (calculate/tavo/riseTimeRejected), so the sweep's own mix is shown too.
  On a busy machine the wall times say little: the processor time of a point
  (all threads) against that of a run is the fair comparison there;
- numpy computing a hand-written double-precision approximation of the same
  formulas, on one core (the calculator works in 80-bit precision and checks
  every step for a fault); the module should take at most 5x its time. The
  rounds of the two take turns.

Then the cost of one vantero.calculate call, and its parts. Each time is the
best of several rounds, since the machine may be busy.
"""

from __future__ import annotations

import json
import math
import os
import subprocess
import sys
import time
from pathlib import Path

import numpy as np

build = Path(sys.argv[1] if len(sys.argv) > 1 else "build/default")
sys.path.insert(0, str(build / "python"))
import vantero  # noqa: E402
from vantero import _core  # noqa: E402

POINTS = 1_000_000
ROUNDS = 7
cores = len(os.sched_getaffinity(0))


def best(function, rounds: int = ROUNDS) -> tuple[float, float]:
    """The shortest wall time and the shortest processor time (all threads)
    of `rounds` runs of `function`, in seconds."""
    wall, cpu = [], []
    for _ in range(rounds):
        started, used = time.perf_counter(), time.process_time()
        function()
        wall.append(time.perf_counter() - started)
        cpu.append(time.process_time() - used)
    return min(wall), min(cpu)


def best_of_both(first, second, rounds: int = 2 * ROUNDS) -> tuple[tuple[float, float], ...]:
    """best() of two functions whose rounds take turns, so that both meet
    the machine, and the memory the allocator keeps, in the same state."""
    times = [[], []]
    for _ in range(rounds):
        for function, found in zip((first, second), times):
            found.append(best(function, 1))
    return tuple((min(w for w, _ in found), min(c for _, c in found)) for found in times)


def tavo_in_numpy(b: np.ndarray) -> dict[str, np.ndarray]:
    """tavo at its initial figures in plain doubles: Si PIN at 1E-9 (a second
    curve from 45 Mbit/s), NRZ with 3B4B, single-mode fibre."""
    ln10 = 2.30258509299405
    s = np.where(b >= 45, 8.0 / ln10 * np.log(b) - 49.4, 15.4 / ln10 * np.log(b) - 61.8)
    power = (((0.0 - 5.0) - s) - 2.0 - 5 * 0.3) / (1.0 / 4.0 + 0.35)
    t_sys = 1000 * 0.7 / ((4.0 / 3.0) * b)
    t_rx = 350 / 40.0
    tau = 0.001 * 2.03 * 2.0
    room = t_sys * t_sys - 2 * t_rx * t_rx
    met = room > 0
    rise = np.sqrt(np.where(met, room, np.nan)) / tau
    maximum = np.where(met, np.minimum(power, rise), 0.0)
    limited = np.where(met & (rise >= power), 1, 2).astype(np.uint8)
    return {"powerDistance": power, "riseTimeDistance": rise,
            "maximumDistance": maximum, "limitedBy": limited}


def core_bench() -> dict[str, tuple[float, float]]:
    """calculate/tavo/... from core_bench: wall and processor time of a run, in ns."""
    run = subprocess.run(
        [str(build / "bench" / "core_bench"), "--benchmark_filter=^calculate/tavo/",
         "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true",
         "--benchmark_format=json"],
        capture_output=True, text=True, check=True)
    found = {}
    for benchmark in json.loads(run.stdout)["benchmarks"]:
        if benchmark.get("aggregate_name") == "median":
            found[benchmark["run_name"]] = (benchmark["real_time"], benchmark["cpu_time"])
    return found


bit_rates = np.logspace(0, 3, POINTS)
columns = vantero.sweep("tavo", "bitRate", bit_rates)
approximation = tavo_in_numpy(bit_rates)
worst = np.nanmax(np.abs(approximation["maximumDistance"] - columns["maximumDistance"])
                  / np.maximum(columns["maximumDistance"], 1e-300))
rejected = float(np.mean(columns["message"] != ""))

(module_wall, module_cpu), (numpy_wall, numpy_cpu) = best_of_both(
    lambda: vantero.sweep("tavo", "bitRate", bit_rates), lambda: tavo_in_numpy(bit_rates))
cpp = core_bench()
single_wall, single_cpu = cpp["calculate/tavo/singleMode"]
rejected_wall, rejected_cpu = cpp["calculate/tavo/riseTimeRejected"]
mix_cpu = (1 - rejected) * single_cpu + rejected * rejected_cpu
wall_point = module_wall / POINTS * 1e9
cpu_point = module_cpu / POINTS * 1e9

print(f"vantero.sweep('tavo', 'bitRate', numpy.logspace(0, 3, {POINTS:_})) on {cores} cores,"
      f" load average {os.getloadavg()[0]:.1f}")
print(f"  module: wall {module_wall * 1e3:.1f} ms ({wall_point:.1f} ns a point), "
      f"processor {module_cpu * 1e3:.1f} ms ({cpu_point:.1f} ns a point)")
print(f"  calculate/tavo/singleMode: wall {single_wall:.1f} ns, processor {single_cpu:.1f} ns")
print(f"    wall: module {wall_point:.1f} ns a point against {single_wall / cores:.1f} ns "
      f"(/ {cores} cores): {wall_point / (single_wall / cores):.2f}x")
print(f"    processor: module {cpu_point:.1f} ns a point against {single_cpu:.1f} ns: "
      f"{cpu_point / single_cpu:.2f}x; against the sweep's mix ({rejected:.0%} of the points "
      f"rejected, {rejected_cpu:.1f} ns) {mix_cpu:.1f} ns: {cpu_point / mix_cpu:.2f}x")
print(f"  numpy, double precision: wall {numpy_wall * 1e3:.1f} ms, processor "
      f"{numpy_cpu * 1e3:.1f} ms; the module {module_wall / numpy_wall:.2f}x its wall time "
      f"(largest relative difference of the maximum distance {worst:.1e})")

calls = 20_000
inputs = {"bitRate": 34}
plain = best(lambda: [vantero.calculate("tavo", **inputs) for _ in range(calls)], 3)[1] / calls
at = best(lambda: [vantero.calculate("tavo", at=30, **inputs) for _ in range(calls)], 3)[1] / calls
text = _core.calculate_json("tavo", None, inputs)
making = best(lambda: [_core.calculate_json("tavo", None, inputs) for _ in range(calls)], 3)[1]
reading = best(lambda: [json.loads(text) for _ in range(calls)], 3)[1]
print("vantero.calculate('tavo', bitRate=34), processor time")
print(f"  a call                     {plain * 1e6:8.1f} us  (with at=30: {at * 1e6:.1f} us)")
print(f"  of which the JSON text     {making / calls * 1e6:8.1f} us, json.loads "
      f"{reading / calls * 1e6:.1f} us")
if not math.isfinite(worst) or worst > 1e-9:
    sys.exit("the numpy approximation does not agree with the module")
