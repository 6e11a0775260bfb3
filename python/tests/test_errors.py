"""What the module refuses, and with which message: the command line's own."""

from __future__ import annotations

import pytest
from conftest import program, program_error

import vantero

# A call, the command line that is refused for the same reason, and what
# the call raises with the message the command line shows.
REFUSED = [
    (lambda: vantero.calculate("nosuch"), ["nosuch"], KeyError),
    (lambda: vantero.describe("nosuch"), ["nosuch"], KeyError),
    (lambda: vantero.sweep("nosuch", "bitRate", [1]), ["nosuch"], KeyError),
    (lambda: vantero.calculate("tavo", bitrate=1), ["tavo", "--set", "bitrate=1"], KeyError),
    (lambda: vantero.save_project("x", "tavo", nosuch=1), ["tavo", "--set", "nosuch=1"], KeyError),
    (lambda: vantero.sweep("anel", "nosuch", [1]), ["anel", "--set", "nosuch=1"], KeyError),
    (lambda: vantero.calculate("tavo", bitRate="3,4"), ["tavo", "--set", "bitRate=3,4"],
     ValueError),
    (lambda: vantero.calculate("anel", bitRate="inf"), ["anel", "--set", "bitRate=inf"],
     ValueError),
    (lambda: vantero.calculate("tavo", bitRate=float("nan")), ["tavo", "--set", "bitRate=nan"],
     ValueError),
    (lambda: vantero.sweep("estrela", "bitRate", [1], safetyMargin="x"),
     ["estrela", "--set", "safetyMargin=x"], ValueError),
    (lambda: vantero.calculate("tavo", lineCode="AMI"), ["tavo", "--set", "lineCode=AMI"],
     ValueError),
    (lambda: vantero.sweep("tavo", "lineCode", ["NRZ", "AMI"]), ["tavo", "--set", "lineCode=AMI"],
     ValueError),
    (lambda: vantero.calculate("tavo", at=-1), ["tavo", "--at", "-1"], ValueError),
    (lambda: vantero.calculate("tavo", at=[1, "km"]), ["tavo", "--at", "km"], ValueError),
]


@pytest.mark.parametrize("call, args, raised", REFUSED, ids=lambda x: repr(x))
def test_a_refusal_says_what_the_command_line_says(call, args: list[str], raised: type) -> None:
    with pytest.raises(raised) as refused:
        call()
    message = refused.value.args[0]
    expected = program_error(*args)
    # The command line's message ends with its full stop, or (a usage error)
    # goes on to its help.
    assert message == expected or message + "." == expected


def test_a_name_holds_no_equals_sign() -> None:
    # Else it would set the input named before it.
    with pytest.raises(KeyError, match="bitRate=5"):
        vantero.calculate("tavo", **{"bitRate=5": ""})


@pytest.mark.parametrize("value", [True, None, b"34", object()], ids=repr)
def test_a_value_is_a_number_or_a_text(value: object) -> None:
    with pytest.raises(TypeError, match="bitRate: a number or a text"):
        vantero.calculate("tavo", bitRate=value)


@pytest.mark.parametrize("values", ["34", 34, [[1, 2]], ["a"], [True]], ids=repr)
def test_the_values_of_a_numeric_sweep_are_a_sequence_of_numbers(values: object) -> None:
    with pytest.raises(TypeError):
        vantero.sweep("tavo", "bitRate", values)


def test_the_swept_input_is_not_also_given() -> None:
    with pytest.raises(ValueError, match="bitRate"):
        vantero.sweep("tavo", "bitRate", [1], bitRate=3)


@pytest.mark.parametrize("name", vantero.calculators())
def test_an_arithmetic_fault_is_a_result_as_on_the_command_line(name: str) -> None:
    result = vantero.calculate(name, bitRate=0, at=1)
    run = program(name, "--set", "bitRate=0", "--at", "1", "--json")
    assert result["fault"] == "Floating point division by zero"
    assert result["at"] == []
    assert run.returncode == 1 and run.stderr == f"vantero: {result['fault']}.\n"
