"""vantero.calculate and vantero.describe against the command line."""

from __future__ import annotations

import ast
import doctest
import random
from pathlib import Path

import numpy
import pytest
from conftest import program, program_json, random_figures, random_lengths

import vantero

SEEDS = range(12)


@pytest.mark.parametrize("seed", SEEDS)
@pytest.mark.parametrize("name", vantero.calculators())
def test_calculate_gives_the_json_of_the_command_line(name: str, seed: int) -> None:
    rng = random.Random(f"{name}/{seed}")
    figures = random_figures(name, rng)
    lengths = random_lengths(rng)

    result = vantero.calculate(name, at=lengths, **figures)

    # Every number given is taken in all its digits, every choice by its name.
    for key, given in figures.items():
        taken = result["inputs"][key]
        if isinstance(given, str):
            assert taken.lower() == given.lower()
        else:
            assert float(taken) == given
    expected = program_json(
        name, result["inputs"], None if lengths is None else [repr(km) for km in lengths]
    )
    if lengths == []:  # the command line has no --at for no length
        expected["at"] = []
    assert result == expected


@pytest.mark.parametrize(
    "given",
    [30, 30.0, "30", numpy.float64(30), numpy.int32(30), [30], (30,), numpy.array([30.0])],
    ids=repr,
)
def test_a_length_is_any_number_or_text_and_lengths_any_sequence(given: object) -> None:
    assert vantero.calculate("tavo", at=given)["at"] == vantero.calculate("tavo", at=[30])["at"]


@pytest.mark.parametrize(
    "given, text",
    [
        (0.1, "0.1"),
        (1 / 3, "0.3333333333333333"),
        (1e-7, "1e-07"),
        (2**70, "1180591620717411303424"),
        (numpy.float32(0.1), "0.10000000149011612"),
        (numpy.int64(-5), "-5"),
        (" 7 ", " 7 "),
    ],
    ids=repr,
)
def test_a_number_becomes_the_text_that_reads_back_as_itself(given: object, text: str) -> None:
    assert vantero.calculate("tavo", bitRate=given)["inputs"]["bitRate"] == text


@pytest.mark.parametrize("name", vantero.calculators())
def test_describe_lists_what_help_lists(name: str) -> None:
    help_lines = program(name, "--help").stdout.splitlines()
    description = vantero.describe(name)

    def help_line(key: str) -> list[str]:
        return next(line.split() for line in help_lines if line.split()[:1] == [key])

    for key, about in description["inputs"].items():
        words = help_line(key)
        assert words[1] == about["initial"]
        assert " ".join(words[2:]).endswith(about["label"].strip().replace("  ", " "))
        assert about["unit"] in words[2:] or about["unit"] == ""
        assert vantero.calculate(name)["inputs"][key] == about["initial"]
    for key, about in description["choices"].items():
        assert help_line(key)[1] == about["initial"]
        assert vantero.calculate(name)["inputs"][key] == about["initial"]
        # Every value is taken, by the name --help gives it.
        for value in about["values"]:
            assert vantero.calculate(name, **{key: value})["inputs"][key] == value
    kept = [key for key, about in description["inputs"].items() if not about["inProjectFile"]]
    if kept:
        assert any(", ".join(kept) in line for line in help_lines)


def test_the_examples_in_the_docstrings_and_the_readme_hold() -> None:
    failed, tried = doctest.testmod(vantero, extraglobs={"numpy": numpy, "vantero": vantero})
    assert tried > 0 and failed == 0
    readme = Path(__file__).parents[2] / "README.md"
    failed, tried = doctest.testfile(str(readme), module_relative=False, globs={"vantero": vantero})
    assert tried > 0 and failed == 0


def test_the_type_hints_name_what_the_compiled_part_has() -> None:
    stub = ast.parse((Path(vantero.__file__).parent / "_core.pyi").read_text())
    hinted = {node.name for node in stub.body if isinstance(node, ast.FunctionDef)}
    compiled = {name for name in dir(vantero._core) if callable(getattr(vantero._core, name))}
    assert hinted == compiled - {name for name in compiled if name.startswith("__")}
    assert (Path(vantero.__file__).parent / "py.typed").exists()
    assert all(getattr(vantero, name).__doc__ for name in vantero.__all__)
