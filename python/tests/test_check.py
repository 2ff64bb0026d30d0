"""calcium check on the examples and on the slips users make; its verdict
and message against the programs' own."""

import io
import shutil

import pytest

from calcium.check import run_check
from conftest import EXAMPLES, run_program


def check(layouts, path, program=None):
    out, err = io.StringIO(), io.StringIO()
    status = run_check(layouts, path, program, out=out, err=err)
    return status, out.getvalue(), err.getvalue()


@pytest.mark.parametrize("program", ["velmo67", "velmo66", "velmo65", "velmo64v6", "nilpora"])
def test_every_example_is_accepted(program, layouts):
    p = layouts.program(program)
    status, out, err = check(layouts, EXAMPLES / program / p.parameter_file)
    assert (status, err) == (0, "")
    assert f"{program} accepts the file" in out
    assert "warning" not in out


def spoilt(tmp_path, program, layouts, edit):
    p = layouts.program(program)
    text = (EXAMPLES / program / p.parameter_file).read_bytes()
    path = tmp_path / p.parameter_file
    path.write_bytes(edit(text.split(b"\n")))
    return path


def test_comma_as_decimal_point(tmp_path, layouts):
    def edit(lines):
        lines[4] = b"0,5" + lines[4][lines[4].index(b" "):]  # k3
        return b"\n".join(lines)
    status, out, _ = check(layouts, spoilt(tmp_path, "velmo67", layouts, edit))
    assert status == 0
    assert "warning: line 5: '0,5' reads as 0 for k3, and 5 is left unread" in out
    assert "line 5: k3 = 0.0" in out


def test_byte_order_mark_is_told_and_skipped(tmp_path, layouts):
    status, out, _ = check(layouts, spoilt(tmp_path, "velmo66", layouts,
                                           lambda lines: b"\xef\xbb\xbf" + b"\n".join(lines)))
    assert status == 0
    assert "warning: line 1: the file begins with a byte-order mark" in out
    # The programs skip the mark: the run name is the example's, uncut.
    assert "is cut to its first" not in out
    assert "reads VELMO66.INP otherwise than this check" not in out


def test_a_long_run_name_is_told_with_its_cut(tmp_path, layouts):
    status, out, _ = check(layouts, spoilt(tmp_path, "velmo66", layouts,
                                           lambda lines: b"\n".join([b"experiment_control"]
                                                                     + lines[1:])))
    assert status == 0
    assert "the run name 'experiment_control' is cut to its first 10 characters: 'experiment'" in out


@pytest.mark.parametrize("line,edit,what", [
    (2, lambda l: l.replace(b" ", "\u00a0".encode(), 1), "a no-break space (U+00A0)"),
    (3, lambda l: "\u2212".encode() + l, "a minus sign (U+2212)"),
])
def test_non_ascii_minus_and_blank(tmp_path, layouts, line, edit, what):
    def spoil(lines):
        lines[line - 1] = edit(lines[line - 1])
        return b"\n".join(lines)
    status, out, err = check(layouts, spoilt(tmp_path, "nilpora", layouts, spoil))
    assert f"warning: line {line}: {what} among the values" in out
    assert status == 2 and f"NILPORA.INP line {line}:" in err


def test_values_that_run_onto_the_next_line(tmp_path, layouts):
    def edit(lines):
        first = lines[1].split()
        lines[1] = b" ".join(first[:2])  # TOUT, DTOUT; TFINAL from line 3
        return b"\n".join(lines)
    status, out, err = check(layouts, spoilt(tmp_path, "nilpora", layouts, edit))
    assert "warning: line 2: too few values on the line; the statement takes TFINAL from line 3" in out


@pytest.mark.parametrize("program,line,value", [
    ("velmo67", 57, b"abc"),  # a rate constant
    ("velmo66", 152, b"0"),  # the window length
    ("velmo64v6", 2, b"0.0 -1"),  # a negative output interval
    ("nilpora", 6, None),  # a short last line: the file ends
])
def test_refusal_is_the_programs_own_message(tmp_path, layouts, bin_dir, program, line, value):
    def edit(lines):
        if value is None:
            return b"\n".join(lines[:line - 1] + [b"1.0", b""])
        words = lines[line - 1].split(b" ")
        lines[line - 1] = value + b"  " + b" ".join(words[1:]) if line != 2 else value
        return b"\n".join(lines)
    path = spoilt(tmp_path, program, layouts, edit)
    status, _, err = check(layouts, path)
    code, stderr = run_program(bin_dir, program, tmp_path)
    assert (status, code) == (2, 2)
    end = layouts.program(program).line_end_bytes
    assert err.encode() == stderr.replace(end, b"\n")
