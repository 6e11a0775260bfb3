"""Project files: vantero.save_project and vantero.open_project, and the command line."""

from __future__ import annotations

import json
import os
import random
from pathlib import Path

import pytest
from conftest import program, program_error, random_figures

import vantero


@pytest.mark.parametrize("seed", range(4))
@pytest.mark.parametrize("name", vantero.calculators())
def test_a_project_file_goes_round_as_on_the_command_line(
    name: str, seed: int, tmp_path: Path
) -> None:
    figures = random_figures(name, random.Random(f"{name}/{seed}"))
    texts = vantero.calculate(name, **figures)["inputs"]
    extension = vantero.describe(name)["extension"]

    saved = vantero.save_project(tmp_path / "module", name, **figures)
    args = [f"--set={key}={text}" for key, text in texts.items()]
    assert program(name, *args, "--save", str(tmp_path / "program")).returncode in (0, 1)

    # The same bytes as --save, the extension added to the name.
    assert saved == str(tmp_path / f"module{extension}")
    assert Path(saved).read_bytes() == (tmp_path / f"program{extension}").read_bytes()
    # Read back as --open reads it, and run as it runs.
    opened = vantero.open_project(Path(saved))
    run = json.loads(program(name, "--open", saved, "--json").stdout)
    assert opened == run["inputs"]
    assert vantero.calculate(name, **opened) == run


def test_a_name_with_the_extension_in_any_case_is_kept(tmp_path: Path) -> None:
    saved = vantero.save_project(tmp_path / "x.DIG", "tavo", bitRate=10)
    assert saved == str(tmp_path / "x.DIG")
    assert vantero.open_project(saved)["bitRate"] == "10.000"


def test_a_failed_save_leaves_the_old_file(tmp_path: Path) -> None:
    path = tmp_path / "link.dig"
    vantero.save_project(path, "tavo", bitRate=10)
    before = path.read_bytes()
    with pytest.raises(OverflowError, match="^Floating point overflow.$"):
        vantero.save_project(path, "tavo", bitRate=10, gainMargin=1e39)
    assert path.read_bytes() == before
    assert os.listdir(tmp_path) == ["link.dig"]


@pytest.mark.parametrize(
    "file, content, raised",
    [
        ("none.dig", None, FileNotFoundError),
        ("short.stl", b"\0" * 10, OSError),
        ("link.txt", b"", ValueError),
    ],
)
def test_a_file_that_cannot_be_opened(
    file: str, content: bytes | None, raised: type, tmp_path: Path
) -> None:
    path = tmp_path / file
    if content is not None:
        path.write_bytes(content)
    with pytest.raises(raised) as refused:
        vantero.open_project(path)
    name = {".dig": "tavo", ".stl": "estrela"}.get(path.suffix, "tavo")
    assert str(path) in str(refused.value)
    expected = program_error(name, "--open", str(path)).removeprefix(f"{path}: ")
    assert expected.rstrip(".") in str(refused.value)
