#!/usr/bin/env python3
"""What the benchmark of `vantero tavo --links` is measured against: pandas
reads the same table, numpy computes the same two budgets of tavo's
point-to-point link at each row's length, and to_csv writes the same columns.

    links_pandas.py generate ROWS TABLE.csv   the table (id, length, connectorCount,
                                              fibreAttenuation, bitRate), seeded
    links_pandas.py run TABLE.csv OUT.csv     the pandas and numpy run
    links_pandas.py compare A.csv B.csv       how closely the two outputs agree

The budgets are a double-precision transcription of tavo's at the window's
initial figures (Si PIN detector at a BER of 1E-9, NRZ, 3B4B, single-mode
fibre with a typed dispersion), with the four columns of the table in place
of their fields. vantero works in extended precision and rounds each figure
to a double where the window stores it, so the two agree to a few units in
the last place, not bit for bit; `compare` says by how much.
"""

import sys

import numpy as np
import pandas as pd

# tavo's initial figures.
LAUNCHED_POWER = 0.0  # dBm
SPLICE_LOSS = 1.0  # dB
GAIN_MARGIN = 5.0  # dB
CONNECTOR_LOSS = 0.3  # dB
CABLE_SECTION = 4.0  # km
RECEIVER_PENALTY = 2.0  # dB
BLOCK_M, BLOCK_N = 3.0, 4.0
ELECTRICAL_BANDWIDTH = 40.0  # MHz
SPECTRAL_WIDTH = 2.0  # nm
DISPERSION = 2.03  # ps/(nm km)
NRZ = 0.7
LN10 = 2.30258509299405
RISE_MESSAGE = ("tempo de subida do sistema menor que a soma dos tempos do "
                "transmissor e do receptor")


def generate(rows, path):
    rng = np.random.default_rng(23)
    table = pd.DataFrame({
        "id": np.char.add("L", np.arange(1, rows + 1).astype(str)),
        "length": np.round(rng.uniform(1, 80, rows), 3),
        "connectorCount": rng.integers(2, 13, rows),
        "fibreAttenuation": np.round(rng.uniform(0.2, 0.5, rows), 3),
        "bitRate": rng.choice([2, 8, 34, 140], rows),
    })
    table.to_csv(path, index=False)


def budgets(t):
    b = t["bitRate"].to_numpy(float)
    alpha = t["fibreAttenuation"].to_numpy(float)
    nc = t["connectorCount"].to_numpy(float)
    km = t["length"].to_numpy(float)

    # The Si PIN curve, and the one that takes over from 45 Mbit/s.
    low = 15.4 / LN10 * np.log(b) - 61.8
    high = 8.0 / LN10 * np.log(b) - 49.4
    s = np.where(b >= 45, high, low)
    for_fibre = LAUNCHED_POWER - GAIN_MARGIN - s - RECEIVER_PENALTY - nc * CONNECTOR_LOSS
    per_km = SPLICE_LOSS / CABLE_SECTION + alpha
    power_distance = for_fibre / per_km
    power_margin = for_fibre - per_km * km

    system = 1000 * NRZ / ((BLOCK_N / BLOCK_M) * b)
    receiver = 350 / ELECTRICAL_BANDWIDTH
    tau = 0.001 * DISPERSION * SPECTRAL_WIDTH
    possible = system * system > 2 * receiver * receiver
    with np.errstate(invalid="ignore"):
        rise_distance = np.sqrt((system * system - 2 * receiver * receiver) / (tau * tau))
    rise_distance = np.where(possible, rise_distance, np.nan)
    link = np.sqrt(2 * receiver * receiver + (tau * km) ** 2)
    rise_margin = system - link

    by_power = possible & (power_distance <= rise_distance)
    maximum = np.where(possible, np.where(by_power, power_distance, rise_distance), 0.0)
    limited = np.where(by_power, "Attenuation", "Dispersion")
    power_met = power_margin >= 0
    rise_met = possible & (rise_margin >= 0)
    return pd.DataFrame({
        "row": np.arange(1, len(t) + 1),
        "id": t["id"],
        "powerDistance": power_distance,
        "riseTimeDistance": rise_distance,
        "maximumDistance": maximum,
        "limitedBy": limited,
        "message": np.where(possible, "", RISE_MESSAGE),
        "length": km,
        "powerMargin": power_margin,
        "riseTimeMargin": rise_margin,
        "powerBudgetMet": np.where(power_met, "yes", "no"),
        "riseTimeBudgetMet": np.where(rise_met, "yes", "no"),
        "status": "ok",
        "error": "",
    })


def run(table, out):
    budgets(pd.read_csv(table)).to_csv(out, index=False)


def compare(a, b):
    x, y = pd.read_csv(a), pd.read_csv(b)
    assert len(x) == len(y), "not the same number of rows"
    worst = 0.0
    for column in ["powerDistance", "riseTimeDistance", "maximumDistance", "powerMargin",
                   "riseTimeMargin"]:
        u, v = x[column].to_numpy(float), y[column].to_numpy(float)
        assert np.array_equal(np.isnan(u), np.isnan(v)), column + ": not the same empty cells"
        both = ~np.isnan(u)
        scale = np.maximum(np.abs(u[both]), 1.0)
        worst = max(worst, float(np.max(np.abs(u[both] - v[both]) / scale, initial=0)))
    for column in ["limitedBy", "powerBudgetMet", "riseTimeBudgetMet"]:
        differ = int((x[column].astype(str) != y[column].astype(str)).sum())
        assert differ == 0, f"{column}: {differ} rows differ"
    print(f"{len(x)} rows agree; the numbers to within {worst:.1e} (relative, or absolute below 1)")


if __name__ == "__main__":
    command, first, second = sys.argv[1], sys.argv[2], sys.argv[3]
    if command == "generate":
        generate(int(first), second)
    elif command == "run":
        run(first, second)
    elif command == "compare":
        compare(first, second)
    else:
        sys.exit(__doc__)
