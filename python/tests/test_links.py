"""vantero.links against `vantero NAME --links FILE --csv -` on the same tables."""

from __future__ import annotations

import csv
import decimal
import io
import math
import random
from pathlib import Path

import numpy
import pytest
from conftest import program, program_error, random_figures

import vantero

NUMBERS = ["powerDistance", "riseTimeDistance", "maximumDistance", "length", "powerMargin",
           "riseTimeMargin"]
MET = ["powerBudgetMet", "riseTimeBudgetMet"]
NAMES = vantero.calculators()


def number_text(value: object) -> str:
    """A number's text as a cell: a float in its shortest digits, fixed or
    with an exponent, whichever is shorter (fixed when as short)."""
    if isinstance(value, int) or not math.isfinite(value):
        return str(value)
    digits = decimal.Decimal(repr(value)).normalize()
    sign, figures, exponent = digits.as_tuple()
    head = ("-" if sign else "") + str(figures[0])
    tail = "".join(map(str, figures[1:]))
    power = exponent + len(figures) - 1
    scientific = head + ("." + tail if tail else "") + f"e{'-' if power < 0 else '+'}{abs(power):02d}"
    fixed = ("-" if sign else "") + format(abs(digits), "f")
    return fixed if len(fixed) <= len(scientific) else scientific


def cell_text(cell: object) -> str:
    if cell is None or (isinstance(cell, float) and math.isnan(cell)):
        return ""
    return cell if isinstance(cell, str) else number_text(cell)


def random_cell(name: str, column: str, rng: random.Random) -> object:
    """A cell of `column`, as a user may give it: mostly good, some empty, a
    few bad."""
    if rng.random() < 0.1:
        return rng.choice([None, math.nan, ""])
    bad = rng.random() < 0.04
    if column == "id":
        return rng.choice(["a,b", 'q"d', "linha\nnova", "ligação 7", 42, f"L{rng.randrange(99)}"])
    if column == "length":
        if bad:
            return rng.choice(["12,5", -3.25, "1e999", "x"])
        return rng.choice([rng.uniform(0, 60), rng.randrange(30), 0])
    about = vantero.describe(name)
    if column in about["choices"]:
        value = rng.choice(about["choices"][column]["values"])
        return rng.choice(["nenhum", 1] if bad else [value, value.lower(), value.upper()])
    if bad:
        return rng.choice(["3,4", "inf"])
    initial = float(about["inputs"][column]["initial"] or 0)
    value = initial * rng.choice([rng.uniform(0.5, 2)] * 4 + [rng.uniform(-1, 1), 0, 1e3, 1e-4])
    return rng.choice([value, round(value), f"{value:.4g}", f" {value:.6e} "])


def random_table(name: str, rows: int, rng: random.Random) -> dict[str, list[object]]:
    about = vantero.describe(name)
    columns = [c for c in [*about["inputs"], *about["choices"]] if rng.random() < 0.3]
    columns += [c for c in ["id", "length"] if rng.random() < 0.7]
    rng.shuffle(columns)
    return {c: [random_cell(name, c, rng) for _ in range(rows)] for c in columns}


def program_links(name: str, table: dict[str, list[object]], base: dict[str, object],
                  folder: Path) -> dict[str, list[str]]:
    """The CSV of `vantero NAME --set ... --links TABLE --csv -`, by column."""
    path = folder / "links.csv"
    with path.open("w", newline="", encoding="utf-8") as file:
        writer = csv.writer(file)
        writer.writerow(table)
        writer.writerows(zip(*(map(cell_text, cells) for cells in table.values())))
    args = [name, "--links", str(path), "--csv", "-"]
    for key, value in base.items():
        args += ["--set", f"{key}={cell_text(value)}"]
    run = program(*args)
    assert run.returncode in (0, 1), run.stderr
    rows = list(csv.reader(io.StringIO(run.stdout, newline="")))
    return {column: list(cells) for column, *cells in zip(*rows)}


def assert_same_columns(columns: dict[str, numpy.ndarray], expected: dict[str, list[str]]) -> None:
    assert list(columns) == list(expected)
    for column, cells in expected.items():
        got = columns[column]
        if column == "row":
            assert got.dtype == numpy.int64 and got.tolist() == [int(cell) for cell in cells]
        elif column in NUMBERS:
            assert got.dtype == numpy.float64, column
            numbers = [float(cell) if cell else math.nan for cell in cells]
            numpy.testing.assert_array_equal(got, numbers, err_msg=column)
        elif column in MET:
            assert got.dtype == bool, column
            assert got.tolist() == [cell == "yes" for cell in cells], column
            # An empty cell is a link without whole budgets.
            known = (columns["status"] == "ok") & ~numpy.isnan(columns["length"])
            assert [cell != "" for cell in cells] == known.tolist(), column
        else:
            assert got.dtype == object and got.tolist() == cells, column


@pytest.mark.parametrize("rows", [40, 9000])
@pytest.mark.parametrize("name", NAMES)
def test_a_table_gives_the_columns_of_the_csv(name: str, rows: int, tmp_path: Path) -> None:
    rng = random.Random(f"{name}/{rows}")
    for run in range(3 if rows < 100 else 1):
        table = random_table(name, rows, rng)
        # The initial figures, or some that may fault every link.
        base = random_figures(name, rng) if run % 2 else {}
        expected = program_links(name, table, base, tmp_path)

        columns = vantero.links(name, table, **base)

        assert_same_columns(columns, expected)


# Parts of the catalogue by row, in either case, with a wavelength the fibre
# lacks, a part the catalogue lacks and a cell after the part that wins.
PARTS = {
    "fibre": ["G.652.D@1310", "om4@850", "G.652.D@1550", "OM9@850", None, "G.657.A1@1310"],
    "transceiver": ["10GBASE-LR", "1000base-sx", None, "L-4.2", "s-1.1", "nenhum"],
    "fibreAttenuation": [None, None, 0.25, None, None, None],
    "length": [10, 0.3, 40, 1, 5, 2],
}


@pytest.mark.parametrize("name", NAMES)
def test_the_parts_of_a_row_are_those_of_the_catalogue(name: str, tmp_path: Path) -> None:
    table = {column: cells for column, cells in PARTS.items()
             if column in vantero.describe(name)["inputs"] or column in ("fibre", "transceiver", "length")}
    expected = program_links(name, table, {}, tmp_path)
    assert "error" in expected["status"] and "ok" in expected["status"]

    assert_same_columns(vantero.links(name, table), expected)


def test_a_numpy_column_is_read_as_its_numbers(tmp_path: Path) -> None:
    table = {
        "bitRate": numpy.array([34, 0, 140, 2**40], dtype=numpy.int64),
        "fibreAttenuation": numpy.array([0.4, math.nan, 1e-4, 3.5], dtype=numpy.float32),
        "length": numpy.array([30.0, 1e-4, -0.0, math.nan]),
        "id": numpy.array([7, 8, 9, 10], dtype=numpy.uint8),
    }
    as_lists = {column: cells.tolist() for column, cells in table.items()}
    expected = program_links("tavo", as_lists, {}, tmp_path)
    assert_same_columns(vantero.links("tavo", table), expected)


class Columns(dict):
    """A mapping that may name a column twice, as a DataFrame may."""

    def __init__(self, names: list[str], cells: list[object]):
        super().__init__(zip(names, [cells] * len(names)))
        self.names = names

    def keys(self):
        return self.names


# A table the command line refuses before any link runs, and the same table
# as a file: the message is the command line's, after "--links FILE: ".
REFUSED_COLUMNS = [
    ("tavo", Columns(["bitRate", "bitrate"], [1]), "bitRate,bitrate\n1,1\n"),
    ("anel", Columns(["id", "length", "id"], [1]), "id,length,id\n1,1,1\n"),
    ("estrela", Columns(["lineCode", "fibra"], [1]), "lineCode,fibra\nRZ,1\n"),
]


@pytest.mark.parametrize("name, table, text", REFUSED_COLUMNS)
def test_a_column_that_is_none_says_what_the_command_line_says(
    name: str, table: Columns, text: str, tmp_path: Path
) -> None:
    path = tmp_path / "links.csv"
    path.write_text(text)
    expected = program_error(name, "--links", str(path))

    with pytest.raises(KeyError) as refused:
        vantero.links(name, table)

    assert f"--links {path}: {refused.value.args[0]}" == expected


# A call and what it raises, with part of its message.
REFUSED = [
    (lambda: vantero.links("nosuch", {}), KeyError, 'no calculator "nosuch"'),
    (lambda: vantero.links("tavo", {}, bitrate=1), KeyError, "bitrate"),
    (lambda: vantero.links("tavo", {}, lineCode="AMI"), ValueError, "AMI"),
    (lambda: vantero.links("tavo", {"id": [1, 2], "length": [1]}), ValueError,
     "id has 2 and length 1"),
    (lambda: vantero.links("tavo", [[1, 2]]), TypeError, "mapping"),
    (lambda: vantero.links("tavo", {"bitRate": 34}), TypeError, "bitRate: a column"),
    (lambda: vantero.links("tavo", {"bitRate": "34"}), TypeError, "bitRate: a column"),
    (lambda: vantero.links("tavo", {"bitRate": [[34]]}), TypeError, "bitRate: a number"),
    (lambda: vantero.links("tavo", {"bitRate": [True]}), TypeError, "bitRate: a number"),
    (lambda: vantero.links("tavo", {"bitRate": numpy.ones((2, 2))}), ValueError, "2 dimensions"),
]


@pytest.mark.parametrize("call, raised, message", REFUSED, ids=lambda x: repr(x))
def test_a_table_that_cannot_run_raises(call, raised: type, message: str) -> None:
    with pytest.raises(raised, match=message):
        call()


def test_a_table_without_rows_gives_empty_columns() -> None:
    for table in [{}, {"bitRate": [], "length": []}]:
        columns = vantero.links("tavo", table)
        assert columns["status"].tolist() == []
        assert all(len(column) == 0 for column in columns.values())


def test_a_dataframe_is_a_table_as_it_is() -> None:
    pandas = pytest.importorskip("pandas")
    frame = pandas.DataFrame({
        "id": ["a", "b", None, "d"],
        "bitRate": pandas.array([34, None, 140, 0], dtype="Int64"),
        "fibreAttenuation": [0.4, math.nan, 0.6, 0.5],
        "lineCode": ["RZ", "nrz", pandas.NA, "RZ"],
        "length": [30, 40, math.nan, 10],
    })
    cells = {column: [None if pandas.isna(cell) else cell for cell in frame[column]]
             for column in frame}

    columns = vantero.links("tavo", frame, bitRate=50)

    expected = vantero.links("tavo", cells, bitRate=50)
    assert list(columns) == list(expected)
    for column, values in expected.items():
        numpy.testing.assert_array_equal(columns[column], values, err_msg=column)
    assert columns["status"].tolist() == ["ok", "ok", "ok", "fault"]
    verdicts = pandas.DataFrame(columns)
    assert verdicts.loc[1, "id"] == "b" and verdicts["powerBudgetMet"].dtype == bool
