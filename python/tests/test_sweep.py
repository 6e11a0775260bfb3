"""vantero.sweep against the sweep's CSV from the command line."""

from __future__ import annotations

import csv
import io
import math
import os
import random
import signal
import sys
import time

import numpy
import pytest
from conftest import program, random_figures

import vantero
from vantero import _core

NUMBERS = ["powerDistance", "riseTimeDistance", "maximumDistance"]
TEXTS = ["limitedBy", "message"]


def program_sweep(name: str, texts: dict[str, str], *sweep: str) -> dict[str, list[str]]:
    """The CSV of `vantero NAME --set ... --sweep ...` by column."""
    args = [name, "--sweep", *sweep]
    for key, text in texts.items():
        args += ["--set", f"{key}={text}"]
    run = program(*args)
    assert run.returncode == 0, run.stderr
    rows = list(csv.reader(io.StringIO(run.stdout)))
    return {column: list(cells) for column, *cells in zip(*rows)}


def assert_same_columns(columns: dict[str, numpy.ndarray], expected: dict[str, list[str]]) -> None:
    assert list(columns) == list(expected)
    for column in NUMBERS:
        assert columns[column].dtype == numpy.float64
        cells = [float(cell) if cell else math.nan for cell in expected[column]]
        numpy.testing.assert_array_equal(columns[column], cells, err_msg=column)
    for column in TEXTS:
        assert columns[column].dtype == object
        assert columns[column].tolist() == expected[column], column


# Sweeps of a numeric input: evenly and geometrically spaced, through faults
# (a bit rate of 0) and the bit rates the rise-time budget cannot meet, and
# one large enough to run on several threads.
SWEEPS = [
    ("bitRate=0:200:41", False),
    ("bitRate=1:1000:60", True),
    ("fibreAttenuation=-1:2:31", False),
    ("launchedPower=-20:10:7", False),
    ("bitRate=1:5000:100001", True),
]


@pytest.mark.parametrize("sweep, log", SWEEPS, ids=[sweep for sweep, _ in SWEEPS])
@pytest.mark.parametrize("name", vantero.calculators())
def test_a_sweep_gives_the_columns_of_the_csv(name: str, sweep: str, log: bool) -> None:
    figures = random_figures(name, random.Random(f"{name}/{sweep}"))
    input = sweep.split("=")[0]
    figures.pop(input, None)
    texts = vantero.calculate(name, **figures)["inputs"]
    del texts[input]
    expected = program_sweep(name, texts, sweep, *(["--log"] if log else []))
    values = [float(cell) for cell in expected[input]]

    columns = vantero.sweep(name, input, numpy.array(values), **figures)

    numpy.testing.assert_array_equal(columns[input], values)
    assert_same_columns(columns, expected)


@pytest.mark.parametrize("name", vantero.calculators())
def test_a_sweep_of_a_choice_gives_the_columns_of_the_csv(name: str) -> None:
    choice = "fibreType"
    values = vantero.describe(name)["choices"][choice]["values"]
    expected = program_sweep(name, {"bitRate": "10"}, choice)

    columns = vantero.sweep(name, choice, [value.lower() for value in values], bitRate=10)

    assert columns[choice].tolist() == expected[choice] == values
    assert_same_columns(columns, expected)


@pytest.mark.parametrize(
    "values",
    [
        [1, 10, 100],
        (1.0, 10.0, 100.0),
        numpy.array([1, 10, 100], dtype=numpy.int16),
        numpy.array([1, 10, 100], dtype=numpy.float32),
        (10**k for k in range(3)),
    ],
    ids=["list", "tuple", "int16", "float32", "generator"],
)
def test_the_values_are_any_sequence_of_numbers(values: object) -> None:
    columns = vantero.sweep("tavo", "bitRate", values)
    reference = vantero.sweep("tavo", "bitRate", numpy.array([1.0, 10.0, 100.0]))
    for column in NUMBERS:
        numpy.testing.assert_array_equal(columns[column], reference[column])


def test_the_swept_column_is_the_sweeps_own() -> None:
    values = numpy.logspace(0, 3, 1000)
    columns = vantero.sweep("tavo", "bitRate", values)
    assert columns["bitRate"] is not values
    columns["bitRate"][:] = 0
    assert values[0] == 1.0 and values[-1] == 1000.0


def test_the_memory_of_columns_that_went_is_kept_within_its_bound() -> None:
    # Columns of a million points are kept for the next sweep, which takes
    # them, and whatever the sizes no more than the bound is ever kept.
    at_most = _core._KEPT_COLUMN_BYTES_AT_MOST
    values = numpy.logspace(0, 3, 1_000_000)
    vantero.sweep("tavo", "bitRate", values)
    kept = _core._kept_column_bytes()
    assert 6 * values.nbytes <= kept <= at_most
    columns = vantero.sweep("tavo", "bitRate", values)
    assert _core._kept_column_bytes() < kept - 6 * values.nbytes
    del columns
    values = numpy.logspace(0, 3, 5_000_000)
    for points in (300_000, 2_000_000, 700_000, 5_000_000, 1_000_000):
        reference = vantero.sweep("tavo", "bitRate", values[:points])
        assert _core._kept_column_bytes() <= at_most
        again = vantero.sweep("tavo", "bitRate", values[:points])
        for column in NUMBERS:
            numpy.testing.assert_array_equal(again[column], reference[column])
        assert again["message"].tolist() == reference["message"].tolist()


def test_a_point_that_is_no_number_is_a_fault_of_its_own() -> None:
    columns = vantero.sweep("tavo", "bitRate", [34, math.nan, math.inf, -math.inf, 34])
    assert columns["message"][1:4].tolist() == [
        "Invalid floating point operation",
        "Floating point overflow",
        "Floating point overflow",
    ]
    assert numpy.isnan(columns["maximumDistance"][1:4]).all()
    assert columns["maximumDistance"][0] == columns["maximumDistance"][4] > 0


def test_an_empty_sweep_gives_empty_columns() -> None:
    columns = vantero.sweep("tavo", "bitRate", [])
    assert all(len(column) == 0 for column in columns.values())


def test_a_column_of_texts_holds_a_reference_in_each_element() -> None:
    # As numpy's own arrays of objects do: a view keeps the elements, an
    # element replaced lets go of its text, and the texts are given back
    # when the last view goes.
    columns = vantero.sweep("tavo", "bitRate", numpy.logspace(0, 3, 50_000))
    message = columns.pop("message")
    text = message[-1]
    assert text.startswith("tempo de subida do sistema")
    holding = sum(1 for element in message if element is text)
    assert holding > 10_000
    held = sys.getrefcount(text)
    view = message[-4:]
    del columns, message
    assert sys.getrefcount(text) == held
    view[0] = "replaced"
    view[1] = None
    assert view.tolist() == ["replaced", None, text, text]
    assert sys.getrefcount(text) == held - 2
    del view
    assert sys.getrefcount(text) == held - holding


def test_ctrl_c_stops_a_long_sweep() -> None:
    # Signalled by the kernel 10 ms into a sweep that takes far longer, the
    # sweep stops soon and raises KeyboardInterrupt.
    values = numpy.linspace(1, 100, 500_000 * min(len(os.sched_getaffinity(0)), 8))
    started = time.monotonic()
    vantero.sweep("tavo", "bitRate", values)
    whole = time.monotonic() - started
    previous = signal.signal(signal.SIGALRM, signal.default_int_handler)
    try:
        signal.setitimer(signal.ITIMER_REAL, 0.01)
        started = time.monotonic()
        with pytest.raises(KeyboardInterrupt):
            vantero.sweep("tavo", "bitRate", values)
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, previous)
    assert time.monotonic() - started < whole / 2
