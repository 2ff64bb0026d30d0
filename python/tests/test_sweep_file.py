"""The sweep file and the parameter-file edit under it: each fault of a
sweep file is one error before anything runs; an edit changes the named
values where the reader finds them and not one byte more."""

import math
import struct
import subprocess
import sys

import pytest

from calcium.paramedit import EditError, ParameterEditor
from calcium.parameters import read_parameters
from calcium.sweepfile import SweepError, load_sweep
from conftest import EXAMPLES, ROOT

NILPORA = (EXAMPLES / "nilpora" / "NILPORA.INP").read_bytes()


def bits(v):
    return struct.pack("<d", v) if isinstance(v, float) else v


def write_sweep(tmp_path, body, base="VELMO67.INP", base_text=None, program="velmo67"):
    src = EXAMPLES / program / base
    (tmp_path / base).write_bytes(base_text if base_text is not None else src.read_bytes())
    path = tmp_path / "s.toml"
    path.write_text(f'program = "{program}"\nbase = "{base}"\n' + body)
    return path


@pytest.mark.parametrize("body,message", [
    ('[parameters]\nk200 = [1.0]\n', "parameter 'k200': velmo67 (VELMO67.INP) has no value of "
     "this name; did you mean k20"),
    ('[parameters]\n"NOUT(1)" = [2, 1.5]\n', "parameter 'NOUT(1)': value 2: takes an integer, "
     "found a real number (1.5)"),
    ('[parameters]\n"NOUT(1)" = [2.0]\n', "takes an integer, found a real number (2.0); write 2"),
    ('[parameters]\nk20 = ["0.5"]\n', "parameter 'k20': value 1: takes a real number, found a "
     "text ('0.5')"),
    ('[parameters]\nk20 = [true]\n', "takes a real number, found a boolean"),
    ('[parameters]\nRUNNAME = [5]\n', "takes a text, found an integer"),
    ('[parameters]\nRUNNAME = ["much-too-long"]\n', "longer than the 10 characters"),
    ('[parameters]\nRUNNAME = ["a/b"]\n', "holds a slash"),
    ('[parameters]\nk20 = { start = 1.0, stop = 2.0, count = 0 }\n',
     "parameter 'k20': the range is empty (count = 0)"),
    ('[parameters]\nk20 = []\n', "parameter 'k20': the list of values is empty"),
    ('[parameters]\nk20 = { start = 1.0, stop = 2.0 }\n', "'count' is missing"),
    ('[parameters]\nk20 = { start = 0.0, stop = 2.0, count = 3, scale = "log" }\n',
     "a logarithmic range needs ends above 0"),
    ('[parameters]\nk20 = { start = 1.0, stop = 2.0, count = 3, step = 1 }\n',
     "parameter 'k20': unknown key 'step'"),
    ('[parameters]\n"NOUT(1)" = { start = 0, stop = 3, count = 3 }\n',
     "does not give integers (step 1.5)"),
    ('combine = "zip"\n[parameters]\nk20 = [1.0, 2.0]\nk21 = [1.0]\n',
     "combine = 'zip': the parameters need the same number of values; found k20: 2, k21: 1"),
    ('combine = "all"\n[parameters]\nk20 = [1.0]\n', "combine: is 'grid' or 'zip'"),
    ('jobs = 4\n[parameters]\nk20 = [1.0]\n', "key 'jobs': unknown"),
    ('[parameters]\n', "parameters: a table of at least one parameter is needed"),
    ('[parameters\n', "not a TOML file"),
])
def test_a_bad_sweep_file_is_one_error(tmp_path, layouts, body, message):
    with pytest.raises(SweepError) as e:
        load_sweep(write_sweep(tmp_path, body), layouts)
    assert message in str(e.value)
    assert str(e.value).startswith(str(tmp_path / "s.toml") + ": ")


def test_unknown_program_and_missing_base(tmp_path, layouts):
    (tmp_path / "a.toml").write_text('program = "velmo68"\nbase = "X"\n[parameters]\nk1=[1.0]\n')
    with pytest.raises(SweepError, match="program: no program 'velmo68'"):
        load_sweep(tmp_path / "a.toml", layouts)
    (tmp_path / "b.toml").write_text('program = "velmo67"\nbase = "X.INP"\n[parameters]\n'
                                     'k1 = [1.0]\n')
    with pytest.raises(SweepError, match="base: no file"):
        load_sweep(tmp_path / "b.toml", layouts)


def test_the_command_refuses_before_any_run(tmp_path):
    path = write_sweep(tmp_path, '[parameters]\nk20 = [0.5]\n"TPHASE(2)" = []\n')
    r = subprocess.run([sys.executable, "-m", "calcium", "sweep", str(path), "--out",
                        str(tmp_path / "out")], capture_output=True, text=True,
                       env={"PYTHONPATH": str(ROOT / "python"), "PATH": "/usr/bin:/bin",
                            **_layouts_env()})
    assert r.returncode == 2
    assert r.stderr.splitlines() == [f"calcium sweep: {path}: parameter 'TPHASE(2)': the list "
                                     "of values is empty"]
    assert not (tmp_path / "out").exists()


def _layouts_env():
    import os
    return {k: v for k, v in os.environ.items() if k.startswith("CALCIUM_")}


def test_values_ranges_and_combinations(tmp_path, layouts):
    s = load_sweep(write_sweep(tmp_path, '[parameters]\n'
                               'k20 = { start = 1e-4, stop = 1e-2, count = 3, scale = "log" }\n'
                               '"TPHASE(2)" = { start = 0.1, stop = 1.1, count = 6 }\n'
                               '"NOUT(2)" = { values = [0, -1] }\n'), layouts)
    assert [p.values for p in s.parameters] == [
        (1e-4, 1e-3, 1e-2), (0.1, 0.3, 0.5, 0.7, 0.9, 1.1), (0, -1)]
    assert len(s.variants) == 3 * 6 * 2
    assert s.variants[1].values == (("k20", 1e-4), ("TPHASE(2)", 0.1), ("NOUT(2)", -1))
    assert s.variants[1].name == "001_k20=0.0001_TPHASE2=0.1_NOUT2=-1"
    z = load_sweep(write_sweep(tmp_path, 'combine = "zip"\n[parameters]\nk20 = [1.0, 2.0]\n'
                               'Ca_cyt = [3, 4]\n'), layouts)
    assert [v.values for v in z.variants] == [(("k20", 1.0), ("Ca_cyt", 3.0)),
                                              (("k20", 2.0), ("Ca_cyt", 4.0))]


def edited(tmp_path, layouts, base: bytes, values: dict, program="nilpora"):
    p = layouts.program(program)
    path = tmp_path / p.parameter_file
    path.write_bytes(base)
    return ParameterEditor(path, p).edit(values), p


def reading_of(tmp_path, data, program):
    path = tmp_path / "edited" / program.parameter_file
    path.parent.mkdir(exist_ok=True)
    path.write_bytes(data)
    r = read_parameters(path, program)
    assert r.accepted, r.message
    return {it.name: it.value for it in r.items}


# The nilpora example's lines 2 and 6, rewritten the ways the reader allows.
@pytest.mark.parametrize("name,line2,line6,values,want2,want6", [
    ("blanks and notes", b"0.0  0.5  20.0        times", b"1.0  0.0   pools",
     {"DTOUT": 0.25, "Y(2)": -0.0}, b"0.0  0.25  20.0        times", b"1.0  -0.0   pools"),
    ("commas", b"0.0,0.5,20.0 times", b"1.0,0.0,note",
     {"TFINAL": 1e-300, "Y(1)": math.inf}, b"0.0,0.5,1e-300 times", b"INF,0.0,note"),
    ("continued line", b"0.0  0.5\n20.0  TFINAL alone", b"1.0\t0.0",
     {"TFINAL": 7.0, "Y(2)": float("-nan")}, b"0.0  0.5\n7.0  TFINAL alone", b"1.0\t-NaN"),
    ("notes with a slash, D and E", b"0.0 0.5 20.0 / 9 9", b"1D0 0E0",
     {"TOUT": 12345678.9, "Y(1)": 0.5}, b"12345678.9 0.5 20.0 / 9 9", b"0.5 0E0"),
])
@pytest.mark.parametrize("crlf", [False, True])
def test_an_edit_changes_only_the_named_values(tmp_path, layouts, name, line2, line6, values,
                                               want2, want6, crlf):
    lines = NILPORA.split(b"\n")
    end = b"\r\n" if crlf else b"\n"
    base = end.join(lines[:1] + [line2] + lines[2:5] + [line6] + lines[6:])
    base = base.replace(b"\n20.0", end + b"20.0")
    data, program = edited(tmp_path, layouts, base, values)
    want = base.replace(line2.replace(b"\n", end), want2.replace(b"\n", end)).replace(
        end + line6 + end, end + want6 + end)
    assert data == want
    before = reading_of(tmp_path, base, program)
    after = reading_of(tmp_path, data, program)
    for k in before:
        assert bits(after[k]) == bits(values.get(k, before[k])), k


def test_a_quoted_run_name(tmp_path, layouts):
    base = NILPORA.replace(b"nilpora-01 ", b"'it''s, 1' ", 1)
    data, program = edited(tmp_path, layouts, base, {"run name": "x 'y'"})
    assert data == NILPORA.replace(b"nilpora-01 ", b"'x ''y''' ", 1)
    assert reading_of(tmp_path, data, program)["run name"] == b"x 'y'     "


def test_an_edit_after_a_byte_order_mark(tmp_path, layouts):
    # The mark stays, and line 1's value is found behind it.
    base = b"\xef\xbb\xbf" + NILPORA
    data, program = edited(tmp_path, layouts, base, {"run name": "other", "TOUT": 2.5})
    assert data.startswith(b"\xef\xbb\xbf'other' ")
    assert reading_of(tmp_path, data, program)["run name"] == b"other     "
    assert reading_of(tmp_path, data, program)["TOUT"] == 2.5


@pytest.mark.parametrize("line6,name,message", [
    (b"2*0.5   pools", "Y(2)", "is given on line 6 by the repeat count '2*0.5' together with "
     "other values; write the 2 values out"),
    (b"1.0,,   pools", "Y(2)", "has no value written in the file"),
    (b"1.0 /   pools", "Y(2)", "has no value written in the file"),
])
def test_values_that_cannot_be_edited_are_refused(tmp_path, layouts, line6, name, message):
    lines = NILPORA.split(b"\n")
    base = b"\n".join(lines[:5] + [line6] + lines[6:])
    with pytest.raises(EditError, match=message.replace("*", r"\*")):
        edited(tmp_path, layouts, base, {name: 1.0})
    # A repeat count of 1 stands for one value and is replaced whole.
    one = b"\n".join(lines[:5] + [b"1.0 1*0.5 pools"] + lines[6:])
    data, _ = edited(tmp_path, layouts, one, {"Y(2)": 0.25})
    assert b"\n1.0 0.25 pools\n" in data


def test_a_sweep_over_a_repeat_count_is_refused_up_front(tmp_path, layouts):
    base = NILPORA.replace(b"1.0  0.0   ", b"2*0.5     ", 1)
    with pytest.raises(SweepError, match=r"parameter 'Y\(1\)': NILPORA.INP: Y\(1\) is given"):
        load_sweep(write_sweep(tmp_path, '[parameters]\n"Y(1)" = [1.0]\n', base="NILPORA.INP",
                               base_text=base, program="nilpora"), layouts)
