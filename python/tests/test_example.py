"""The README's notebook example runs and draws its picture."""

from __future__ import annotations

import subprocess
import sys
from pathlib import Path

EXAMPLE = Path(__file__).parent.parent / "examples" / "contour.py"


def test_the_contour_example_draws_its_picture(tmp_path: Path) -> None:
    picture = tmp_path / "contour.png"
    subprocess.run([sys.executable, str(EXAMPLE), str(picture)], check=True, timeout=60)
    assert picture.read_bytes().startswith(b"\x89PNG\r\n\x1a\n")
