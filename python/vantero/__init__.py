"""The VANTERO calculators of digital optical-fibre links, for notebooks and scripts.

Each calculator (``tavo``: point-to-point link, ``estrela``: passive star,
``anel``: ring) takes the figures of one link and works out the distance the
optical power budget allows, the distance the rise-time budget allows, and the
smaller of the two, the maximum distance. These are the calculators of the
windows and of the command line ``vantero``, run in this process: the same
descriptions, the same arithmetic and the same texts.

An input is given by its name as a keyword, as a number (``bitRate=34``) or as
the text of its field (``bitRate="34"``, by the field's number rules); a choice
by the name of its value (``lineCode="RZ"``, letters in either case). Inputs
not given keep the initial texts of the calculator's window.

>>> import vantero
>>> vantero.calculate("tavo", bitRate=34)["results"]["maximumDistance"]["text"]
'49.52537'
>>> columns = vantero.sweep("tavo", "bitRate", [1, 10, 100])
>>> columns["limitedBy"]
array(['Attenuation', 'Attenuation', 'Dispersion'], dtype=object)
>>> vantero.links("tavo", {"bitRate": [34, 140], "length": [30, 60]})["status"]
array(['ok', 'ok'], dtype=object)

Errors: an unknown calculator, input or choice raises ``KeyError`` naming the
valid ones; a text that is not a number, or a choice's value that is not one of
its values, raises ``ValueError`` with the message the program shows; a file
that cannot be read or written raises ``OSError``. An arithmetic fault of a
calculation is a result (``"fault"``), as on the command line.
"""

from __future__ import annotations

import json as _json
import os
from collections.abc import Iterable, Mapping
from typing import Any, Union

import numpy as np
import numpy.typing as npt

from vantero import _core

__version__: str = _core.__version__
__all__ = [
    "calculators",
    "describe",
    "calculate",
    "sweep",
    "links",
    "open_project",
    "save_project",
]

#: A value for an input or a choice: a number, or a text.
Value = Union[float, int, str]
#: A length of fibre in km, or several.
Lengths = Union[float, int, str, Iterable[Union[float, int, str]]]


def calculators() -> list[str]:
    """The names of the calculators, in the order ``vantero --help`` lists them.

    >>> vantero.calculators()[:3]
    ['tavo', 'estrela', 'anel']
    """
    return _core.calculators()


def describe(name: str, /) -> dict[str, Any]:
    """What calculator ``name`` takes: what ``vantero NAME --help`` lists.

    A dictionary with the calculator's ``name``, ``network``, window
    ``caption`` and project-file ``extension``, and:

    - ``inputs``: for each numeric input, by name and in the window's order,
      its ``label``, ``unit`` ("" for a count), ``initial`` text, ``page`` of
      the window and whether the project file keeps it (``inProjectFile``);
    - ``choices``: for each choice, its group's ``caption``, ``page``,
      ``initial`` value, ``values`` (the names it takes, in order), ``items``
      (each value's caption in the window), a ``note`` and ``inProjectFile``.

    Raises ``KeyError`` for an unknown calculator.
    """
    return _core.describe(name)


def calculate(name: str, /, at: Lengths | None = None, **inputs: Value) -> dict[str, Any]:
    """Runs calculator ``name`` once, as the window's OK button does.

    Gives the dictionary ``json.loads`` gives for
    ``vantero NAME --set INPUT=VALUE ... [--at KM ...] --json``:

    - ``calculator``: the name;
    - ``inputs``: every input's text and every choice's value, as run;
    - ``results``: the results in the order the run set them, each with its
      ``text`` as the window shows it and, for a number, its ``value``;
    - ``message``: the rise-time message, or None;
    - ``fault``: the arithmetic fault that stopped the run ("Floating point
      division by zero", ...), or None; the results set before it stay;
    - ``at``, when ``at`` gives a length of fibre in km or several: for each,
      both budgets at that length term by term (``distance``, ``powerTerms``,
      ``riseTimeTerms``, ``powerMargin``, ``riseTimeMargin``,
      ``powerBudgetMet``, ``riseTimeBudgetMet``, ``fault``).

    >>> vantero.calculate("tavo", at=30)["at"][0]["powerMargin"]
    11.715224677549315

    A number is taken in all its digits (a float in the shortest text that
    reads back as the same float). Raises ``KeyError`` for an unknown
    calculator or input, ``ValueError`` for a text that is not a number (or a
    length that is not 0 or more) or a value a choice does not have,
    ``TypeError`` for a value that is neither a number nor a text.
    """
    return _json.loads(_core.calculate_json(name, at, inputs))


def sweep(
    name: str, input: str, values: npt.ArrayLike | Iterable[str], /, **inputs: Value
) -> dict[str, npt.NDArray[Any]]:
    """Runs calculator ``name`` at each of ``values`` of one input.

    Gives the columns of ``vantero NAME --sweep ... --csv`` as numpy arrays,
    one point an element: ``input`` itself (the values, as float64), then
    ``powerDistance``, ``riseTimeDistance`` and ``maximumDistance`` (float64,
    NaN where the run gave none: no rise-time distance when the rise-time
    budget cannot be met, nothing after a fault), ``limitedBy``
    ("Attenuation", "Dispersion" or "") and ``message`` (the rise-time message
    or the fault's text, or ""), these two as arrays of ``str`` objects.

    ``input`` is a numeric input, and ``values`` any sequence or array of
    numbers; or a choice, and ``values`` the names of its values (``input``'s
    column then holds the names). The other inputs are given as keywords, as
    to ``calculate``; ``input`` itself cannot be among them.

    The points run in the calculator's own code on every core, without
    holding the interpreter's lock; Ctrl+C stops a long sweep. An array of
    float64 given as ``values`` is read as it is, not copied: leave it be
    while the sweep runs (the columns are the sweep's own).

    >>> columns = vantero.sweep("tavo", "bitRate", numpy.logspace(0, 3, 1000))
    >>> float(columns["maximumDistance"].max())
    88.83333333333333
    """
    return _core.sweep(name, input, values, inputs)


def links(
    name: str, table: Mapping[str, Any], /, **base: Value
) -> dict[str, npt.NDArray[Any]]:
    """Runs calculator ``name`` on every link of ``table``, a row a link.

    What ``vantero NAME --set INPUT=VALUE ... --links FILE --csv`` does with
    the same table in a file: ``table`` maps each column's name to its cells,
    one a link (a ``dict`` of lists or arrays, or a pandas ``DataFrame`` as it
    is). A column is an input or a choice of the calculator, ``id`` (any text,
    given back), ``length`` (km: both budgets at that length), or ``fibre``
    (``"NAME@WAVELENGTH"``) or ``transceiver`` (``"NAME"``): a part of the
    catalogue the command line reads, setting the inputs ``--use`` sets,
    before the row's other cells (a part the catalogue lacks is that link's
    error). Each link
    starts from the figures ``base`` gives (as ``calculate`` takes them; the
    initial ones elsewhere), and its cells replace them; an empty cell
    (``None``, NaN, ``""``, pandas' missing values) keeps the base's figure.
    A cell is a number or the text of its field, as a keyword's value is; a
    cell that is not one is that link's error, and the other links run on.

    Gives the columns of the command line's CSV as numpy arrays, one link an
    element:

    - ``row``: the link's number, from 1 (row ``i`` of ``table`` is ``i + 1``);
    - ``id``, when the table has it: the cells as texts;
    - ``powerDistance``, ``riseTimeDistance``, ``maximumDistance``,
      ``limitedBy`` and ``message``, as ``sweep`` gives them (NaN and "" for
      a link in error);
    - when the table has ``length``: ``length`` (NaN where the cell is
      empty), ``powerMargin`` and ``riseTimeMargin`` (float64, NaN where the
      budgets were not worked out), ``powerBudgetMet`` and
      ``riseTimeBudgetMet`` (bool: True for the CSV's "yes", False for its
      "no" and for its empty cell, a link without a length or whose status is
      not "ok");
    - ``status``: "ok", "fault" (an arithmetic fault of the run or of its
      budgets) or "error" (a cell that is not a number or not a value of its
      choice, a length that is not 0 or more, a part the catalogue lacks);
    - ``error``: the fault's or the error's message, naming the column of a
      bad cell, or "".

    The texts are arrays of ``str`` objects. The links run in the
    calculator's own code on every core, without holding the interpreter's
    lock; Ctrl+C stops a long table.

    >>> table = {"id": ["a", "b"], "bitRate": [34, 140], "length": [30, 60]}
    >>> vantero.links("tavo", table, fibreAttenuation=0.4)["powerBudgetMet"]
    array([ True, False])

    Raises ``KeyError`` for an unknown calculator, or a column that is
    neither an input, a choice, ``id``, ``length``, ``fibre`` nor
    ``transceiver`` (the message names the valid ones), ``ValueError`` for
    columns of different lengths or a catalogue file that cannot be read,
    and, for
    ``base``, as ``calculate`` does; ``TypeError`` for a cell that is neither
    a number nor a text.
    """
    return _core.links(name, table, base)


def open_project(path: str | os.PathLike[str], /) -> dict[str, str]:
    """The figures of project file ``path``, as "Abrir..." reads them.

    The calculator is the one whose extension the file's name has (``.dig``:
    ``tavo``, ``.stl``: ``estrela``, ``.anel``: ``anel``, in either case).
    Gives every input's text and every choice's value, as the ``inputs`` of
    ``calculate`` (inputs the file does not keep have their initial texts), so
    that ``calculate("tavo", **open_project("link.dig"))`` runs the file.

    Raises ``ValueError`` for a name without a calculator's extension and
    ``OSError`` for a file that cannot be read or is too short.
    """
    return _core.open_project(path)


def save_project(path: str | os.PathLike[str], name: str, /, **inputs: Value) -> str:
    """Saves the figures given for calculator ``name`` as a project file.

    As "Salvar Como..." saves them: the inputs are checked and the whole file
    is made before the old one is replaced, all or nothing, keeping its owner,
    group and permissions. The calculator's extension is added to a ``path``
    without it. Gives the path written.

    Raises as ``calculate`` does for the inputs, ``OverflowError`` for a value
    too large for the file, and ``OSError`` for a file that cannot be written.
    """
    return _core.save_project(path, name, inputs)
