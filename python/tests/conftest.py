"""What the module's tests share: the built command line, and random figures."""

from __future__ import annotations

import json
import os
import random
import subprocess

import vantero

PROGRAM = os.environ.get("VANTERO_PROGRAM", "vantero")


def program(*args: str) -> subprocess.CompletedProcess[str]:
    """Runs the command line with `args`; its output and status, whatever they are."""
    return subprocess.run([PROGRAM, *args], capture_output=True, text=True, check=False)


def program_json(name: str, texts: dict[str, str], at: list[str] | None = None) -> dict:
    """`vantero NAME --set INPUT=TEXT ... [--at KM ...] --json`, read back."""
    args = [name, "--json"]
    for key, text in texts.items():
        args += ["--set", f"{key}={text}"]
    for length in at or []:
        args += ["--at", length]
    return json.loads(program(*args).stdout)


def program_error(*args: str) -> str:
    """The message a refused command line shows, without the program's name."""
    run = program(*args)
    assert run.returncode != 0, run.stdout
    return run.stderr.splitlines()[0].removeprefix("vantero: ")


def random_figures(name: str, rng: random.Random) -> dict[str, object]:
    """Some inputs of calculator `name`, each given the way a user may give it.

    Numbers near the initial ones (sometimes negative or 0, which fault), as
    floats, whole numbers or texts; choices as any of their values, in upper
    or lower case.
    """
    description = vantero.describe(name)
    figures: dict[str, object] = {}
    for input, about in description["inputs"].items():
        if rng.random() < 0.4:
            continue
        initial = float(about["initial"] or 0)
        value = initial * rng.choice([rng.uniform(0.1, 3), rng.uniform(-1, 1), 0, 1e3])
        figures[input] = rng.choice([value, round(value), f"{value:.4g}", f" {value:.6e} "])
    for choice, about in description["choices"].items():
        if rng.random() < 0.6:
            value = rng.choice(about["values"])
            figures[choice] = rng.choice([value, value.lower()])
    return figures


def random_lengths(rng: random.Random) -> list[float] | None:
    return rng.choice([None, [], [rng.uniform(0, 100)], [0, rng.uniform(1, 1e4), 30]])
